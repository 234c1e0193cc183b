#include "editor/EditorTestSupport.h"

#include "framework/ShellOpener.h"

#include <QClipboard>
#include <QDialog>
#include <QMimeData>
#include <QUrl>
#include <QVBoxLayout>

using namespace richedit;

namespace {

void setLink(RichEditEngine& e, int32_t from, int32_t to) {
    e.EM_EXSETSEL({from, to});
    CHARFORMAT2W cf;
    cf.dwMask = CFM_LINK;
    cf.dwEffects = CFE_LINK;
    e.EM_SETCHARFORMAT(SCF_SELECTION, cf);
    e.EM_EXSETSEL({0, 0});
}

void dropFiles(QWidget* target, QPoint pos, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls.append(QUrl::fromLocalFile(p));
    data.setUrls(urls);
    QDragEnterEvent enter(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return;
    QDropEvent drop(QPointF(pos), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

} // namespace

TEST_F(EditorTest, ProtectedTextIsRefusedUnlessAHandlerAllowsIt) {
    edit->SetText(u"open guarded"_qs);
    protect(5, 12);
    edit->SetSelRange(6, 2);
    QTest::keyClicks(edit->EngineWindow(), u"x"_qs);
    EXPECT_EQ(edit->Text(), u"open guarded"_qs) << "no handler: refused";

    edit->CopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), u"ua"_qs) << "copying is always allowed";

    int32_t from = -1, to = -1;
    edit->SetOnProtectChange([&](QObject* sender, int32_t s, int32_t e, bool& allow) {
        EXPECT_EQ(sender, edit.get());
        from = s;
        to = e;
        allow = true;
    });
    edit->SetSelRange(6, 2);
    QTest::keyClicks(edit->EngineWindow(), u"x"_qs);
    EXPECT_EQ(edit->Text(), u"open gxrded"_qs);
    EXPECT_EQ(from, 6);
    EXPECT_EQ(to, 8);
}

TEST_F(EditorTest, SelectionChangeRunsTheChainAndChangeFollowsEdits) {
    int selections = 0, changes = 0;
    edit->SetOnSelectionChange([&](QObject*) { ++selections; });
    edit->SetOnChange([&](QObject*) { ++changes; });
    QTest::keyClicks(edit->EngineWindow(), u"ab"_qs);
    EXPECT_EQ(changes, 2);
    EXPECT_GE(selections, 2);
    const int before = selections;
    QTest::keyClick(edit->EngineWindow(), Qt::Key_Left);
    EXPECT_EQ(selections, before + 1);
    QRect asked;
    edit->SetOnResizeRequest([&](QObject*, QRect& r) { asked = r; });
    QTest::keyClick(edit->EngineWindow(), Qt::Key_Return);
    EXPECT_GT(asked.height(), 10) << "the content grew a line";
}

TEST_F(EditorTest, UrlClicksOpenTheShellOrRaiseTheHandler) {
    edit->SetText(u"go http://example.org now"_qs);
    setLink(engine(), 3, 21);
    QStringList opened;
    ScopedShellOpenHook hook([&](const QString& target) {
        opened.append(target);
        return true;
    });
    click(pointOf(8));
    EXPECT_EQ(opened, QStringList{u"http://example.org"_qs}) << "a left click opens the link";
    EXPECT_EQ(edit->SelStart(), 8) << "and places the caret";
    click(pointOf(8), Qt::RightButton);
    EXPECT_EQ(opened.size(), 1) << "a right click does nothing";

    QStringList handled;
    edit->SetOnURLClick([&](QObject*, const QString& text, TMouseButton button) {
        handled.append(text + (button == mbRight ? u" right"_qs : u" left"_qs));
    });
    click(pointOf(8));
    click(pointOf(8), Qt::RightButton);
    EXPECT_EQ(handled,
              QStringList({u"http://example.org left"_qs, u"http://example.org right"_qs}));
    EXPECT_EQ(opened.size(), 1) << "with a handler only the handler runs";
}

TEST_F(EditorTest, LinksOfTheBookmarkKindRaiseOnLinkClick) {
    // A link kept in the text: hidden start marker, display text, hidden tail with the target.
    edit->SetText(u"see \001HR\002Chapter\001/HR:LNK=intro\002 here"_qs);
    setLink(engine(), 8, 15);
    QStringList opened;
    ScopedShellOpenHook hook([&](const QString& t) {
        opened.append(t);
        return true;
    });
    QString clicked;
    edit->SetOnLinkClick([&](QObject*, const QString& text, TMouseButton) { clicked = text; });
    click(pointOf(10));
    EXPECT_EQ(clicked, u"intro"_qs);
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(EditorTest, HoverReportsEachLinkOnceAndLeavingAfterTwoInputs) {
    edit->SetText(u"http://one.example next http://two.example"_qs);
    setLink(engine(), 0, 18);
    setLink(engine(), 24, 42);
    std::vector<std::pair<QString, bool>> reports;
    edit->SetOnLinkMouseMove(
        [&](QObject*, const QString& text, bool isLink) { reports.emplace_back(text, isLink); });
    auto move = [&](QPoint p) { mouse(QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton); };
    move(pointOf(3));
    move(pointOf(5));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].first, u"http://one.example"_qs);
    EXPECT_FALSE(reports[0].second);
    move(pointOf(30));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].first, u"http://two.example"_qs);
    move(pointOf(20)); // off the links: the first filtered input
    EXPECT_EQ(reports.size(), 2u);
    move(pointOf(21)); // the second
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[2], std::make_pair(QString(), false));
    move(pointOf(3));
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_EQ(reports[3].first, u"http://one.example"_qs);
}

