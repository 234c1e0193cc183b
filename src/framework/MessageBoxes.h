#pragma once

#include "framework/TSet.h"

#include <QString>

#include <functional>
#include <memory>
#include <utility>

class QMessageBox;
class QWidget;

// The kind of a message box, which chooses its icon.
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// The buttons a message box can offer.
enum TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp,
    mbClose
};
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

inline constexpr TMsgDlgButtons mbYesNo{mbYes, mbNo};
inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};
inline constexpr TMsgDlgButtons mbAbortIgnore{mbAbort, mbIgnore};

// How a modal window was closed: the button that closed it, or mrNone.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrClose = 8,
    mrHelp = 9,
    mrTryAgain = 10,
    mrContinue = 11,
    mrAll = 12,
    mrNoToAll = 13,
    mrYesToAll = 14
};

// Answers in place of a person: receives the message, the kind and the buttons and answers the
// modal result of the button it "pressed".
using TMessageDlgHook =
    std::function<int(const QString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons)>;

// Shows Msg in a modal message box with the icon of DlgType, the given buttons (OK when none is
// given) and the application's name as title, and answers the modal result of the button
// pressed. Closing the box (Escape or the window's close box) presses Cancel when it is offered,
// else No, else OK; without any of these, Qt's choice (a lone button, or Abort) or nothing, and
// the box stays open. A box ended without any button pressed answers mrCancel.
//
// An installed hook answers instead, and nothing is shown. Without a hook and without a display
// to show the box on (no QApplication, or Qt's offscreen or minimal platform) nothing is shown
// either and the default answer, DefaultMessageDlgResult(Buttons), is given.
int MessageDlg(const QString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
               QWidget* parent = nullptr);

// An information box with an OK button.
void ShowMessage(const QString& Msg);

// The answer given when nobody can be asked: mrCancel when Cancel is offered, else mrNo when No
// is offered, else mrOk.
int DefaultMessageDlgResult(TMsgDlgButtons Buttons);

// Whether a message box could be shown: a QApplication runs on a platform with a display.
bool CanShowMessageDlg();

// Installs a hook (an empty one restores the box) and answers the previous one.
TMessageDlgHook SetMessageDlgHook(TMessageDlgHook hook);

// Builds, without showing it, the message box that MessageDlg shows. Each button carries its
// modal result, which MessageDlgResult reads. Needs a QApplication.
std::unique_ptr<QMessageBox> CreateMessageDialog(const QString& Msg, TMsgDlgType DlgType,
                                                 TMsgDlgButtons Buttons, QWidget* parent = nullptr);

// Runs a box built by CreateMessageDialog modally and answers the result of the button that
// closed it.
int ExecuteMessageDialog(QMessageBox& box);

// Installs a message box hook for the lifetime of the object and restores the previous one
// afterwards.
class ScopedMessageDlgHook {
public:
    explicit ScopedMessageDlgHook(TMessageDlgHook hook)
        : FPrevious(SetMessageDlgHook(std::move(hook))) {}
    ~ScopedMessageDlgHook() { SetMessageDlgHook(std::move(FPrevious)); }

    ScopedMessageDlgHook(const ScopedMessageDlgHook&) = delete;
    ScopedMessageDlgHook& operator=(const ScopedMessageDlgHook&) = delete;

private:
    TMessageDlgHook FPrevious;
};
