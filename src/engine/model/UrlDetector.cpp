#include "engine/model/UrlDetector.h"

#include <QLatin1String>

#include <array>

namespace richedit::model {

namespace {

struct Prefix {
    QLatin1String text;
    bool host; // a host name follows at once, and it starts with a letter or digit
};

const Prefix kPrefixes[] = {
    {QLatin1String("http://"), false}, {QLatin1String("https://"), false},
    {QLatin1String("ftp://"), false},  {QLatin1String("file:"), false},
    {QLatin1String("mailto:"), false}, {QLatin1String("news:"), false},
    {QLatin1String("nntp://"), false}, {QLatin1String("telnet://"), false},
    {QLatin1String("www."), true},
};

// Characters that make a prefix part of a longer word ("xhttp://", "a.www.b") or of another
// address or path ("joe@www.", "C:/www.").
bool gluedBefore(QChar c) {
    return c.isLetterOrNumber() || c.isMark() || c == u'_' || c == u'-' || c == u'.' || c == u'@' ||
           c == u'/' || c == u'\\';
}

const Prefix* prefixAt(QStringView text, qsizetype i) {
    const char16_t c = text[i].unicode();
    if (c >= 0x80)
        return nullptr;
    switch (c | 0x20) { // the first letter of some prefix, in either case
    case u'f':
    case u'h':
    case u'm':
    case u'n':
    case u't':
    case u'w':
        break;
    default:
        return nullptr;
    }
    if (i > 0 && gluedBefore(text[i - 1]))
        return nullptr;
    const QStringView rest = text.sliced(i);
    for (const Prefix& p : kPrefixes)
        if (rest.startsWith(p.text, Qt::CaseInsensitive))
            return &p;
    return nullptr;
}

// Characters an address never holds: it ends before them.
bool endsAddress(QChar c) {
    if (isUrlBreak(c))
        return true;
    switch (c.unicode()) {
    case u'<':
    case u'>':
    case u'"':
    case 0x00AB: // « »
    case 0x00BB:
    case 0x2018: // ‘ ’ ‚ ‛
    case 0x2019:
    case 0x201A:
    case 0x201B:
    case 0x201C: // “ ” „ ‟
    case 0x201D:
    case 0x201E:
    case 0x201F:
    case 0x2039: // ‹ ›
    case 0x203A:
        return true;
    default:
        return c.unicode() >= 0x3008 && c.unicode() <= 0x3011; // CJK angle and corner brackets
    }
}

// Punctuation a sentence puts after an address.
bool isTrailingPunctuation(QChar c) {
    switch (c.unicode()) {
    case u'.':
    case u',':
    case u';':
    case u':':
    case u'!':
    case u'?':
    case u'\'':
    case u'`':
    case 0x2026: // …
    case 0x3001: // 、 。
    case 0x3002:
    case 0xFF01: // full-width ! , . : ; ?
    case 0xFF0C:
    case 0xFF0E:
    case 0xFF1A:
    case 0xFF1B:
    case 0xFF1F:
        return true;
    default:
        return false;
    }
}

constexpr std::array<char16_t, 3> kOpening = {u'(', u'[', u'{'};
constexpr std::array<char16_t, 3> kClosing = {u')', u']', u'}'};

int bracketIndex(const std::array<char16_t, 3>& set, QChar c) {
    for (size_t k = 0; k < set.size(); ++k)
        if (set[k] == c.unicode())
            return int(k);
    return -1;
}

} // namespace

bool isUrlBreak(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80)
        return u <= 0x20 || u == 0x7F;
    return c.isSpace() || c.category() == QChar::Other_Control || u == 0xFFFC || u == 0x200B;
}

std::vector<UrlRange> findUrls(QStringView text) {
    std::vector<UrlRange> found;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const Prefix* prefix = prefixAt(text, i);
        if (!prefix) {
            ++i;
            continue;
        }
        const qsizetype body = i + prefix->text.size();
        const bool quoted = i > 0 && text[i - 1] == u'\'';
        qsizetype end = body;
        while (end < n && !endsAddress(text[end]) && !(quoted && text[end] == u'\''))
            ++end;

        // Trailing punctuation and unmatched closing brackets belong to the sentence.
        std::array<int32_t, 3> opened{}, closed{};
        for (qsizetype k = i; k < end; ++k) {
            if (const int b = bracketIndex(kOpening, text[k]); b >= 0)
                ++opened[size_t(b)];
            else if (const int c = bracketIndex(kClosing, text[k]); c >= 0)
                ++closed[size_t(c)];
        }
        while (end > body) {
            const QChar last = text[end - 1];
            const int b = bracketIndex(kClosing, last);
            if (b >= 0 && closed[size_t(b)] > opened[size_t(b)])
                --closed[size_t(b)];
            else if (!isTrailingPunctuation(last))
                break;
            --end;
        }

        if (end > body && (!prefix->host || text[body].isLetterOrNumber())) {
            found.emplace_back(int32_t(i), int32_t(end));
            i = end;
        } else {
            ++i;
        }
    }
    return found;
}

} // namespace richedit::model
