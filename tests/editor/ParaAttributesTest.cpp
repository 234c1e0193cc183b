#include "editor/EditorTestSupport.h"

#include <functional>

using namespace richedit;

class ParaAttributesTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        edit->SetText(u"first paragraph\rsecond paragraph\rthird paragraph"_qs);
        edit->SetSelRange(0, 0);
        edit->SetOnSelectionChange([this](QObject*) { ++selectionChanges; });
    }
    // The engine's format of the paragraph holding cp; the selection is restored.
    PARAFORMAT2 raw(int32_t cp = 0) {
        CHARRANGE keep;
        engine().EM_EXGETSEL(keep);
        engine().EM_EXSETSEL({cp, cp});
        PARAFORMAT2 pf;
        engine().EM_GETPARAFORMAT(pf);
        engine().EM_EXSETSEL(keep);
        return pf;
    }
    void rawSet(const PARAFORMAT2& pf) { engine().EM_SETPARAFORMAT(pf); }
    void rawIndents(int32_t start, int32_t offset, int32_t right = 0) {
        PARAFORMAT2 pf;
        pf.dwMask = PFM_STARTINDENT | PFM_OFFSET | PFM_RIGHTINDENT;
        pf.dxStartIndent = start;
        pf.dxOffset = offset;
        pf.dxRightIndent = right;
        rawSet(pf);
    }
    TTovraParaAttributes& para() { return edit->Paragraph(); }

    int selectionChanges = 0;
};

