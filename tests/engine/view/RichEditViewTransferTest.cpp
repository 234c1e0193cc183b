#include "engine/view/ViewTestSupport.h"

#include "engine/model/PictureObject.h"

#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QUrl>

using namespace richedit;

namespace {

void makeBold(RichEditEngine& e, int32_t from, int32_t to) {
    e.EM_EXSETSEL({from, to});
    CHARFORMAT2W cf;
    cf.dwMask = CFM_BOLD;
    cf.dwEffects = CFE_BOLD;
    e.EM_SETCHARFORMAT(SCF_SELECTION, cf);
}

bool boldAt(RichEditEngine& e, int32_t cp) {
    e.EM_EXSETSEL({cp, cp + 1});
    CHARFORMAT2W cf;
    e.EM_GETCHARFORMAT(SCF_SELECTION, cf);
    return (cf.dwMask & CFM_BOLD) && (cf.dwEffects & CFE_BOLD);
}

void sendDrop(QWidget* target, QPoint pos, QMimeData* data, Qt::DropActions actions) {
    QDragEnterEvent enter(pos, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(pos, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(pos), actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

} // namespace

TEST_F(ViewTest, CopyOffersRichAndPlainTextThatPasteBringsBackFormatted) {
    setText(u"plain bold end"_qs);
    makeBold(engine(), 6, 10);
    engine().EM_EXSETSEL({0, 14});
    view->WM_COPY();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasFormat(u"text/rtf"_qs));
    EXPECT_TRUE(data->data(u"text/rtf"_qs).startsWith("{\\rtf1"));
    EXPECT_EQ(data->text(), u"plain bold end"_qs);
    EXPECT_TRUE(view->EM_CANPASTE(0));
    EXPECT_TRUE(view->EM_CANPASTE(13));
    EXPECT_TRUE(view->canPasteMime(u"text/rtf"_qs));

    engine().EM_EXSETSEL({14, 14});
    view->WM_PASTE();
    EXPECT_EQ(text(), u"plain bold endplain bold end"_qs);
    EXPECT_EQ(engine().EM_GETUNDONAME(), UID_PASTE);
    EXPECT_TRUE(boldAt(engine(), 14 + 7));
    EXPECT_FALSE(boldAt(engine(), 14 + 2));
}

TEST_F(ViewTest, CutDeletesAsOneUndoStepOfItsKind) {
    setText(u"keep cut keep"_qs);
    engine().EM_EXSETSEL({5, 9});
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(text(), u"keep keep"_qs);
    EXPECT_EQ(QApplication::clipboard()->text(), u"cut "_qs);
    EXPECT_EQ(engine().EM_GETUNDONAME(), UID_CUT);
    engine().WM_UNDO();
    EXPECT_EQ(text(), u"keep cut keep"_qs);
}

TEST_F(ViewTest, PasteFromOtherProgramsTakesRtfThenImagesThenText) {
    struct Case {
        const char* name;
        QByteArray rtf;
        bool image;
        QString text;
        QString expected;
    };
    const Case cases[] = {
        {"rtf wins over text", "{\\rtf1\\ansi {\\b Rich} text}", false, u"Plain"_qs,
         u"Rich text"_qs},
        {"unreadable rtf falls back to text", "not rich text", false, u"Plain"_qs, u"Plain"_qs},
        {"an image becomes a picture object", {}, true, {}, u"\uFFFC"_qs},
        {"text lines become paragraphs", {}, false, u"one\ntwo\r\nthree"_qs, u"one\rtwo\rthree"_qs},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setText(QString());
        auto* data = new QMimeData; // the clipboard takes it
        if (!c.rtf.isEmpty())
            data->setData(u"text/rtf"_qs, c.rtf);
        if (c.image) {
            QImage image(30, 20, QImage::Format_RGB32);
            image.fill(Qt::red);
            data->setImageData(image);
        }
        if (!c.text.isEmpty())
            data->setText(c.text);
        QApplication::clipboard()->setMimeData(data);
        key(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(text(), c.expected);
        if (c.image) {
            // The picture keeps its size: 30 x 20 pixels at 96 dots per inch.
            const auto& para = engine().document().paragraph(model::ParaIndex(0));
            ASSERT_EQ(para.objects.size(), 1u);
            const auto* picture =
                dynamic_cast<const model::PictureObject*>(para.objects[0].object.get());
            ASSERT_NE(picture, nullptr);
            EXPECT_EQ(picture->goalWidth, 450);
            EXPECT_EQ(picture->goalHeight, 300);
        }
    }
}

TEST_F(ViewTest, PlainTextModePastesTextOnly) {
    ASSERT_EQ(engine().EM_SETTEXTMODE(TM_PLAINTEXT | TM_SINGLECODEPAGE), 0);
    auto* data = new QMimeData;
    data->setData(u"text/rtf"_qs, "{\\rtf1 {\\b Bold} words}");
    QApplication::clipboard()->setMimeData(data);
    view->WM_PASTE();
    EXPECT_EQ(text(), u"Bold words"_qs);
    EXPECT_FALSE(boldAt(engine(), 0));
}

TEST_F(ViewTest, ProtectedTextAsksBeforeCopyAndCut) {
    setText(u"open guarded"_qs);
    engine().EM_SETEVENTMASK(ENM_PROTECTED);
    engine().EM_EXSETSEL({5, 12});
    CHARFORMAT2W cf;
    cf.dwMask = CFM_PROTECTED;
    cf.dwEffects = CFE_PROTECTED;
    engine().EM_SETCHARFORMAT(SCF_SELECTION, cf);
    QApplication::clipboard()->setText(u"before"_qs);
    host.answers[EN_PROTECTED] = 1;
    view->WM_CUT();
    EXPECT_EQ(text(), u"open guarded"_qs);
    EXPECT_EQ(QApplication::clipboard()->text(), u"before"_qs) << "a refused cut copies nothing";
    host.answers[EN_PROTECTED] = 0;
    view->WM_COPY();
    EXPECT_EQ(QApplication::clipboard()->text(), u"guarded"_qs);
}

TEST_F(ViewTest, DropsFromOtherWindowsAreInsertedAndSelected) {
    setText(u"start end"_qs);
    auto data = std::make_unique<QMimeData>();
    data->setData(u"text/rtf"_qs, "{\\rtf1 {\\i dropped }}");
    sendDrop(port(), pointOf(6), data.get(), Qt::CopyAction);
    EXPECT_EQ(text(), u"start dropped end"_qs);
    EXPECT_EQ(sel().cpMin, 6);
    EXPECT_EQ(sel().cpMax, 14);
    EXPECT_EQ(engine().EM_GETUNDONAME(), UID_DRAGDROP);
}

TEST_F(ViewTest, DroppedFilesGoToTheHostAndInsertNothing) {
    setText(u"text"_qs);
    engine().EM_SETEVENTMASK(ENM_DROPFILES);
    host.answers[EN_DROPFILES] = 1;
    auto data = std::make_unique<QMimeData>();
    data->setUrls(
        {QUrl::fromLocalFile(u"/tmp/one.rtf"_qs), QUrl::fromLocalFile(u"/tmp/two.txt"_qs)});
    sendDrop(port(), pointOf(2), data.get(), Qt::CopyAction);
    EXPECT_EQ(text(), u"text"_qs);
    ASSERT_EQ(host.count(EN_DROPFILES), 1u);
    const auto it = std::find_if(host.records.begin(), host.records.end(),
                                 [](const ViewHost::Record& r) { return r.code == EN_DROPFILES; });
    EXPECT_EQ(it->files, QStringList({u"/tmp/one.rtf"_qs, u"/tmp/two.txt"_qs}));
    EXPECT_EQ(it->chrg.cpMin, 2);
}

TEST_F(ViewTest, MovingAndCopyingTheSelectionIsOneDragDropStep) {
    struct Case {
        const char* name;
        int32_t from, to, target;
        bool copy;
        QString expected;
        int32_t selMin, selMax;
    };
    const Case cases[] = {
        {"move forward", 0, 4, 8, false, u"two one three"_qs, 4, 8},
        {"move backward", 8, 13, 0, false, u"threeone two "_qs, 0, 5},
        {"copy", 0, 4, 13, true, u"one two threeone "_qs, 13, 17},
        {"onto itself", 0, 4, 2, false, u"one two three"_qs, 0, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setText(u"one two three"_qs);
        engine().EM_EXSETSEL({c.from, c.to});
        engine().DropSelectionAt(c.target, c.copy);
        EXPECT_EQ(text(), c.expected);
        EXPECT_EQ(sel().cpMin, c.selMin);
        EXPECT_EQ(sel().cpMax, c.selMax);
        if (text() != u"one two three"_qs) {
            EXPECT_EQ(engine().EM_GETUNDONAME(), UID_DRAGDROP);
            engine().WM_UNDO();
            EXPECT_EQ(text(), u"one two three"_qs);
        }
    }
}

TEST(ViewClipboard, DataOutlivesTheWindowUnlessTheHostDropsIt) {
    for (intptr_t answer : {0, 1}) {
        ViewHost host;
        host.answers[EN_SAVECLIPBOARD] = answer;
        {
            view::RichEditView view(&host);
            view.engine().WM_SETTEXT(u"saved"_qs);
            view.engine().EM_EXSETSEL({0, 5});
            view.WM_COPY();
        }
        EXPECT_EQ(host.count(EN_SAVECLIPBOARD), 1u);
        EXPECT_EQ(QApplication::clipboard()->text(), answer ? QString() : u"saved"_qs);
    }
}
