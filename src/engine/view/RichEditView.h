#pragma once

#include "engine/surface/RichEditEngine.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QElapsedTimer>
#include <QPointer>

#include <memory>
#include <optional>

class QMimeData;

namespace richedit::view {

// The engine's window: a widget that shows one engine's document and turns keys, the mouse,
// input methods, the clipboard and drag and drop into the engine's editing operations.
//
// Every input path runs through a virtual member, so that a host deriving from this window can
// take an input first and call the base member for the engine's own handling: the Qt event
// handlers (keys, characters through the input method, mouse buttons, the wheel, the context
// menu, drops, paint, resize) and the steps below them (clipboard requests, dropped files,
// inserting dropped or pasted data, the pointer's shape).
class RichEditView : public QAbstractScrollArea, protected RichEditViewSink {
    Q_OBJECT
public:
    explicit RichEditView(RichEditHost* host = nullptr, QWidget* parent = nullptr);
    ~RichEditView() override;

    RichEditEngine& engine() { return *engine_; }
    const RichEditEngine& engine() const { return *engine_; }

    // ---- Window styles ----
    // Scroll bars: vertical and horizontal shown when the content does not fit (or always with
    // disableNoScroll, inactive when not needed). The horizontal bar only serves text that does
    // not wrap at the window.
    void setScrollBarStyle(bool vertical, bool horizontal, bool disableNoScroll);
    // Without these, Tab and Enter go to the window's parent (a dialog's focus chain, its
    // default button) instead of into the text; Ctrl+Tab and Ctrl+Enter always type.
    void setWantTabs(bool want) { wantTabs_ = want; }
    bool wantTabs() const { return wantTabs_; }
    void setWantReturns(bool want) { wantReturns_ = want; }
    bool wantReturns() const { return wantReturns_; }
    // Gap between the window's edge and the default format rectangle, in pixels.
    static constexpr int kInset = 2;
    // The format rectangle that fills the text area, inside that gap.
    RECT defaultFormatRect() const;

    // ---- Clipboard requests ----
    virtual void WM_CUT();
    virtual void WM_COPY();
    virtual void WM_PASTE();
    // Whether the clipboard holds something the window can paste: format 0 asks for anything,
    // CF_TEXT / CF_UNICODETEXT for text, CF_BITMAP / CF_DIB for a picture, CF_RTF-like formats
    // by their MIME type through the overload.
    bool EM_CANPASTE(uint32_t format) const;
    bool canPasteMime(const QString& mimeType) const;

    // The MIME types rich text travels under, the first one preferred.
    static QStringList rtfMimeTypes();

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    // Preedit text an input method is composing at the caret (empty when none).
    QString preeditText() const { return preedit_; }

signals:
    // After the window handled a key or mouse input (tests wait on it).
    void inputHandled();

protected:
    // ---- RichEditViewSink ----
    void engineContentChanged() override;
    void engineSelectionChanged() override;
    void engineScrolled() override;

    // ---- Qt events (each a step a host may take first) ----
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

    // ---- Steps below the events ----
    // The engine's own handling of a key; answers whether it took it.
    virtual bool handleKey(QKeyEvent* e);
    // A context menu asked for at a viewport point (by the right button or the menu key). The
    // window has no menu of its own.
    virtual void requestContextMenu(const QPoint& pos);
    // Files dropped on the window; the engine does not insert them. Sends EN_DROPFILES when the
    // event mask asks for it and answers whether someone took them.
    virtual bool filesDropped(const QStringList& paths, const QPoint& pos);
    // Puts pasted or dropped data in place of the selection (rich text, then a picture, then
    // plain text); answers whether something was inserted.
    virtual bool insertFromMimeData(const QMimeData* data, UNDONAMEID kind);
    // The selection as clipboard or drag data.
    virtual std::unique_ptr<QMimeData> createMimeDataFromSelection() const;
    // The pointer's shape over a viewport point.
    virtual Qt::CursorShape cursorShapeAt(const QPoint& pos) const;

    // Sends EN_MSGFILTER for an input when the event mask asks for it; true when the host
    // answered non-zero and the input is to be dropped.
    bool filterMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
    // Sends EN_LINK for a mouse message over a link when the event mask asks for it; answers
    // the host's reply (non-zero: the host handled the message).
    intptr_t notifyLink(uint32_t message, const QMouseEvent* e, const CHARRANGE& range);

private:
    void updateScrollBars();
    void syncScrollBars();
    void restartCaretBlink();
    void stopAutoScroll();
    void autoScrollStep();
    bool ownsClipboard() const;
    bool isOverLink(const QPoint& pos, CHARRANGE* range = nullptr) const;
    void startDrag();
    int32_t dropPosition(const QPoint& pos) const;
    void paintCaret(QPainter& painter);
    void paintPreedit(QPainter& painter);
    static uintptr_t mouseKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    static POINT toPoint(const QPoint& p) { return {p.x(), p.y()}; }

    std::unique_ptr<RichEditEngine> engine_;
    bool wantTabs_ = true;
    bool wantReturns_ = true;
    bool vertical_ = true;
    bool horizontal_ = false;
    bool disableNoScroll_ = false;
    bool syncing_ = false; // the scroll bars are being set from the engine

    // The mouse.
    enum class Drag { None, Select, Words, Paragraphs, MaybeMove };
    Drag drag_ = Drag::None;
    QPoint pressPos_;
    QPoint lastMousePos_;
    QElapsedTimer sinceDoubleClick_;
    QPoint doubleClickPos_;
    QBasicTimer autoScroll_;
    bool linkPressed_ = false;

    // Drops: where the dragged text would land (-1 when no drag is over the window).
    int32_t dropCaret_ = -1;
    bool dragging_ = false; // a drag started here is under way

    // The caret.
    QBasicTimer blink_;
    bool caretOn_ = true;

    // Input method composition.
    QString preedit_;
    int preeditCursor_ = 0;

    // Identifies the clipboard data this window put there.
    QByteArray clipboardToken_;
};

} // namespace richedit::view
