// Keys, characters, input methods, the mouse and the wheel.

#include "engine/view/RichEditView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleHints>
#include <QWheelEvent>

#include <cmath>

namespace richedit::view {

using CaretMove = RichEditEngine::CaretMove;

uintptr_t RichEditView::mouseKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    uintptr_t keys = 0;
    if (buttons & Qt::LeftButton)
        keys |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        keys |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        keys |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier)
        keys |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        keys |= MK_CONTROL;
    return keys;
}

bool RichEditView::filterMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    const uint32_t mask = engine_->EM_GETEVENTMASK();
    const bool key = message >= msg::WM_KEYDOWN && message <= msg::WM_SYSKEYUP;
    if (!(mask & (key ? ENM_KEYEVENTS : ENM_MOUSEEVENTS)))
        return false;
    MSGFILTER filter;
    filter.nmhdr.code = EN_MSGFILTER;
    filter.msg = message;
    filter.wParam = wParam;
    filter.lParam = lParam;
    return engine_->SendNotification(filter.nmhdr) != 0;
}

intptr_t RichEditView::notifyLink(uint32_t message, const QMouseEvent* e, const CHARRANGE& range) {
    if (!(engine_->EM_GETEVENTMASK() & ENM_LINK))
        return 0;
    ENLINK link;
    link.nmhdr.code = EN_LINK;
    link.msg = message;
    const QPoint pos = e ? e->position().toPoint() : lastMousePos_;
    link.wParam = e ? mouseKeys(e->buttons(), e->modifiers()) : 0;
    link.lParam = makePointParam(pos.x(), pos.y());
    link.chrg = range;
    return engine_->SendNotification(link.nmhdr);
}

bool RichEditView::isOverLink(const QPoint& pos, CHARRANGE* range) const {
    const std::optional<CHARRANGE> link = engine_->LinkAtPoint(toPoint(pos));
    if (link && range)
        *range = *link;
    return link.has_value();
}

