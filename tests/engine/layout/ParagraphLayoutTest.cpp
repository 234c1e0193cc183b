#include "LayoutTestSupport.h"

#include "engine/layout/QtTextMeasurer.h"
#include "engine/model/PictureObject.h"

#include <gtest/gtest.h>

using namespace richedit;
using namespace richedit::layout;
using namespace richedit::layout::test;

namespace {

model::ParaFormat withAlignment(uint16_t alignment, int32_t start = 0, int32_t offset = 0,
                                int32_t right = 0) {
    model::ParaFormat f;
    f.alignment = alignment;
    f.startIndent = start;
    f.offset = offset;
    f.rightIndent = right;
    return f;
}

} // namespace

TEST(ParagraphLayout, BreaksAtOpportunitiesWithinTheWidth) {
    struct Case {
        QString text;
        int32_t width;
        std::vector<int32_t> starts;
    } cases[] = {
        {u"aaa bbb ccc"_qs, 2000, {0}},
        {u"aaa bbb ccc"_qs, 800, {0, 8}}, // the space after bbb hangs past the edge
        {u"aaa bbb ccc"_qs, 700, {0, 8}}, // "aaa bbb" fits exactly
        {u"aaa bbb ccc"_qs, 699, {0, 4, 8}},
        {u"abcdefghij"_qs, 350, {0, 3, 6, 9}},         // a long word breaks where it must
        {u"ab cdefghij"_qs, 350, {0, 3, 6, 9}},        // ... after the last word that fits
        {u"well-known"_qs, 600, {0, 5}},               // after a hyphen
        {u"ab\vcd ef"_qs, 2000, {0, 3}},               // U+000B always breaks
        {u"ab\v"_qs, 2000, {0, 3}},                    // ... leaving an empty last line
        {u"x"_qs, 10, {0}},                            // one character always goes on a line
        {u"e\u0301e\u0301e\u0301"_qs, 150, {0, 2, 4}}, // graphemes stay whole
        {QString(), 1000, {0}},                        // an empty paragraph has one line
    };
    FixedMeasurer m;
    for (const Case& c : cases) {
        const ParagraphLayout l = TestParagraph(c.text).layOut(c.width, m);
        EXPECT_EQ(lineStarts(l), c.starts) << c.text.toStdString() << " at " << c.width;
    }
}

TEST(ParagraphLayout, SoftBreakEndsTheLineAndItsJustification) {
    FixedMeasurer m;
    const ParagraphLayout l =
        TestParagraph(u"aa bb\vcc dd ee ff"_qs, withAlignment(PFA_JUSTIFY)).layOut(2000, m);
    ASSERT_EQ(l.lineCount(), 2);
    EXPECT_TRUE(l.line(0).forcedBreak);
    EXPECT_EQ(l.xOfOffset(3).v, 300) << "a line ended by U+000B is not stretched";
    EXPECT_TRUE(l.line(1).lastLine);
}

