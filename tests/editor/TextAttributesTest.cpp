#include "editor/EditorTestSupport.h"
#include "framework/ScreenMetrics.h"
#include "framework/TovraException.h"

#include <QPalette>

#include <functional>

using namespace richedit;

namespace {

using SS = TTovraRichSubscriptStyle;

// Which attributes may differ between two records when only the attributes under mask changed.
void expectSameExcept(const CHARFORMAT2W& a, const CHARFORMAT2W& b, uint32_t mask,
                      const char* where) {
    SCOPED_TRACE(where);
    uint32_t effects = mask & 0x0003FFFF;
    if (mask & CFM_COLOR)
        effects |= CFE_AUTOCOLOR;
    if (mask & CFM_BACKCOLOR)
        effects |= CFE_AUTOBACKCOLOR;
    if (mask & CFM_UNDERLINETYPE)
        effects |= CFE_UNDERLINE;
    EXPECT_EQ(a.dwEffects & ~effects, b.dwEffects & ~effects);
    if (!(mask & CFM_SIZE)) {
        EXPECT_EQ(a.yHeight, b.yHeight);
    }
    if (!(mask & CFM_OFFSET)) {
        EXPECT_EQ(a.yOffset, b.yOffset);
    }
    if (!(mask & CFM_COLOR)) {
        EXPECT_EQ(a.crTextColor, b.crTextColor);
    }
    if (!(mask & CFM_CHARSET)) {
        EXPECT_EQ(a.bCharSet, b.bCharSet);
    }
    if (!(mask & CFM_FACE)) {
        EXPECT_EQ(faceNameOf(a.szFaceName), faceNameOf(b.szFaceName));
        EXPECT_EQ(a.bPitchAndFamily, b.bPitchAndFamily);
    }
    if (!(mask & (CFM_WEIGHT | CFM_BOLD))) {
        EXPECT_EQ(a.wWeight, b.wWeight);
    }
    if (!(mask & CFM_BACKCOLOR)) {
        EXPECT_EQ(a.crBackColor, b.crBackColor);
    }
    if (!(mask & (CFM_UNDERLINE | CFM_UNDERLINETYPE))) {
        EXPECT_EQ(a.bUnderlineType, b.bUnderlineType);
    }
    if (!(mask & CFM_REVAUTHOR)) {
        EXPECT_EQ(a.bRevAuthor, b.bRevAuthor);
    }
}

TTovraConsistentAttributes allConsistent() {
    TTovraConsistentAttributes all;
    for (int i = caBold; i <= caRevised; ++i)
        all += TTovraConsistentAttribute(i);
    return all;
}

} // namespace

class TextAttributesTest : public EditorTest {
protected:
    // The engine's format of the character at cp; the selection is restored.
    CHARFORMAT2W raw(int32_t cp) {
        CHARRANGE keep;
        engine().EM_EXGETSEL(keep);
        engine().EM_EXSETSEL({cp, cp + 1});
        CHARFORMAT2W cf;
        engine().EM_GETCHARFORMAT(SCF_SELECTION, cf);
        engine().EM_EXSETSEL(keep);
        return cf;
    }
    void rawSet(int32_t from, int32_t to, const CHARFORMAT2W& cf) {
        const bool before = edit->DefaultProtect();
        edit->SetDefaultProtect(true);
        engine().EM_EXSETSEL({from, to});
        engine().EM_SETCHARFORMAT(SCF_SELECTION, cf);
        edit->SetDefaultProtect(before);
    }
    TTovraTextAttributes& sel() { return edit->SelAttributes(); }
};

