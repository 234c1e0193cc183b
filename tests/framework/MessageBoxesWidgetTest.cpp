#include "framework/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Runs box modally, doing action once the modal loop runs; a second timer closes a box that
// the action left open, so that a fault fails the test instead of hanging it.
int RunWith(QMessageBox& box, const std::function<void()>& action) {
    QTimer::singleShot(0, &box, action);
    QTimer::singleShot(5000, &box, [&box] {
        ADD_FAILURE() << "the box stayed open";
        box.done(0);
    });
    return ExecuteMessageDialog(box);
}

TEST(MessageBoxesWidget, OnTheOffscreenPlatformNoBoxIsShown) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    EXPECT_FALSE(CanShowMessageDlg());
    // A box that was shown would wait here for a person.
    EXPECT_EQ(MessageDlg(QStringLiteral("Save?"), mtConfirmation, mbYesNoCancel), mrCancel);
    EXPECT_EQ(MessageDlg(QStringLiteral("Replace?"), mtWarning, mbYesNo), mrNo);
    EXPECT_EQ(MessageDlg(QStringLiteral("Failed."), mtError, {mbOK}), mrOk);
    ShowMessage(QStringLiteral("Done."));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(MessageBoxesWidget, TheBoxShowsTheMessageWithTheIconOfItsKind) {
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Quillex Test"));
    const std::pair<TMsgDlgType, QMessageBox::Icon> cases[] = {
        {mtWarning, QMessageBox::Warning},         {mtError, QMessageBox::Critical},
        {mtInformation, QMessageBox::Information}, {mtConfirmation, QMessageBox::Question},
        {mtCustom, QMessageBox::NoIcon},
    };
    for (const auto& [type, icon] : cases) {
        const auto box = CreateMessageDialog(QStringLiteral("<b>not bold</b>"), type, {mbOK});
        EXPECT_EQ(box->icon(), icon) << type;
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Quillex Test"));
        EXPECT_EQ(box->text(), QStringLiteral("<b>not bold</b>"));
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
    }
}

TEST(MessageBoxesWidget, EachButtonAnswersItsModalResult) {
    const std::pair<TMsgDlgBtn, int> cases[] = {
        {mbYes, mrYes},           {mbNo, mrNo},       {mbOK, mrOk},
        {mbCancel, mrCancel},     {mbAbort, mrAbort}, {mbRetry, mrRetry},
        {mbIgnore, mrIgnore},     {mbAll, mrAll},     {mbNoToAll, mrNoToAll},
        {mbYesToAll, mrYesToAll}, {mbHelp, mrHelp},   {mbClose, mrClose},
    };
    for (const auto& [button, result] : cases) {
        const auto box = CreateMessageDialog(QStringLiteral("?"), mtConfirmation, {button});
        ASSERT_EQ(box->buttons().size(), 1) << button;
        QAbstractButton* only = box->buttons().front();
        EXPECT_FALSE(only->text().isEmpty()) << button;
        EXPECT_EQ(RunWith(*box, [only] { only->click(); }), result) << button;
    }
}

TEST(MessageBoxesWidget, TheBoxOffersExactlyTheButtonsAsked) {
    const auto box = CreateMessageDialog(QStringLiteral("?"), mtConfirmation, mbYesAllNoAllCancel);
    EXPECT_EQ(box->buttons().size(), 5);
    for (auto standard : {QMessageBox::Yes, QMessageBox::YesToAll, QMessageBox::No,
                          QMessageBox::NoToAll, QMessageBox::Cancel})
        EXPECT_NE(box->button(standard), nullptr) << standard;
    // Without buttons the box still has one to close it with.
    const auto bare = CreateMessageDialog(QStringLiteral("?"), mtInformation, {});
    ASSERT_EQ(bare->buttons().size(), 1);
    EXPECT_EQ(bare->buttons().front(), bare->button(QMessageBox::Ok));
}

TEST(MessageBoxesWidget, EnterPressesOkOrYes) {
    const std::pair<TMsgDlgButtons, QMessageBox::StandardButton> cases[] = {
        {mbOKCancel, QMessageBox::Ok},
        {mbYesNoCancel, QMessageBox::Yes},
    };
    for (const auto& [buttons, expected] : cases) {
        const auto box = CreateMessageDialog(QStringLiteral("?"), mtConfirmation, buttons);
        EXPECT_EQ(box->defaultButton(), box->button(expected)) << buttons.bits();
    }
}

TEST(MessageBoxesWidget, ClosingTheBoxPressesCancelElseNoElseOk) {
    const std::pair<TMsgDlgButtons, int> cases[] = {
        {mbYesNoCancel, mrCancel},
        {mbOKCancel, mrCancel},
        {TMsgDlgButtons{mbCancel, mbRetry}, mrCancel},
        {mbYesNo, mrNo},
        {TMsgDlgButtons{mbOK, mbHelp}, mrOk},
    };
    for (const auto& [buttons, result] : cases) {
        const auto box = CreateMessageDialog(QStringLiteral("?"), mtConfirmation, buttons);
        QMessageBox* raw = box.get();
        EXPECT_EQ(RunWith(*box, [raw] { raw->close(); }), result) << buttons.bits();
    }
}

TEST(MessageBoxesWidget, ABoxEndedWithoutAButtonAnswersCancel) {
    const auto box = CreateMessageDialog(QStringLiteral("?"), mtConfirmation, mbYesNo);
    QMessageBox* raw = box.get();
    EXPECT_EQ(RunWith(*box, [raw] { raw->done(0); }), mrCancel);
}

} // namespace