TEST(ParagraphLayout, TabsLandOnTheirStops) {
    struct Case {
        const char* name;
        std::vector<int32_t> stops;
        QString text;
        int32_t offset; // of the character whose x is checked
        int32_t x;
    } cases[] = {
        {"default stop", {}, u"a\tb"_qs, 2, 720},
        {"second default stop", {}, u"abcdefgh\tb"_qs, 9, 1440},
        {"left stop", {tab(1000, 0)}, u"a\tb"_qs, 2, 1000},
        {"stop behind the pen is skipped", {tab(50, 0)}, u"a\tb"_qs, 2, 720},
        {"after the last stop, default stops", {tab(300, 0)}, u"abcd\tb"_qs, 5, 720},
        {"centre", {tab(2000, 1)}, u"a\tbcd"_qs, 2, 1850},
        {"right", {tab(2000, 2)}, u"a\tbcd"_qs, 2, 1700},
        {"decimal", {tab(2000, 3)}, u"a\t12.5"_qs, 2, 1800},
        {"decimal without a point aligns right", {tab(2000, 3)}, u"a\t125"_qs, 2, 1700},
        {"decimal at the point after thousands", {tab(2000, 3)}, u"a\t1,234.5"_qs, 2, 1500},
        {"decimal at a comma after a point", {tab(2000, 3)}, u"a\t1.234,5"_qs, 2, 1500},
        {"decimal at the first number's point", {tab(2000, 3)}, u"a\tabout 3.5 m."_qs, 2, 1300},
        {"decimal: a full stop after a number", {tab(2000, 3)}, u"a\t12. x"_qs, 2, 1800},
        {"decimal: a point before the digits", {tab(2000, 3)}, u"a\t.25"_qs, 2, 2000},
        {"decimal: text without a number aligns right", {tab(2000, 3)}, u"a\tabc"_qs, 2, 1700},
        {"bar stop is not a stop", {tab(1000, 4)}, u"a\tb"_qs, 2, 720},
        {"leader does not move it", {tab(1000, 0, 1)}, u"a\tb"_qs, 2, 1000},
        {"stops in any order", {tab(3000, 0), tab(1000, 0)}, u"a\tb\tc"_qs, 4, 3000},
    };
    FixedMeasurer m;
    for (const Case& c : cases) {
        model::ParaFormat pf;
        pf.tabCount = int16_t(c.stops.size());
        std::copy(c.stops.begin(), c.stops.end(), pf.tabs.begin());
        const ParagraphLayout l = TestParagraph(c.text, pf).layOut(9000, m);
        EXPECT_EQ(l.xOfOffset(c.offset).v, c.x) << c.name;
    }
}

TEST(ParagraphLayout, HangingIndentIsATabStopOfTheFirstLine) {
    // Lines after the first start at 1440; the first at 0.
    struct Case {
        const char* name;
        std::vector<int32_t> stops;
        QString text;
        int32_t offset; // of the character whose x is checked
        int32_t x;
    } cases[] = {
        {"before the default stops", {}, u"a\tb"_qs, 2, 1440},
        {"before an explicit stop beyond it", {tab(2000, 0)}, u"a\tb"_qs, 2, 1440},
        {"after an explicit stop before it", {tab(1000, 0)}, u"a\tb"_qs, 2, 1000},
        {"not once the pen has passed it", {}, u"abcdefghijklmnop\tb"_qs, 17, 2160},
        {"only for the next tab", {}, u"a\tb\tc"_qs, 4, 2160},
    };
    FixedMeasurer m;
    for (const Case& c : cases) {
        model::ParaFormat pf = withAlignment(PFA_LEFT, 0, 1440);
        pf.tabCount = int16_t(c.stops.size());
        std::copy(c.stops.begin(), c.stops.end(), pf.tabs.begin());
        const ParagraphLayout l = TestParagraph(c.text, pf).layOut(9000, m);
        EXPECT_EQ(l.xOfOffset(c.offset).v, c.x) << c.name;
    }
}

TEST(ParagraphLayout, AlignedLinesMoveWholeWithTheirTabsAndLeaders) {
    // "ab\tcd" at 3000 twips: laid out from the line's start, the tab ends at its stop, then
    // the line moves by the room its alignment gives it.
    struct Case {
        const char* name;
        uint16_t alignment;
        int32_t stop;
        int32_t left;  // of the line
        int32_t after; // x of the character after the tab
    } cases[] = {
        {"left, left stop", PFA_LEFT, tab(1000, 0, LeaderDots), 0, 1000},
        {"right, left stop", PFA_RIGHT, tab(1000, 0, LeaderDots), 1800, 2800},
        {"centre, left stop", PFA_CENTER, tab(1000, 0, LeaderDots), 900, 1900},
        {"right, right stop", PFA_RIGHT, tab(1000, 2, LeaderDots), 2000, 2800},
        {"centre, centre stop", PFA_CENTER, tab(1000, 1, LeaderDots), 950, 1850},
        {"right, decimal stop", PFA_RIGHT, tab(1000, 3, LeaderDots), 2000, 2800},
        {"justified, left stop", PFA_JUSTIFY, tab(1000, 0, LeaderDots), 0, 1000},
    };
    FixedMeasurer m;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model::ParaFormat pf = withAlignment(c.alignment);
        pf.tabCount = 1;
        pf.tabs[0] = c.stop;
        const ParagraphLayout l = TestParagraph(u"ab\tcd"_qs, pf).layOut(3000, m);
        ASSERT_EQ(l.lineCount(), 1);
        EXPECT_EQ(l.line(0).left.v, c.left);
        EXPECT_EQ(l.xOfOffset(3).v, c.after);
        EXPECT_EQ(l.xOfOffset(2).v, c.left + 200) << "the tab starts after \"ab\"";
        EXPECT_EQ(l.tabLeader(2), LeaderDots);
        EXPECT_EQ(l.tabLeader(1), LeaderNone) << "only tabs have leaders";
    }
}