// Each attribute written to the first word of "aaaa bbbb": it changes only there and only that
// attribute; it reads back over that word; over both words it reads its neutral value and is
// missing from ConsistentAttributes; a later write of another attribute over both words keeps
// it where it was.
TEST_F(TextAttributesTest, EachPropertyWritesOnlyItsAttributeAndMixedTextReadsNeutral) {
    struct Case {
        const char* name;
        std::function<void(TTovraTextAttributes&)> write;
        std::function<bool(TTovraTextAttributes&)> readsWritten;
        std::function<bool(TTovraTextAttributes&)> readsNeutral;
        uint32_t touched;
        TTovraConsistentAttributes missingWhenMixed;
    };
    using A = TTovraTextAttributes;
    const Case cases[] = {
        {"Style",
         [](A& a) { a.SetStyle({fsBold}); },
         [](A& a) { return a.Style() == TFontStyles{fsBold}; },
         [](A& a) { return a.Style().empty(); },
         CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT,
         {caBold, caWeight}},
        {"Size",
         [](A& a) { a.SetSize(14); },
         [](A& a) { return a.Size() == 14; },
         [](A& a) { return a.Size() == 0 && a.Height() == 0; },
         CFM_SIZE,
         {caSize}},
        {"Name",
         [](A& a) { a.SetName(u"Liberation Mono"_qs); },
         [](A& a) { return a.Name() == u"Liberation Mono"_qs; },
         [](A& a) { return a.Name().isEmpty(); },
         CFM_FACE,
         {caFace}},
        {"Pitch",
         [](A& a) { a.SetPitch(fpFixed); },
         [](A& a) { return a.Pitch() == fpFixed; },
         [](A& a) { return a.Pitch() == fpDefault; },
         CFM_FACE,
         {caFace}},
        {"Color",
         [](A& a) { a.SetColor(clRed); },
         [](A& a) { return a.Color() == clRed; },
         [](A& a) { return a.Color() == clWindowText; },
         CFM_COLOR,
         {caColor}},
        {"BackColor",
         [](A& a) { a.SetBackColor(clYellow); },
         [](A& a) { return a.BackColor() == clYellow; },
         [](A& a) { return a.BackColor() == clWindow; },
         CFM_BACKCOLOR,
         {caBackColor}},
        {"Offset",
         [](A& a) { a.SetOffset(3); },
         [](A& a) { return a.Offset() == 3; },
         [](A& a) { return a.Offset() == 0; },
         CFM_OFFSET,
         {caOffset}},
        {"Charset",
         [](A& a) { a.SetCharset(238); },
         [](A& a) { return a.Charset() == 238; },
         [](A& a) { return a.Charset() == 0; },
         CFM_CHARSET,
         {}},
        {"Hidden",
         [](A& a) { a.SetHidden(true); },
         [](A& a) { return a.Hidden(); },
         [](A& a) { return !a.Hidden(); },
         CFM_HIDDEN,
         {caHidden}},
        {"Link",
         [](A& a) { a.SetLink(true); },
         [](A& a) { return a.Link(); },
         [](A& a) { return !a.Link(); },
         CFM_LINK,
         {caLink}},
        {"Disabled",
         [](A& a) { a.SetDisabled(true); },
         [](A& a) { return a.Disabled(); },
         [](A& a) { return !a.Disabled(); },
         CFM_DISABLED,
         {caDisabled}},
        {"Revised",
         [](A& a) { a.SetRevised(true); },
         [](A& a) { return a.Revised(); },
         [](A& a) { return !a.Revised(); },
         CFM_REVISED,
         {caRevised}},
        {"RevAuthorIndex",
         [](A& a) { a.SetRevAuthorIndex(3); },
         [](A& a) { return a.RevAuthorIndex() == 3; },
         [](A& a) { return a.RevAuthorIndex() == 0; },
         CFM_REVAUTHOR,
         {caRevAuthor}},
        {"SubscriptStyle",
         [](A& a) { a.SetSubscriptStyle(SS::ssSuperscript); },
         [](A& a) { return a.SubscriptStyle() == SS::ssSuperscript; },
         [](A& a) { return a.SubscriptStyle() == SS::ssNone; },
         CFM_SUBSCRIPT,
         {caSubscript}},
        {"UnderlineType",
         [](A& a) { a.SetUnderlineType(utDouble); },
         [](A& a) {
             return a.UnderlineType() == utDouble && a.Style() == TFontStyles{fsUnderline};
         },
         [](A& a) { return a.UnderlineType() == utNone && a.Style().empty(); },
         CFM_UNDERLINE | CFM_UNDERLINETYPE,
         {caUnderline}},
        {"Protected",
         [](A& a) { a.SetProtected(true); },
         [](A& a) { return a.Protected(); },
         [](A& a) { return !a.Protected(); },
         CFM_PROTECTED,
         {caProtected}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        make(); // a new document: no case inherits the formats of the one before
        edit->SetText(u"aaaa bbbb"_qs);
        const CHARFORMAT2W first = raw(1), second = raw(6);
        edit->SetSelRange(0, 4);
        c.write(sel());
        EXPECT_TRUE(c.readsWritten(sel()));
        EXPECT_TRUE(sel().ConsistentAttributes() == allConsistent());
        expectSameExcept(raw(1), first, c.touched, "written word: only the attribute");
        expectSameExcept(raw(6), second, 0, "other word: untouched");

        edit->SetSelRange(0, 9);
        EXPECT_TRUE(c.readsNeutral(sel()));
        EXPECT_TRUE(sel().ConsistentAttributes() == allConsistent() - c.missingWhenMixed)
            << sel().ConsistentAttributes().bits();

        // A write of another attribute over the mixed text keeps this one as it was.
        const CHARFORMAT2W written = raw(1);
        const bool sizeCase = c.touched == CFM_SIZE;
        if (sizeCase)
            sel().SetStyle({fsItalic});
        else
            sel().SetSize(20);
        const uint32_t other =
            sizeCase ? CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_UNDERLINETYPE
                     : CFM_SIZE;
        if (c.touched == CFM_PROTECTED) {
            // Formatting protected text is refused unless the program allows it.
            expectSameExcept(raw(1), written, 0, "protected word after the mixed write");
            expectSameExcept(raw(6), second, 0, "other word after the refused write");
            continue;
        }
        expectSameExcept(raw(1), written, other, "written word after the mixed write");
        expectSameExcept(raw(6), second, other, "other word after the mixed write");
        edit->SetSelRange(0, 4);
        EXPECT_TRUE(c.readsWritten(sel())) << "kept after the mixed write";
    }
}

TEST_F(TextAttributesTest, StyleReplacesAllFourStylesOverTheSelection) {
    edit->SetText(u"plain bold plain"_qs);
    CHARFORMAT2W mixed;
    mixed.dwMask = CFM_BOLD | CFM_UNDERLINE | CFM_STRIKEOUT;
    mixed.dwEffects = CFE_BOLD | CFE_UNDERLINE | CFE_STRIKEOUT;
    rawSet(6, 10, mixed);
    CHARFORMAT2W italic;
    italic.dwMask = CFM_ITALIC;
    italic.dwEffects = CFE_ITALIC;
    rawSet(0, 3, italic);

    edit->SetSelRange(0, 16);
    EXPECT_FALSE(sel().ConsistentAttributes().contains(caBold));
    EXPECT_TRUE(sel().Style().empty()) << "no style is the same throughout";
    sel().SetStyle({fsBold});
    for (int32_t cp : {1, 7, 12}) {
        const CHARFORMAT2W cf = raw(cp);
        EXPECT_EQ(cf.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT), CFE_BOLD)
            << cp;
    }
    EXPECT_EQ(sel().Style(), TFontStyles{fsBold});
}

