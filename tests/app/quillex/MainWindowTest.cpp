#include "TfrmTovraRichDialogForm.h"

#include "editor/TRichEditStrings.h"
#include "editor/TTovraRichEdit.h"
#include "editor/TTovraRichEditWindow.h"
#include "framework/FileDialogs.h"
#include "framework/MessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

class MainWindowTest : public ::testing::Test {
protected:
    void start(const QStringList& arguments = {}) {
        form = std::make_unique<TfrmTovraRichDialogForm>();
        form->FormCreate(arguments);
        form->show();
        QApplication::processEvents();
    }
    TTovraRichEdit* edit() { return form->TovraRichEdit(); }
    QString panel(int i) { return form->StatusPanel(i)->text(); }
    void type(const QString& text) { QTest::keyClicks(edit()->EngineWindow(), text); }

    QTemporaryDir dir;
    std::unique_ptr<TfrmTovraRichDialogForm> form;
    // Every question is recorded and answered as the test says.
    QStringList questions;
    int answer = mrCancel;
    ScopedMessageDlgHook messages{[this](const QString& msg, TMsgDlgType, TMsgDlgButtons) {
        questions.append(msg);
        return answer;
    }};
};

} // namespace

TEST_F(MainWindowTest, StartsUntitledAndShowsLineColumnAndModified) {
    start();
    EXPECT_EQ(form->windowTitle(), u"TovraRichEdit Demo - [Untitled]"_qs);
    EXPECT_EQ(panel(1), QString());
    EXPECT_EQ(form->minimumSize(), QSize(640, 300));
    type(u"a"_qs);
    EXPECT_EQ(panel(0), u"1: 2"_qs);
    EXPECT_EQ(panel(1), u"Modified"_qs);
    QTest::keyClick(edit()->EngineWindow(), Qt::Key_Return);
    type(u"xyz"_qs);
    EXPECT_EQ(panel(0), u"2: 4"_qs) << "line then column";
    EXPECT_EQ(panel(2), QString());
}

TEST_F(MainWindowTest, OpensTheFileNamedOnTheCommandLine) {
    const QString path = writeFile(dir, u"letter.rtf"_qs, "{\\rtf1\\ansi Dear {\\b reader}.}");
    start({path});
    EXPECT_EQ(form->windowTitle(), u"TovraRichEdit Demo - [letter.rtf]"_qs);
    EXPECT_EQ(edit()->Text(), u"Dear reader."_qs);
    EXPECT_EQ(panel(1), QString());
    EXPECT_EQ(form->FileName(), QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(edit()->Title(), u"letter.rtf"_qs);

    // A path that names no file is ignored.
    start({dir.filePath(u"missing.rtf"_qs)});
    EXPECT_EQ(form->windowTitle(), u"TovraRichEdit Demo - [Untitled]"_qs);
    EXPECT_TRUE(questions.isEmpty());
}

TEST_F(MainWindowTest, DroppingAFileOnAModifiedDocumentAsksFirst) {
    const QString path = writeFile(dir, u"other.txt"_qs, "other text\n");
    start();
    type(u"draft"_qs);
    auto drop = [&] {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QWidget* port = edit()->EngineWindow()->viewport();
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(port, &enter);
        QDropEvent dropEvent(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton,
                             Qt::NoModifier);
        QApplication::sendEvent(port, &dropEvent);
    };
    answer = mrCancel;
    drop();
    EXPECT_EQ(questions, QStringList{u"Save changes to Untitled?"_qs});
    EXPECT_EQ(edit()->Text(), u"draft"_qs) << "Cancel keeps the document";
    answer = mrNo;
    drop();
    EXPECT_EQ(edit()->Text(), u"other text\r"_qs);
    EXPECT_EQ(form->windowTitle(), u"TovraRichEdit Demo - [other.txt]"_qs);
}

TEST_F(MainWindowTest, ClosingAsksAndYesSavesRtfThatReopensEqual) {
    start();
    type(u"Hello "_qs);
    edit()->SelectAll();
    richedit::CHARFORMAT2W cf;
    cf.dwMask = richedit::CFM_BOLD;
    cf.dwEffects = richedit::CFE_BOLD;
    edit()->Engine()->EM_SETCHARFORMAT(richedit::SCF_SELECTION, cf);
    const QString target = dir.filePath(u"saved.rtf"_qs);

    // Cancelling the question keeps the window open.
    answer = mrCancel;
    EXPECT_FALSE(form->close());
    // Yes on an untitled document asks for a name; cancelling that keeps it open too.
    answer = mrYes;
    {
        ScopedFileDialogHook noName([](TFileDialogKind, const QString&, const QString&,
                                       const QString&) { return QString(); });
        EXPECT_FALSE(form->close());
    }
    ScopedFileDialogHook name(
        [&](TFileDialogKind kind, const QString&, const QString&, const QString&) {
            EXPECT_EQ(kind, TFileDialogKind::Save);
            return target;
        });
    EXPECT_TRUE(form->close());
    ASSERT_TRUE(QFile::exists(target));

    start({target});
    EXPECT_EQ(edit()->Text(), u"Hello "_qs);
    edit()->Engine()->EM_EXSETSEL({0, 5});
    richedit::CHARFORMAT2W back;
    edit()->Engine()->EM_GETCHARFORMAT(richedit::SCF_SELECTION, back);
    EXPECT_TRUE(back.dwEffects & richedit::CFE_BOLD);
    EXPECT_FALSE(edit()->Modified());
}

TEST_F(MainWindowTest, WordWrapSwitchKeepsTheCaretAndTheModifiedState) {
    start();
    type(u"some words to keep"_qs);
    edit()->SetSelStart(5);
    ASSERT_TRUE(form->WordWrapItem()->isChecked());
    form->WordWrapItem()->trigger();
    EXPECT_FALSE(edit()->WordWrap());
    EXPECT_EQ(edit()->SelStart(), 5);
    EXPECT_TRUE(edit()->Modified());
    EXPECT_EQ(panel(1), u"Modified"_qs);

    ASSERT_TRUE(form->MeasurementItem(0)->isChecked()) << "points to begin with";
    form->MeasurementItem(1)->trigger();
    EXPECT_EQ(edit()->Measurement(), unInches);
    EXPECT_TRUE(form->MeasurementItem(1)->isChecked());
    EXPECT_FALSE(form->MeasurementItem(0)->isChecked());
}

TEST_F(MainWindowTest, TheSampleSavedAndReopenedIsTheSameDocument) {
    start({QStringLiteral(QUILLEX_SOURCE_DIR "/docs/sample.rtf")});
    ASSERT_FALSE(edit()->Text().isEmpty());
    type(u"!"_qs);
    const QString rtf = edit()->RTFText();
    const QString target = dir.filePath(u"sample-copy.rtf"_qs);
    ScopedFileDialogHook name(
        [&](TFileDialogKind, const QString&, const QString&, const QString&) { return target; });
    ASSERT_TRUE(form->SaveDocumentAs());
    EXPECT_EQ(form->windowTitle(), u"TovraRichEdit Demo - [sample-copy.rtf]"_qs);
    EXPECT_EQ(panel(1), QString());
    start({target});
    EXPECT_EQ(edit()->RTFText(), rtf) << "the same text, formats, pictures and links";
}