TEST(ParagraphLayout, LeadersBelongToTheStopATabWentTo) {
    model::ParaFormat pf;
    pf.tabCount = 3;
    pf.tabs[0] = tab(2000, 0, LeaderLine);
    pf.tabs[1] = tab(1000, 2, LeaderDashes); // out of order
    pf.tabs[2] = tab(2500, 0, 9);            // not a leader this layout knows
    FixedMeasurer m;
    // The tabs go to the right stop at 1000, the left stop at 2000, the one at 2500 and a
    // default stop; on the next line the first tab goes to the stop at 1000 again.
    const ParagraphLayout l = TestParagraph(u"a\tb\tc\td\te\vg\th"_qs, pf).layOut(9000, m);
    ASSERT_EQ(l.lineCount(), 2);
    EXPECT_EQ(l.tabLeader(1), LeaderDashes);
    EXPECT_EQ(l.tabLeader(3), LeaderLine);
    EXPECT_EQ(l.tabLeader(5), LeaderNone);
    EXPECT_EQ(l.tabLeader(7), LeaderNone) << "a default stop has no leader";
    EXPECT_EQ(l.tabLeader(11), LeaderDashes);
}

TEST(ParagraphLayout, ALineTooFullToAlignStartsAtItsIndent) {
    // A tab to a stop past the right edge leaves no room to move the line into.
    FixedMeasurer m;
    for (uint16_t alignment : {PFA_RIGHT, PFA_CENTER}) {
        SCOPED_TRACE(alignment);
        model::ParaFormat pf = withAlignment(alignment, 100);
        pf.tabCount = 1;
        pf.tabs[0] = tab(5000, 0);
        const ParagraphLayout l = TestParagraph(u"ab\tcd"_qs, pf).layOut(3000, m);
        ASSERT_EQ(lineStarts(l), (std::vector<int32_t>{0, 3}));
        EXPECT_EQ(l.line(0).left.v, 100);
        EXPECT_EQ(l.xOfOffset(0).v, 100);
    }
}

TEST(ParagraphLayout, IndentsAndAlignmentPlaceLines) {
    // "aaaa bbbb cccc" wraps into three lines of 400 twips of text each.
    struct Case {
        const char* name;
        model::ParaFormat format;
        std::vector<int32_t> lefts;
    } cases[] = {
        {"left", withAlignment(PFA_LEFT), {0, 0, 0}},
        {"start indent and offset", withAlignment(PFA_LEFT, 200, 100), {200, 300, 300}},
        {"hanging first line", withAlignment(PFA_LEFT, 300, -200), {300, 100, 100}},
        {"right", withAlignment(PFA_RIGHT, 0, 0, 100), {300, 300, 300}},
        {"centre", withAlignment(PFA_CENTER, 100, 0, 100), {200, 200, 200}},
    };
    FixedMeasurer m;
    for (const Case& c : cases) {
        const ParagraphLayout l = TestParagraph(u"aaaa bbbb cccc"_qs, c.format).layOut(800, m);
        ASSERT_EQ(l.lineCount(), 3) << c.name;
        for (int32_t i = 0; i < 3; ++i) {
            EXPECT_EQ(l.line(i).left.v, c.lefts[size_t(i)]) << c.name << " line " << i;
            EXPECT_EQ(l.line(i).right.v - l.line(i).left.v, 400) << c.name << " line " << i;
        }
    }
}