bool RichEditView::event(QEvent* e) {
    // Tab and Backtab reach keyPressEvent only when the window wants them; otherwise they move
    // the focus as usual.
    if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            (wantTabs_ || (key->modifiers() & Qt::ControlModifier))) {
            keyPressEvent(key);
            return true;
        }
    }
    if (e->type() == QEvent::ShortcutOverride) {
        // Editing keys belong to the text while it has the focus.
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
            key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Undo) ||
            key->matches(QKeySequence::Redo) || key->matches(QKeySequence::SelectAll) ||
            (key->modifiers() == Qt::NoModifier && !key->text().isEmpty())) {
            e->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

// ---- Keys ----

void RichEditView::keyPressEvent(QKeyEvent* e) {
    if (filterMessage(msg::WM_KEYDOWN, uintptr_t(e->key()), intptr_t(e->modifiers()))) {
        e->accept();
        return;
    }
    if (handleKey(e)) {
        e->accept();
        restartCaretBlink();
        emit inputHandled();
        return;
    }
    e->ignore();
}

void RichEditView::keyReleaseEvent(QKeyEvent* e) {
    if (filterMessage(msg::WM_KEYUP, uintptr_t(e->key()), intptr_t(e->modifiers())))
        e->accept();
    else
        QAbstractScrollArea::keyReleaseEvent(e);
}

bool RichEditView::handleKey(QKeyEvent* e) {
    RichEditEngine& en = *engine_;
    // Clipboard, undo and selection commands by the desktop's key bindings (Ctrl+C, Ctrl+Insert,
    // Shift+Delete, Shift+Insert, Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z, Ctrl+A ...).
    if (e->matches(QKeySequence::Copy)) {
        WM_COPY();
        return true;
    }
    if (e->matches(QKeySequence::Cut)) {
        WM_CUT();
        return true;
    }
    if (e->matches(QKeySequence::Paste)) {
        WM_PASTE();
        return true;
    }
    if (e->matches(QKeySequence::Undo)) {
        en.WM_UNDO();
        en.EM_SCROLLCARET();
        return true;
    }
    if (e->matches(QKeySequence::Redo) ||
        (e->key() == Qt::Key_Y && e->modifiers() == Qt::ControlModifier) ||
        (e->key() == Qt::Key_Z && e->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier))) {
        en.EM_REDO();
        en.EM_SCROLLCARET();
        return true;
    }
    if (e->matches(QKeySequence::SelectAll)) {
        en.SelectAll();
        return true;
    }

    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const bool shift = mods & Qt::ShiftModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    auto move = [&](CaretMove m) {
        en.MoveCaret(m, shift);
        return true;
    };
    switch (e->key()) {
    case Qt::Key_Left:
        return move(ctrl ? CaretMove::WordLeft : CaretMove::Left);
    case Qt::Key_Right:
        return move(ctrl ? CaretMove::WordRight : CaretMove::Right);
    case Qt::Key_Up:
        return move(ctrl ? CaretMove::ParagraphUp : CaretMove::Up);
    case Qt::Key_Down:
        return move(ctrl ? CaretMove::ParagraphDown : CaretMove::Down);
    case Qt::Key_Home:
        return move(ctrl ? CaretMove::DocumentStart : CaretMove::LineStart);
    case Qt::Key_End:
        return move(ctrl ? CaretMove::DocumentEnd : CaretMove::LineEnd);
    case Qt::Key_PageUp:
        return move(CaretMove::PageUp);
    case Qt::Key_PageDown:
        return move(CaretMove::PageDown);
    case Qt::Key_Backspace:
        en.DeleteBackward(ctrl);
        en.EM_SCROLLCARET();
        return true;
    case Qt::Key_Delete:
        en.DeleteForward(ctrl);
        en.EM_SCROLLCARET();
        return true;
    case Qt::Key_Insert:
        if (mods == Qt::NoModifier) {
            en.SetOverwrite(!en.Overwrite());
            viewport()->update();
            return true;
        }
        return false;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!wantReturns_ && !ctrl)
            return false; // the dialog's default button takes it
        if (shift)
            en.InsertLineBreak();
        else
            en.InsertParagraph();
        en.EM_SCROLLCARET();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!wantTabs_ && !ctrl)
            return false;
        en.TypeText(QStringLiteral("\t"));
        en.EM_SCROLLCARET();
        return true;
    case Qt::Key_Escape:
        return false;
    default:
        break;
    }
    // Characters: what the key types, unless a command modifier is held (AltGr arrives as
    // Ctrl+Alt on some desktops and still types).
    const QString text = e->text();
    const bool command = (mods & (Qt::ControlModifier | Qt::MetaModifier)) &&
                         !((mods & Qt::ControlModifier) && (mods & Qt::AltModifier));
    if (text.isEmpty() || command)
        return false;
    QString typed;
    for (QChar c : text)
        if (c.isPrint() || c.isSurrogate() || c == u'\t')
            typed.append(c);
    if (typed.isEmpty())
        return false;
    en.TypeText(typed);
    en.EM_SCROLLCARET();
    return true;
}

// ---- Input methods ----

void RichEditView::inputMethodEvent(QInputMethodEvent* e) {
    RichEditEngine& en = *engine_;
    if (en.ReadOnly()) {
        e->ignore();
        return;
    }
    const QString commit = e->commitString();
    if (e->replacementLength() > 0 || e->replacementStart() != 0) {
        // The method replaces text around the caret (a correction or a re-conversion).
        CHARRANGE sel;
        en.EM_EXGETSEL(sel);
        const int32_t from = std::max(0, sel.cpMin + e->replacementStart());
        const int32_t to = std::max(from, from + e->replacementLength());
        en.EM_EXSETSEL({from, to});
    }
    if (!commit.isEmpty())
        en.TypeText(commit);
    preedit_ = e->preeditString();
    preeditCursor_ = int(preedit_.size());
    for (const QInputMethodEvent::Attribute& a : e->attributes())
        if (a.type == QInputMethodEvent::Cursor)
            preeditCursor_ = a.start;
    en.EM_SCROLLCARET();
    viewport()->update();
    e->accept();
    emit inputHandled();
}

