// The window itself: painting, the caret, scroll bars, size and focus.

#include "engine/view/RichEditView.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QRawFont>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextLayout>

#include <cmath>

namespace richedit::view {

RichEditView::RichEditView(RichEditHost* host, QWidget* parent)
    : QAbstractScrollArea(parent), engine_(std::make_unique<RichEditEngine>(host)) {
    engine_->SetViewSink(this);
    engine_->SetScreenResolution(std::max(1, logicalDpiY()));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFrameShape(QFrame::StyledPanel);
    setScrollBarStyle(true, false, false);
    clipboardToken_ = QByteArray::number(quintptr(this), 16) + '-' +
                      QByteArray::number(QDateTime::currentMSecsSinceEpoch(), 16);
}

RichEditView::~RichEditView() {
    stopAutoScroll();
    // Data this window left on the clipboard outlives it, unless the host says to drop it.
    if (ownsClipboard()) {
        ENSAVECLIPBOARD save;
        save.nmhdr.code = EN_SAVECLIPBOARD;
        save.cObjectCount = 0;
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        if (data) {
            save.cch = int32_t(data->text().size());
            save.cObjectCount = data->hasImage() ? 1 : 0;
        }
        if (engine_->SendNotification(save.nmhdr) != 0)
            QGuiApplication::clipboard()->clear();
    }
    engine_->SetViewSink(nullptr);
}

void RichEditView::setScrollBarStyle(bool vertical, bool horizontal, bool disableNoScroll) {
    vertical_ = vertical;
    horizontal_ = horizontal;
    disableNoScroll_ = disableNoScroll;
    const Qt::ScrollBarPolicy shown =
        disableNoScroll ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded;
    setVerticalScrollBarPolicy(vertical ? shown : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(horizontal ? shown : Qt::ScrollBarAlwaysOff);
    updateScrollBars();
}

// ---- What the engine tells ----

void RichEditView::engineContentChanged() {
    updateScrollBars();
    viewport()->update();
}

void RichEditView::engineSelectionChanged() {
    restartCaretBlink();
    viewport()->update();
}

void RichEditView::engineScrolled() {
    syncScrollBars();
    viewport()->update();
}

void RichEditView::updateScrollBars() {
    const int32_t viewH = std::max(0, engine_->ViewHeightPixels());
    const int32_t viewW = std::max(0, engine_->ViewWidthPixels());
    const int32_t contentH = engine_->ContentHeightPixels();
    const int32_t contentW = engine_->WordWrapToWindow() ? viewW : engine_->ContentWidthPixels();
    const qreal zoom = engine_->ZoomFactor();
    syncing_ = true;
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, contentH - viewH));
    v->setPageStep(std::max(1, viewH));
    v->setSingleStep(std::max(1, int(std::lround(16 * zoom))));
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, contentW - viewW));
    h->setPageStep(std::max(1, viewW));
    h->setSingleStep(std::max(1, int(std::lround(8 * zoom))));
    // Inactive rather than hidden when the style keeps the bars.
    v->setEnabled(!disableNoScroll_ || v->maximum() > 0);
    h->setEnabled(!disableNoScroll_ || h->maximum() > 0);
    syncing_ = false;
    syncScrollBars();
}

void RichEditView::syncScrollBars() {
    const POINT at = engine_->EM_GETSCROLLPOS();
    syncing_ = true;
    if (verticalScrollBar()->value() != at.y)
        verticalScrollBar()->setValue(at.y);
    if (horizontalScrollBar()->value() != at.x)
        horizontalScrollBar()->setValue(at.x);
    syncing_ = false;
}

void RichEditView::scrollContentsBy(int, int) {
    if (syncing_)
        return;
    engine_->EM_SETSCROLLPOS({horizontalScrollBar()->value(), verticalScrollBar()->value()});
    viewport()->update();
}

// ---- Size, focus and the caret ----

RECT RichEditView::defaultFormatRect() const {
    const QSize size = viewport()->size();
    RECT rect;
    rect.left = kInset;
    rect.top = 1;
    rect.right = std::max(rect.left + 1, size.width() - kInset);
    rect.bottom = std::max(rect.top + 1, size.height() - 1);
    return rect;
}

void RichEditView::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    engine_->EM_SETRECT(defaultFormatRect());
}

