#include "RecordingHost.h"
#include "engine/surface/RichEditEngine.h"

#include <gtest/gtest.h>

using namespace richedit;

namespace {

CHARFORMAT2W charFormat(uint32_t mask, uint32_t effects) {
    CHARFORMAT2W cf;
    cf.dwMask = mask;
    cf.dwEffects = effects;
    return cf;
}

uint32_t readSel(RichEditEngine& e, CHARFORMAT2W& cf) {
    cf = CHARFORMAT2W{};
    return e.EM_GETCHARFORMAT(SCF_SELECTION, cf);
}

} // namespace

TEST(EngineCharFormats, MaskNamesWhatIsUniformOverTheSelection) {
    RichEditEngine e;
    e.WM_SETTEXT(u"plain bold plain"_qs);
    e.EM_EXSETSEL({6, 10});
    ASSERT_TRUE(e.EM_SETCHARFORMAT(SCF_SELECTION, charFormat(CFM_BOLD, CFE_BOLD)));

    CHARFORMAT2W cf;
    e.EM_EXSETSEL({6, 10});
    EXPECT_EQ(readSel(e, cf), CFM_ALL2);
    EXPECT_TRUE(cf.dwEffects & CFE_BOLD);
    EXPECT_EQ(cf.wWeight, 700) << "bold and weight follow each other";

    e.EM_EXSETSEL({3, 8});
    const uint32_t mask = readSel(e, cf);
    EXPECT_FALSE(mask & CFM_BOLD) << "partly bold";
    EXPECT_FALSE(mask & CFM_WEIGHT);
    EXPECT_TRUE(mask & CFM_ITALIC);
    EXPECT_TRUE(mask & CFM_FACE);
    EXPECT_FALSE(cf.dwEffects & CFE_BOLD) << "the record holds the first character's format";

    // A write changes only the masked attributes: italic over the mixed range keeps bold.
    ASSERT_TRUE(e.EM_SETCHARFORMAT(SCF_SELECTION, charFormat(CFM_ITALIC, CFE_ITALIC)));
    e.EM_EXSETSEL({6, 8});
    readSel(e, cf);
    EXPECT_TRUE(cf.dwEffects & CFE_BOLD);
    EXPECT_TRUE(cf.dwEffects & CFE_ITALIC);
    EXPECT_TRUE(e.WM_UNDO());
    readSel(e, cf);
    EXPECT_FALSE(cf.dwEffects & CFE_ITALIC) << "format changes are undoable";
}

TEST(EngineCharFormats, AttributesRoundTripThroughTheFullRecord) {
    RichEditEngine e;
    e.WM_SETTEXT(u"text"_qs);
    e.EM_EXSETSEL({0, -1});
    CHARFORMAT2W in = charFormat(CFM_ALL2, CFE_HIDDEN | CFE_LINK | CFE_REVISED | CFE_SMALLCAPS |
                                               CFE_ALLCAPS | CFE_DISABLED | CFE_SUPERSCRIPT);
    in.yHeight = 310;
    in.yOffset = -40;
    in.crTextColor = RGB(200, 10, 20);
    in.crBackColor = RGB(1, 2, 3);
    in.bCharSet = 238;
    in.bPitchAndFamily = 2;
    setFaceName(in.szFaceName, u"DejaVu Serif"_qs);
    in.wWeight = 300;
    in.sSpacing = 15;
    in.lcid = 0x0407;
    in.sStyle = 3;
    in.wKerning = 24;
    in.bUnderlineType = CFU_UNDERLINEWAVE;
    in.dwEffects |= CFE_UNDERLINE;
    in.bRevAuthor = 2;
    in.bAnimation = 1;
    ASSERT_TRUE(e.EM_SETCHARFORMAT(SCF_SELECTION, in));
    CHARFORMAT2W out;
    EXPECT_EQ(readSel(e, out), CFM_ALL2);
    EXPECT_EQ(out.dwEffects, in.dwEffects);
    EXPECT_EQ(out.yHeight, 310);
    EXPECT_EQ(out.yOffset, -40);
    EXPECT_EQ(out.crTextColor, in.crTextColor);
    EXPECT_EQ(out.crBackColor, in.crBackColor);
    EXPECT_EQ(out.bCharSet, 238);
    EXPECT_EQ(out.bPitchAndFamily, 2);
    EXPECT_EQ(faceNameOf(out.szFaceName), u"DejaVu Serif"_qs);
    EXPECT_EQ(out.wWeight, 300);
    EXPECT_EQ(out.sSpacing, 15);
    EXPECT_EQ(out.lcid, 0x0407u);
    EXPECT_EQ(out.sStyle, 3);
    EXPECT_EQ(out.wKerning, 24);
    EXPECT_EQ(out.bUnderlineType, CFU_UNDERLINEWAVE);
    EXPECT_EQ(out.bRevAuthor, 2);
    EXPECT_EQ(out.bAnimation, 1);

    // The older record reads and writes only its own fields.
    CHARFORMATW old;
    EXPECT_EQ(e.EM_GETCHARFORMAT(SCF_SELECTION, old), CFM_ALL | CFM_EFFECTS);
    EXPECT_EQ(old.yHeight, 310);
    EXPECT_EQ(old.cbSize, sizeof(CHARFORMATW));
}