// The indent operations against the engine's first-line indent and offset, in twips.
TEST_F(ParaAttributesTest, IndentModelConvertsAndLimits) {
    struct Case {
        const char* name;
        TTovraUnits unit;
        int32_t start, offset; // before
        std::function<void(TTovraParaAttributes&)> op;
        int32_t newStart, newOffset;
        bool changes;
    };
    using P = TTovraParaAttributes;
    const Case cases[] = {
        {"left 30 moves both lines", unPoints, 200, 200, [](P& p) { p.SetLeftIndent(30); }, 400,
         200, true},
        {"left -5 gives 0", unPoints, 100, 0, [](P& p) { p.SetLeftIndent(-5); }, 0, 0, true},
        {"left 0 keeps a hanging first line at the edge", unPoints, 200, 200,
         [](P& p) { p.SetLeftIndent(0); }, 0, 0, true},
        {"left unchanged writes nothing", unPoints, 200, 200, [](P& p) { p.SetLeftIndent(20); },
         200, 200, false},
        {"left in millimetres", unMillimeters, 0, 0, [](P& p) { p.SetLeftIndent(10); }, 567, 0,
         true},
        {"first -50 limited to the edge", unPoints, 200, 200, [](P& p) { p.SetFirstIndent(-50); },
         0, 400, true},
        {"first +15 keeps the left indent", unPoints, 200, 200, [](P& p) { p.SetFirstIndent(15); },
         700, -300, true},
        {"first unchanged writes nothing", unPoints, 200, 200, [](P& p) { p.SetFirstIndent(-10); },
         200, 200, false},
        {"first in hundredths of an inch", unInches, 0, 0, [](P& p) { p.SetFirstIndent(50); }, 720,
         -720, true},
        {"both: a negative first line is limited", unPoints, 0, 0,
         [](P& p) { p.SetParagraphIndent(10, -20); }, 0, 200, true},
        {"both: 20 and -10", unPoints, 0, 0, [](P& p) { p.SetParagraphIndent(20, -10); }, 200, 200,
         true},
        {"both: the sum is formed before converting", unInches, 0, 0,
         [](P& p) { p.SetParagraphIndent(1, 1); }, 29, -15, true},
        {"both: a negative left indent gives 0", unPoints, 0, 0,
         [](P& p) { p.SetParagraphIndent(-10, 5); }, 0, 0, false},
        {"both unchanged writes nothing", unPoints, 200, 200,
         [](P& p) { p.SetParagraphIndent(20, -10); }, 200, 200, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        edit->SetMeasurement(c.unit);
        rawIndents(c.start, c.offset);
        selectionChanges = 0;
        c.op(para());
        EXPECT_EQ(raw().dxStartIndent, c.newStart);
        EXPECT_EQ(raw().dxOffset, c.newOffset);
        EXPECT_EQ(selectionChanges, c.changes ? 1 : 0);
        EXPECT_EQ(raw(20).dxStartIndent, 0) << "other paragraphs keep theirs";
    }
}

TEST_F(ParaAttributesTest, IndentsReadInTheUsersUnit) {
    rawIndents(200, 200, 567);
    EXPECT_EQ(para().LeftIndent(), 20);
    EXPECT_EQ(para().FirstIndent(), -10);
    EXPECT_EQ(para().RightIndent(), 28);
    edit->SetMeasurement(unMillimeters);
    int32_t left = 0, first = 0, right = 0;
    para().GetIndents(left, first, right);
    EXPECT_EQ(left, 7); // 400 twips = 7.06 mm
    EXPECT_EQ(first, -4);
    EXPECT_EQ(right, 10);

    edit->SetMeasurement(unPoints);
    selectionChanges = 0;
    para().SetRightIndent(-12);
    EXPECT_EQ(raw().dxRightIndent, -240) << "no limit";
    EXPECT_EQ(selectionChanges, 1);
}

TEST_F(ParaAttributesTest, TabStops) {
    para().SetTabs({36, 72, 18});
    EXPECT_EQ(para().TabCount(), 3);
    EXPECT_EQ(raw().rgxTabs[0], 720);
    EXPECT_EQ(para().Tab(1), 72);
    EXPECT_EQ(para().Tab(2), 18) << "kept in the given order";
    EXPECT_EQ(para().Tab(32), -999);
    EXPECT_EQ(para().Tab(255), -999);

    selectionChanges = 0;
    para().SetTab(32, 100);
    EXPECT_EQ(para().TabCount(), 3);
    EXPECT_EQ(selectionChanges, 0) << "an index out of range is ignored";

    para().SetTabs({36, 72});
    para().SetTab(5, 100);
    const PARAFORMAT2 pf = raw();
    EXPECT_EQ(pf.cTabCount, 6);
    EXPECT_EQ(pf.rgxTabs[0], 720);
    EXPECT_EQ(pf.rgxTabs[1], 1440);
    for (int i = 2; i < 5; ++i)
        EXPECT_EQ(pf.rgxTabs[i], 0) << "what the engine reported for slot " << i;
    EXPECT_EQ(pf.rgxTabs[5], 2000);
    EXPECT_EQ(selectionChanges, 2);

    std::vector<int32_t> forty;
    for (int i = 1; i <= 40; ++i)
        forty.push_back(i * 10);
    para().SetTabs(forty);
    EXPECT_EQ(para().TabCount(), 32);
    EXPECT_EQ(para().Tab(31), 320);
    para().SetTabCount(40);
    EXPECT_EQ(para().TabCount(), 32) << "at most 32 stops";
    para().SetTabCount(1);
    EXPECT_EQ(para().TabCount(), 1);
    EXPECT_EQ(para().Tab(0), 10);
    para().SetTabs({});
    EXPECT_EQ(para().TabCount(), 0);

    // A stop's alignment lives in its high bits: the position reads without it and a new
    // position keeps it. Negative positions give 0.
    PARAFORMAT2 right;
    right.dwMask = PFM_TABSTOPS;
    right.cTabCount = 1;
    right.rgxTabs[0] = (2 << 24) | 1440;
    rawSet(right);
    EXPECT_EQ(para().Tab(0), 72);
    para().SetTab(0, 36);
    EXPECT_EQ(raw().rgxTabs[0], (2 << 24) | 720);
    para().SetTabs({-5});
    EXPECT_EQ(raw().rgxTabs[0], 0);
}

TEST_F(ParaAttributesTest, NumberingMakesRoomForTheNumber) {
    struct Case {
        TTovraUnits unit;
        int32_t startIndent;
        TTovraNumbering numbering;
        uint16_t code;
        int32_t startAfter;
    };
    const Case cases[] = {
        {unPoints, 0, nsBullet, 1, 200},          // 10 points
        {unPoints, 400, nsArabicNumbers, 2, 400}, // already indented enough
        {unMillimeters, 0, nsUpCaseRoman, 6, 567},
        {unPoints, 400, nsNone, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.numbering));
        edit->SetMeasurement(c.unit);
        rawIndents(c.startIndent, 0);
        para().SetNumbering(c.numbering);
        EXPECT_EQ(raw().wNumbering, c.code);
        EXPECT_EQ(raw().dxStartIndent, c.startAfter);
        EXPECT_EQ(para().Numbering(), c.numbering);
    }

    // A hanging bullet loses its numbering and its indent, and its first line stays on the page.
    edit->SetMeasurement(unPoints);
    para().SetParagraphIndent(20, -10);
    para().SetNumbering(nsBullet);
    EXPECT_EQ(para().LeftIndent(), 20);
    para().SetNumbering(nsNone);
    EXPECT_EQ(para().LeftIndent(), 0);
    EXPECT_GE(raw().dxStartIndent, 0);
}