TEST_F(EditorTest, DroppedFilesReportTheFirstAndInsertNothing) {
    edit->SetText(u"text"_qs);
    QStringList dropped;
    bool accept = true;
    edit->SetOnDropFile([&](QObject*, const QString& name, bool& a) {
        dropped.append(name);
        a = accept;
    });
    dropFiles(port(), pointOf(1), {u"/tmp/a.rtf"_qs, u"/tmp/b.rtf"_qs, u"/tmp/c.rtf"_qs});
    EXPECT_EQ(dropped, QStringList{u"/tmp/a.rtf"_qs});
    EXPECT_EQ(edit->Text(), u"text"_qs);
    accept = false;
    dropFiles(port(), pointOf(1), {u"/tmp/d.rtf"_qs});
    EXPECT_EQ(dropped.size(), 2);
    edit->SetAcceptDropFiles(false);
    dropFiles(port(), pointOf(1), {u"/tmp/e.rtf"_qs});
    EXPECT_EQ(dropped.size(), 2) << "the window takes no files";
}

TEST_F(EditorTest, PlainTextPastesWithoutFormatting) {
    edit->SetPlainText(true);
    auto* data = new QMimeData; // the clipboard owns it
    data->setData(u"text/rtf"_qs, "{\\rtf1 {\\b Bold}}");
    data->setText(u"Caf\u00E9 \u4F60\u597D"_qs);
    QApplication::clipboard()->setMimeData(data);
    QTest::keyClick(edit->EngineWindow(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), u"Caf\u00E9 \u4F60\u597D"_qs) << "the text, every character kept";
    edit->SelectAll();
    edit->EngineWindow()->WM_PASTE();
    EXPECT_EQ(edit->Text(), u"Caf\u00E9 \u4F60\u597D"_qs);
}

TEST_F(EditorTest, EscapeClosesTheDialogAroundTheEditor) {
    QDialog dialog;
    auto* inner = new TTovraRichEdit(&dialog); // the dialog owns it
    auto* layout = new QVBoxLayout(&dialog);   // the dialog owns it
    layout->addWidget(inner);
    dialog.show();
    QApplication::processEvents();
    inner->HandleNeeded();
    QTest::keyClick(inner->EngineWindow(), Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(EditorTest, SaveClipboardAsksTheHandlerWhenTheWindowGoes) {
    edit->SetText(u"keep me"_qs);
    edit->SelectAll();
    edit->CopyToClipboard();
    int asked = 0;
    edit->SetOnSaveClipboard([&](QObject*, int32_t, int32_t chars, bool& save) {
        ++asked;
        EXPECT_EQ(chars, 7);
        save = false;
    });
    edit.reset();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(QApplication::clipboard()->text(), QString()) << "the handler let it go";
}

TEST_F(EditorTest, AHyperlinkFieldOpensItsTargetNotItsText) {
    edit->SetRTFText(QStringLiteral("{\\rtf1 See {\\field{\\*\\fldinst{HYPERLINK "
                                    "\"https://example.org/a\"}}{\\fldrslt{the site}}} now}"));
    ASSERT_EQ(edit->Text(), u"See the site now"_qs);
    QStringList opened;
    ScopedShellOpenHook hook([&](const QString& t) {
        opened.append(t);
        return true;
    });
    click(pointOf(6));
    EXPECT_EQ(opened, QStringList{u"https://example.org/a"_qs});
}