TEST_F(TextAttributesTest, ColoursAutomaticRgbAndSystemColours) {
    QPalette palette = QApplication::palette();
    const QPalette saved = palette;
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(0x12, 0x34, 0x56));
    QApplication::setPalette(palette);
    const TColor highlight = RGBColor(0x12, 0x34, 0x56);

    edit->SetText(u"colour"_qs);
    edit->SetSelRange(0, 6);
    struct Case {
        TColor written;
        bool automatic;
        COLORREF rgb;
        TColor reads;
    };
    const Case text[] = {
        {clRed, false, 0x0000FF, clRed},
        {clWindowText, true, 0, clWindowText},
        {RGBColor(1, 2, 3), false, 0x030201, RGBColor(1, 2, 3)},
        {clDefault, true, 0, clWindowText},
        {clHighlight, false, COLORREF(highlight), highlight},
    };
    for (const Case& c : text) {
        SCOPED_TRACE(c.written);
        sel().SetColor(c.written);
        const CHARFORMAT2W cf = raw(2);
        EXPECT_EQ((cf.dwEffects & CFE_AUTOCOLOR) != 0, c.automatic);
        if (!c.automatic) {
            EXPECT_EQ(cf.crTextColor, c.rgb);
        }
        EXPECT_EQ(sel().Color(), c.reads);
    }
    const Case back[] = {
        {clYellow, false, 0x00FFFF, clYellow},
        {clWindow, true, 0, clWindow},
        {clHighlight, false, COLORREF(highlight), highlight},
        {clDefault, true, 0, clWindow},
    };
    for (const Case& c : back) {
        SCOPED_TRACE(c.written);
        sel().SetBackColor(c.written);
        const CHARFORMAT2W cf = raw(2);
        EXPECT_EQ((cf.dwEffects & CFE_AUTOBACKCOLOR) != 0, c.automatic);
        if (!c.automatic) {
            EXPECT_EQ(cf.crBackColor, c.rgb);
        }
        EXPECT_EQ(sel().BackColor(), c.reads);
    }
    QApplication::setPalette(saved);
}

