#include "engine/surface/RichEditEngine.h"
#include "RecordingHost.h"
#include "engine/surface/EngineVersion.h"

#include <gtest/gtest.h>

#include <functional>

using namespace richedit;

namespace {

void setText(RichEditEngine& e, const QString& s) {
    e.WM_SETTEXT(s);
}
void select(RichEditEngine& e, int a, int b) {
    e.EM_EXSETSEL({a, b});
}
CHARRANGE selection(const RichEditEngine& e) {
    CHARRANGE r;
    e.EM_EXGETSEL(r);
    return r;
}

} // namespace

TEST(RichEditEngine, SelectionClampsAndMinusOneMeansTheEnd) {
    RichEditEngine e;
    setText(e, u"hello\rworld"_qs);
    struct Case {
        CHARRANGE in;
        CHARRANGE out;
    };
    const Case cases[] = {
        {{0, -1}, {0, 11}}, {{2, 4}, {2, 4}},   {{4, 2}, {2, 4}},
        {{3, 99}, {3, 11}}, {{7, -1}, {7, 11}}, {{50, 60}, {11, 11}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(e.EM_EXSETSEL(c.in), c.out.cpMax);
        EXPECT_EQ(selection(e), c.out) << c.in.cpMin << "," << c.in.cpMax;
    }
    select(e, 2, 5);
    select(e, -1, 0);
    EXPECT_EQ(selection(e), (CHARRANGE{5, 5})) << "a negative start deselects at the caret";
}

TEST(RichEditEngine, TextAndLengthsUseOneMarkPerParagraph) {
    RichEditEngine e;
    setText(e, u"ab\r\ncd\nef"_qs);
    EXPECT_EQ(e.WM_GETTEXT(), u"ab\rcd\ref"_qs);
    EXPECT_EQ(e.WM_GETTEXTLENGTH(), 8);
    EXPECT_EQ(e.EM_GETTEXTLENGTHEX({GTL_DEFAULT, 1200}), 8);
    EXPECT_EQ(e.EM_GETTEXTLENGTHEX({GTL_USECRLF, 1200}), 10);
    EXPECT_EQ(e.EM_GETTEXTLENGTHEX({GTL_NUMCHARS, 0}), 8);
    setText(e, u"é€\U0001F600"_qs);
    EXPECT_EQ(e.EM_GETTEXTLENGTHEX({GTL_DEFAULT, 0}), 4);
    EXPECT_EQ(e.EM_GETTEXTLENGTHEX({GTL_NUMBYTES, 0}), 2 + 3 + 4) << "UTF-8 bytes";
    RichEditEngine lone;
    lone.WM_SETTEXT(u"a"_qs + QChar(0xD800) + u"b"_qs);
    EXPECT_EQ(lone.EM_GETTEXTLENGTHEX({GTL_NUMBYTES, 0}), 3)
        << "a lone surrogate is written as one byte";
    QString range;
    EXPECT_EQ(e.EM_GETTEXTRANGE({1, 3}, range), 2);
    EXPECT_EQ(range, u"€\xD83D"_qs.left(2));
}

TEST(RichEditEngine, LinesAreParagraphs) {
    RichEditEngine e;
    EXPECT_EQ(e.EM_GETLINECOUNT(), 1) << "an empty document has one line";
    EXPECT_EQ(e.EM_LINEINDEX(0), 0);
    EXPECT_EQ(e.EM_LINEINDEX(1), -1);
    setText(e, u"first\rsecond line\r"_qs);
    EXPECT_EQ(e.EM_GETLINECOUNT(), 3);
    EXPECT_EQ(e.EM_LINEINDEX(1), 6);
    EXPECT_EQ(e.EM_LINEINDEX(2), 18);
    EXPECT_EQ(e.EM_LINEINDEX(3), -1);
    EXPECT_EQ(e.EM_LINELENGTH(7), 11);
    EXPECT_EQ(e.EM_LINELENGTH(18), 0);
    EXPECT_EQ(e.EM_EXLINEFROMCHAR(5), 0) << "the mark belongs to its line";
    EXPECT_EQ(e.EM_EXLINEFROMCHAR(6), 1);
    EXPECT_EQ(e.EM_EXLINEFROMCHAR(99), 2);
    QString line;
    EXPECT_EQ(e.EM_GETLINE(0, line, 4096), 6);
    EXPECT_EQ(line, u"first\r"_qs);
    EXPECT_EQ(e.EM_GETLINE(1, line, 4), 4);
    EXPECT_EQ(line, u"seco"_qs);
    EXPECT_EQ(e.EM_GETLINE(2, line, 4096), 0);
    select(e, 8, 8);
    EXPECT_EQ(e.EM_LINEINDEX(-1), 6) << "-1 is the caret's line";
    select(e, 2, 8);
    EXPECT_EQ(e.EM_LINELENGTH(-1), 2 + 9) << "unselected characters of the selected lines";
}

TEST(RichEditEngine, ReplaceSelectionUndoRedoAndNames) {
    RecordingHost host;
    RichEditEngine e(&host);
    e.EM_SETEVENTMASK(ENM_CHANGE | ENM_SELCHANGE);
    e.EM_REPLACESEL(true, u"Hello"_qs);
    e.TypeText(u" "_qs);
    e.TypeText(u"w"_qs);
    e.TypeText(u"o"_qs);
    EXPECT_EQ(e.WM_GETTEXT(), u"Hello wo"_qs);
    EXPECT_EQ(e.EM_GETUNDONAME(), UID_TYPING);
    EXPECT_TRUE(e.WM_UNDO());
    EXPECT_EQ(e.WM_GETTEXT(), u"Hello"_qs) << "typed characters undo as one step";
    EXPECT_EQ(e.EM_GETREDONAME(), UID_TYPING);
    EXPECT_EQ(e.EM_GETUNDONAME(), UID_UNKNOWN);
    EXPECT_TRUE(e.EM_REDO());
    EXPECT_EQ(e.WM_GETTEXT(), u"Hello wo"_qs);
    EXPECT_EQ(selection(e), (CHARRANGE{8, 8}));

    select(e, 0, 5);
    e.WM_CLEAR();
    EXPECT_EQ(e.WM_GETTEXT(), u" wo"_qs);
    EXPECT_EQ(e.EM_GETUNDONAME(), UID_DELETE);
    e.WM_UNDO();
    EXPECT_EQ(selection(e), (CHARRANGE{0, 5})) << "undo restores the selection before";

    e.EM_REPLACESEL(false, u"Bye"_qs);
    EXPECT_FALSE(e.EM_CANUNDO()) << "a change that cannot be undone ends the history";
    EXPECT_GT(host.count(EN_CHANGE), 0u);
    ASSERT_FALSE(host.selChanges.empty());
    EXPECT_EQ(host.selChanges.back().chrg, (CHARRANGE{3, 3}));
}

TEST(RichEditEngine, TypingDeletingAndOverwrite) {
    RichEditEngine e;
    setText(e, u"one two three"_qs);
    select(e, 7, 7);
    EXPECT_TRUE(e.DeleteBackward(true));
    EXPECT_EQ(e.WM_GETTEXT(), u"one  three"_qs) << "Ctrl+Backspace removes the word";
    EXPECT_TRUE(e.DeleteForward(true));
    EXPECT_EQ(e.WM_GETTEXT(), u"one three"_qs);
    select(e, 4, 4);
    e.SetOverwrite(true);
    e.TypeText(u"TH"_qs);
    EXPECT_EQ(e.WM_GETTEXT(), u"one THree"_qs);
    e.SetOverwrite(false);

    setText(e, u"ab\rc\U0001F600d"_qs);
    select(e, 3, 3);
    EXPECT_TRUE(e.DeleteBackward());
    EXPECT_EQ(e.WM_GETTEXT(), u"abc\U0001F600d"_qs) << "backspace at a paragraph start joins";
    select(e, 5, 5);
    EXPECT_TRUE(e.DeleteBackward());
    EXPECT_EQ(e.WM_GETTEXT(), u"abcd"_qs) << "a surrogate pair goes as one character";
    select(e, 4, 4);
    EXPECT_FALSE(e.DeleteForward()) << "nothing after the end";
    EXPECT_TRUE(e.InsertParagraph());
    EXPECT_TRUE(e.InsertLineBreak());
    EXPECT_EQ(e.WM_GETTEXT(), u"abcd\r\v"_qs);

    e.EM_SETREADONLY(true);
    EXPECT_FALSE(e.TypeText(u"x"_qs));
    EXPECT_FALSE(e.DeleteBackward());
    e.EM_REPLACESEL(false, u"!"_qs);
    EXPECT_EQ(e.WM_GETTEXT(), u"abcd\r\v!"_qs) << "programs may still change read-only text";
}

TEST(RichEditEngine, TextLimitRefusesWhatGoesPastIt) {
    RichEditEngine e;
    e.EM_EXLIMITTEXT(5);
    e.EM_REPLACESEL(true, u"abc"_qs);
    e.EM_REPLACESEL(true, u"defgh"_qs);
    EXPECT_EQ(e.WM_GETTEXT(), u"abcde"_qs);
    EXPECT_FALSE(e.TypeText(u"x"_qs));
    select(e, 0, 2);
    EXPECT_TRUE(e.TypeText(u"XYZ"_qs));
    EXPECT_EQ(e.WM_GETTEXT(), u"XYcde"_qs) << "replacing frees the room of the selection";
    e.EM_EXLIMITTEXT(0);
    EXPECT_EQ(e.EM_GETLIMITTEXT(), 0x7FFFFFFF);
}

TEST(RichEditEngine, ProtectedTextAsksAndRefusalChangesNothing) {
    RecordingHost host;
    RichEditEngine e(&host);
    setText(e, u"free locked free"_qs);
    select(e, 5, 11);
    CHARFORMAT2W cf;
    cf.dwMask = CFM_PROTECTED;
    cf.dwEffects = CFE_PROTECTED;
    EXPECT_TRUE(e.EM_SETCHARFORMAT(SCF_SELECTION, cf)) << "no protection events asked for";
    e.EM_SETEVENTMASK(ENM_PROTECTED | ENM_CHANGE);
    host.reset();

    host.refuseProtected = true;
    struct Step {
        const char* name;
        int a, b;
        std::function<void()> act;
        uint32_t request;
    };
    const Step steps[] = {
        {"typing inside", 7, 7, [&] { e.TypeText(u"x"_qs); }, msg::WM_CHAR},
        {"replace over", 3, 8, [&] { e.EM_REPLACESEL(true, u"y"_qs); }, msg::EM_REPLACESEL},
        {"clear", 5, 6, [&] { e.WM_CLEAR(); }, msg::WM_CLEAR},
        {"backspace", 11, 11, [&] { e.DeleteBackward(); }, msg::WM_KEYDOWN},
        {"format", 0, 16,
         [&] {
             CHARFORMAT2W b;
             b.dwMask = CFM_BOLD;
             b.dwEffects = CFE_BOLD;
             e.EM_SETCHARFORMAT(SCF_SELECTION, b);
         },
         msg::EM_SETCHARFORMAT},
    };
    for (const Step& s : steps) {
        host.reset();
        select(e, s.a, s.b);
        s.act();
        EXPECT_EQ(e.WM_GETTEXT(), u"free locked free"_qs) << s.name;
        ASSERT_EQ(host.protectedAsks.size(), 1u) << s.name;
        EXPECT_EQ(host.protectedAsks[0].msg, s.request) << s.name;
        EXPECT_EQ(host.count(EN_CHANGE), 0u) << s.name;
    }
    CHARFORMAT2W check;
    select(e, 0, 16);
    e.EM_GETCHARFORMAT(SCF_SELECTION, check);
    EXPECT_FALSE(check.dwEffects & CFE_BOLD) << "a refused format change formats nothing";

    // Typing next to (not inside) protected text does not ask.
    host.reset();
    select(e, 4, 4);
    EXPECT_TRUE(e.TypeText(u"!"_qs));
    EXPECT_TRUE(host.protectedAsks.empty());

    // Changing the protected attribute itself always asks.
    host.refuseProtected = false;
    host.reset();
    select(e, 0, 2);
    cf.dwEffects = 0;
    EXPECT_TRUE(e.EM_SETCHARFORMAT(SCF_SELECTION, cf));
    EXPECT_EQ(host.protectedAsks.size(), 1u);
}

TEST(RichEditEngine, OlderVersionsAnswerAsTheyDid) {
    {
        RichEditEngine e3;
        EXPECT_EQ(e3.Version(), 3);
        EXPECT_TRUE(e3.EM_SETTYPOGRAPHYOPTIONS(TO_SIMPLELINEBREAK, TO_SIMPLELINEBREAK));
        EXPECT_EQ(e3.EM_GETTYPOGRAPHYOPTIONS(), TO_SIMPLELINEBREAK);
        EXPECT_EQ(e3.EM_SETUNDOLIMIT(20), 20);
        e3.WM_SETTEXT(u"abab"_qs);
        EXPECT_EQ(e3.EM_FINDTEXT(0, {{0, -1}, u"b"_qs}), 3) << "upwards: the last match";
    }
    {
        ScopedEngineVersion v(2);
        RichEditEngine e2;
        EXPECT_FALSE(e2.EM_SETTYPOGRAPHYOPTIONS(TO_SIMPLELINEBREAK, TO_SIMPLELINEBREAK));
        EXPECT_EQ(e2.EM_SETUNDOLIMIT(20), 20);
        EXPECT_EQ(e2.EM_AUTOURLDETECT(true), 0);
        EXPECT_TRUE(e2.EM_GETAUTOURLDETECT());
    }
    {
        ScopedEngineVersion v(1);
        RichEditEngine e1;
        EXPECT_EQ(e1.EM_SETUNDOLIMIT(20), 0);
        EXPECT_NE(e1.EM_AUTOURLDETECT(true), 0);
        e1.EM_REPLACESEL(true, u"a"_qs);
        e1.EM_REPLACESEL(true, u"b"_qs);
        EXPECT_TRUE(e1.WM_UNDO());
        EXPECT_EQ(e1.WM_GETTEXT(), u"a"_qs);
        EXPECT_FALSE(e1.EM_CANREDO());
        EXPECT_TRUE(e1.WM_UNDO()) << "a single level: undo again redoes";
        EXPECT_EQ(e1.WM_GETTEXT(), u"ab"_qs);
        e1.WM_SETTEXT(u"abab"_qs);
        EXPECT_EQ(e1.EM_FINDTEXT(0, {{0, -1}, u"b"_qs}), 1) << "searches always run forward";
    }
    EXPECT_EQ(engineVersion(), 3);
}

TEST(RichEditEngine, SettingsLastForTheInstance) {
    RichEditEngine e;
    EXPECT_EQ(e.EM_SETEVENTMASK(107872261u), ENM_NONE);
    EXPECT_EQ(e.EM_GETEVENTMASK(), 107872261u);
    EXPECT_EQ(e.EM_SETTEXTMODE(TM_PLAINTEXT | TM_SINGLECODEPAGE), 0);
    EXPECT_EQ(e.EM_GETTEXTMODE() & (TM_PLAINTEXT | TM_RICHTEXT), TM_PLAINTEXT);
    e.EM_REPLACESEL(true, u"x"_qs);
    EXPECT_NE(e.EM_SETTEXTMODE(TM_RICHTEXT), 0) << "a document with text keeps its mode";
    EXPECT_NE(e.EM_SETTEXTMODE(TM_RICHTEXT | TM_PLAINTEXT), 0);
    e.EM_SETLANGOPTIONS(IMF_AUTOKEYBOARD);
    EXPECT_EQ(e.EM_GETLANGOPTIONS(), IMF_AUTOKEYBOARD);
    EXPECT_EQ(e.EM_SETBKGNDCOLOR(false, RGB(1, 2, 3)), 0x00FFFFFFu);
    EXPECT_EQ(e.EM_SETBKGNDCOLOR(true, 0), RGB(1, 2, 3));
}

TEST(RichEditEngine, SelectionTypeCountsTextAndObjects) {
    RichEditEngine e;
    setText(e, u"ab"_qs);
    EXPECT_EQ(e.EM_SELECTIONTYPE(), SEL_EMPTY);
    select(e, 0, 1);
    EXPECT_EQ(e.EM_SELECTIONTYPE(), SEL_TEXT);
    select(e, 0, 2);
    EXPECT_EQ(e.EM_SELECTIONTYPE(), SEL_TEXT | SEL_MULTICHAR);
}
