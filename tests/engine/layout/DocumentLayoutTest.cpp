#include "LayoutTestSupport.h"

#include "engine/layout/DocumentLayout.h"
#include "engine/layout/QtTextMeasurer.h"

#include <gtest/gtest.h>

#include <random>

using namespace richedit;
using namespace richedit::layout;
using namespace richedit::layout::test;
using model::CharPos;
using model::LineNumber;
using model::ParaIndex;

namespace {

// A document of plain paragraphs, laid out at 1000 twips with 100-twip characters: ten
// characters to a line.
struct Fixture {
    model::Document doc;
    FixedMeasurer fixed;
    QtTextMeasurer qt;
    std::unique_ptr<DocumentLayout> layout;
    std::vector<int32_t> laidOut;

    explicit Fixture(const std::vector<QString>& paragraphs,
                     const std::vector<model::ParaFormat>& formats = {}, bool realFonts = false) {
        model::DocumentBuilder b(doc);
        model::CharFormat text;
        text.face = u"Liberation Serif"_qs;
        const model::CharFormatId cf =
            doc.charFormats().intern(realFonts ? text : model::CharFormat{});
        for (size_t i = 0; i < paragraphs.size(); ++i) {
            const model::ParaFormatId pf =
                doc.paraFormats().intern(i < formats.size() ? formats[i] : model::ParaFormat{});
            b.text(paragraphs[i], cf);
            if (i + 1 < paragraphs.size())
                b.endParagraph(pf, cf);
            else
                b.finish(pf, cf);
        }
        layout = std::make_unique<DocumentLayout>(
            doc, realFonts ? static_cast<TextMeasurer&>(qt) : fixed, Twips(1000));
        doc.setObserver(layout.get());
        layout->setLayoutHook([this](ParaIndex p) { laidOut.push_back(p.v); });
    }
    model::CharFormatId plain() { return doc.charFormats().intern({}); }
    void type(int32_t at, const QString& text) {
        doc.insert(CharPos(at), model::Document::plainFragment(text, plain(), 0));
    }
};

} // namespace

TEST(DocumentLayout, DisplayLinesThroughTheLineIndex) {
    Fixture f({u"aaaa bbbb cccc"_qs, u""_qs, u"dd\vee"_qs});
    const model::LineIndex& lines = *f.layout;
    struct Line {
        int32_t start, length, span;
    } expected[] = {
        {0, 10, 10}, // "aaaa bbbb " wrapped: no mark
        {10, 4, 5},  // "cccc" and its mark
        {15, 0, 1},  // the empty paragraph
        {16, 3, 3},  // "dd" and U+000B
        {19, 2, 2},  // the final paragraph: its mark is not text
    };
    ASSERT_EQ(lines.lineCount(), int32_t(std::size(expected)));
    for (int32_t i = 0; i < lines.lineCount(); ++i) {
        const Line& e = expected[i];
        EXPECT_EQ(lines.lineStart(LineNumber(i)), CharPos(e.start)) << i;
        EXPECT_EQ(lines.lineLength(LineNumber(i)), e.length) << i;
        EXPECT_EQ(lines.lineSpan(LineNumber(i)), e.span) << i;
        for (int32_t c = e.start; c < e.start + e.span; ++c)
            EXPECT_EQ(lines.lineFromChar(CharPos(c)), LineNumber(i)) << c;
    }
    EXPECT_EQ(lines.lineFromChar(f.doc.end()), LineNumber(4));
    EXPECT_EQ(lines.lineStart(LineNumber(5)), CharPos(-1));
    EXPECT_EQ(lines.lineStart(LineNumber(-1)), CharPos(-1));
    EXPECT_EQ(lines.lineLength(LineNumber(5)), 0);
    EXPECT_EQ(f.layout->totalHeight().v, 5 * 200);
}

TEST(DocumentLayout, LaysOutOnlyWhatIsAskedFor) {
    std::vector<QString> paras(50, u"some words in a paragraph"_qs);
    Fixture f(paras);
    EXPECT_EQ(f.layout->positionOfChar(CharPos(0)), (TwipsPoint{Twips(0), Twips(0)}));
    EXPECT_EQ(f.laidOut, (std::vector<int32_t>{0}));
    f.layout->paragraphTop(ParaIndex(3));
    EXPECT_EQ(f.layout->cachedParagraphs(), 3);
    f.layout->totalHeight();
    EXPECT_EQ(f.layout->cachedParagraphs(), 50);
}

