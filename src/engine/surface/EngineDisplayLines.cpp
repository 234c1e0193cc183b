// The format rectangle, display lines and positions from the layout.

#include "engine/layout/DocumentLayout.h"
#include "engine/layout/Painter.h"
#include "engine/layout/QtTextMeasurer.h"
#include "engine/surface/RichEditEngine.h"

#include <cmath>

namespace richedit {

using model::CharPos;
using model::Twips;

namespace {
constexpr int32_t kNoWrap = 0x7FFFFF; // twips: wider than any page
}

void RichEditEngine::updateLayout() {
    Twips width(0);
    if (targetLineWidth_ == 1)
        width = Twips(kNoWrap);
    else if (targetLineWidth_ > 1)
        width = Twips(std::min(targetLineWidth_, kNoWrap));
    else if (formatRectSet_)
        width = Twips(int32_t(std::clamp<qreal>(
            std::floor((formatRect_.right - formatRect_.left) / pixelsPerTwip()), 1, kNoWrap)));
    if (width.v <= 0) {
        doc_.setObserver(nullptr);
        screenPainter_.reset();
        display_.reset();
        lines_ = paragraphLines_.get();
        return;
    }
    if (!measurer_)
        measurer_ = std::make_unique<layout::QtTextMeasurer>();
    if (!display_) {
        display_ = std::make_unique<layout::DocumentLayout>(doc_, *measurer_, width);
        doc_.setObserver(display_.get());
    } else if (display_->width() != width) {
        display_->setWidth(width);
    }
    lines_ = display_.get();
}

void RichEditEngine::EM_SETRECT(const RECT& rect) {
    formatRect_ = rect;
    formatRectSet_ = rect.right > rect.left;
    updateLayout();
    clampScroll();
    notifyView(true);
}

bool RichEditEngine::EM_SETTARGETDEVICE(DeviceContext*, int32_t lineWidth) {
    targetLineWidth_ = std::max(0, lineWidth);
    updateLayout();
    clampScroll();
    notifyView(true);
    return true;
}

void RichEditEngine::SetScreenResolution(int dpi) {
    screenDpi_ = std::max(1, dpi);
    updateLayout();
    clampScroll();
    notifyView(true);
}

POINT RichEditEngine::EM_POSFROMCHAR(int32_t charIndex) const {
    if (!display_)
        return {};
    const layout::TwipsPoint p = display_->positionOfChar(clampPos(charIndex));
    const qreal s = pixelsPerTwip();
    return {formatRect_.left + int32_t(std::floor(p.x.v * s)) - scroll_.x,
            formatRect_.top + int32_t(std::floor(p.y.v * s)) - scroll_.y};
}

int32_t RichEditEngine::EM_CHARFROMPOS(const POINT& point) const {
    return charAtClientPoint(point).v;
}

} // namespace richedit
