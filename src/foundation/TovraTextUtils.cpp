#include "foundation/TovraTextUtils.h"

#include "framework/ShellOpener.h"

namespace {

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf8(QByteArray& out, char32_t codePoint) {
    // Above the four-byte range there is no UTF-8 form; such a value becomes U+FFFD.
    if (codePoint > 0x1FFFFF)
        codePoint = 0xFFFD;
    if (codePoint < 0x80) {
        out.append(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.append(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.append(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint <= 0xFFFF) {
        out.append(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.append(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.append(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.append(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.append(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

} // namespace

bool StartsWithText(const QString& text, int position, const QString& prefix) {
    if (position < 1 || position > text.size())
        return false;
    const qsizetype start = position - 1;
    if (prefix.size() > text.size() - start)
        return false;
    return QStringView(text).sliced(start, prefix.size()) == prefix;
}

bool OpenURL(const QString& text, bool noHttpPrefix) {
    QString target = text;
    if (!target.contains(u':')) {
        if (StartsWithText(target, 1, QStringLiteral("www"))) {
            if (!noHttpPrefix)
                target.prepend(QStringLiteral("http://"));
        } else if (StartsWithText(target, 1, QStringLiteral("ftp"))) {
            target.prepend(QStringLiteral("ftp://"));
        } else if (target.indexOf(u'@') > 0) {
            // The first "@" decides: a text that begins with "@" is no mail address.
            target.prepend(QStringLiteral("mailto:"));
        }
    }
    return ShellOpener::Open(target);
}

uint8_t WideToUTF8(const QString& text, QByteArray& out, bool lenient, bool addBOM) {
    out.clear();
    out.reserve(text.size() * 3);
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t unit = text.at(i).unicode();
        char32_t codePoint = unit;
        if (IsHighSurrogate(unit) && i + 1 < length) {
            const char16_t next = text.at(i + 1).unicode();
            if (IsLowSurrogate(next)) {
                codePoint = ((char32_t(unit) - 0xD800) << 10) + (char32_t(next) - 0xDC00) + 0x10000;
                ++i;
            } else if (!lenient) {
                return utf8SourceIllegal;
            }
        } else if (IsLowSurrogate(unit) && !lenient) {
            return utf8SourceIllegal;
        }
        // A high surrogate in the last position stands for itself, also in strict mode.
        AppendUtf8(out, codePoint);
    }
    static const QByteArray bom("\xEF\xBB\xBF");
    if (addBOM && !out.startsWith(bom))
        out.prepend(bom);
    return utf8ConversionOK;
}

bool SameTextUnicode(const QString& a, const QString& b) {
    // Upper case first applies the one-to-many mappings ("ß" to "SS"); lower case then brings
    // characters whose upper forms differ but whose lower forms agree to one form.
    return a.toUpper().toLower() == b.toUpper().toLower();
}
