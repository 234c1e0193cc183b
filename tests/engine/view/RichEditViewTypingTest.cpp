#include "engine/view/ViewTestSupport.h"

#include <QInputMethodEvent>

using namespace richedit;

TEST_F(ViewTest, TypingEnterSoftBreakTabAndDeleting) {
    type(u"Hello world"_qs);
    key(Qt::Key_Return);
    type(u"two"_qs);
    key(Qt::Key_Return, Qt::ShiftModifier);
    key(Qt::Key_Tab);
    type(u"x"_qs);
    EXPECT_EQ(text(), u"Hello world\rtwo\v\tx"_qs);
    EXPECT_EQ(engine().EM_GETUNDONAME(), UID_TYPING);

    key(Qt::Key_Backspace);
    key(Qt::Key_Backspace, Qt::ControlModifier); // the tab and the break before: a word back
    EXPECT_TRUE(text().startsWith(u"Hello world\r"_qs));
    key(Qt::Key_Home, Qt::ControlModifier);
    key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(text().startsWith(u"world\r"_qs)) << text().toStdString();
    key(Qt::Key_Delete);
    EXPECT_TRUE(text().startsWith(u"orld\r"_qs));
}

TEST_F(ViewTest, TypingReplacesTheSelectionAndOverwriteReplacesCharacters) {
    setText(u"abcdef"_qs);
    engine().EM_EXSETSEL({1, 3});
    type(u"X"_qs);
    EXPECT_EQ(text(), u"aXdef"_qs);
    key(Qt::Key_Insert);
    EXPECT_TRUE(engine().Overwrite());
    type(u"YZ"_qs);
    EXPECT_EQ(text(), u"aXYZf"_qs) << "overwrite replaces d and e";
    type(u"!?"_qs);
    EXPECT_EQ(text(), u"aXYZ!?"_qs) << "and appends at the end";
    key(Qt::Key_Insert);
    EXPECT_FALSE(engine().Overwrite());
}

TEST_F(ViewTest, AutorepeatedKeysTypeEachTime) {
    for (int i = 0; i < 5; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, u"a"_qs, i > 0);
        QApplication::sendEvent(view.get(), &press);
    }
    EXPECT_EQ(text(), u"aaaaa"_qs);
    EXPECT_EQ(engine().EM_GETUNDONAME(), UID_TYPING);
    engine().WM_UNDO();
    EXPECT_EQ(text(), QString()) << "typing merges into one undo step";
}

TEST_F(ViewTest, UndoRedoKeys) {
    type(u"abc"_qs);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text(), QString());
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(text(), u"abc"_qs);
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(text(), u"abc"_qs);
}

TEST_F(ViewTest, CaretMovesByCharacterWordLineAndDocument) {
    setText(u"one two three\rsecond line\rthird"_qs);
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int32_t cpMin, cpMax;
    };
    const Step steps[] = {
        {Qt::Key_Right, Qt::NoModifier, 1, 1},
        {Qt::Key_Right, Qt::ControlModifier, 4, 4},
        {Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier, 4, 8},
        {Qt::Key_Left, Qt::NoModifier, 4, 4}, // collapses to the start
        {Qt::Key_End, Qt::NoModifier, 13, 13},
        {Qt::Key_Down, Qt::NoModifier, 25, 25}, // column 13 on a line of 11
        {Qt::Key_Home, Qt::NoModifier, 14, 14},
        {Qt::Key_Up, Qt::NoModifier, 0, 0},
        {Qt::Key_Down, Qt::ControlModifier, 14, 14},
        {Qt::Key_Down, Qt::ControlModifier, 26, 26},
        {Qt::Key_Up, Qt::ControlModifier, 14, 14},
        {Qt::Key_End, Qt::ControlModifier, 31, 31},
        {Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier, 0, 31},
        {Qt::Key_Right, Qt::NoModifier, 31, 31},
        {Qt::Key_Left, Qt::ControlModifier, 26, 26},
    };
    for (const Step& s : steps) {
        key(s.key, s.mods);
        const CHARRANGE r = sel();
        EXPECT_EQ(r.cpMin, s.cpMin) << int(s.key) << " " << int(s.mods);
        EXPECT_EQ(r.cpMax, s.cpMax) << int(s.key) << " " << int(s.mods);
    }
}

TEST_F(ViewTest, VerticalMovesKeepTheirColumnAndFollowWrappedLines) {
    QString words;
    for (int i = 0; i < 60; ++i)
        words += u"word "_qs;
    setText(words);
    ASSERT_GT(engine().EM_GETLINECOUNT(), 2) << "the paragraph wraps in the window";
    engine().EM_EXSETSEL({7, 7});
    key(Qt::Key_Down);
    const int32_t second = engine().EM_LINEINDEX(1);
    const int32_t atDown = sel().cpMin;
    EXPECT_EQ(engine().EM_EXLINEFROMCHAR(atDown), 1);
    EXPECT_NEAR(atDown - second, 7, 1);
    key(Qt::Key_Up);
    EXPECT_EQ(sel().cpMin, 7);
    // End stops on the line, before the space it wrapped at.
    key(Qt::Key_End);
    EXPECT_EQ(engine().EM_EXLINEFROMCHAR(sel().cpMin), 0);
    EXPECT_EQ(sel().cpMin, second - 1);
}

