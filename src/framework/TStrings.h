#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

class QIODevice;

// A list of lines of text, the common interface of every string list of the components (a
// plain list, the lines of an editor, the items of a list box). A kind of list supplies reading
// (Get, GetCount) and changing (Insert, Delete, Clear, and Put when it has a quicker way than
// deleting and inserting); everything else is built on those:
//
// - Text joins the lines, each followed by LineBreak ("\r\n"); SetText splits a text into lines
//   at CR LF, LF or CR, a final line break adding no empty line.
// - The stream and file members read and write Text as the system's stream text: UTF-8, with
//   bytes that are not valid UTF-8 read as Windows-1252 (framework/AnsiCodePage.h).
// - BeginUpdate and EndUpdate bracket a batch of changes. They nest; the first BeginUpdate calls
//   SetUpdateState(true) and the last EndUpdate SetUpdateState(false), so that a list can hold
//   back its redrawing or its change notices until the batch is done. Assign, AddStrings and
//   SetText run inside such a bracket, and close it even when a change fails.
class TStrings : public QObject {
    Q_OBJECT

public:
    explicit TStrings(QObject* parent = nullptr);
    ~TStrings() override;

    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;

    // The line at Index (0 to Count() - 1) and the number of lines.
    virtual QString Get(int32_t Index) const = 0;
    virtual int32_t GetCount() const = 0;

    // Replaces the line at Index. By default the line is deleted and S inserted in its place.
    virtual void Put(int32_t Index, const QString& S);
    // Inserts S before the line at Index; Index == Count() appends.
    virtual void Insert(int32_t Index, const QString& S) = 0;
    virtual void Delete(int32_t Index) = 0;
    virtual void Clear() = 0;

    // Appends S and answers its index.
    virtual int32_t Add(const QString& S);
    // Appends every line of Strings (nothing for nullptr) inside one update bracket.
    virtual void AddStrings(const TStrings* Strings);
    // Replaces the lines with those of Source (none for nullptr) inside one update bracket.
    virtual void Assign(const TStrings* Source);

    // The index of the first line equal to S by CompareStrings, or -1.
    virtual int32_t IndexOf(const QString& S) const;
    // Compares two lines as IndexOf does: by default without regard to case.
    virtual int CompareStrings(const QString& S1, const QString& S2) const;

    int32_t Count() const { return GetCount(); }
    QString Strings(int32_t Index) const { return Get(Index); }
    void SetStrings(int32_t Index, const QString& S) { Put(Index, S); }

    void BeginUpdate();
    // Closes the innermost BeginUpdate; without an open one it does nothing.
    void EndUpdate();
    int32_t UpdateCount() const { return FUpdateCount; }

    // The lines, each followed by LineBreak(); an empty list gives an empty text.
    QString Text() const { return GetTextStr(); }
    void SetText(const QString& Value) { SetTextStr(Value); }
    virtual QString GetTextStr() const;
    // Clears the list and adds one line per line of Value, inside one update bracket.
    virtual void SetTextStr(const QString& Value);
    static QString LineBreak() { return QStringLiteral("\r\n"); }

    // Reads from the stream's position to its end, decodes the bytes as stream text and sets
    // the text. A stream that cannot be read raises EReadError.
    virtual void LoadFromStream(QIODevice& Stream);
    // Writes Text() as stream text at the stream's position. A stream that does not take every
    // byte raises EWriteError with the device's reason.
    virtual void SaveToStream(QIODevice& Stream) const;
    // Loads the file; a file that cannot be opened raises EFOpenError naming it.
    virtual void LoadFromFile(const QString& FileName);
    // Saves to a temporary file beside FileName and replaces FileName only once everything is
    // written, so that a failed save leaves the old file as it was. A file that cannot be
    // created raises EFCreateError naming it.
    virtual void SaveToFile(const QString& FileName) const;

    // The name of the list's class, as errors name it.
    QString ClassName() const;

protected:
    // Called with true when the first update bracket opens and with false when the last closes.
    virtual void SetUpdateState(bool Updating);

    // Runs change inside an update bracket that is closed however change ends.
    template <typename F> void WithinUpdate(F&& change);

private:
    int32_t FUpdateCount = 0;
};

template <typename F> void TStrings::WithinUpdate(F&& change) {
    BeginUpdate();
    try {
        change();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}
