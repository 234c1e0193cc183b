// The window's view of the engine: zoom, scrolling, the caret's place, painting the visible text.

#include "engine/layout/DocumentLayout.h"
#include "engine/layout/Painter.h"
#include "engine/surface/RichEditEngine.h"

#include <QPainter>

#include <cmath>

namespace richedit {

using model::CharPos;
using model::ParaIndex;
using model::Twips;

qreal RichEditEngine::ZoomFactor() const {
    if (zoomNum_ <= 0 || zoomDen_ <= 0)
        return 1.0;
    return qreal(zoomNum_) / qreal(zoomDen_);
}

qreal RichEditEngine::pixelsPerTwip() const {
    return screenDpi_ * ZoomFactor() / 1440.0;
}

bool RichEditEngine::EM_SETZOOM(int32_t numerator, int32_t denominator) {
    if (version_ < 3)
        return false;
    const bool reset = numerator == 0 && denominator == 0;
    if (!reset) {
        if (numerator <= 0 || denominator <= 0)
            return false;
        const qreal ratio = qreal(numerator) / qreal(denominator);
        if (ratio < 1.0 / 64.0 || ratio > 64.0)
            return false;
    }
    const qreal before = ZoomFactor();
    // The point at the top left stays where it is in the document.
    const qreal topX = scroll_.x / pixelsPerTwip();
    const qreal topY = scroll_.y / pixelsPerTwip();
    zoomNum_ = numerator;
    zoomDen_ = denominator;
    if (ZoomFactor() != before) {
        scroll_ = {int32_t(std::lround(topX * pixelsPerTwip())),
                   int32_t(std::lround(topY * pixelsPerTwip()))};
        updateLayout();
        clampScroll();
        notifyView(true);
    }
    return true;
}

void RichEditEngine::EM_GETZOOM(int32_t& numerator, int32_t& denominator) const {
    numerator = zoomNum_;
    denominator = zoomDen_;
}

int32_t RichEditEngine::ContentHeightPixels() const {
    if (!display_)
        return 0;
    return int32_t(std::min<qreal>(std::ceil(display_->totalHeight().v * pixelsPerTwip()), 2e9));
}

int32_t RichEditEngine::ContentWidthPixels() const {
    if (!display_)
        return 0;
    if (WordWrapToWindow())
        return ViewWidthPixels();
    if (targetLineWidth_ > 1)
        return int32_t(std::ceil(display_->width().v * pixelsPerTwip()));
    // Without wrapping the widest line sets the width.
    int32_t widest = 0;
    for (int32_t p = 0; p < doc_.paragraphCount(); ++p)
        for (const layout::LineBox& line : display_->paragraphLayout(ParaIndex(p)).lines())
            widest = std::max(widest, line.penEnd.v);
    return int32_t(std::ceil(widest * pixelsPerTwip())) + 2;
}

void RichEditEngine::clampScroll() {
    const int32_t maxY = std::max(0, ContentHeightPixels() - ViewHeightPixels());
    const int32_t maxX =
        WordWrapToWindow() ? 0 : std::max(0, ContentWidthPixels() - ViewWidthPixels());
    scroll_.x = std::clamp(scroll_.x, 0, maxX);
    scroll_.y = std::clamp(scroll_.y, 0, maxY);
}

void RichEditEngine::EM_SETSCROLLPOS(const POINT& point) {
    const POINT before = scroll_;
    scroll_ = point;
    clampScroll();
    if (scroll_ != before && viewSink_)
        viewSink_->engineScrolled();
}

int32_t RichEditEngine::EM_GETFIRSTVISIBLELINE() const {
    if (!display_)
        return 0;
    // The line under the middle of the window's first pixel row.
    const Twips y(int32_t(std::floor((scroll_.y + 0.5) / pixelsPerTwip())));
    return lines_->lineFromChar(display_->charFromPoint({Twips(0), y})).v;
}

bool RichEditEngine::EM_LINESCROLL(int32_t characters, int32_t lines) {
    if (!display_)
        return false;
    POINT target = scroll_;
    if (lines != 0) {
        const int32_t count = lines_->lineCount();
        const int32_t first = EM_GETFIRSTVISIBLELINE();
        const int32_t line = std::clamp(first + lines, 0, std::max(0, count - 1));
        const CharPos start = lines_->lineStart(model::LineNumber(line));
        target.y = int32_t(std::lround(display_->positionOfChar(start).y.v * pixelsPerTwip()));
    }
    if (characters != 0 && !WordWrapToWindow()) {
        // A character's width here is half the default font's height, as for an average letter.
        const qreal charWidth = doc_.charFormats()[defaultFormat_].height / 2.0 * pixelsPerTwip();
        target.x += int32_t(std::lround(characters * charWidth));
    }
    EM_SETSCROLLPOS(target);
    return true;
}

int32_t RichEditEngine::EM_SCROLL(uint32_t action) {
    if (!display_)
        return 0;
    const int32_t before = EM_GETFIRSTVISIBLELINE();
    switch (action) {
    case SB_LINEUP:
        EM_LINESCROLL(0, -1);
        break;
    case SB_LINEDOWN:
        EM_LINESCROLL(0, 1);
        break;
    case SB_PAGEUP:
        EM_SETSCROLLPOS({scroll_.x, scroll_.y - std::max(1, ViewHeightPixels() - 16)});
        break;
    case SB_PAGEDOWN:
        EM_SETSCROLLPOS({scroll_.x, scroll_.y + std::max(1, ViewHeightPixels() - 16)});
        break;
    default:
        return 0;
    }
    const int32_t moved = EM_GETFIRSTVISIBLELINE() - before;
    return int32_t((1u << 16) | (uint32_t(moved) & 0xFFFF));
}

QRect RichEditEngine::CaretRect() const {
    if (!display_)
        return {};
    const CharPos caret = sel_.active;
    const ParaIndex p = doc_.paragraphAt(caret);
    const layout::ParagraphLayout& pl = display_->paragraphLayout(p);
    const int32_t offset = (caret - doc_.paragraphStart(p));
    const layout::LineBox& line = pl.line(pl.lineOfOffset(offset));
    const Twips paraTop = display_->paragraphTop(p);
    const qreal s = pixelsPerTwip();
    const qreal x = pl.xOfOffset(offset).v * s;
    const qreal top = (paraTop.v + line.top.v) * s;
    const qreal height = std::max<qreal>(1.0, line.height.v * s);
    const int32_t left = formatRect_.left + int32_t(std::floor(x)) - scroll_.x;
    const int32_t y = formatRect_.top + int32_t(std::lround(top)) - scroll_.y;
    return QRect(left, y, 1, int32_t(std::ceil(height)));
}

void RichEditEngine::EM_SCROLLCARET() {
    if (!display_)
        return;
    const QRect caret = CaretRect();
    POINT target = scroll_;
    const int32_t viewTop = formatRect_.top;
    const int32_t viewBottom = formatRect_.bottom;
    if (caret.top() < viewTop)
        target.y += caret.top() - viewTop;
    else if (caret.bottom() + 1 > viewBottom)
        target.y += std::min(caret.bottom() + 1 - viewBottom, caret.top() - viewTop);
    if (!WordWrapToWindow()) {
        const int32_t margin = std::min(ViewWidthPixels() / 3, 48);
        if (caret.left() < formatRect_.left)
            target.x += caret.left() - formatRect_.left - margin;
        else if (caret.left() + 2 > formatRect_.right)
            target.x += caret.left() + 2 - formatRect_.right + margin;
    }
    EM_SETSCROLLPOS(target);
}

void RichEditEngine::EM_HIDESELECTION(bool hide, bool changeStyle) {
    if (changeStyle)
        hideSelection_ = hide;
    if (viewSink_)
        viewSink_->engineSelectionChanged();
}

void RichEditEngine::SetFocused(bool focused) {
    if (focused_ == focused)
        return;
    focused_ = focused;
    if (viewSink_ && hideSelection_ && !sel_.empty())
        viewSink_->engineSelectionChanged();
}

void RichEditEngine::notifyView(bool content) {
    if (!viewSink_)
        return;
    if (content)
        viewSink_->engineContentChanged();
    else
        viewSink_->engineSelectionChanged();
}

void RichEditEngine::EM_REQUESTRESIZE() {
    REQRESIZE request;
    request.nmhdr.code = EN_REQUESTRESIZE;
    request.rc = formatRect_;
    const int32_t height = ContentHeightPixels();
    request.rc.bottom = formatRect_.top + height;
    lastRequestedHeight_ = height;
    send(request.nmhdr);
}

void RichEditEngine::checkRequestResize() {
    if (!(eventMask_ & ENM_REQUESTRESIZE) || !display_)
        return;
    if (ContentHeightPixels() != lastRequestedHeight_)
        EM_REQUESTRESIZE();
}

void RichEditEngine::PaintView(QPainter& painter, const QRect& clip,
                               const QColor& systemBackground) {
    const QColor back = backUsesSystem_ ? systemBackground : layout::colorOf(backColor_);
    painter.fillRect(clip, back);
    if (!display_)
        return;
    if (!screenPainter_)
        screenPainter_ = std::make_unique<layout::Painter>(doc_, *display_);
    layout::Painter& draw = *screenPainter_;
    layout::PaintOptions o;
    o.scale = pixelsPerTwip();
    o.origin = QPointF(formatRect_.left - scroll_.x, formatRect_.top - scroll_.y);
    const QRect text =
        clip.intersected(QRect(QPoint(formatRect_.left, formatRect_.top),
                               QPoint(formatRect_.right - 1, formatRect_.bottom - 1)));
    if (text.isEmpty())
        return;
    o.clip = QRectF(text);
    const bool showSelection = !sel_.empty() && (focused_ || !hideSelection_);
    if (showSelection) {
        o.selectionStart = sel_.min();
        o.selectionEnd = sel_.max();
        if (!focused_) {
            // Kept but inactive: a quieter highlight.
            o.selectionBack = QColor(0xC8, 0xC8, 0xC8);
            o.selectionText = Qt::black;
        }
    }
    draw.paint(painter, o);
}

CharPos RichEditEngine::charAtClientPoint(const POINT& point) const {
    if (!display_)
        return CharPos(0);
    const qreal s = pixelsPerTwip();
    const layout::TwipsPoint p{
        Twips(int32_t(std::floor((point.x - formatRect_.left + scroll_.x) / s))),
        Twips(int32_t(std::floor((point.y - formatRect_.top + scroll_.y) / s)))};
    return display_->charFromPoint(p);
}

std::optional<CHARRANGE> RichEditEngine::LinkAtPoint(const POINT& point) const {
    if (!display_)
        return std::nullopt;
    const qreal s = pixelsPerTwip();
    const qreal tx = (point.x - formatRect_.left + scroll_.x) / s;
    const qreal ty = (point.y - formatRect_.top + scroll_.y) / s;
    const CharPos near =
        display_->charFromPoint({Twips(int32_t(std::floor(tx))), Twips(int32_t(std::floor(ty)))});
    const ParaIndex p = doc_.paragraphAt(near);
    const layout::ParagraphLayout& pl = display_->paragraphLayout(p);
    const CharPos paraStart = doc_.paragraphStart(p);
    int32_t offset = near - paraStart;
    const layout::LineBox& line = pl.line(pl.lineOfOffset(offset));
    const qreal lineTop = display_->paragraphTop(p).v + line.top.v;
    // Only a point over the line's text counts, not the margins or the space after it.
    if (ty < lineTop || ty >= lineTop + line.height.v || tx < line.left.v || tx >= line.right.v)
        return std::nullopt;
    if (offset > line.start && (offset >= line.end() || pl.xOfOffset(offset).v > tx))
        --offset;
    const CharPos c = paraStart + offset;
    const CharPos paraEnd = paraStart + doc_.paragraph(p).length() - 1; // the mark
    auto isLink = [&](CharPos at) {
        return bool(doc_.charFormats()[doc_.charFormatIdAt(at)].effects & CFE_LINK);
    };
    if (c >= paraEnd || !isLink(c))
        return std::nullopt;
    // The stretch of link text around it, within the paragraph.
    CharPos from = c, to = c + 1;
    while (from > paraStart && isLink(from - 1))
        --from;
    while (to < paraEnd && isLink(to))
        ++to;
    return CHARRANGE{from.v, to.v};
}

QString RichEditEngine::LinkTargetAt(int32_t charIndex) const {
    const CharPos at = clampPos(charIndex);
    if (at >= doc_.end())
        return {};
    const model::CharFormat& f = doc_.charFormats()[doc_.charFormatIdAt(at)];
    return (f.effects & CFE_LINK) ? f.linkTarget : QString();
}

bool RichEditEngine::PointInSelection(const POINT& point) const {
    if (sel_.empty() || !display_)
        return false;
    const CharPos c = charAtClientPoint(point);
    if (c <= sel_.min() || c >= sel_.max())
        return false;
    return true;
}

model::CharFormat RichEditEngine::InsertionCharFormat() const {
    return doc_.charFormats()[insertionFormat()];
}

} // namespace richedit
