#pragma once

#include "editor/TTovraConversion.h"
#include "framework/TStrings.h"

#include <memory>

class TTovraCustomRichEdit;
class TReader;
class TWriter;

namespace richedit {
class RichEditEngine;
}

// The editor's Lines: a string list whose items are the lines of the editor's engine window,
// read and replaced one at a time through engine requests, and whose stream and file operations
// move the whole document as bytes, in Rich Text Format or, when PlainText is set, as plain
// text. Every operation works on the editor's engine window and creates it when needed.
//
// File loads and saves pass every byte through a conversion object: the first file operation
// creates one of the class registered for the file's extension and keeps it for every later
// stream load and save; a failed file operation drops it. Without one, a stream operation uses a
// temporary instance of the editor's DefaultConverter.
class TRichEditStrings : public TStrings {
    Q_OBJECT

public:
    explicit TRichEditStrings(TTovraCustomRichEdit* RichEdit);
    ~TRichEditStrings() override;

    TTovraCustomRichEdit* RichEdit() const { return FRichEdit; }

    // Line Index without its line break; a line longer than 4096 characters comes back cut to
    // 4096. A line that does not exist reads as the empty string.
    QString Get(int32_t Index) const override;
    // The engine's lines, not counting a last empty line: an empty document has none, and a
    // document ending in a paragraph mark has as many as paragraphs.
    int32_t GetCount() const override;
    // Replaces the text of a line, keeping its line break. Nothing for a line that does not
    // exist.
    void Put(int32_t Index, const QString& S) override;
    // Inserts S and a line break before line Index; at Count, after a last line that has text,
    // a line break and S. Nothing otherwise.
    void Insert(int32_t Index, const QString& S) override;
    // Removes a line and its line break. Nothing for a line that does not exist.
    void Delete(int32_t Index) override;
    // Empties the document and resets its modified flag (the editor's Clear).
    void Clear() override;
    // Replaces the whole document by the text of Strings loaded as a stream, so that a list
    // holding Rich Text Format code gives formatted text; without a list, empties it. The
    // editor's OnSelectionChange is silent meanwhile.
    void AddStrings(const TStrings* Strings) override;
    // Sets the lines with the engine's change notification off.
    void SetTextStr(const QString& Value) override;

    // Replaces the document by the stream's content from its position: as plain text when
    // PlainText is set, else as Rich Text Format; input the engine rejects is read once more,
    // from the same position, in the other format. A load reports no failure.
    void LoadFromStream(QIODevice& Stream) override;
    // Writes the whole document at the stream's position. An engine or converter failure
    // raises EOutOfResources "Failed to Save Stream".
    void SaveToStream(QIODevice& Stream) const override;
    // Loads a file through the conversion class of its extension.
    void LoadFromFile(const QString& FileName) override;
    // Saves through the conversion class of the file's extension into a temporary file beside
    // FileName, which replaces FileName only when the whole save succeeded: a failed save
    // leaves the previous file as it was.
    void SaveToFile(const QString& FileName) const override;

    // The stream format; writing it here does not rebuild the editor's window (the editor's
    // own PlainText does).
    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool Value) { FPlainText = Value; }

    // The stored form of the lines: one property "Strings" holding the lines of the document's
    // Rich Text Format code (of its plain text when PlainText is set). It is written only when
    // there is data: with an ancestor when the ancestor is not a string list or its lines differ
    // from these, without one when there are lines.
    void WriteProperties(TWriter& Writer) const;
    void ReadProperties(const TReader& Reader);

protected:
    // Holds back the editor's painting while a batch of changes runs; at its end repaints the
    // editor and tells the listeners of its text once.
    void SetUpdateState(bool Updating) override;

private:
    richedit::RichEditEngine& engine() const;

    TTovraCustomRichEdit* FRichEdit;
    bool FPlainText = false;
    mutable std::unique_ptr<TTovraConversion> FConverter;
};