TEST_F(TextAttributesTest, SizesNamesOffsetsHeightsAndUnderlineCodes) {
    edit->SetText(u"sample"_qs);
    edit->SetSelRange(0, 6);
    sel().SetSize(11);
    EXPECT_EQ(raw(1).yHeight, 220);
    CHARFORMAT2W odd;
    odd.dwMask = CFM_SIZE;
    odd.yHeight = 219;
    rawSet(0, 6, odd);
    EXPECT_EQ(sel().Size(), 10) << "twips to whole points, truncated";

    const QString forty = QString(40, QChar(u'x'));
    sel().SetName(forty);
    EXPECT_EQ(faceNameOf(raw(1).szFaceName), forty.left(31));
    // A surrogate pair across the cut is left out whole.
    const QString pairAtCut = QString(30, QChar(u'y')) + u"\U0001D49Cz"_qs;
    sel().SetName(pairAtCut);
    EXPECT_EQ(sel().Name(), QString(30, QChar(u'y')));

    struct OffsetCase {
        TTovraUnits unit;
        int32_t value, twips;
    };
    for (const OffsetCase& c : {OffsetCase{unPoints, 3, 60}, OffsetCase{unMillimeters, 3, 170},
                                OffsetCase{unInches, -10, -144}}) {
        edit->SetMeasurement(c.unit);
        sel().SetOffset(c.value);
        EXPECT_EQ(raw(1).yOffset, c.twips) << c.unit;
        EXPECT_EQ(sel().Offset(), c.value) << c.unit;
    }
    edit->SetMeasurement(unPoints);

    {
        ScopedScreenMetricsHook dpi(120);
        sel().SetSize(12);
        EXPECT_EQ(sel().Height(), -20) << "12 pt at 120 dpi, as a character height";
        sel().SetHeight(-30);
        EXPECT_EQ(sel().Size(), 18);
        sel().SetHeight(30);
        EXPECT_EQ(sel().Size(), 18) << "either sign is a character height";
    }

    sel().SetUnderlineType(urWave);
    EXPECT_EQ(raw(1).bUnderlineType, 8);
    EXPECT_TRUE(raw(1).dwEffects & CFE_UNDERLINE);
    sel().SetUnderlineType(utNone);
    EXPECT_FALSE(raw(1).dwEffects & CFE_UNDERLINE);
    EXPECT_EQ(sel().UnderlineType(), utNone);
    // Codes from documents that have no value of their own read as the nearest kind.
    struct CodeCase {
        uint8_t code;
        TTovraUnderlineType reads;
    };
    for (const CodeCase& c :
         {CodeCase{CFU_UNDERLINEHAIRLINE, utSolid}, CodeCase{CFU_UNDERLINEDOUBLEWAVE, urWave},
          CodeCase{CFU_UNDERLINEHEAVYWAVE, urWave}, CodeCase{CFU_UNDERLINELONGDASH, utDash},
          CodeCase{CFU_UNDERLINETHICK, utThick}}) {
        CHARFORMAT2W cf;
        cf.dwMask = CFM_UNDERLINETYPE;
        cf.bUnderlineType = c.code;
        rawSet(0, 6, cf);
        EXPECT_EQ(sel().UnderlineType(), c.reads) << int(c.code);
    }
}