TEST_F(ParaAttributesTest, NumberingStylesTabsAndStart) {
    struct StyleCase {
        TTovraNumberingStyle style;
        uint16_t code;
    };
    for (const StyleCase& c : {StyleCase{nsParenthesis, 0x000}, StyleCase{nsPeriod, 0x200},
                               StyleCase{nsEnclosed, 0x100}, StyleCase{nsSimple, 0x300}}) {
        para().SetNumberingStyle(c.style);
        EXPECT_EQ(raw().wNumberingStyle, c.code);
        EXPECT_EQ(para().NumberingStyle(), c.style);
    }
    PARAFORMAT2 flagged;
    flagged.dwMask = PFM_NUMBERINGSTYLE;
    flagged.wNumberingStyle = PFNS_NEWNUMBER | 0x200;
    rawSet(flagged);
    EXPECT_EQ(para().NumberingStyle(), nsPeriod) << "the new-number flag is not a style";

    para().SetNumberingTab(18);
    EXPECT_EQ(raw().wNumberingTab, 360);
    EXPECT_EQ(para().NumberingTab(), 18);
    para().SetNumberingStart(5);
    EXPECT_EQ(raw().wNumberingStart, 5);
    EXPECT_EQ(para().NumberingStart(), 5);
}

TEST_F(ParaAttributesTest, SpacingAndLineSpacingKeepEachOther) {
    para().SetSpaceBefore(6);
    para().SetSpaceAfter(12);
    EXPECT_EQ(raw().dySpaceBefore, 120);
    EXPECT_EQ(raw().dySpaceAfter, 240);
    EXPECT_EQ(para().SpaceBefore(), 6);
    EXPECT_EQ(para().SpaceAfter(), 12);

    para().SetLineSpacingRule(lsMultiple);
    para().SetLineSpacing(2);
    EXPECT_EQ(raw().bLineSpacingRule, 5) << "the spacing write keeps the rule";
    EXPECT_EQ(raw().dyLineSpacing, 40);
    EXPECT_EQ(para().LineSpacing(), 2) << "two lines read as a length";
    para().SetLineSpacingRule(lsSpecified);
    EXPECT_EQ(raw().dyLineSpacing, 40) << "the rule write keeps the spacing";
    EXPECT_EQ(para().LineSpacingRule(), lsSpecified);
}