TEST(ParagraphLayout, JustifyStretchesSpacesExceptOnTheLastLine) {
    FixedMeasurer m;
    const ParagraphLayout l =
        TestParagraph(u"a bb cc dd"_qs, withAlignment(PFA_JUSTIFY)).layOut(800, m);
    ASSERT_EQ(lineStarts(l), (std::vector<int32_t>{0, 8}));
    // "a bb cc" is 700 wide: its two spaces share the 100 left over.
    EXPECT_EQ(l.xOfOffset(2).v, 250);
    EXPECT_EQ(l.xOfOffset(5).v, 600);
    EXPECT_EQ(l.line(0).right.v, 800);
    EXPECT_EQ(l.xOfOffset(9).v, 100) << "the last line keeps its natural spacing";
}

TEST(ParagraphLayout, LineSpacingRulesSetLineHeights) {
    // The text is 200 twips tall (ascent 160, descent 40).
    struct Case {
        uint8_t rule;
        int32_t spacing;
        int32_t height;
        int32_t baseline;
    } cases[] = {
        {0, 0, 200, 160},   {1, 0, 300, 160},   {2, 0, 400, 160},
        {3, 100, 200, 160}, {3, 500, 500, 460}, {4, 150, 150, 110},
        {4, 500, 500, 460}, {5, 30, 300, 160},  {5, 40, 400, 160},
    };
    FixedMeasurer m;
    for (const Case& c : cases) {
        model::ParaFormat pf;
        pf.lineSpacingRule = c.rule;
        pf.lineSpacing = c.spacing;
        pf.spaceBefore = 120;
        pf.spaceAfter = 60;
        const ParagraphLayout l = TestParagraph(u"aa bb"_qs, pf).layOut(300, m);
        ASSERT_EQ(l.lineCount(), 2);
        SCOPED_TRACE(testing::Message() << "rule " << int(c.rule) << " spacing " << c.spacing);
        EXPECT_EQ(l.line(0).top.v, 120);
        EXPECT_EQ(l.line(0).height.v, c.height);
        EXPECT_EQ(l.line(0).baseline.v, c.baseline);
        EXPECT_EQ(l.line(1).top.v, 120 + c.height);
        EXPECT_EQ(l.height().v, 120 + 2 * c.height + 60);
    }
}

TEST(ParagraphLayout, TallestRunSetsTheLineHeight) {
    model::CharFormat big;
    big.height = 400;
    model::CharFormat raised;
    raised.offset = 100;
    FixedMeasurer m;
    const ParagraphLayout l =
        TestParagraph({{u"a"_qs, {}}, {u"B"_qs, big}, {u"c"_qs, raised}}).layOut(9000, m);
    EXPECT_EQ(l.line(0).baseline.v, 320);
    EXPECT_EQ(l.line(0).height.v, 320 + 80);
    const ParagraphLayout up = TestParagraph({{u"a"_qs, {}}, {u"c"_qs, raised}}).layOut(9000, m);
    EXPECT_EQ(up.line(0).baseline.v, 260) << "a raised run makes room above";
}

TEST(ParagraphLayout, HiddenTextTakesNoRoom) {
    model::CharFormat hidden;
    hidden.effects |= CFE_HIDDEN;
    hidden.height = 2000;
    FixedMeasurer m;
    const ParagraphLayout l =
        TestParagraph({{u"ab"_qs, {}}, {u"XYZ"_qs, hidden}, {u"cd"_qs, {}}}).layOut(450, m);
    ASSERT_EQ(l.lineCount(), 1) << "hidden text does not push text to a new line";
    EXPECT_EQ(l.xOfOffset(2).v, 200);
    EXPECT_EQ(l.xOfOffset(5).v, 200) << "it keeps its positions, all at one place";
    EXPECT_EQ(l.line(0).height.v, 200) << "nor does it make the line taller";

    QtTextMeasurer qt;
    std::vector<qreal> adv;
    qt.advances(hidden, u"XYZ", adv);
    EXPECT_EQ(adv, (std::vector<qreal>{0, 0, 0}));
}