TEST_F(TextAttributesTest, WordDefaultAndWithoutAWindow) {
    edit->SetText(u"one two three"_qs);
    edit->SetSelStart(5); // inside "two", nothing selected
    edit->WordAttributes().SetStyle({fsItalic});
    EXPECT_TRUE(raw(4).dwEffects & CFE_ITALIC);
    EXPECT_TRUE(raw(6).dwEffects & CFE_ITALIC);
    EXPECT_FALSE(raw(2).dwEffects & CFE_ITALIC);
    EXPECT_FALSE(raw(9).dwEffects & CFE_ITALIC);
    edit->SetSelRange(4, 3);
    EXPECT_EQ(edit->WordAttributes().Style(), TFontStyles{fsItalic}) << "reads the selection";

    edit->DefAttributes().SetSize(16);
    CHARFORMAT2W def;
    engine().EM_GETCHARFORMAT(SCF_DEFAULT, def);
    EXPECT_EQ(def.yHeight, 320);
    EXPECT_TRUE(edit->DefAttributes().ConsistentAttributes().empty());

    TTovraRichEdit fresh;
    fresh.SelAttributes().SetSize(30);
    fresh.SelAttributes().SetStyle({fsBold});
    EXPECT_FALSE(fresh.HandleAllocated()) << "character writes do not make a window";
    TTovraTextAttributes& a = fresh.SelAttributes();
    EXPECT_EQ(a.Size(), 0);
    EXPECT_TRUE(a.Name().isEmpty());
    EXPECT_EQ(a.Color(), clBlack);
    EXPECT_TRUE(a.Style().empty());
    EXPECT_TRUE(a.ConsistentAttributes().empty());
    EXPECT_FALSE(fresh.HandleAllocated());
}

