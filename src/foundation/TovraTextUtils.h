#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// Status answers of WideToUTF8.
inline constexpr uint8_t utf8ConversionOK = 0;
inline constexpr uint8_t utf8SourceIllegal = 3;

// Opens a link text with the desktop's shell opener and answers whether it accepted the request.
// A text without any colon is completed first: one beginning with "www" gets "http://" in front
// (unless noHttpPrefix), else one beginning with "ftp" gets "ftp://", else one whose first "@"
// stands after its first character gets "mailto:". Texts holding a colon are opened unchanged.
bool OpenURL(const QString& text, bool noHttpPrefix);

// Whether text holds prefix from the 1-based position on, compared code unit by code unit
// (so with regard to case). False when position is below 1 or beyond the end of text; an empty
// prefix matches at every position inside text.
bool StartsWithText(const QString& text, int position, const QString& prefix);

// Converts UTF-16 text to UTF-8 bytes in out and answers utf8ConversionOK or, when a surrogate
// stands without its partner and lenient is false, utf8SourceIllegal; out then holds what was
// converted before that unit, without a byte-order mark. When lenient is true, a lone surrogate
// is written as a code point of its own (three bytes). When addBOM is true, a successful result
// begins with the UTF-8 byte-order mark EF BB BF, added only when the text did not already begin
// with one.
uint8_t WideToUTF8(const QString& text, QByteArray& out, bool lenient, bool addBOM);

// Whether a and b are equal regardless of letter case, using the full Unicode case mappings
// (where one character may become several, such as "ß" and "SS").
bool SameTextUnicode(const QString& a, const QString& b);
