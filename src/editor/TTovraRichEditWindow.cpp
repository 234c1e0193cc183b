#include "editor/TTovraRichEditWindow.h"

#include "editor/TTovraCustomRichEdit.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

TTovraRichEditWindow::TTovraRichEditWindow(richedit::RichEditHost* host, QWidget* parent)
    : RichEditView(host, parent) {}

bool TTovraRichEditWindow::handleKey(QKeyEvent* e) {
    if (FEditor && FEditor->WindowKeyDown(e))
        return true;
    if (e->key() == Qt::Key_Escape)
        return false; // left to the form around the editor
    return RichEditView::handleKey(e);
}

void TTovraRichEditWindow::WM_PASTE() {
    if (FEditor)
        FEditor->WindowPaste();
    else
        EnginePaste();
}

void TTovraRichEditWindow::mouseReleaseEvent(QMouseEvent* e) {
    if (FEditor && e->button() == Qt::RightButton)
        FEditor->WindowRButtonUp(e->position().toPoint());
    RichEditView::mouseReleaseEvent(e);
}

bool TTovraRichEditWindow::filesDropped(const QStringList& paths, const QPoint& pos) {
    if (FEditor)
        return FEditor->WindowDropFiles(paths);
    return RichEditView::filesDropped(paths, pos);
}

void TTovraRichEditWindow::dragEnterEvent(QDragEnterEvent* e) {
    // Files are taken only from an editor that accepts dropped files.
    if (FEditor && !FEditor->AcceptDropFiles() && e->mimeData()->hasUrls() &&
        !e->mimeData()->urls().isEmpty() && e->mimeData()->urls().first().isLocalFile()) {
        e->ignore();
        return;
    }
    RichEditView::dragEnterEvent(e);
}

void TTovraRichEditWindow::contextMenuEvent(QContextMenuEvent* e) {
    // A mouse request comes with the right button's release; the menu key asks here.
    if (FEditor && e->reason() == QContextMenuEvent::Mouse) {
        e->accept();
        return;
    }
    RichEditView::contextMenuEvent(e);
}

void TTovraRichEditWindow::requestContextMenu(const QPoint& pos) {
    if (FEditor)
        FEditor->WindowContextMenu(pos);
}

void TTovraRichEditWindow::resizeEvent(QResizeEvent* e) {
    RichEditView::resizeEvent(e);
    if (FEditor)
        FEditor->WindowResized();
}