TEST(DocumentLayout, EditsLayOutOnlyTheParagraphsTheyTouch) {
    struct Case {
        const char* name;
        std::function<void(Fixture&)> edit;
        std::vector<int32_t> laidOut;
        int32_t paragraphs;
    } cases[] = {
        {"typing in one paragraph", [](Fixture& f) { f.type(17, u"x"_qs); }, {1}, 4},
        {"removing within one", [](Fixture& f) { f.doc.remove(CharPos(16), CharPos(18)); }, {1}, 4},
        {"splitting one", [](Fixture& f) { f.type(17, u"\r"_qs); }, {1, 2}, 5},
        {"joining two", [](Fixture& f) { f.doc.remove(CharPos(20), CharPos(32)); }, {1}, 3},
        {"format of one paragraph",
         [](Fixture& f) {
             model::ParaFormat pf;
             pf.alignment = PFA_CENTER;
             f.doc.setParaFormatId(ParaIndex(2), f.doc.paraFormats().intern(pf));
         },
         {2},
         4},
        {"characters of one paragraph",
         [](Fixture& f) {
             model::CharFormat bold;
             bold.effects |= CFE_BOLD;
             f.doc.overwriteRuns(CharPos(31), {{2, f.doc.charFormats().intern(bold)}});
         },
         {2},
         4},
    };
    for (const Case& c : cases) {
        // Paragraphs at 0, 15, 30 and 45; two lines each but the last.
        Fixture f({u"first paragrap"_qs, u"second paragra"_qs, u"third paragrap"_qs, u"last"_qs});
        const Twips before = f.layout->totalHeight();
        EXPECT_EQ(before.v, 7 * 200);
        f.laidOut.clear();
        c.edit(f);
        f.layout->totalHeight();
        f.layout->lineCount();
        EXPECT_EQ(f.laidOut, c.laidOut) << c.name;
        EXPECT_EQ(f.doc.paragraphCount(), c.paragraphs) << c.name;
        EXPECT_EQ(f.layout->cachedParagraphs(), c.paragraphs) << c.name;
    }
}

TEST(DocumentLayout, NumbersFollowAnEditedList) {
    model::ParaFormat numbered;
    numbered.numbering = PFN_ARABIC;
    numbered.numberingStyle = PFNS_PERIOD;
    numbered.startIndent = 0;
    numbered.offset = 400;
    Fixture f({u"one"_qs, u"two"_qs, u"three"_qs}, {numbered, numbered, numbered});
    f.layout->totalHeight();
    EXPECT_EQ(f.layout->paragraphLayout(ParaIndex(2)).numberText(), u"3."_qs);
    f.laidOut.clear();
    f.doc.setParaFormatId(ParaIndex(0), f.doc.paraFormats().intern({}));
    f.layout->totalHeight();
    EXPECT_EQ(f.laidOut, (std::vector<int32_t>{0, 1, 2})) << "the numbers after it changed";
    EXPECT_EQ(f.layout->paragraphLayout(ParaIndex(1)).numberText(), u"1."_qs);
    EXPECT_EQ(f.layout->paragraphLayout(ParaIndex(2)).numberText(), u"2."_qs);
}

TEST(DocumentLayout, PositionsAndPointsRoundTrip) {
    model::ParaFormat centred;
    centred.alignment = PFA_CENTER;
    centred.spaceBefore = 100;
    model::ParaFormat indented;
    indented.startIndent = 300;
    indented.lineSpacingRule = 2;
    for (bool realFonts : {false, true}) {
        Fixture f({u"one two three four"_qs, u"x\ty\vzz"_qs, u"five six seven eight nine"_qs},
                  {centred, {}, indented}, realFonts);
        EXPECT_GT(f.layout->lineCount(), 5);
        for (CharPos pos(0); pos < f.doc.end(); ++pos) {
            const TwipsPoint p = f.layout->positionOfChar(pos);
            EXPECT_EQ(f.layout->charFromPoint({Twips(p.x.v + 1), Twips(p.y.v + 1)}), pos)
                << pos.v << (realFonts ? " with real fonts" : "");
        }
        EXPECT_EQ(f.layout->positionOfChar(CharPos(0)).y.v, 100) << "after the space before";
        EXPECT_EQ(f.layout->charFromPoint({Twips(-100), Twips(-100)}), CharPos(0));
        EXPECT_EQ(f.layout->charFromPoint({Twips(5000), Twips(100000)}), f.doc.end());
    }
}

TEST(DocumentLayout, NewWidthRewraps) {
    Fixture f({u"aaaa bbbb cccc dddd"_qs});
    EXPECT_EQ(f.layout->lineCount(), 2);
    f.layout->setWidth(Twips(500));
    EXPECT_EQ(f.layout->lineCount(), 4);
    EXPECT_EQ(f.layout->lineStart(LineNumber(3)), CharPos(15));
}

// Typing inside paragraphs moves the lines and tops after them by exactly what a layout made
// from scratch gives, however the edits interleave with questions.
TEST(DocumentLayout, TypingKeepsTheSumsAfterTheParagraphRight) {
    Fixture f({u"one"_qs, u"two words"_qs, u"three"_qs, u"four and more"_qs, u"five"_qs});
    std::mt19937 rng(3);
    for (int step = 0; step < 200; ++step) {
        const ParaIndex p(int32_t(rng() % 5));
        const CharPos start = f.doc.paragraphStart(p);
        const int32_t len = f.doc.paragraph(p).length() - 1;
        if (rng() % 3 == 0 && len > 0) {
            const CharPos at = start + int32_t(rng() % uint32_t(len));
            f.doc.remove(at, at + 1);
        } else {
            f.type((start + int32_t(rng() % uint32_t(len + 1))).v,
                   rng() % 2 ? u"xyz "_qs : u"w"_qs);
        }
        if (rng() % 4 == 0)
            continue; // several edits before the next question
        DocumentLayout fresh(f.doc, f.fixed, Twips(1000));
        ASSERT_EQ(f.layout->lineCount(), fresh.lineCount()) << "step " << step;
        ASSERT_EQ(f.layout->totalHeight(), fresh.totalHeight()) << "step " << step;
        for (ParaIndex q(0); q.v < 5; ++q)
            ASSERT_EQ(f.layout->paragraphTop(q), fresh.paragraphTop(q)) << "step " << step;
    }
}
