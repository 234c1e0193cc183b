#include "framework/AnsiCodePage.h"

#include <QStringDecoder>

#include <array>

namespace {

// The characters of the bytes 0x80-0x9F. The unassigned bytes keep their own number.
constexpr std::array<char16_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80-0x87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88-0x8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90-0x97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98-0x9F
};

// The byte of a character, or -1 when the code page does not hold it.
int AnsiByteOf(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (size_t i = 0; i < kHighControlRange.size(); ++i) {
        if (kHighControlRange[i] == c)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

} // namespace

char16_t AnsiCharOf(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControlRange[byte - 0x80];
    return byte;
}

QString AnsiToString(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(AnsiCharOf(static_cast<unsigned char>(bytes[i])));
    return text;
}

QByteArray StringToAnsi(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            bytes.append('?');
            ++i;
            continue;
        }
        const int byte = AnsiByteOf(c.unicode());
        bytes.append(byte < 0 ? '?' : static_cast<char>(byte));
    }
    return bytes;
}

QByteArray StringToStreamText(const QString& text) {
    if (text.startsWith(QChar(0xFEFF)))
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    return text.toUtf8();
}

QString StreamTextToString(const QByteArray& bytes) {
    QByteArrayView utf8Bytes(bytes);
    if (utf8Bytes.startsWith("\xEF\xBB\xBF"))
        utf8Bytes = utf8Bytes.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(utf8Bytes);
    if (!utf8.hasError())
        return text;
    return AnsiToString(bytes);
}
