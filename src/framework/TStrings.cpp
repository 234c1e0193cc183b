#include "framework/TStrings.h"

#include "framework/AnsiCodePage.h"
#include "framework/TovraException.h"

#include <QFile>
#include <QFileDevice>
#include <QIODevice>
#include <QSaveFile>

namespace {

// The device's reason for a failure, or fallback when it gives none.
QString ReasonOf(const QIODevice& device, const QString& fallback) {
    const QString reason = device.errorString();
    if (reason.isEmpty() || reason == QLatin1String("Unknown error"))
        return fallback;
    return reason;
}

void WriteAll(QIODevice& stream, const QByteArray& bytes) {
    const QString fallback = QStringLiteral("Stream write error");
    if (!stream.isWritable())
        throw EWriteError(fallback);
    qsizetype written = 0;
    while (written < bytes.size()) {
        const qint64 n = stream.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            throw EWriteError(ReasonOf(stream, fallback));
        written += static_cast<qsizetype>(n);
    }
    // A file holds written bytes in its buffer; flushing them here makes a full disk an error
    // of this call rather than a silent loss when the file is closed.
    if (auto* file = qobject_cast<QFileDevice*>(&stream); file != nullptr && !file->flush())
        throw EWriteError(ReasonOf(stream, fallback));
}

} // namespace

TStrings::TStrings(QObject* parent) : QObject(parent) {}

TStrings::~TStrings() = default;

void TStrings::Put(int32_t Index, const QString& S) {
    WithinUpdate([&] {
        Delete(Index);
        Insert(Index, S);
    });
}

int32_t TStrings::Add(const QString& S) {
    const int32_t index = GetCount();
    Insert(index, S);
    return index;
}

void TStrings::AddStrings(const TStrings* Strings) {
    if (Strings == nullptr)
        return;
    WithinUpdate([&] {
        // The count is taken first, so that adding a list to itself doubles it once.
        const int32_t count = Strings->GetCount();
        for (int32_t i = 0; i < count; ++i)
            Add(Strings->Get(i));
    });
}

void TStrings::Assign(const TStrings* Source) {
    if (Source == this)
        return;
    WithinUpdate([&] {
        Clear();
        AddStrings(Source);
    });
}

int32_t TStrings::IndexOf(const QString& S) const {
    const int32_t count = GetCount();
    for (int32_t i = 0; i < count; ++i) {
        if (CompareStrings(Get(i), S) == 0)
            return i;
    }
    return -1;
}

int TStrings::CompareStrings(const QString& S1, const QString& S2) const {
    return QString::compare(S1, S2, Qt::CaseInsensitive);
}

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount == 0)
        return;
    --FUpdateCount;
    if (FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::SetUpdateState(bool /*Updating*/) {}

QString TStrings::GetTextStr() const {
    const int32_t count = GetCount();
    const QString lineBreak = LineBreak();
    QString text;
    for (int32_t i = 0; i < count; ++i) {
        text += Get(i);
        text += lineBreak;
    }
    return text;
}

void TStrings::SetTextStr(const QString& Value) {
    WithinUpdate([&] {
        Clear();
        const qsizetype size = Value.size();
        qsizetype start = 0;
        qsizetype i = 0;
        while (i < size) {
            const QChar c = Value.at(i);
            if (c != u'\r' && c != u'\n') {
                ++i;
                continue;
            }
            Add(Value.mid(start, i - start));
            if (c == u'\r' && i + 1 < size && Value.at(i + 1) == u'\n')
                ++i;
            ++i;
            start = i;
        }
        // Text after the last line break is a line of its own; a final break adds nothing.
        if (start < size)
            Add(Value.mid(start));
    });
}

void TStrings::LoadFromStream(QIODevice& Stream) {
    if (!Stream.isReadable())
        throw EReadError(QStringLiteral("Stream read error"));
    auto* file = qobject_cast<QFileDevice*>(&Stream);
    if (file != nullptr)
        file->unsetError();
    const QByteArray bytes = Stream.readAll();
    if (file != nullptr && file->error() != QFileDevice::NoError)
        throw EReadError(ReasonOf(Stream, QStringLiteral("Stream read error")));
    SetTextStr(StreamTextToString(bytes));
}

void TStrings::SaveToStream(QIODevice& Stream) const {
    WriteAll(Stream, StringToStreamText(GetTextStr()));
}

void TStrings::LoadFromFile(const QString& FileName) {
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(FileName, file.errorString());
    LoadFromStream(file);
}

void TStrings::SaveToFile(const QString& FileName) const {
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EFCreateError(FileName, file.errorString());
    // A failed write throws before the commit; the save file then removes its temporary file
    // and the old file stays as it was.
    SaveToStream(file);
    if (!file.commit())
        throw EFCreateError(FileName, file.errorString());
}

QString TStrings::ClassName() const {
    return QString::fromLatin1(metaObject()->className());
}
