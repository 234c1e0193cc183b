#pragma once

#include "engine/view/RichEditView.h"

class TTovraCustomRichEdit;

// The editor's engine window: the engine's view with the editor's own handling in front of the
// input paths it takes over (keys, paste, the right button, dropped files, the context menu).
// Everything else is the engine's own.
class TTovraRichEditWindow : public richedit::view::RichEditView {
    Q_OBJECT
public:
    TTovraRichEditWindow(richedit::RichEditHost* host, QWidget* parent);

    // The rich editor whose input steps run first; none for a plain edit window.
    void SetEditor(TTovraCustomRichEdit* editor) { FEditor = editor; }

    void WM_PASTE() override;
    // The engine's own paste, whatever the editor does with WM_PASTE.
    void EnginePaste() { RichEditView::WM_PASTE(); }

protected:
    bool handleKey(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    bool filesDropped(const QStringList& paths, const QPoint& pos) override;
    void requestContextMenu(const QPoint& pos) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;

private:
    TTovraCustomRichEdit* FEditor = nullptr;
};