TEST_F(ViewTest, SurrogatePairsMoveAndDeleteAsOneCharacter) {
    setText(u"a\U0001F600b"_qs);
    engine().EM_EXSETSEL({1, 1});
    key(Qt::Key_Right);
    EXPECT_EQ(sel().cpMin, 3);
    key(Qt::Key_Left);
    EXPECT_EQ(sel().cpMin, 1);
    key(Qt::Key_Delete);
    EXPECT_EQ(text(), u"ab"_qs);
}

TEST_F(ViewTest, ReadOnlyStillSelectsAndCopiesButDoesNotChange) {
    setText(u"fixed text"_qs);
    engine().EM_SETREADONLY(true);
    type(u"x"_qs);
    key(Qt::Key_Backspace);
    key(Qt::Key_Return);
    EXPECT_EQ(text(), u"fixed text"_qs);
    key(Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(sel().cpMax, 10);
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), u"fixed text"_qs);
    key(Qt::Key_X, Qt::ControlModifier);
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(text(), u"fixed text"_qs);
}

TEST_F(ViewTest, WantTabsAndReturnsOffLeaveTheKeysToTheParent) {
    view->setWantTabs(false);
    view->setWantReturns(false);
    key(Qt::Key_Return);
    EXPECT_EQ(text(), QString());
    key(Qt::Key_Return, Qt::ControlModifier);
    key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(text(), u"\r\t"_qs);
}

TEST_F(ViewTest, InputMethodPreeditThenCommit) {
    setText(u"ab"_qs);
    engine().EM_EXSETSEL({1, 1});
    {
        QList<QInputMethodEvent::Attribute> attrs;
        attrs.append({QInputMethodEvent::Cursor, 1, 1, QVariant()});
        QInputMethodEvent preedit(u"ni"_qs, attrs);
        QApplication::sendEvent(view.get(), &preedit);
    }
    EXPECT_EQ(view->preeditText(), u"ni"_qs);
    EXPECT_EQ(text(), u"ab"_qs) << "a preedit is not text yet";
    const QRect caret = view->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_FALSE(caret.isNull());
    EXPECT_EQ(view->inputMethodQuery(Qt::ImSurroundingText).toString(), u"ab"_qs);
    EXPECT_EQ(view->inputMethodQuery(Qt::ImCursorPosition).toInt(), 1);
    {
        QInputMethodEvent commit;
        commit.setCommitString(u"\u4F60"_qs);
        QApplication::sendEvent(view.get(), &commit);
    }
    EXPECT_EQ(view->preeditText(), QString());
    EXPECT_EQ(text(), u"a\u4F60b"_qs);
    EXPECT_EQ(sel().cpMin, 2);
    // A commit that replaces the character before the caret (a correction).
    {
        QInputMethodEvent fix;
        fix.setCommitString(u"Z"_qs, -2, 2);
        QApplication::sendEvent(view.get(), &fix);
    }
    EXPECT_EQ(text(), u"Zb"_qs);
}

TEST_F(ViewTest, MouseClicksDragsAndMultipleClicks) {
    setText(u"alpha beta gamma\rsecond paragraph here"_qs);
    click(pointOf(7));
    EXPECT_EQ(sel().cpMin, 7);
    EXPECT_EQ(sel().cpMax, 7);
    click(pointOf(13), Qt::ShiftModifier);
    EXPECT_EQ(sel().cpMin, 7);
    EXPECT_EQ(sel().cpMax, 13);

    // Press, drag, release.
    mouse(QEvent::MouseButtonPress, pointOf(1));
    mouse(QEvent::MouseMove, pointOf(4), Qt::NoButton);
    mouse(QEvent::MouseMove, pointOf(20), Qt::NoButton);
    mouse(QEvent::MouseButtonRelease, pointOf(20), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(sel().cpMin, 1);
    EXPECT_EQ(sel().cpMax, 20);

    // A double-click selects the word and the space after it; a third click the paragraph.
    const QPoint beta = pointOf(7);
    mouse(QEvent::MouseButtonPress, beta);
    mouse(QEvent::MouseButtonRelease, beta, Qt::LeftButton, Qt::NoButton);
    mouse(QEvent::MouseButtonDblClick, beta);
    mouse(QEvent::MouseButtonRelease, beta, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(sel().cpMin, 6);
    EXPECT_EQ(sel().cpMax, 11);
    mouse(QEvent::MouseButtonPress, beta);
    mouse(QEvent::MouseButtonRelease, beta, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(sel().cpMin, 0);
    EXPECT_EQ(sel().cpMax, 17) << "the paragraph with its mark";

    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(sel().cpMin, 0);
    EXPECT_EQ(sel().cpMax, engine().WM_GETTEXTLENGTH());
}

TEST_F(ViewTest, DraggingBelowTheWindowScrollsAndExtends) {
    QString many;
    for (int i = 0; i < 200; ++i)
        many += u"line %1\r"_qs.arg(i);
    setText(many);
    mouse(QEvent::MouseButtonPress, pointOf(0));
    mouse(QEvent::MouseMove, QPoint(50, port()->height() + 40), Qt::NoButton);
    for (int i = 0; i < 10; ++i)
        QTest::qWait(60);
    mouse(QEvent::MouseButtonRelease, QPoint(50, port()->height() + 40), Qt::LeftButton,
          Qt::NoButton);
    EXPECT_GT(engine().EM_GETSCROLLPOS().y, 0);
    EXPECT_GT(engine().EM_GETFIRSTVISIBLELINE(), 0);
    EXPECT_EQ(sel().cpMin, 0);
    EXPECT_GT(engine().EM_EXLINEFROMCHAR(sel().cpMax), 20);
}