void RichEditView::focusInEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusInEvent(e);
    engine_->SetFocused(true);
    restartCaretBlink();
    viewport()->update();
}

void RichEditView::focusOutEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusOutEvent(e);
    engine_->SetFocused(false);
    blink_.stop();
    viewport()->update();
}

void RichEditView::restartCaretBlink() {
    caretOn_ = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flash > 0)
        blink_.start(flash / 2, this);
    else
        blink_.stop();
}

void RichEditView::timerEvent(QTimerEvent* e) {
    if (e->timerId() == blink_.timerId()) {
        caretOn_ = !caretOn_;
        const QRect caret = engine_->CaretRect();
        viewport()->update(caret.adjusted(-2, -1, 2, 1));
        return;
    }
    if (e->timerId() == autoScroll_.timerId()) {
        autoScrollStep();
        return;
    }
    QAbstractScrollArea::timerEvent(e);
}

// ---- Painting ----

void RichEditView::paintEvent(QPaintEvent* e) {
    QPainter painter(viewport());
    if (!preedit_.isEmpty()) {
        paintPreedit(painter);
        return;
    }
    engine_->PaintView(painter, e->rect(), palette().base().color());
    paintCaret(painter);
}

void RichEditView::paintCaret(QPainter& painter) {
    const bool show = (hasFocus() && caretOn_ && engine_->selection().empty()) || dropCaret_ >= 0;
    if (!show)
        return;
    QRect caret = engine_->CaretRect();
    if (dropCaret_ >= 0) {
        const POINT p = engine_->EM_POSFROMCHAR(dropCaret_);
        caret.moveTo(p.x, p.y);
    } else if (!preedit_.isEmpty()) {
        return; // the preedit draws its own cursor
    }
    const qreal zoom = engine_->ZoomFactor();
    const int width = engine_->Overwrite() && dropCaret_ < 0 ? std::max(2, int(4 * zoom))
                                                             : std::max(1, int(std::lround(zoom)));
    caret.setWidth(width);
    painter.fillRect(caret, palette().text().color());
}

void RichEditView::paintPreedit(QPainter& painter) {
    // The composition is shown at the caret in the format typing would take, underlined, and the
    // rest of the caret's line moves aside to make room for it: the window is drawn into a
    // buffer first and that stretch of the line is put back shifted.
    const QSize size = viewport()->size();
    QPixmap buffer(size * devicePixelRatioF());
    buffer.setDevicePixelRatio(devicePixelRatioF());
    {
        QPainter into(&buffer);
        engine_->PaintView(into, QRect(QPoint(0, 0), size), palette().base().color());
    }
    const model::CharFormat f = engine_->InsertionCharFormat();
    QFont font(f.face);
    font.setPixelSize(
        std::max(1, int(std::lround(f.height * logicalDpiY() / 1440.0 * engine_->ZoomFactor()))));
    font.setBold(f.weight >= 600 || (f.effects & CFE_BOLD));
    font.setItalic(f.effects & CFE_ITALIC);
    const QRect caret = engine_->CaretRect();
    QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(preedit_);
    const qreal baseline =
        caret.top() + (caret.height() + metrics.ascent() - metrics.descent()) / 2;
    const QRectF box(caret.left(), caret.top(), width + 1, caret.height());
    const QRect rest(caret.left(), caret.top(), size.width() - caret.left(), caret.height());
    painter.drawPixmap(QPointF(0, 0), buffer);
    painter.fillRect(rest, palette().base());
    painter.drawPixmap(QPointF(rest.left() + width + 1, rest.top()), buffer,
                       QRectF(QPointF(rest.topLeft()) * buffer.devicePixelRatio(),
                              QSizeF(rest.size()) * buffer.devicePixelRatio()));
    painter.fillRect(box, palette().base());
    painter.setFont(font);
    painter.setPen(palette().text().color());
    painter.drawText(QPointF(caret.left(), baseline), preedit_);
    painter.drawLine(QPointF(box.left(), baseline + 2), QPointF(box.right(), baseline + 2));
    if (hasFocus() && caretOn_) {
        const qreal x = caret.left() + metrics.horizontalAdvance(preedit_.left(
                                           std::clamp(preeditCursor_, 0, int(preedit_.size()))));
        painter.fillRect(QRectF(x, caret.top(), 1, caret.height()), palette().text().color());
    }
}

} // namespace richedit::view
