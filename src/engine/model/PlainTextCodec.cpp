#include "engine/model/PlainTextCodec.h"

#include <QStringDecoder>

namespace richedit::model {

namespace {

constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool startsWith(const QByteArray& b, std::initializer_list<unsigned char> prefix) {
    if (size_t(b.size()) < prefix.size())
        return false;
    qsizetype i = 0;
    for (unsigned char c : prefix)
        if (static_cast<unsigned char>(b[i++]) != c)
            return false;
    return true;
}

QString decodeUtf16(QByteArrayView bytes, bool bigEndian) {
    QString out;
    out.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const auto lo = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
        const auto hi = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
        out.append(QChar(char16_t(lo | (hi << 8))));
    }
    return out;
}

} // namespace

void appendWindows1252(const QByteArray& bytes, QString& out) {
    const qsizetype base = out.size();
    out.resize(base + bytes.size());
    QChar* d = out.data() + base;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        d[i] = (c >= 0x80 && c < 0xA0) ? QChar(kCp1252High[c - 0x80]) : QChar(char16_t(c));
    }
}

QString decodeWindows1252(const QByteArray& bytes) {
    QString out;
    appendWindows1252(bytes, out);
    return out;
}

QString decodeUtf16LE(const QByteArray& bytes) {
    QByteArrayView v(bytes);
    if (startsWith(bytes, {0xFF, 0xFE}))
        v = v.sliced(2);
    return decodeUtf16(v, false);
}

QString decodePlainText(const QByteArray& bytes) {
    if (startsWith(bytes, {0xEF, 0xBB, 0xBF})) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                      QStringDecoder::Flag::ConvertInitialBom);
        return utf8(QByteArrayView(bytes).sliced(3));
    }
    if (startsWith(bytes, {0xFF, 0xFE}))
        return decodeUtf16(QByteArrayView(bytes).sliced(2), false);
    if (startsWith(bytes, {0xFE, 0xFF}))
        return decodeUtf16(QByteArrayView(bytes).sliced(2), true);
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return decodeWindows1252(bytes);
}

} // namespace richedit::model
