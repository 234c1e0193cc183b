// The rich editor's document as a whole: Lines, RTFText and the stream operations that bypass
// the converters.

#include "editor/TTovraCustomRichEdit.h"

#include "engine/surface/RichEditEngine.h"
#include "framework/AnsiCodePage.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>

using namespace richedit;

namespace {

// The stream callbacks of CopyToStream and PasteFromStream: the cookie is the stream itself.
// A stream that fails ends the transfer with error 1.
uint32_t WriteToStream(uintptr_t cookie, uint8_t* buffer, int32_t cb, int32_t& pcb) {
    const qint64 n =
        reinterpret_cast<QIODevice*>(cookie)->write(reinterpret_cast<const char*>(buffer), cb);
    pcb = n < 0 ? 0 : int32_t(n);
    return n < 0 ? 1 : 0;
}

uint32_t ReadFromStream(uintptr_t cookie, uint8_t* buffer, int32_t cb, int32_t& pcb) {
    const qint64 n =
        reinterpret_cast<QIODevice*>(cookie)->read(reinterpret_cast<char*>(buffer), cb);
    pcb = n < 0 ? 0 : int32_t(n);
    return n < 0 ? 1 : 0;
}

} // namespace

void TTovraCustomRichEdit::SetLines(const TStrings* value) {
    FRichEditStrings->Assign(value);
}

QString TTovraCustomRichEdit::RTFText() {
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    FRichEditStrings->SaveToStream(buffer);
    return StreamTextToString(buffer.data());
}

void TTovraCustomRichEdit::SetRTFText(const QString& value) {
    QBuffer buffer;
    buffer.setData(StringToStreamText(value));
    buffer.open(QIODevice::ReadOnly);
    TRichEditStrings& lines = *FRichEditStrings;
    lines.BeginUpdate();
    try {
        buffer.seek(0);
        lines.Clear();
        lines.LoadFromStream(buffer);
    } catch (...) {
        lines.EndUpdate();
        throw;
    }
    lines.EndUpdate();
}

void TTovraCustomRichEdit::CopyToStream(QIODevice& aStream, bool aSelection, bool aPlainText,
                                        bool aObjects, bool aPlainRtf) {
    uint32_t format = 0;
    if (aPlainText)
        format = aObjects ? SF_TEXTIZED : SF_TEXT;
    else
        format = aObjects ? SF_RTF : SF_RTFNOOBJS;
    if (aSelection)
        format |= SFF_SELECTION;
    if (aPlainRtf)
        format |= SFF_PLAINRTF;
    EDITSTREAM stream;
    stream.dwCookie = reinterpret_cast<uintptr_t>(&aStream);
    stream.pfnCallback = WriteToStream;
    HandleNeeded();
    Engine()->EM_STREAMOUT(format, stream);
}

void TTovraCustomRichEdit::PasteFromStream(QIODevice& aStream, bool aSelection, bool aPlainText,
                                           bool aPlainRtf) {
    uint32_t format = aPlainText ? SF_TEXT : SF_RTF;
    if (aSelection)
        format |= SFF_SELECTION;
    if (aPlainRtf)
        format |= SFF_PLAINRTF;
    EDITSTREAM stream;
    stream.dwCookie = reinterpret_cast<uintptr_t>(&aStream);
    stream.pfnCallback = ReadFromStream;
    HandleNeeded();
    Engine()->EM_STREAMIN(format, stream);
}

void TTovraCustomRichEdit::PastePlainText() {
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    // Stream text is UTF-8, so that every character of the clipboard's text arrives.
    QBuffer buffer;
    buffer.setData(StringToStreamText(text));
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(0);
    PasteFromStream(buffer, true, true, true);
}
