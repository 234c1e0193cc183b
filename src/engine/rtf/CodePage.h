#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <unordered_map>

namespace richedit::rtf {

// The Windows code page a font's character set stands for (0 when the set names none).
int codePageOfCharset(int charset);

// Decodes 8-bit text in a Windows code page. Windows-1252 and UTF-8 are decoded here; the other
// code pages (874, 1250-1258, Shift-JIS, GBK, Big5, Korean, the DOS and Mac pages) go through
// the C library's iconv, opened once per code page and kept for the decoder's life. Bytes that
// do not decode become U+FFFD; nothing is dropped silently and nothing throws.
class CodePageDecoder {
public:
    CodePageDecoder();
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;

    void decode(const QByteArray& bytes, int codePage, QString& out);

private:
    struct Converter;
    Converter* converterFor(int codePage);
    std::unordered_map<int, std::unique_ptr<Converter>> converters_;
};

} // namespace richedit::rtf
