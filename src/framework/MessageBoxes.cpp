#include "framework/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QVariant>

#include <array>
#include <utility>

namespace {

// The dynamic property through which each button of a box carries its modal result.
constexpr char kModalResultProperty[] = "TovraModalResult";

TMessageDlgHook& CurrentHook() {
    static TMessageDlgHook hook;
    return hook;
}

struct ButtonKind {
    TMsgDlgBtn Button;
    QMessageBox::StandardButton Standard; // NoButton: a button of its own with Caption
    const char* Caption;
    int Result;
};

// The buttons in the order of their ordinals. Qt has no "All" button; it is one of our own.
constexpr std::array<ButtonKind, 12> kButtons = {{
    {mbYes, QMessageBox::Yes, nullptr, mrYes},
    {mbNo, QMessageBox::No, nullptr, mrNo},
    {mbOK, QMessageBox::Ok, nullptr, mrOk},
    {mbCancel, QMessageBox::Cancel, nullptr, mrCancel},
    {mbAbort, QMessageBox::Abort, nullptr, mrAbort},
    {mbRetry, QMessageBox::Retry, nullptr, mrRetry},
    {mbIgnore, QMessageBox::Ignore, nullptr, mrIgnore},
    {mbAll, QMessageBox::NoButton, "&All", mrAll},
    {mbNoToAll, QMessageBox::NoToAll, nullptr, mrNoToAll},
    {mbYesToAll, QMessageBox::YesToAll, nullptr, mrYesToAll},
    {mbHelp, QMessageBox::Help, nullptr, mrHelp},
    {mbClose, QMessageBox::Close, nullptr, mrClose},
}};

QMessageBox::Icon IconOf(TMsgDlgType type) {
    switch (type) {
    case mtWarning:
        return QMessageBox::Warning;
    case mtError:
        return QMessageBox::Critical;
    case mtInformation:
        return QMessageBox::Information;
    case mtConfirmation:
        return QMessageBox::Question;
    case mtCustom:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

int DefaultMessageDlgResult(TMsgDlgButtons Buttons) {
    if (Buttons.contains(mbCancel))
        return mrCancel;
    if (Buttons.contains(mbNo))
        return mrNo;
    return mrOk;
}

bool CanShowMessageDlg() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

TMessageDlgHook SetMessageDlgHook(TMessageDlgHook hook) {
    return std::exchange(CurrentHook(), std::move(hook));
}

std::unique_ptr<QMessageBox> CreateMessageDialog(const QString& Msg, TMsgDlgType DlgType,
                                                 TMsgDlgButtons Buttons, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setIcon(IconOf(DlgType));
    box->setWindowTitle(QGuiApplication::applicationDisplayName());
    // The message is shown as it is written; markup in it is not interpreted.
    box->setTextFormat(Qt::PlainText);
    box->setText(Msg);

    if (Buttons.empty())
        Buttons = {mbOK};
    std::array<QAbstractButton*, kButtons.size()> added{};
    for (size_t i = 0; i < kButtons.size(); ++i) {
        const ButtonKind& kind = kButtons[i];
        if (!Buttons.contains(kind.Button))
            continue;
        QAbstractButton* button =
            kind.Standard != QMessageBox::NoButton
                ? box->addButton(kind.Standard)
                : box->addButton(QMessageBox::tr(kind.Caption), QMessageBox::AcceptRole);
        button->setProperty(kModalResultProperty, kind.Result);
        added[i] = button;
    }

    // Enter presses OK, else Yes; Escape and the window's close box press Cancel, else No,
    // else OK.
    for (TMsgDlgBtn preferred : {mbOK, mbYes}) {
        if (auto* button = qobject_cast<QPushButton*>(added[preferred])) {
            box->setDefaultButton(button);
            break;
        }
    }
    for (TMsgDlgBtn preferred : {mbCancel, mbNo, mbOK}) {
        if (added[preferred] != nullptr) {
            box->setEscapeButton(added[preferred]);
            break;
        }
    }
    return box;
}

int ExecuteMessageDialog(QMessageBox& box) {
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    if (clicked == nullptr)
        return mrCancel;
    bool ok = false;
    const int result = clicked->property(kModalResultProperty).toInt(&ok);
    return ok ? result : mrCancel;
}

int MessageDlg(const QString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, QWidget* parent) {
    // A copy, so that a hook may replace itself while it runs.
    const TMessageDlgHook hook = CurrentHook();
    if (hook)
        return hook(Msg, DlgType, Buttons);
    if (!CanShowMessageDlg())
        return DefaultMessageDlgResult(Buttons);
    const std::unique_ptr<QMessageBox> box = CreateMessageDialog(Msg, DlgType, Buttons, parent);
    return ExecuteMessageDialog(*box);
}

void ShowMessage(const QString& Msg) {
    MessageDlg(Msg, mtInformation, {mbOK});
}