TEST(ParagraphLayout, NumberSitsInTheHangingIndent) {
    struct Case {
        int32_t startIndent;
        int32_t offset;
        uint16_t numberingTab;
        int32_t textLeft;
    } cases[] = {
        {360, 360, 0, 720},  // text at the offset
        {0, 0, 0, 100},      // a number wider than the room pushes the text
        {100, 200, 500, 600} // the numbering tab, when larger, sets the text
    };
    FixedMeasurer m;
    for (const Case& c : cases) {
        model::ParaFormat pf = withAlignment(PFA_LEFT, c.startIndent, c.offset);
        pf.numbering = PFN_BULLET;
        pf.numberingTab = c.numberingTab;
        const ParagraphLayout l =
            TestParagraph(u"aaaa bbbb cccc dddd"_qs, pf).layOut(1200, m, u"\u2022"_qs);
        EXPECT_EQ(l.numberX().v, c.startIndent);
        EXPECT_EQ(l.line(0).left.v, c.textLeft);
        EXPECT_EQ(l.line(1).left.v, c.startIndent + c.offset);
    }
}

TEST(ParagraphLayout, AListParagraphWithoutANumberStartsWhereTheItemsTextDoes) {
    FixedMeasurer m;
    model::ParaFormat pf = withAlignment(PFA_LEFT, 360, 360);
    pf.numbering = PFN_ARABIC;
    pf.numberingStyle = PFNS_NONUMBER;
    const ParagraphLayout l = TestParagraph(u"aaaa bbbb cccc dddd"_qs, pf).layOut(1200, m);
    EXPECT_EQ(l.line(0).left.v, 720);
    EXPECT_EQ(l.line(1).left.v, 720);
    pf.numberingTab = 500;
    EXPECT_EQ(TestParagraph(u"aaaa"_qs, pf).layOut(1200, m).line(0).left.v, 860);
}

TEST(ParagraphLayout, ObjectsTakeTheirScaledSize) {
    auto picture = std::make_shared<model::PictureObject>();
    picture->goalWidth = 1440;
    picture->goalHeight = 720;
    picture->scaleX = 50;
    picture->scaleY = 200;
    auto pixels = std::make_shared<model::PictureObject>();
    pixels->width = 20;
    pixels->height = 10;
    TestParagraph p(u"a\uFFFCb\uFFFC"_qs);
    p.paragraph.objects = {{1, picture}, {3, pixels}};
    FixedMeasurer m;
    const ParagraphLayout l = p.layOut(9000, m);
    EXPECT_EQ(l.xOfOffset(2).v, 100 + 720);
    EXPECT_EQ(l.line(0).right.v, 100 + 720 + 100 + 300) << "pixels count at 15 twips";
    EXPECT_EQ(l.line(0).baseline.v, 1440) << "an object stands on the baseline";
    EXPECT_EQ(l.line(0).height.v, 1440 + 40);
}

TEST(ParagraphLayout, PositionsAndOffsetsRoundTrip) {
    FixedMeasurer m;
    const ParagraphLayout l =
        TestParagraph(u"one two\tthree four five"_qs, withAlignment(PFA_CENTER)).layOut(1000, m);
    ASSERT_GT(l.lineCount(), 2);
    for (int32_t off = 0; off < l.length() - 1; ++off) {
        const TwipsPoint p = l.positionOf(off);
        EXPECT_EQ(l.offsetAt({Twips(p.x.v + 1), Twips(p.y.v + 1)}), off) << off;
    }
    EXPECT_EQ(l.offsetAt({Twips(-500), Twips(0)}), 0);
    EXPECT_EQ(l.offsetAt({Twips(99999), Twips(99999)}), l.length() - 1);
}

// Layout through Qt's fonts: one font unit is one twip, whatever the screen.
TEST(QtTextMeasurer, AdvancesScaleWithTheHeightAlone) {
    QtTextMeasurer qt;
    model::CharFormat small;
    small.face = u"Liberation Serif"_qs;
    small.height = 240;
    model::CharFormat large = small;
    large.height = 2400;
    std::vector<qreal> a, b;
    qt.advances(small, u"Quillex WAV", a);
    qt.advances(large, u"Quillex WAV", b);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_GT(a[i], 0);
        EXPECT_NEAR(a[i] * 10, b[i], 1e-6) << "unhinted advances are proportional";
    }
    const FontExtents e = qt.extents(small);
    EXPECT_NEAR(e.ascent + e.descent, 240 * 1.15, 240 * 0.1);
}