QVariant RichEditView::inputMethodQuery(Qt::InputMethodQuery query) const {
    const RichEditEngine& en = *engine_;
    const model::Document& doc = en.document();
    const model::Selection sel = en.selection();
    const model::ParaIndex p = doc.paragraphAt(sel.active);
    const model::CharPos paraStart = doc.paragraphStart(p);
    switch (query) {
    case Qt::ImEnabled:
        return !en.ReadOnly();
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle: {
        QRect caret = en.CaretRect();
        caret.setWidth(1);
        return QRectF(caret.translated(viewport()->pos()));
    }
    case Qt::ImFont: {
        const model::CharFormat f = en.InsertionCharFormat();
        QFont font(f.face);
        font.setPointSizeF(std::max(1.0, f.height / 20.0 * en.ZoomFactor()));
        return font;
    }
    case Qt::ImCursorPosition:
        return int(sel.active - paraStart);
    case Qt::ImAnchorPosition:
        return int(std::clamp(sel.anchor - paraStart, 0, doc.paragraph(p).length() - 1));
    case Qt::ImSurroundingText: {
        QString text = doc.paragraph(p).text;
        text.chop(1); // the paragraph mark
        return text;
    }
    case Qt::ImCurrentSelection:
        return en.EM_GETSELTEXT();
    case Qt::ImMaximumTextLength:
        return QVariant();
    case Qt::ImHints:
        return int(Qt::ImhMultiLine);
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

// ---- The mouse ----

void RichEditView::mousePressEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    lastMousePos_ = pos;
    const uint32_t message = e->button() == Qt::RightButton    ? msg::WM_RBUTTONDOWN
                             : e->button() == Qt::MiddleButton ? msg::WM_MBUTTONDOWN
                                                               : msg::WM_LBUTTONDOWN;
    const uintptr_t keys = mouseKeys(e->buttons(), e->modifiers());
    if (filterMessage(message, keys, makePointParam(pos.x(), pos.y())))
        return;
    CHARRANGE link;
    if (isOverLink(pos, &link) && notifyLink(message, e, link) != 0) {
        linkPressed_ = true;
        return;
    }
    setFocus(Qt::MouseFocusReason);
    if (e->button() == Qt::RightButton) {
        // A right click outside the selection moves the caret there first.
        if (!engine_->PointInSelection(toPoint(pos)))
            engine_->ClickAt(toPoint(pos), false);
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    const bool triple =
        sinceDoubleClick_.isValid() &&
        sinceDoubleClick_.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval() &&
        (pos - doubleClickPos_).manhattanLength() <=
            QGuiApplication::styleHints()->startDragDistance();
    sinceDoubleClick_.invalidate();
    pressPos_ = pos;
    if (triple) {
        engine_->SelectParagraphAt(toPoint(pos));
        drag_ = Drag::Paragraphs;
    } else if (!(e->modifiers() & Qt::ShiftModifier) && engine_->PointInSelection(toPoint(pos)) &&
               !engine_->ReadOnly()) {
        drag_ = Drag::MaybeMove; // the press may start dragging the selection
    } else if (e->modifiers() & Qt::ControlModifier && !(e->modifiers() & Qt::ShiftModifier)) {
        // Ctrl+click selects the word (Ctrl+click on a link is left to the host).
        engine_->SelectWordAt(toPoint(pos));
        drag_ = Drag::Words;
    } else {
        engine_->ClickAt(toPoint(pos), e->modifiers() & Qt::ShiftModifier);
        drag_ = Drag::Select;
    }
    emit inputHandled();
}

void RichEditView::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    lastMousePos_ = pos;
    const uintptr_t keys = mouseKeys(e->buttons(), e->modifiers());
    if (filterMessage(msg::WM_MOUSEMOVE, keys, makePointParam(pos.x(), pos.y())))
        return;
    CHARRANGE link;
    const bool overLink = isOverLink(pos, &link);
    if (overLink) {
        notifyLink(msg::WM_SETCURSOR, e, link);
        notifyLink(msg::WM_MOUSEMOVE, e, link);
    }
    viewport()->setCursor(cursorShapeAt(pos));
    switch (drag_) {
    case Drag::None:
        return;
    case Drag::MaybeMove:
        if ((pos - pressPos_).manhattanLength() >=
            QGuiApplication::styleHints()->startDragDistance()) {
            drag_ = Drag::None;
            startDrag();
        }
        return;
    case Drag::Select:
    case Drag::Words:
    case Drag::Paragraphs: {
        engine_->DragSelectTo(toPoint(pos), drag_ == Drag::Words, drag_ == Drag::Paragraphs);
        // Outside the window the text scrolls towards the pointer while the button is held.
        if (!viewport()->rect().contains(pos)) {
            if (!autoScroll_.isActive())
                autoScroll_.start(50, this);
        } else {
            stopAutoScroll();
        }
        emit inputHandled();
        return;
    }
    }
}

void RichEditView::autoScrollStep() {
    if (drag_ == Drag::None || drag_ == Drag::MaybeMove) {
        stopAutoScroll();
        return;
    }
    const QRect r = viewport()->rect();
    const QPoint pos = lastMousePos_;
    const int speed = 3;
    int dy = 0, dx = 0;
    if (pos.y() < r.top())
        dy = std::min(-1, (pos.y() - r.top()) * speed / 4);
    else if (pos.y() > r.bottom())
        dy = std::max(1, (pos.y() - r.bottom()) * speed / 4);
    if (pos.x() < r.left())
        dx = std::min(-1, (pos.x() - r.left()) * speed / 4);
    else if (pos.x() > r.right())
        dx = std::max(1, (pos.x() - r.right()) * speed / 4);
    const POINT at = engine_->EM_GETSCROLLPOS();
    engine_->EM_SETSCROLLPOS({at.x + dx * 4, at.y + dy * 4});
    const QPoint inside(std::clamp(pos.x(), r.left(), r.right()),
                        std::clamp(pos.y(), r.top(), r.bottom()));
    engine_->DragSelectTo(toPoint(QPoint(pos.x(), inside.y())), drag_ == Drag::Words,
                          drag_ == Drag::Paragraphs);
}

void RichEditView::stopAutoScroll() {
    autoScroll_.stop();
}

void RichEditView::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    lastMousePos_ = pos;
    stopAutoScroll();
    const uint32_t message = e->button() == Qt::RightButton    ? msg::WM_RBUTTONUP
                             : e->button() == Qt::MiddleButton ? msg::WM_MBUTTONUP
                                                               : msg::WM_LBUTTONUP;
    const uintptr_t keys = mouseKeys(e->buttons(), e->modifiers());
    const Drag was = drag_;
    drag_ = Drag::None;
    if (filterMessage(message, keys, makePointParam(pos.x(), pos.y())))
        return;
    CHARRANGE link;
    if (isOverLink(pos, &link) && notifyLink(message, e, link) != 0) {
        linkPressed_ = false;
        return;
    }
    linkPressed_ = false;
    if (was == Drag::MaybeMove) // pressed in the selection without dragging: a plain click
        engine_->ClickAt(toPoint(pos), false);
    emit inputHandled();
}

