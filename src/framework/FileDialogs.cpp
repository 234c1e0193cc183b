#include "framework/FileDialogs.h"

#include <QApplication>
#include <QFileDialog>

namespace {

TFileDialogHook& hookSlot() {
    static TFileDialogHook hook;
    return hook;
}

bool canShowDialogs() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != u"offscreen" && platform != u"minimal";
}

} // namespace

TFileDialogHook SetFileDialogHook(TFileDialogHook hook) {
    return std::exchange(hookSlot(), std::move(hook));
}

QString PromptForFileName(TFileDialogKind kind, QWidget* parent, const QString& caption,
                          const QString& initialDir, const QString& filter) {
    if (hookSlot())
        return hookSlot()(kind, caption, initialDir, filter);
    if (!canShowDialogs())
        return {};
    return kind == TFileDialogKind::Open
               ? QFileDialog::getOpenFileName(parent, caption, initialDir, filter)
               : QFileDialog::getSaveFileName(parent, caption, initialDir, filter);
}