TEST(QtTextMeasurer, FormatsChangeTheMeasure) {
    QtTextMeasurer qt;
    model::CharFormat plain;
    plain.face = u"Liberation Sans"_qs;
    plain.height = 240;
    auto width = [&](model::CharFormat f, QStringView text) {
        std::vector<qreal> adv;
        qt.advances(f, text, adv);
        qreal w = 0;
        for (qreal a : adv)
            w += a;
        return w;
    };
    const qreal base = width(plain, u"quillex");
    model::CharFormat f = plain;
    f.effects |= CFE_BOLD;
    EXPECT_GT(width(f, u"quillex"), base);
    f = plain;
    f.effects |= CFE_SUPERSCRIPT;
    EXPECT_NEAR(width(f, u"quillex"), base * 2 / 3, base * 0.05);
    f = plain;
    f.effects |= CFE_ALLCAPS;
    EXPECT_DOUBLE_EQ(width(f, u"quillex"), width(plain, u"QUILLEX"));
    f = plain;
    f.spacing = 20;
    EXPECT_DOUBLE_EQ(width(f, u"quillex"), base + 7 * 20);
    std::vector<qreal> pair;
    qt.advances(plain, u"a\U0001D11Eb", pair);
    ASSERT_EQ(pair.size(), 4u);
    EXPECT_EQ(pair[2], 0) << "the second half of a surrogate pair has no advance";
}

TEST(QtTextMeasurer, CharactersTheFontLacksComeFromAnotherFont) {
    // Liberation Sans has no snowman; DejaVu Sans, the only other face installed, has.
    QtTextMeasurer qt;
    model::CharFormat liberation;
    liberation.face = u"Liberation Sans"_qs;
    liberation.height = 240;
    model::CharFormat dejavu = liberation;
    dejavu.face = u"DejaVu Sans"_qs;
    std::vector<qreal> fallback, own, plain;
    qt.advances(liberation, u"a\u2603b", fallback);
    qt.advances(dejavu, u"\u2603", own);
    qt.advances(liberation, u"ab", plain);
    ASSERT_EQ(fallback.size(), 3u);
    EXPECT_NEAR(fallback[1], own[0], 0.5);
    EXPECT_NEAR(fallback[0], plain[0], 0.5) << "the rest keeps its own font's measure";
    EXPECT_NEAR(fallback[2], plain[1], 0.5);
}

TEST(ParagraphLayout, LineBreaksDoNotDependOnScale) {
    // The same paragraph at ten sizes and widths in proportion breaks into the same lines:
    // nothing in the layout rounds to a device's pixels.
    const QString text = u"Tovra Quillex lays out paragraphs in twips, so that a page breaks into "
                         u"the same lines on the screen, in the preview and on paper; long words "
                         u"such as Donaudampfschifffahrtsgesellschaft break where they must."_qs;
    QtTextMeasurer qt;
    std::vector<int32_t> reference;
    for (int32_t scale : {1, 2, 3, 4, 6, 8, 10}) {
        model::CharFormat cf;
        cf.face = u"DejaVu Serif"_qs;
        cf.height = 200 * scale;
        const ParagraphLayout l = TestParagraph({{text, cf}}).layOut(2880 * scale, qt);
        if (reference.empty()) {
            reference = lineStarts(l);
            EXPECT_GT(reference.size(), 4u);
        }
        EXPECT_EQ(lineStarts(l), reference) << "scale " << scale;
        for (int32_t i = 0; i < l.lineCount(); ++i) {
            const LineBox& b = l.line(i);
            EXPECT_LE(b.right.v, 2880 * scale);
            if (i + 1 == l.lineCount() || text.mid(b.start, b.length).indexOf(u' ') < 0)
                continue;
            // The next line's first word would not have fitted on this one.
            const LineBox& next = l.line(i + 1);
            int32_t wordEnd = next.start;
            while (wordEnd < next.end() - 1 && text[wordEnd] != u' ')
                ++wordEnd;
            const int32_t word = l.xOfOffset(wordEnd).v - l.xOfOffset(next.start).v;
            EXPECT_GT(b.penEnd.v + word, 2880 * scale - 2) << "line " << i;
        }
    }
}
