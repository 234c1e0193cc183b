#include "engine/model/TextSearch.h"

#include "engine/model/WordBreak.h"

namespace richedit::model {

namespace {

inline char16_t fold(char16_t c) {
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    return char16_t(QChar::toCaseFolded(c));
}

class Matcher {
public:
    Matcher(const QString& pattern, bool matchCase) : matchCase_(matchCase) {
        pat_.reserve(size_t(pattern.size()));
        for (QChar c : pattern)
            pat_.push_back(matchCase ? c.unicode() : fold(c.unicode()));
    }
    int32_t length() const { return int32_t(pat_.size()); }

    // Calls hit(offset) for each match inside s[0, n) in order; stops when hit answers false.
    template <class Hit> void scan(const char16_t* s, int32_t n, Hit&& hit) const {
        const int32_t m = length();
        if (m == 0 || n < m)
            return;
        const char16_t first = pat_[0];
        const int32_t last = n - m;
        for (int32_t i = 0; i <= last; ++i) {
            const char16_t c = matchCase_ ? s[i] : fold(s[i]);
            if (c != first)
                continue;
            int32_t k = 1;
            if (matchCase_) {
                while (k < m && s[i + k] == pat_[size_t(k)])
                    ++k;
            } else {
                while (k < m && fold(s[i + k]) == pat_[size_t(k)])
                    ++k;
            }
            if (k == m && !hit(i))
                return;
        }
    }

private:
    std::vector<char16_t> pat_;
    bool matchCase_;
};

bool wholeWordAt(const Document& doc, CharPos start, int32_t length) {
    const bool before = start > CharPos(0) && isWordChar(doc.charAt(start - 1));
    const CharPos after = start + length;
    const bool next = after < doc.end() && isWordChar(doc.charAt(after));
    return !before && !next;
}

} // namespace

int32_t findText(const Document& doc, const QString& pattern, CharPos from, CharPos to,
                 const SearchOptions& options) {
    const Matcher matcher(pattern, options.matchCase);
    const int32_t m = matcher.length();
    if (m == 0)
        return -1;
    const CharPos lo = std::max(CharPos(0), options.down ? from : to);
    const CharPos hi = std::min(doc.end(), options.down ? to : from);
    if (hi - lo < m)
        return -1;

    auto accept = [&](CharPos at) { return !options.wholeWord || wholeWordAt(doc, at, m); };

    // A match can only cross a paragraph boundary if the pattern holds a paragraph mark; then
    // the range is searched as one piece of text.
    if (pattern.contains(QChar(kParagraphMark))) {
        const QString text = doc.text(lo, hi);
        const auto* s = reinterpret_cast<const char16_t*>(text.constData());
        int32_t found = -1;
        matcher.scan(s, int32_t(text.size()), [&](int32_t i) {
            if (!accept(lo + i))
                return true;
            found = (lo + i).v;
            return !options.down;
        });
        return found;
    }

    if (options.down) {
        int32_t found = -1;
        doc.forEachSegment(lo, hi, [&](const QChar* s, int32_t n, CharPos start) {
            if (found >= 0)
                return;
            matcher.scan(reinterpret_cast<const char16_t*>(s), n, [&](int32_t i) {
                if (!accept(start + i))
                    return true;
                found = (start + i).v;
                return false;
            });
        });
        return found;
    }

    // Upwards: walk paragraphs from the one holding hi back to lo; the last match in the first
    // paragraph that has one is the nearest before the start.
    for (ParaIndex p = doc.paragraphAt(hi); p >= ParaIndex(0); --p) {
        const CharPos start = doc.paragraphStart(p);
        const Paragraph& para = doc.paragraph(p);
        const int32_t a = std::max(0, lo - start);
        const int32_t b = std::min(para.length(), hi - start);
        int32_t found = -1;
        if (b > a) {
            const auto* s = reinterpret_cast<const char16_t*>(para.text.constData()) + a;
            matcher.scan(s, b - a, [&](int32_t i) {
                if (accept(start + a + i))
                    found = (start + a + i).v;
                return true;
            });
        }
        if (found >= 0)
            return found;
        if (start <= lo)
            break;
    }
    return -1;
}

} // namespace richedit::model