void RichEditView::mouseDoubleClickEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    lastMousePos_ = pos;
    if (e->button() != Qt::LeftButton) {
        mousePressEvent(e);
        return;
    }
    const uintptr_t keys = mouseKeys(e->buttons(), e->modifiers());
    if (filterMessage(msg::WM_LBUTTONDBLCLK, keys, makePointParam(pos.x(), pos.y())))
        return;
    CHARRANGE link;
    if (isOverLink(pos, &link) && notifyLink(msg::WM_LBUTTONDBLCLK, e, link) != 0)
        return;
    engine_->SelectWordAt(toPoint(pos));
    drag_ = Drag::Words;
    sinceDoubleClick_.start();
    doubleClickPos_ = pos;
    emit inputHandled();
}

Qt::CursorShape RichEditView::cursorShapeAt(const QPoint& pos) const {
    if (isOverLink(pos))
        return Qt::PointingHandCursor;
    if (drag_ == Drag::None && engine_->PointInSelection(toPoint(pos)))
        return Qt::ArrowCursor; // the selection can be dragged
    return Qt::IBeamCursor;
}

void RichEditView::wheelEvent(QWheelEvent* e) {
    const QPoint pos = e->position().toPoint();
    const int steps = e->angleDelta().y();
    if (filterMessage(msg::WM_MOUSEWHEEL,
                      (uintptr_t(uint16_t(int16_t(steps))) << 16) |
                          mouseKeys(e->buttons(), e->modifiers()),
                      makePointParam(pos.x(), pos.y())))
        return;
    if (e->modifiers() & Qt::ControlModifier) {
        // Ctrl+wheel zooms in steps of a tenth, from 1/64 up to 64.
        if (steps == 0)
            return;
        qreal zoom = engine_->ZoomFactor() * std::pow(1.1, steps / 120.0);
        zoom = std::clamp(zoom, 1.0 / 64.0, 64.0);
        const int32_t num = int32_t(std::lround(zoom * 100));
        if (std::abs(num - 100) < 3)
            engine_->EM_SETZOOM(0, 0);
        else
            engine_->EM_SETZOOM(std::max(2, num), 100);
        e->accept();
        emit inputHandled();
        return;
    }
    QAbstractScrollArea::wheelEvent(e);
}

void RichEditView::contextMenuEvent(QContextMenuEvent* e) {
    requestContextMenu(e->pos());
    e->accept();
}

void RichEditView::requestContextMenu(const QPoint&) {}

} // namespace richedit::view