TEST_F(ParaAttributesTest, AlignmentHeadingAndTableStyle) {
    struct AlignCase {
        TTovraParaAlignment alignment;
        uint16_t code;
    };
    for (const AlignCase& c :
         {AlignCase{paCenter, PFA_CENTER}, AlignCase{paRightJustify, PFA_RIGHT},
          AlignCase{paLeftJustify, PFA_LEFT}}) {
        para().SetAlignment(c.alignment);
        EXPECT_EQ(raw().wAlignment, c.code);
        EXPECT_EQ(para().Alignment(), c.alignment);
    }
    PARAFORMAT2 justified;
    justified.dwMask = PFM_ALIGNMENT;
    justified.wAlignment = PFA_JUSTIFY;
    rawSet(justified);
    EXPECT_EQ(para().Alignment(), paLeftJustify);

    // Right to left: left and right are mirrored on the way in and on the way out.
    edit->setLayoutDirection(Qt::RightToLeft);
    para().SetAlignment(paLeftJustify);
    EXPECT_EQ(raw().wAlignment, PFA_RIGHT);
    EXPECT_EQ(para().Alignment(), paLeftJustify);
    para().SetAlignment(paCenter);
    EXPECT_EQ(raw().wAlignment, PFA_CENTER);
    edit->setLayoutDirection(Qt::LeftToRight);

    para().SetHeadingStyle(3);
    EXPECT_EQ(raw().sStyle, 3);
    EXPECT_EQ(para().HeadingStyle(), 3);

    struct TableCase {
        TTovraParaTableStyle written, reads;
        uint16_t bits;
    };
    for (const TableCase& c :
         {TableCase{tsTableRow, tsTableRow, 0xC000},
          TableCase{tsTableCellEnd, tsTableCellEnd, 0x8000}, TableCase{tsTable, tsTable, 0x4000},
          TableCase{tsTableCell, tsTable, 0x4000}, TableCase{tsNone, tsNone, 0}}) {
        SCOPED_TRACE(int(c.written));
        para().SetTableStyle(c.written);
        EXPECT_EQ(raw().wEffects & 0xC000, c.bits);
        EXPECT_EQ(para().TableStyle(), c.reads);
    }
}

TEST_F(ParaAttributesTest, ClearToDefaultsResetsInOneWrite) {
    para().SetParagraphIndent(30, -10);
    para().SetRightIndent(5);
    para().SetAlignment(paCenter);
    para().SetTabs({36});
    para().SetNumbering(nsArabicNumbers);
    para().SetSpaceBefore(4);
    para().SetSpaceAfter(4);
    para().SetLineSpacingRule(lsDouble);
    para().SetNumberingStyle(nsPeriod);
    para().SetNumberingTab(9);
    para().SetNumberingStart(3);
    selectionChanges = 0;
    para().ClearToDefaults();
    EXPECT_EQ(selectionChanges, 1);
    const PARAFORMAT2 pf = raw();
    EXPECT_EQ(pf.dxStartIndent, 0);
    EXPECT_EQ(pf.dxOffset, 0);
    EXPECT_EQ(pf.dxRightIndent, 0);
    EXPECT_EQ(pf.wAlignment, PFA_LEFT);
    EXPECT_EQ(pf.cTabCount, 0);
    EXPECT_EQ(pf.wNumbering, 0);
    EXPECT_EQ(pf.dySpaceBefore, 0);
    EXPECT_EQ(pf.dySpaceAfter, 0);
    EXPECT_EQ(pf.bLineSpacingRule, 0);
    EXPECT_EQ(pf.dyLineSpacing, 0);
    EXPECT_EQ(pf.wNumberingStyle, 0);
    EXPECT_EQ(pf.wNumberingTab, 0);
    EXPECT_EQ(pf.wNumberingStart, 0);
}

TEST_F(ParaAttributesTest, AssignCopiesWhatIsTheSameOverTheSourceParagraphs) {
    edit->SetSelRange(0, 20); // the first two paragraphs
    para().SetParagraphIndent(20, -10);
    para().SetAlignment(paCenter);
    edit->SetSelRange(20, 0);
    para().SetTabs({50});
    edit->SetSelRange(0, 20); // indents and alignment shared, tabs differ

    TTovraRichEdit target;
    target.resize(300, 200);
    target.show();
    target.SetText(u"target"_qs);
    target.Paragraph().SetParagraphIndent(40, 0);
    target.Paragraph().SetTabs({10, 20});
    target.Paragraph().Assign(&para());
    EXPECT_EQ(target.Paragraph().LeftIndent(), 20) << "absolute, not added to the target's";
    EXPECT_EQ(target.Paragraph().FirstIndent(), -10);
    EXPECT_EQ(target.Paragraph().Alignment(), paCenter);
    EXPECT_EQ(target.Paragraph().TabCount(), 2) << "differing tabs are not copied";

    // A copy into a right-to-left editor keeps the engine's alignment as it is.
    para().SetAlignment(paRightJustify);
    target.setLayoutDirection(Qt::RightToLeft);
    target.Paragraph().Assign(&para());
    PARAFORMAT2 pf;
    target.Engine()->EM_GETPARAFORMAT(pf);
    EXPECT_EQ(pf.wAlignment, PFA_RIGHT);
}

