#include "editor/EditorTestSupport.h"

#include "editor/TTovraParaAttributes.h"
#include "engine/objects/RichEditOle.h"

#include <QImage>
#include <QScrollBar>

using namespace richedit;

TEST(RichEditModuleTest, ProbesTheEngineVersionAndRegistersTheClipboardFormats) {
    for (int version : {1, 2, 3}) {
        ScopedRichEditVersion v(version);
        EXPECT_EQ(RichEditVersion(), version);
    }
    EXPECT_EQ(RichEditVersion(), 3);
    const uint32_t formats[] = {CF_EMBEDDEDOBJECT(), CF_LINKSOURCE(), CF_RTF(), CF_RTFNOOBJS()};
    for (size_t i = 1; i < std::size(formats); ++i)
        EXPECT_EQ(formats[i], formats[i - 1] + 1) << "registered in order";
    EXPECT_GE(formats[0], 0xC000u);
}

TEST_F(EditorTest, NewEditorDefaultsAndTheCreationSequence) {
    TTovraRichEdit fresh;
    EXPECT_EQ(fresh.size(), QSize(185, 89));
    EXPECT_FALSE(fresh.HandleAllocated()) << "no window until it is needed";
    EXPECT_TRUE(fresh.WantTabs());
    EXPECT_TRUE(fresh.WantReturns());
    EXPECT_TRUE(fresh.WordWrap());
    EXPECT_TRUE(fresh.HideSelection());
    EXPECT_TRUE(fresh.HideScrollBars());
    EXPECT_TRUE(fresh.AllowObjects());
    EXPECT_TRUE(fresh.AcceptDropFiles());
    EXPECT_TRUE(fresh.ProtectLinks());
    EXPECT_EQ(fresh.UndoLimit(), 100);
    EXPECT_EQ(fresh.Zoom(), 0);
    EXPECT_EQ(fresh.Measurement(), unPoints);
    EXPECT_EQ(fresh.LanguageOptions(), TTovraRichLangOptions{rlAutoFont});
    EXPECT_TRUE(fresh.SelectionType().empty()) << "no window: the empty set";
    EXPECT_EQ(fresh.NextUndoAction(), uidUnknown);

    // Reading a window-backed property creates the window.
    EXPECT_EQ(fresh.TypographyOptions(), toSimple);
    ASSERT_TRUE(fresh.HandleAllocated());
    EXPECT_EQ(fresh.Engine()->EM_GETEVENTMASK(), 107872261u);
    EXPECT_EQ(fresh.Engine()->EM_GETTEXTMODE(),
              uint32_t(TM_RICHTEXT | TM_MULTICODEPAGE | TM_MULTILEVELUNDO));
    EXPECT_EQ(fresh.Version(), 3);
}

TEST_F(EditorTest, ReCreatingTheWindowKeepsDocumentFormattingAndModified) {
    edit->SetText(u"plain bold plain"_qs);
    setBold(6, 10);
    edit->SetModified(true);
    int changes = 0;
    edit->SetOnChange([&](QObject*) { ++changes; });

    edit->SetPlainText(true);
    EXPECT_EQ(engine().EM_GETTEXTMODE() & TM_PLAINTEXT, uint32_t(TM_PLAINTEXT));
    EXPECT_EQ(edit->Text(), u"plain bold plain"_qs);
    EXPECT_TRUE(edit->Modified());
    edit->SetPlainText(false);
    EXPECT_EQ(edit->Text(), u"plain bold plain"_qs);
    EXPECT_TRUE(boldAt(7)) << "the re-creation keeps rich text whatever the mode";
    EXPECT_FALSE(boldAt(2));

    edit->SetWordWrap(false);
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(changes, 0) << "a re-creation raises no change event";
    edit->SetModified(false);
    edit->SetWordWrap(true);
    EXPECT_FALSE(edit->Modified());

    // Settings that live only in the engine start fresh.
    edit->SetTypographyOptions(toAdvanced);
    EXPECT_EQ(edit->TypographyOptions(), toAdvanced);
    edit->SetWordWrap(false);
    EXPECT_EQ(edit->TypographyOptions(), toSimple);
}

TEST_F(EditorTest, TextRangesAndTheCaret) {
    edit->SetText(u"first line\rabcdef"_qs);
    EXPECT_EQ(edit->GetTextRange(0, -1), u"first line\rabcdef"_qs);
    EXPECT_EQ(edit->GetTextRange(5, 5), QString());
    EXPECT_EQ(edit->GetTextRange(-1, 3), QString());
    EXPECT_EQ(edit->GetTextRange(6, 10), u"line"_qs);

    edit->SetSelStart(0);
    EXPECT_EQ(edit->CursorPos(), QPoint(1, 1));
    edit->SetSelStart(14);
    EXPECT_EQ(edit->CursorPos(), QPoint(4, 2)) << "three characters into the second line";
    EXPECT_EQ(edit->CaretPos(), QPoint(3, 1));
    edit->SetCaretPos(QPoint(2, 0));
    EXPECT_EQ(edit->SelStart(), 2);

    edit->SetSelStart(6);
    edit->SetSelLength(4);
    EXPECT_EQ(edit->SelText(), u"line"_qs);
    QString buffer;
    EXPECT_EQ(edit->GetSelTextBuf(buffer, 3), 2);
    EXPECT_EQ(buffer, u"li"_qs);
    edit->SetSelRange(0, 5);
    EXPECT_EQ(edit->SelText(), u"first"_qs);
}