TEST_F(TextAttributesTest, OlderEnginesReadNeutralValuesAndTakeNoNewerAttributes) {
    ScopedRichEditVersion v1(1);
    make();
    ASSERT_EQ(edit->Version(), 1);
    edit->SetText(u"older"_qs);
    edit->SetSelRange(0, 5);
    TTovraTextAttributes& a = sel();
    a.SetLink(true);
    a.SetHidden(true);
    a.SetDisabled(true);
    a.SetBackColor(clRed);
    a.SetSubscriptStyle(SS::ssSubscript);
    a.SetUnderlineType(utDouble);
    a.SetRevAuthorIndex(4);
    CHARFORMATW cf;
    engine().EM_GETCHARFORMAT(SCF_SELECTION, cf);
    EXPECT_EQ(cf.dwEffects & (CFE_LINK | CFE_UNDERLINE), 0u) << "nothing was sent";
    EXPECT_FALSE(a.Link());
    EXPECT_FALSE(a.Hidden());
    EXPECT_FALSE(a.Disabled());
    EXPECT_EQ(a.BackColor(), clWindow);
    EXPECT_EQ(a.SubscriptStyle(), SS::ssNone);
    EXPECT_EQ(a.UnderlineType(), utNone);
    EXPECT_EQ(a.RevAuthorIndex(), 0);

    // The attributes of the older record still work, and only they count as consistent.
    a.SetStyle({fsBold, fsUnderline});
    a.SetSize(12);
    EXPECT_EQ(a.Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(a.Size(), 12);
    EXPECT_TRUE(a.ConsistentAttributes() ==
                (TTovraConsistentAttributes{caBold, caColor, caFace, caItalic, caSize, caStrikeOut,
                                            caUnderline, caProtected, caOffset}));
}

TEST_F(TextAttributesTest, FontImportAndExport) {
    edit->SetText(u"font text"_qs);
    edit->SetSelRange(0, 4);
    TFont font;
    font.SetName(u"Liberation Serif"_qs);
    font.SetSize(14);
    font.SetStyle({fsBold, fsUnderline});
    font.SetColor(clRed);
    font.SetCharset(238);
    font.SetPitch(fpVariable);
    const CHARFORMAT2W rest = raw(6);
    sel().Assign(&font);
    CHARFORMAT2W cf = raw(1);
    EXPECT_EQ(faceNameOf(cf.szFaceName), u"Liberation Serif"_qs);
    EXPECT_EQ(cf.yHeight, 280);
    EXPECT_EQ(cf.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT),
              CFE_BOLD | CFE_UNDERLINE);
    EXPECT_FALSE(cf.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(cf.crTextColor, 0x0000FFu);
    EXPECT_EQ(cf.bCharSet, 238);
    EXPECT_EQ(cf.wWeight, 700);
    EXPECT_EQ(cf.bPitchAndFamily & 3, 2);
    expectSameExcept(raw(6), rest, 0, "the rest keeps its format");

    // A system colour is taken as its current RGB value, not as the automatic colour.
    font.SetColor(clWindowText);
    sel().Assign(&font);
    cf = raw(1);
    EXPECT_FALSE(cf.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(TColor(cf.crTextColor), ColorToRGB(clWindowText));

    // Export: every attribute into the font, through either side's Assign.
    TFont out;
    sel().AssignTo(&out);
    EXPECT_EQ(out.Name(), u"Liberation Serif"_qs);
    EXPECT_EQ(out.Size(), 14);
    EXPECT_EQ(out.Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(out.Charset(), 238);
    EXPECT_EQ(out.Pitch(), fpVariable);
    EXPECT_EQ(out.Color(), ColorToRGB(clWindowText));
    TFont viaFont;
    viaFont.Assign(&sel());
    EXPECT_EQ(viaFont.Name(), u"Liberation Serif"_qs);
    EXPECT_EQ(viaFont.Size(), 14);

    // Over mixed text the font keeps its own value of what varies.
    edit->SetSelRange(0, 9);
    TFont keeps;
    keeps.SetName(u"DejaVu Sans"_qs);
    keeps.SetSize(9);
    keeps.SetStyle({fsItalic});
    sel().AssignTo(&keeps);
    EXPECT_EQ(keeps.Name(), u"DejaVu Sans"_qs);
    EXPECT_EQ(keeps.Size(), 9);
    EXPECT_EQ(keeps.Style(), TFontStyles{}) << "italic is off throughout; bold varies";
}

TEST_F(TextAttributesTest, AssignCopiesOnlyWhatIsTheSameOverTheSource) {
    edit->SetText(u"aaaa bbbb"_qs);
    edit->SetSelRange(0, 9);
    sel().SetColor(clBlue);
    edit->SetSelRange(0, 4);
    sel().SetSize(20);
    edit->SetSelRange(0, 9); // colour the same throughout, size mixed

    TTovraRichEdit target;
    target.resize(300, 200);
    target.show();
    target.SetText(u"cccc"_qs);
    target.SetSelRange(0, 4);
    target.SetSelAttributes(edit->SelAttributes());
    EXPECT_EQ(target.SelAttributes().Color(), clBlue);
    EXPECT_EQ(target.SelAttributes().Size(), 10) << "the mixed size is not copied";

    // The default format carries the protected attribute; the copy goes through.
    edit->DefAttributes().SetSize(13);
    edit->SetSelRange(0, 4);
    edit->SetSelAttributes(edit->DefAttributes());
    EXPECT_EQ(sel().Size(), 13);
    EXPECT_EQ(sel().Color(), clWindowText);
    EXPECT_FALSE(edit->DefaultProtect());
}

TEST_F(TextAttributesTest, AssignmentErrorsNameBothClasses) {
    struct Case {
        std::function<void()> run;
        QString message;
    };
    TFont font;
    const Case cases[] = {
        {[&] { edit->Paragraph().Assign(&font); },
         u"Cannot assign a TFont to a TTovraParaAttributes"_qs},
        {[&] { sel().Assign(&edit->Paragraph()); },
         u"Cannot assign a TTovraParaAttributes to a TTovraTextAttributes"_qs},
        {[&] { sel().AssignTo(&edit->Paragraph()); },
         u"Cannot assign a TTovraTextAttributes to a TTovraParaAttributes"_qs},
        {[&] { sel().Assign(nullptr); }, u"Cannot assign a nil to a TTovraTextAttributes"_qs},
        {[&] { font.Assign(&edit->Paragraph()); },
         u"Cannot assign a TTovraParaAttributes to a TFont"_qs},
    };
    for (const Case& c : cases) {
        try {
            c.run();
            ADD_FAILURE() << "no error for: " << c.message.toStdString();
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
}

TEST_F(TextAttributesTest, TheControlFontBecomesTheFormatOfNewText) {
    QFont f(u"Liberation Mono"_qs);
    f.setPointSize(13);
    f.setItalic(true);
    edit->SetFont(f);
    EXPECT_EQ(edit->DefAttributes().Name(), u"Liberation Mono"_qs);
    EXPECT_EQ(edit->DefAttributes().Size(), 13);
    EXPECT_EQ(edit->DefAttributes().Style(), TFontStyles{fsItalic});
    edit->SetFontColor(QColor(0, 0x80, 0));
    EXPECT_EQ(edit->DefAttributes().Color(), clGreen);

    // A font set before the window exists arrives with the window, and with every new one.
    TTovraRichEdit fresh;
    fresh.SetFont(f);
    fresh.show();
    EXPECT_EQ(fresh.DefAttributes().Name(), u"Liberation Mono"_qs);
    fresh.SetWordWrap(false);
    EXPECT_EQ(fresh.DefAttributes().Size(), 13);
}

TEST_F(TextAttributesTest, ProtectedIsWrittenWithTheEditorsConsentAndTheSettingComesBack) {
    edit->SetText(u"guarded text"_qs);
    edit->SetSelRange(0, 7);
    std::vector<bool> presets;
    edit->SetOnProtectChange(
        [&](QObject*, int32_t, int32_t, bool& allow) { presets.push_back(allow); });
    sel().SetProtected(true);
    EXPECT_TRUE(raw(1).dwEffects & CFE_PROTECTED);
    EXPECT_EQ(presets, std::vector<bool>{true}) << "asked with consent preset";
    EXPECT_FALSE(edit->DefaultProtect());

    edit->SetDefaultProtect(true);
    sel().SetProtected(false);
    EXPECT_FALSE(raw(1).dwEffects & CFE_PROTECTED);
    EXPECT_TRUE(edit->DefaultProtect()) << "the editor's own setting is kept";

    // A handler that refuses wins.
    edit->SetDefaultProtect(false);
    edit->SetOnProtectChange([](QObject*, int32_t, int32_t, bool& allow) { allow = false; });
    sel().SetProtected(true);
    EXPECT_FALSE(raw(1).dwEffects & CFE_PROTECTED);
    EXPECT_FALSE(edit->DefaultProtect());
}
