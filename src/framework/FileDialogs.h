#pragma once

#include <QString>

#include <functional>
#include <utility>

class QWidget;

// The common open and save dialogs. A replaceable hook answers instead of a person; without a
// hook and without a display to show a dialog on (Qt's offscreen or minimal platform) the answer
// is an empty name, as if the person had cancelled.
enum class TFileDialogKind { Open, Save };

using TFileDialogHook = std::function<QString(TFileDialogKind kind, const QString& caption,
                                              const QString& initialDir, const QString& filter)>;

// Asks for a file to open or to save into; answers its path, or an empty string when cancelled.
QString PromptForFileName(TFileDialogKind kind, QWidget* parent, const QString& caption,
                          const QString& initialDir, const QString& filter);

TFileDialogHook SetFileDialogHook(TFileDialogHook hook);

class ScopedFileDialogHook {
public:
    explicit ScopedFileDialogHook(TFileDialogHook hook)
        : FPrevious(SetFileDialogHook(std::move(hook))) {}
    ~ScopedFileDialogHook() { SetFileDialogHook(std::move(FPrevious)); }
    ScopedFileDialogHook(const ScopedFileDialogHook&) = delete;
    ScopedFileDialogHook& operator=(const ScopedFileDialogHook&) = delete;

private:
    TFileDialogHook FPrevious;
};