TEST_F(EditorTest, FindTextSearchesTheRangeTheOptionsGive) {
    //                 0         1         2
    //                 0123456789012345678901234
    edit->SetText(u"abc xx abc yy ABC zz abc"_qs);
    struct Case {
        int32_t start, length;
        TTovraSearchTypes options;
        int32_t expected;
    };
    const Case cases[] = {
        {10, 10, {}, 7},                           // upwards: 10 .. 0, the nearest match
        {10, 10, {stSearchDown}, 14},              // downwards: 10 .. 20
        {10, 10, {stSearchDown, stMatchCase}, -1}, // ABC only
        {3, 10, {}, 0},                            // 3 .. 0: the end is raised to 0
        {0, 24, {stSearchDown, stWholeWord}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(edit->FindText(u"abc"_qs, c.start, c.length, c.options), c.expected)
            << c.start << " " << c.length << " " << c.options.bits();
    {
        ScopedRichEditVersion v1(1);
        make();
        edit->SetText(u"abc xx abc yy ABC zz abc"_qs);
        EXPECT_EQ(edit->FindText(u"abc"_qs, 10, 10, {}), 14) << "the first engine searches forward";
    }
}

TEST_F(EditorTest, ReplaceTextLeavesTheCaretAfterTheReplacement) {
    edit->SetText(u"one two three"_qs);
    edit->SetSelRange(1, 2);
    EXPECT_EQ(edit->ReplaceText(u"four"_qs, u"4"_qs, 0, 13, {stSearchDown}), -1);
    EXPECT_EQ(edit->SelStart(), 1);
    EXPECT_EQ(edit->SelLength(), 2) << "no match leaves the selection";
    EXPECT_EQ(edit->ReplaceTextExt(u"two"_qs, u"2222"_qs, 0, 13, {stSearchDown}), 4);
    EXPECT_EQ(edit->Text(), u"one 2222 three"_qs);
    EXPECT_EQ(edit->SelStart(), 8);
    EXPECT_EQ(edit->SelLength(), 0);
}

TEST_F(EditorTest, ZoomUndoLimitAndVersionGates) {
    edit->SetZoom(-3);
    int32_t n = 0, d = 0;
    engine().EM_GETZOOM(n, d);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(d, 3);
    EXPECT_EQ(edit->Zoom(), -3);
    edit->SetZoom(4);
    EXPECT_EQ(edit->Zoom(), 4);
    edit->SetZoom(0);
    engine().EM_GETZOOM(n, d);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(d, 1);
    EXPECT_EQ(edit->Zoom(), 0);

    edit->SetUndoLimit(500);
    EXPECT_EQ(edit->UndoLimit(), engine().EM_SETUNDOLIMIT(500));
    {
        ScopedRichEditVersion v2(2);
        make();
        edit->SetZoom(-3);
        EXPECT_EQ(edit->Zoom(), -3) << "only stored";
        engine().EM_GETZOOM(n, d);
        EXPECT_EQ(n, 0);
        EXPECT_FALSE(edit->CanRedo());
        edit->SetText(u"x"_qs);
        EXPECT_EQ(edit->TypographyOptions(), toSimple);
    }
    {
        ScopedRichEditVersion v1(1);
        make();
        edit->SetUndoLimit(7);
        EXPECT_EQ(edit->UndoLimit(), 7) << "the first engine keeps its single level";
        edit->SetAutoURLDetect(true);
        EXPECT_TRUE(edit->AutoURLDetect()) << "the stored value";
        EXPECT_FALSE(engine().EM_GETAUTOURLDETECT());
        EXPECT_EQ(edit->NextUndoAction(), uidUnknown);
    }
}

TEST_F(EditorTest, SettingsReachTheEngine) {
    edit->SetAutoURLDetect(true);
    EXPECT_TRUE(engine().EM_GETAUTOURLDETECT());
    EXPECT_TRUE(edit->AutoURLDetect());
    edit->SetLanguageOptions({rlAutoKeyboard, rlImeCancelComplete});
    EXPECT_EQ(engine().EM_GETLANGOPTIONS() & 0xF,
              uint32_t(IMF_AUTOKEYBOARD | IMF_IMECANCELCOMPLETE));
    EXPECT_EQ(edit->LanguageOptions(),
              (TTovraRichLangOptions{rlAutoKeyboard, rlImeCancelComplete}));
    edit->SetReadOnly(true);
    EXPECT_TRUE(engine().ReadOnly());
    edit->SetMaxLength(5);
    EXPECT_EQ(engine().EM_GETLIMITTEXT(), 5);
    edit->SetHideSelection(false);
    EXPECT_FALSE(engine().HideSelectionWhenUnfocused());
    edit->SetColor(QColor(10, 20, 30));
    EXPECT_EQ(engine().BackgroundColor(), COLORREF(10 | (20 << 8) | (30 << 16)));
    // Re-created windows take them again.
    edit->SetScrollBars(ssBoth);
    EXPECT_TRUE(engine().EM_GETAUTOURLDETECT());
    EXPECT_TRUE(engine().ReadOnly());
    EXPECT_EQ(engine().EM_GETLIMITTEXT(), 5);
    EXPECT_EQ(engine().BackgroundColor(), COLORREF(10 | (20 << 8) | (30 << 16)));
    EXPECT_EQ(edit->EngineWindow()->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    edit->SetHideScrollBars(false);
    EXPECT_EQ(edit->EngineWindow()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST_F(EditorTest, ClearRemovesProtectedTextWithoutAskingAndResetsModified) {
    edit->SetText(u"open guarded"_qs);
    protect(5, 12);
    edit->SetModified(true);
    edit->Clear();
    EXPECT_EQ(edit->Text(), QString()) << "no handler, and still the protected text goes";
    EXPECT_FALSE(edit->Modified());
    EXPECT_FALSE(edit->DefaultProtect()) << "restored";

    // A handler hears of it with the change allowed to begin with.
    edit->SetText(u"guarded"_qs);
    protect(0, 7);
    std::vector<bool> offered;
    edit->SetOnProtectChange(
        [&](QObject*, int32_t, int32_t, bool& allow) { offered.push_back(allow); });
    edit->Clear();
    EXPECT_EQ(edit->Text(), QString());
    EXPECT_EQ(offered, std::vector<bool>{true});
}

TEST_F(EditorTest, TopLineIndexScrollsAndMovesTheCaret) {
    QString many;
    for (int i = 0; i < 100; ++i)
        many += u"line %1\r"_qs.arg(i);
    edit->SetText(many);
    edit->SetTopLineIndex(20);
    EXPECT_EQ(edit->TopLineIndex(), 20);
    EXPECT_EQ(edit->SelStart(), engine().EM_LINEINDEX(20));
    EXPECT_EQ(edit->SelLength(), 0);
    TTovraRichEdit other;
    other.resize(400, 300);
    other.show();
    other.SetText(many);
    other.SynchronizeLines(edit.get());
    EXPECT_EQ(other.TopLineIndex(), 20);
}

TEST_F(EditorTest, HostNamesReachTheObjectInterfaceAndObjectsSurviveClosing) {
    ASSERT_NE(edit->RichEditOle(), nullptr);
    const QString app = edit->RichEditOle()->HostApplication();
    EXPECT_FALSE(app.isEmpty());
    EXPECT_EQ(edit->RichEditOle()->HostDocument(), app) << "no title: the application's name";
    edit->SetTitle(u"report.rtf"_qs);
    EXPECT_EQ(edit->RichEditOle()->HostDocument(), u"report.rtf"_qs);

    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(engine().PasteImage(image));
    edit->CloseOleObjects();
    EXPECT_EQ(edit->RichEditOle()->GetObjectCount(), 1) << "closing keeps the object in the text";
    edit->SetAllowObjects(false);
    EXPECT_EQ(edit->RichEditOle(), nullptr) << "a window without objects has no interface";
    edit->SetAllowObjects(true);
    ASSERT_NE(edit->RichEditOle(), nullptr);
    EXPECT_EQ(edit->RichEditOle()->GetObjectCount(), 1) << "the picture survives the re-creation";
}

TEST_F(EditorTest, AlignmentStyleAndScrollEvents) {
    edit->SetAlignment(taCenter);
    PARAFORMAT2 pf;
    engine().EM_GETPARAFORMAT(pf);
    EXPECT_EQ(pf.wAlignment, PFA_CENTER) << "a new window's empty document takes the style";
    EXPECT_FALSE(edit->Modified());

    QString many;
    for (int i = 0; i < 100; ++i)
        many += u"line %1\r"_qs.arg(i);
    edit->SetText(many);
    int vertical = 0;
    edit->SetOnVScroll([&](QObject*) { ++vertical; });
    edit->EngineWindow()->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QApplication::processEvents();
    EXPECT_EQ(vertical, 1);
    EXPECT_GT(edit->TopLineIndex(), 0);
    edit->ScrollByLines(3); // not a use of the scroll bar
    QApplication::processEvents();
    EXPECT_EQ(vertical, 1);
}

TEST_F(EditorTest, AChangeOfReadingDirectionAlignsTheSelectionFromTheAlignmentStyle) {
    edit->SetText(u"one\rtwo"_qs);
    edit->SetAlignment(taCenter);
    edit->SetSelRange(0, 2);
    edit->setLayoutDirection(Qt::RightToLeft);
    EXPECT_EQ(edit->Paragraph().Alignment(), paCenter);
    edit->SetAlignment(taRightJustify);
    edit->setLayoutDirection(Qt::LeftToRight);
    EXPECT_EQ(edit->Paragraph().Alignment(), paRightJustify);
}
