#pragma once

#include <QByteArray>
#include <QString>

namespace richedit::model {

// Plain text as it crosses a stream. The system's 8-bit code page is UTF-8; reading forgives
// what Linux users meet: a UTF-8 byte-order mark is skipped, a UTF-16 byte-order mark selects
// UTF-16, and 8-bit text that is not valid UTF-8 is read as Windows-1252.
QString decodePlainText(const QByteArray& bytes);
// UTF-16 little-endian text, with or without its byte-order mark.
QString decodeUtf16LE(const QByteArray& bytes);
QString decodeWindows1252(const QByteArray& bytes);
// Appends Windows-1252 bytes to out, decoded.
void appendWindows1252(const QByteArray& bytes, QString& out);

} // namespace richedit::model
