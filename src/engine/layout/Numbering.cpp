#include "engine/layout/Numbering.h"

namespace richedit::layout {

namespace {

QString letters(int32_t n, char16_t a) {
    // 1 = a, 26 = z, 27 = aa, ...
    QString s;
    while (n > 0) {
        --n;
        s.prepend(QChar(char16_t(a + n % 26)));
        n /= 26;
    }
    return s;
}

QString roman(int32_t n, bool upper) {
    static const struct {
        int32_t value;
        const char* digits;
    } table[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"},
                 {90, "xc"},  {50, "l"},   {40, "xl"}, {10, "x"},   {9, "ix"},
                 {5, "v"},    {4, "iv"},   {1, "i"}};
    QString s;
    for (const auto& t : table)
        while (n >= t.value) {
            s += QLatin1String(t.digits);
            n -= t.value;
        }
    return upper ? s.toUpper() : s;
}

int32_t startOf(const model::ParaFormat& f) {
    return f.numberingStart > 0 ? f.numberingStart : 1;
}

} // namespace

QString numberText(const model::ParaFormat& format, int32_t number) {
    if (format.numbering == 0)
        return {};
    if (format.numbering == PFN_BULLET)
        return QStringLiteral("\u2022");
    const uint16_t style = format.numberingStyle & 0x0F00;
    if (style == PFNS_NONUMBER)
        return {};
    QString digits;
    switch (format.numbering) {
    case PFN_LCLETTER:
        digits = letters(number, u'a');
        break;
    case PFN_UCLETTER:
        digits = letters(number, u'A');
        break;
    case PFN_LCROMAN:
        digits = roman(number, false);
        break;
    case PFN_UCROMAN:
        digits = roman(number, true);
        break;
    default:
        digits = QString::number(number);
        break;
    }
    switch (style) {
    case PFNS_PARENS:
        return u'(' + digits + u')';
    case PFNS_PERIOD:
        return digits + u'.';
    case PFNS_PLAIN:
        return digits;
    default:
        return digits + u')';
    }
}

namespace {

// A paragraph that continues a list item: it belongs to the list but shows no number.
bool unnumbered(const model::ParaFormat& f) {
    return (f.numberingStyle & 0x0F00) == PFNS_NONUMBER;
}

} // namespace

bool NumberingCounter::continues(const model::ParaFormat& prev,
                                 const model::ParaFormat& cur) const {
    // A paragraph without a number joins the list it stands in, and the list goes on after it.
    return prev.numbering == cur.numbering &&
           ((prev.numberingStyle & 0x0F00) == (cur.numberingStyle & 0x0F00) || unnumbered(prev) ||
            unnumbered(cur)) &&
           !(cur.numberingStyle & PFNS_NEWNUMBER);
}

int32_t NumberingCounter::numberOf(model::ParaIndex p) const {
    const auto& formats = doc_.paraFormats();
    const model::ParaFormat& cur = formats[doc_.paraFormatId(p)];
    if (cur.numbering == 0)
        return 0;
    // A paragraph without a number has the number of the item it continues.
    const int32_t step = unnumbered(cur) ? 0 : 1;
    int32_t number = 0;
    if (lastPara_ >= 0 && lastPara_ == p.v - 1) {
        const model::ParaFormat& prev = formats[doc_.paraFormatId(model::ParaIndex(lastPara_))];
        number = prev.numbering != 0 && continues(prev, cur) ? lastNumber_ + step
                                                             : startOf(cur) - 1 + step;
    } else {
        // Walk back to the start of the run this paragraph belongs to, counting its numbers.
        int32_t first = p.v;
        int32_t counted = step;
        while (first > 0) {
            const model::ParaFormat& here = formats[doc_.paraFormatId(model::ParaIndex(first))];
            const model::ParaFormat& prev = formats[doc_.paraFormatId(model::ParaIndex(first - 1))];
            if (prev.numbering == 0 || !continues(prev, here))
                break;
            --first;
            if (!unnumbered(prev))
                ++counted;
        }
        number = startOf(formats[doc_.paraFormatId(model::ParaIndex(first))]) - 1 + counted;
    }
    lastPara_ = p.v;
    lastNumber_ = number;
    return number;
}

} // namespace richedit::layout