TEST(EngineCharFormats, UnderlineTypeAndEffectStayInStep) {
    RichEditEngine e;
    e.WM_SETTEXT(u"abc"_qs);
    e.EM_EXSETSEL({0, 3});
    CHARFORMAT2W cf = charFormat(CFM_UNDERLINETYPE | CFM_UNDERLINE, CFE_UNDERLINE);
    cf.bUnderlineType = CFU_UNDERLINEDOUBLE;
    e.EM_SETCHARFORMAT(SCF_SELECTION, cf);
    CHARFORMAT2W out;
    readSel(e, out);
    EXPECT_EQ(out.bUnderlineType, CFU_UNDERLINEDOUBLE);
    e.EM_SETCHARFORMAT(SCF_SELECTION, charFormat(CFM_UNDERLINE, 0));
    readSel(e, out);
    EXPECT_FALSE(out.dwEffects & CFE_UNDERLINE);
    EXPECT_EQ(out.bUnderlineType, CFU_UNDERLINENONE);
    e.EM_SETCHARFORMAT(SCF_SELECTION, charFormat(CFM_UNDERLINE, CFE_UNDERLINE));
    readSel(e, out);
    EXPECT_EQ(out.bUnderlineType, CFU_UNDERLINE) << "plain underline means single";
    CHARFORMAT2W none = charFormat(CFM_UNDERLINETYPE | CFM_UNDERLINE, CFE_UNDERLINE);
    none.bUnderlineType = CFU_UNDERLINENONE;
    e.EM_SETCHARFORMAT(SCF_SELECTION, none);
    readSel(e, out);
    EXPECT_FALSE(out.dwEffects & CFE_UNDERLINE) << "type none removes the underline";
}

TEST(EngineCharFormats, EmptySelectionWordDefaultAndAll) {
    RichEditEngine e;
    // The default format reaches an empty document's next text.
    CHARFORMAT2W big = charFormat(CFM_SIZE, 0);
    big.yHeight = 480;
    e.EM_SETCHARFORMAT(SCF_DEFAULT, big);
    e.TypeText(u"Hello world"_qs);
    CHARFORMAT2W out;
    e.EM_GETCHARFORMAT(SCF_DEFAULT, out);
    EXPECT_EQ(out.yHeight, 480);
    e.EM_EXSETSEL({0, 5});
    readSel(e, out);
    EXPECT_EQ(out.yHeight, 480);

    // An empty selection's format applies to the next typed text only.
    e.EM_EXSETSEL({11, 11});
    e.EM_SETCHARFORMAT(SCF_SELECTION, charFormat(CFM_BOLD, CFE_BOLD));
    readSel(e, out);
    EXPECT_TRUE(out.dwEffects & CFE_BOLD) << "the insertion point reports it";
    e.TypeText(u"!"_qs);
    e.EM_EXSETSEL({11, 12});
    readSel(e, out);
    EXPECT_TRUE(out.dwEffects & CFE_BOLD);
    e.EM_EXSETSEL({0, 11});
    readSel(e, out);
    EXPECT_FALSE(out.dwEffects & CFE_BOLD);

    // SCF_WORD with an empty selection formats the word at the caret.
    e.EM_EXSETSEL({8, 8});
    e.EM_SETCHARFORMAT(SCF_SELECTION | SCF_WORD, charFormat(CFM_ITALIC, CFE_ITALIC));
    e.EM_EXSETSEL({6, 11});
    EXPECT_TRUE(readSel(e, out) & CFM_ITALIC);
    EXPECT_TRUE(out.dwEffects & CFE_ITALIC);
    e.EM_EXSETSEL({5, 6});
    readSel(e, out);
    EXPECT_FALSE(out.dwEffects & CFE_ITALIC) << "the space before the word stays";

    e.EM_SETCHARFORMAT(SCF_ALL, charFormat(CFM_STRIKEOUT, CFE_STRIKEOUT));
    e.EM_EXSETSEL({0, -1});
    EXPECT_TRUE(readSel(e, out) & CFM_STRIKEOUT);
    EXPECT_TRUE(out.dwEffects & CFE_STRIKEOUT);
}