TEST_F(ParaAttributesTest, WritesCreateTheWindowReadsWithoutOneGiveZeros) {
    TTovraRichEdit fresh;
    EXPECT_EQ(fresh.Paragraph().LeftIndent(), 0);
    EXPECT_EQ(fresh.Paragraph().TabCount(), 0);
    EXPECT_EQ(fresh.Paragraph().Alignment(), paLeftJustify);
    EXPECT_FALSE(fresh.HandleAllocated()) << "reads make no window";
    fresh.Paragraph().SetAlignment(paCenter);
    ASSERT_TRUE(fresh.HandleAllocated());
    EXPECT_EQ(fresh.Paragraph().Alignment(), paCenter);

    TTovraRichEdit tabs;
    tabs.Paragraph().SetTab(1, 20);
    ASSERT_TRUE(tabs.HandleAllocated());
    EXPECT_EQ(tabs.Paragraph().TabCount(), 2);
    EXPECT_EQ(tabs.Paragraph().Tab(1), 20);
}

TEST_F(ParaAttributesTest, OlderEnginesGiveNeutralValuesAndSkipNewerAttributes) {
    {
        ScopedRichEditVersion v2(2);
        make();
        edit->SetText(u"second engine"_qs);
        para().SetNumberingStart(5);
        para().SetHeadingStyle(2);
        EXPECT_EQ(raw().wNumberingStart, 0) << "needs the third engine";
        EXPECT_EQ(raw().sStyle, 0);
        EXPECT_EQ(para().HeadingStyle(), 0);
        para().SetSpaceBefore(6);
        para().SetTableStyle(tsTableRow);
        EXPECT_EQ(para().SpaceBefore(), 6) << "the second engine has spacing";
        EXPECT_EQ(para().TableStyle(), tsTableRow);
    }
    {
        ScopedRichEditVersion v1(1);
        make();
        edit->SetText(u"first engine"_qs);
        para().SetNumbering(nsArabicNumbers);
        PARAFORMAT pf;
        engine().EM_GETPARAFORMAT(pf);
        EXPECT_EQ(pf.wNumbering, PFN_BULLET) << "the first engine numbers with bullets only";
        EXPECT_EQ(para().Numbering(), nsBullet);
        EXPECT_EQ(para().LeftIndent(), 10);

        para().SetSpaceBefore(6);
        para().SetSpaceAfter(6);
        para().SetLineSpacingRule(lsDouble);
        para().SetNumberingStyle(nsPeriod);
        para().SetTableStyle(tsTable);
        EXPECT_EQ(para().SpaceBefore(), 0);
        EXPECT_EQ(para().SpaceAfter(), 0);
        EXPECT_EQ(para().LineSpacing(), 0);
        EXPECT_EQ(para().LineSpacingRule(), lsSingle);
        EXPECT_EQ(para().NumberingStyle(), nsSimple);
        EXPECT_EQ(para().NumberingStart(), 0);
        EXPECT_EQ(para().TableStyle(), tsNone);

        // The older record still carries indents, alignment and tabs.
        para().SetParagraphIndent(20, -10);
        para().SetAlignment(paRightJustify);
        para().SetTabs({36});
        EXPECT_EQ(para().LeftIndent(), 20);
        EXPECT_EQ(para().FirstIndent(), -10);
        EXPECT_EQ(para().Alignment(), paRightJustify);
        EXPECT_EQ(para().Tab(0), 36);
    }
}
