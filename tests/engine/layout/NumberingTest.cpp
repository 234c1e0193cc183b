#include "engine/layout/Numbering.h"

#include <gtest/gtest.h>

using namespace richedit;
using namespace richedit::layout;

TEST(Numbering, TextForEveryKindAndStyle) {
    struct Case {
        uint16_t numbering;
        uint16_t style;
        int32_t number;
        QString text;
    } cases[] = {
        {0, PFNS_PERIOD, 3, QString()},
        {PFN_BULLET, PFNS_PERIOD, 3, u"\u2022"_qs},
        {PFN_ARABIC, PFNS_PAREN, 1, u"1)"_qs},
        {PFN_ARABIC, PFNS_PARENS, 12, u"(12)"_qs},
        {PFN_ARABIC, PFNS_PERIOD, 7, u"7."_qs},
        {PFN_ARABIC, PFNS_PLAIN, 7, u"7"_qs},
        {PFN_ARABIC, PFNS_NONUMBER, 7, QString()},
        {PFN_ARABIC, PFNS_PERIOD | PFNS_NEWNUMBER, 2, u"2."_qs},
        {PFN_LCLETTER, PFNS_PERIOD, 1, u"a."_qs},
        {PFN_LCLETTER, PFNS_PERIOD, 26, u"z."_qs},
        {PFN_LCLETTER, PFNS_PERIOD, 28, u"ab."_qs},
        {PFN_UCLETTER, PFNS_PAREN, 3, u"C)"_qs},
        {PFN_LCROMAN, PFNS_PERIOD, 4, u"iv."_qs},
        {PFN_LCROMAN, PFNS_PARENS, 1994, u"(mcmxciv)"_qs},
        {PFN_UCROMAN, PFNS_PLAIN, 9, u"IX"_qs},
    };
    for (const Case& c : cases) {
        model::ParaFormat f;
        f.numbering = c.numbering;
        f.numberingStyle = c.style;
        EXPECT_EQ(numberText(f, c.number), c.text)
            << c.numbering << " " << c.style << " " << c.number;
    }
}

TEST(Numbering, CountsAcrossConsecutiveParagraphsNumberedAlike) {
    struct P {
        uint16_t numbering;
        uint16_t style;
        uint16_t start;
        int32_t expected;
    } paras[] = {
        {PFN_ARABIC, PFNS_PERIOD, 0, 1},
        {PFN_ARABIC, PFNS_PERIOD, 0, 2},
        {0, 0, 0, 0}, // a plain paragraph ends the list
        {PFN_ARABIC, PFNS_PERIOD, 3, 3},
        {PFN_ARABIC, PFNS_PERIOD, 0, 4},
        {PFN_ARABIC, PFNS_PERIOD | PFNS_NEWNUMBER, 10, 10},
        {PFN_ARABIC, PFNS_PERIOD, 0, 11},
        {PFN_ARABIC, PFNS_PAREN, 0, 1}, // another style starts again
        {PFN_LCLETTER, PFNS_PAREN, 0, 1},
        {PFN_LCLETTER, PFNS_PAREN, 0, 2},
        {PFN_BULLET, 0, 0, 1},
        {PFN_ARABIC, PFNS_NONUMBER, 0, 0}, // no number before the list's first item
        {PFN_ARABIC, PFNS_PERIOD, 0, 1},
        {PFN_ARABIC, PFNS_NONUMBER, 0, 1}, // continues item 1 ...
        {PFN_ARABIC, PFNS_NONUMBER, 0, 1},
        {PFN_ARABIC, PFNS_PERIOD, 0, 2}, // ... and the list goes on
        {PFN_ARABIC, PFNS_PAREN, 0, 1},
        {PFN_ARABIC, PFNS_NONUMBER | PFNS_NEWNUMBER, 5, 4}, // before a new list from 5
        {PFN_ARABIC, PFNS_PAREN, 0, 5},
        {PFN_LCLETTER, PFNS_NONUMBER, 0, 0}, // another kind is another list
    };
    model::Document doc;
    model::DocumentBuilder b(doc);
    const model::CharFormatId cf = doc.charFormats().intern({});
    const int32_t n = int32_t(std::size(paras));
    for (int32_t i = 0; i < n; ++i) {
        model::ParaFormat f;
        f.numbering = paras[i].numbering;
        f.numberingStyle = paras[i].style;
        f.numberingStart = paras[i].start;
        const model::ParaFormatId id = doc.paraFormats().intern(f);
        b.text(u"item", cf);
        if (i + 1 < n)
            b.endParagraph(id, cf);
        else
            b.finish(id, cf);
    }
    NumberingCounter counter(doc);
    // In order (as layout asks), then backwards (as a view scrolling up asks).
    for (int32_t i = 0; i < n; ++i)
        EXPECT_EQ(counter.numberOf(model::ParaIndex(i)), paras[i].expected) << i;
    for (int32_t i = n - 1; i >= 0; --i)
        EXPECT_EQ(counter.numberOf(model::ParaIndex(i)), paras[i].expected) << i;
}