TEST(EngineParaFormats, ReadsUniformMaskAndWritesOnlyTheMask) {
    RichEditEngine e;
    e.WM_SETTEXT(u"one\rtwo\rthree"_qs);
    e.EM_EXSETSEL({0, 5});
    PARAFORMAT2 pf;
    pf.dwMask = PFM_ALIGNMENT | PFM_STARTINDENT | PFM_TABSTOPS | PFM_NUMBERING |
                PFM_NUMBERINGSTART | PFM_NUMBERINGSTYLE | PFM_NUMBERINGTAB | PFM_LINESPACING |
                PFM_SPACEAFTER | PFM_KEEPNEXT;
    pf.wAlignment = PFA_CENTER;
    pf.dxStartIndent = 720;
    pf.cTabCount = 2;
    pf.rgxTabs[0] = 1440 | (2 << 24) | (1 << 28); // right-aligned with dots
    pf.rgxTabs[1] = 2880;
    pf.wNumbering = PFN_UCROMAN;
    pf.wNumberingStart = 4;
    pf.wNumberingStyle = PFNS_PERIOD;
    pf.wNumberingTab = 360;
    pf.dyLineSpacing = 30;
    pf.bLineSpacingRule = 5;
    pf.dySpaceAfter = 120;
    pf.wEffects = PFE_KEEPNEXT;
    ASSERT_TRUE(e.EM_SETPARAFORMAT(pf));

    PARAFORMAT2 out;
    e.EM_EXSETSEL({4, 4});
    EXPECT_EQ(e.EM_GETPARAFORMAT(out), PFM_ALL2);
    EXPECT_EQ(out.wAlignment, PFA_CENTER);
    EXPECT_EQ(out.dxStartIndent, 720);
    EXPECT_EQ(out.cTabCount, 2);
    EXPECT_EQ(tabPosition(out.rgxTabs[0]), 1440);
    EXPECT_EQ(tabAlignment(out.rgxTabs[0]), 2);
    EXPECT_EQ(tabLeader(out.rgxTabs[0]), 1);
    EXPECT_EQ(out.wNumbering, PFN_UCROMAN);
    EXPECT_EQ(out.wNumberingStart, 4);
    EXPECT_EQ(out.wNumberingStyle, PFNS_PERIOD);
    EXPECT_EQ(out.wNumberingTab, 360);
    EXPECT_EQ(out.bLineSpacingRule, 5);
    EXPECT_EQ(out.wEffects, PFE_KEEPNEXT);

    e.EM_EXSETSEL({0, -1});
    const uint32_t mask = e.EM_GETPARAFORMAT(out);
    EXPECT_FALSE(mask & PFM_ALIGNMENT) << "the third paragraph is still left-aligned";
    EXPECT_FALSE(mask & PFM_TABSTOPS);
    EXPECT_TRUE(mask & PFM_RIGHTINDENT);
    EXPECT_TRUE(mask & PFM_SPACEBEFORE);

    // Relative indent, and a selection ending at a paragraph start leaves that paragraph.
    e.EM_EXSETSEL({4, 8});
    PARAFORMAT2 rel;
    rel.dwMask = PFM_OFFSETINDENT;
    rel.dxStartIndent = 360;
    e.EM_SETPARAFORMAT(rel);
    e.EM_EXSETSEL({4, 4});
    e.EM_GETPARAFORMAT(out);
    EXPECT_EQ(out.dxStartIndent, 1080);
    e.EM_EXSETSEL({8, 8});
    e.EM_GETPARAFORMAT(out);
    EXPECT_EQ(out.dxStartIndent, 0);

    // The older record: only its fields, its mask.
    PARAFORMAT old;
    e.EM_EXSETSEL({4, 4});
    EXPECT_EQ(e.EM_GETPARAFORMAT(old) & ~(PFM_ALL & ~PFM_RTLPARA), 0u);
    EXPECT_EQ(old.dxStartIndent, 1080);
    EXPECT_TRUE(e.WM_UNDO());
    e.EM_GETPARAFORMAT(out);
    EXPECT_EQ(out.dxStartIndent, 720);
}

TEST(EngineParaFormats, TheTableMaskCarriesBothTableBits) {
    RichEditEngine e;
    e.WM_SETTEXT(u"cell\rrow end\rafter"_qs);
    PARAFORMAT2 pf;
    pf.dwMask = PFM_TABLE;
    e.EM_EXSETSEL({0, 0});
    pf.wEffects = 0x4000; // a table paragraph
    e.EM_SETPARAFORMAT(pf);
    e.EM_EXSETSEL({6, 6});
    pf.wEffects = 0xC000; // the end of a row
    e.EM_SETPARAFORMAT(pf);

    PARAFORMAT2 out;
    e.EM_GETPARAFORMAT(out);
    EXPECT_EQ(out.wEffects & 0xC000, 0xC000);
    e.EM_EXSETSEL({0, 8});
    const uint32_t mask = e.EM_GETPARAFORMAT(out);
    EXPECT_FALSE(mask & PFM_TABLE) << "the row end differs from the cell";
    EXPECT_TRUE(mask & PFM_OFFSETINDENT) << "a table bit is not an indent";

    e.EM_EXSETSEL({6, 6});
    pf.wEffects = 0;
    e.EM_SETPARAFORMAT(pf);
    e.EM_GETPARAFORMAT(out);
    EXPECT_EQ(out.wEffects & 0xC000, 0);
}
