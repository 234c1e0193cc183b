#include "framework/MessageBoxes.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

// These tests run without a QApplication: nobody can be asked, so the default answer is given.
TEST(MessageBoxes, WithoutADisplayTheDefaultAnswerIsGiven) {
    const std::pair<TMsgDlgButtons, int> cases[] = {
        {mbYesNoCancel, mrCancel},
        {mbYesAllNoAllCancel, mrCancel},
        {mbOKCancel, mrCancel},
        {mbYesNo, mrNo},
        {TMsgDlgButtons{mbNo, mbNoToAll}, mrNo},
        {{mbOK}, mrOk},
        {mbAbortRetryIgnore, mrOk},
        {TMsgDlgButtons{}, mrOk},
    };
    EXPECT_FALSE(CanShowMessageDlg());
    for (const auto& [buttons, result] : cases) {
        EXPECT_EQ(DefaultMessageDlgResult(buttons), result) << buttons.bits();
        EXPECT_EQ(MessageDlg(QStringLiteral("Save changes?"), mtConfirmation, buttons), result)
            << buttons.bits();
    }
    ShowMessage(QStringLiteral("nobody sees this"));
}

TEST(MessageBoxes, AHookAnswersInsteadOfAPerson) {
    std::vector<std::tuple<QString, TMsgDlgType, TMsgDlgButtons>> asked;
    int answer = mrYes;
    {
        ScopedMessageDlgHook hook([&](const QString& msg, TMsgDlgType type, TMsgDlgButtons b) {
            asked.emplace_back(msg, type, b);
            return answer;
        });
        EXPECT_EQ(MessageDlg(QStringLiteral("Replace?"), mtWarning, mbYesNoCancel), mrYes);
        answer = mrNoToAll;
        EXPECT_EQ(MessageDlg(QStringLiteral("Again?"), mtError, mbYesAllNoAllCancel), mrNoToAll);
        ShowMessage(QStringLiteral("Done."));
        {
            ScopedMessageDlgHook inner([](const QString&, TMsgDlgType, TMsgDlgButtons) {
                return static_cast<int>(mrIgnore);
            });
            EXPECT_EQ(MessageDlg(QStringLiteral("x"), mtCustom, mbAbortRetryIgnore), mrIgnore);
        }
        EXPECT_EQ(MessageDlg(QStringLiteral("Back?"), mtCustom, {mbOK}), mrNoToAll);
    }
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[0], std::make_tuple(QStringLiteral("Replace?"), mtWarning, mbYesNoCancel));
    EXPECT_EQ(asked[1], std::make_tuple(QStringLiteral("Again?"), mtError, mbYesAllNoAllCancel));
    EXPECT_EQ(asked[2],
              std::make_tuple(QStringLiteral("Done."), mtInformation, TMsgDlgButtons{mbOK}));
    EXPECT_EQ(std::get<0>(asked[3]), QStringLiteral("Back?"));
    // Once the hook is gone, the default answer is given again.
    EXPECT_EQ(MessageDlg(QStringLiteral("After?"), mtConfirmation, mbYesNo), mrNo);
}

TEST(MessageBoxes, ButtonSetsHoldOneBitPerOrdinal) {
    EXPECT_EQ(TMsgDlgButtons{mbYes}.bits(), 1u);
    EXPECT_EQ(TMsgDlgButtons{mbClose}.bits(), 1u << 11);
    EXPECT_EQ(mbYesNoCancel.bits(), 0b1011u);
    EXPECT_EQ(mbYesAllNoAllCancel.bits(), 0b1100001011u);
    EXPECT_EQ(mbAbortRetryIgnore.bits(), 0b1110000u);
}

} // namespace
