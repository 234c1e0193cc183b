#include "engine/view/ViewTestSupport.h"

#include <QScrollBar>
#include <QWheelEvent>

using namespace richedit;

namespace {

QString lines(int n) {
    QString s;
    for (int i = 0; i < n; ++i)
        s += u"Line number %1 of the document\r"_qs.arg(i);
    return s;
}

void wheel(QWidget* w, QPoint pos, int delta, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWheelEvent e(QPointF(pos), w->mapToGlobal(QPointF(pos)), QPoint(), QPoint(0, delta),
                  Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

} // namespace

TEST_F(ViewTest, ScrollBarsFollowTheContentAndTheCaretStaysInView) {
    setText(lines(300));
    QScrollBar* bar = view->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(engine().EM_GETFIRSTVISIBLELINE(), 0);

    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(bar->value(), bar->maximum()) << "the caret at the end is scrolled into view";
    const QRect caret = engine().CaretRect();
    EXPECT_TRUE(port()->rect().contains(caret.topLeft()));
    EXPECT_TRUE(port()->rect().contains(caret.bottomLeft()));

    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(bar->value(), 0);

    // Page Down scrolls about a window's height and keeps the caret at its place in it.
    const int before = engine().CaretRect().top();
    key(Qt::Key_PageDown);
    EXPECT_GT(bar->value(), port()->height() / 2);
    EXPECT_NEAR(engine().CaretRect().top(), before, 20);
    EXPECT_GT(engine().EM_GETFIRSTVISIBLELINE(), 5);
    key(Qt::Key_PageUp);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(sel().cpMin, 0);

    // Moving the scroll bar moves the text, not the caret.
    bar->setValue(400);
    EXPECT_EQ(engine().EM_GETSCROLLPOS().y, 400);
    EXPECT_EQ(sel().cpMin, 0);

    // Line scrolling.
    engine().EM_SETSCROLLPOS({0, 0});
    engine().EM_LINESCROLL(0, 10);
    EXPECT_EQ(engine().EM_GETFIRSTVISIBLELINE(), 10);
    EXPECT_EQ(bar->value(), engine().EM_GETSCROLLPOS().y);
    engine().EM_LINESCROLL(0, -100);
    EXPECT_EQ(engine().EM_GETFIRSTVISIBLELINE(), 0);
    EXPECT_EQ(engine().EM_SCROLL(SB_LINEDOWN), (1 << 16) | 1);

    // The wheel scrolls.
    engine().EM_SETSCROLLPOS({0, 0});
    wheel(port(), QPoint(10, 10), -120);
    EXPECT_GT(engine().EM_GETSCROLLPOS().y, 0);
}

TEST_F(ViewTest, ScrollBarStylesHideOrKeepTheBars) {
    setText(u"short"_qs);
    view->setScrollBarStyle(true, false, false);
    EXPECT_EQ(view->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    view->setScrollBarStyle(true, false, true);
    EXPECT_EQ(view->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(view->verticalScrollBar()->isEnabled()) << "kept but inactive when not needed";
    view->setScrollBarStyle(false, false, false);
    EXPECT_EQ(view->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST_F(ViewTest, ZoomScalesPositionsAndRewrapsAtTheWindow) {
    setText(lines(5));
    int32_t num = -1, den = -1;
    engine().EM_GETZOOM(num, den);
    EXPECT_EQ(num, 0);
    EXPECT_EQ(den, 0);
    const POINT at1 = engine().EM_POSFROMCHAR(40);
    EXPECT_TRUE(engine().EM_SETZOOM(2, 1));
    const POINT at2 = engine().EM_POSFROMCHAR(40);
    EXPECT_NEAR(at2.y - 1, (at1.y - 1) * 2, 2);
    EXPECT_FALSE(engine().EM_SETZOOM(65, 1));
    EXPECT_FALSE(engine().EM_SETZOOM(1, 65));
    EXPECT_FALSE(engine().EM_SETZOOM(-1, 2));
    engine().EM_GETZOOM(num, den);
    EXPECT_EQ(num, 2);
    EXPECT_EQ(den, 1);
    EXPECT_TRUE(engine().EM_SETZOOM(1, 3));
    EXPECT_EQ(engine().ZoomFactor(), 1.0 / 3.0);
    EXPECT_TRUE(engine().EM_SETZOOM(0, 0));
    EXPECT_EQ(engine().EM_POSFROMCHAR(40), at1);

    // Ctrl+wheel zooms in and out.
    wheel(port(), QPoint(10, 10), 120, Qt::ControlModifier);
    EXPECT_GT(engine().ZoomFactor(), 1.05);
    wheel(port(), QPoint(10, 10), -240, Qt::ControlModifier);
    EXPECT_LT(engine().ZoomFactor(), 0.95);
    EXPECT_EQ(engine().EM_GETSCROLLPOS().y, 0) << "Ctrl+wheel does not scroll";
}

TEST_F(ViewTest, LinksChangeThePointerAndSendLinkNotifications) {
    setText(u"see http://example.org now"_qs);
    engine().EM_SETEVENTMASK(ENM_LINK);
    engine().EM_EXSETSEL({4, 22});
    CHARFORMAT2W cf;
    cf.dwMask = CFM_LINK;
    cf.dwEffects = CFE_LINK;
    engine().EM_SETCHARFORMAT(SCF_SELECTION, cf);
    engine().EM_EXSETSEL({0, 0});

    const QPoint over = pointOf(10);
    mouse(QEvent::MouseMove, over, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(port()->cursor().shape(), Qt::PointingHandCursor);
    ASSERT_GE(host.count(EN_LINK, msg::WM_MOUSEMOVE), 1u);
    const auto link = std::find_if(host.records.begin(), host.records.end(),
                                   [](const ViewHost::Record& r) { return r.code == EN_LINK; });
    EXPECT_EQ(link->chrg.cpMin, 4);
    EXPECT_EQ(link->chrg.cpMax, 22);

    mouse(QEvent::MouseMove, pointOf(1), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(port()->cursor().shape(), Qt::IBeamCursor);

    // The host's answer decides whether the engine handles the click too.
    click(over);
    EXPECT_EQ(host.count(EN_LINK, msg::WM_LBUTTONDOWN), 1u);
    EXPECT_EQ(host.count(EN_LINK, msg::WM_LBUTTONUP), 1u);
    EXPECT_EQ(sel().cpMin, 10) << "answer 0: the click also places the caret";
    host.answers[EN_LINK] = 1;
    click(pointOf(6));
    EXPECT_EQ(sel().cpMin, 10) << "a handled click leaves the caret";

    // Without the mask bit nothing is sent.
    engine().EM_SETEVENTMASK(0);
    const size_t before = host.count(EN_LINK);
    click(over);
    EXPECT_EQ(host.count(EN_LINK), before);
}

TEST_F(ViewTest, MessageFilterSeesInputAndCanDropIt) {
    engine().EM_SETEVENTMASK(ENM_KEYEVENTS | ENM_MOUSEEVENTS);
    type(u"a"_qs);
    EXPECT_GE(host.count(EN_MSGFILTER, msg::WM_KEYDOWN), 1u);
    click(QPoint(5, 5));
    EXPECT_EQ(host.count(EN_MSGFILTER, msg::WM_LBUTTONDOWN), 1u);
    EXPECT_EQ(host.count(EN_MSGFILTER, msg::WM_LBUTTONUP), 1u);
    host.answers[EN_MSGFILTER] = 1;
    type(u"b"_qs);
    EXPECT_EQ(text(), u"a"_qs) << "a filtered key is dropped";
    // Mouse events alone do not bring key events.
    engine().EM_SETEVENTMASK(ENM_MOUSEEVENTS);
    host.answers[EN_MSGFILTER] = 0;
    const size_t keys = host.count(EN_MSGFILTER, msg::WM_KEYDOWN);
    type(u"c"_qs);
    EXPECT_EQ(host.count(EN_MSGFILTER, msg::WM_KEYDOWN), keys);
}

TEST_F(ViewTest, RequestResizeFollowsTheContentHeight) {
    engine().EM_SETEVENTMASK(ENM_REQUESTRESIZE | ENM_CHANGE | ENM_SELCHANGE);
    type(u"one"_qs);
    const size_t first = host.count(EN_REQUESTRESIZE);
    EXPECT_GE(first, 1u);
    type(u"x"_qs);
    EXPECT_EQ(host.count(EN_REQUESTRESIZE), first) << "same height, no new request";
    key(Qt::Key_Return);
    ASSERT_EQ(host.count(EN_REQUESTRESIZE), first + 1);
    const ViewHost::Record& last =
        *std::find_if(host.records.rbegin(), host.records.rend(),
                      [](const ViewHost::Record& r) { return r.code == EN_REQUESTRESIZE; });
    EXPECT_EQ(last.rc.bottom - last.rc.top, engine().ContentHeightPixels());
    EXPECT_GT(host.count(EN_CHANGE), 0u);
    EXPECT_GT(host.count(EN_SELCHANGE), 0u);
    // Every caret move reports its range.
    const size_t sels = host.count(EN_SELCHANGE);
    key(Qt::Key_Left);
    EXPECT_EQ(host.count(EN_SELCHANGE), sels + 1);
}

TEST_F(ViewTest, SelectionIsHiddenWithoutFocusUnlessKept) {
    setText(u"some selected text"_qs);
    engine().EM_EXSETSEL({5, 13});
    auto selectionPixels = [&] {
        const QImage image = port()->grab().toImage();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += c.blue() > 150 && c.red() < 120; // the active highlight
                n += std::abs(c.red() - 0xC8) < 3 && std::abs(c.blue() - 0xC8) < 3; // inactive
            }
        return n;
    };
    engine().SetFocused(true);
    const int shown = selectionPixels();
    EXPECT_GT(shown, 200);
    engine().SetFocused(false);
    EXPECT_LT(selectionPixels(), shown / 10) << "hidden while the window has no focus";
    engine().EM_HIDESELECTION(false, true);
    EXPECT_GT(selectionPixels(), shown / 2) << "kept when the style says so";
}

TEST_F(ViewTest, BackgroundColourPaintsBehindTheText) {
    engine().EM_SETBKGNDCOLOR(false, 0x0000FF00); // green
    const QImage image = port()->grab().toImage();
    EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 2), QColor(0, 255, 0));
}
