// Formatting pages for printing, previews and page images.

#include "engine/layout/PageFormatter.h"
#include "engine/layout/QtTextMeasurer.h"
#include "engine/surface/DeviceContext.h"
#include "engine/surface/RichEditEngine.h"

namespace richedit {

using model::CharPos;
using model::Twips;

int32_t RichEditEngine::EM_FORMATRANGE(bool render, FORMATRANGE* range) {
    if (!range) {
        pages_.reset();
        lastPageValid_ = false;
        return 0;
    }
    const Twips width(std::max(1, range->rc.right - range->rc.left));
    const Twips height(std::max(1, range->rc.bottom - range->rc.top));
    if (!measurer_)
        measurer_ = std::make_unique<layout::QtTextMeasurer>();
    if (!pages_)
        pages_ = std::make_unique<layout::PageFormatter>(doc_, *measurer_, width);
    else if (pages_->pageWidth() != width)
        pages_->setPageWidth(width);

    const CharPos start = clampPos(range->chrg.cpMin);
    const CharPos end = range->chrg.cpMax < 0 ? doc_.end() : clampPos(range->chrg.cpMax);
    layout::PageRange page;
    DeviceContext* dc = range->hdc;
    if (render && dc && dc->painter()) {
        // rc is in twips of the device; the device's own resolution scales it.
        const qreal scale = dc->dpiX() / 1440.0;
        const QPointF origin(range->rc.left * scale, range->rc.top * dc->dpiY() / 1440.0);
        layout::PaintOptions look;
        look.endChar = end < doc_.end() ? end : CharPos(-1);
        page = pages_->drawPage(*dc->painter(), start, height, origin, scale, look);
    } else {
        page = pages_->formatPage(start, height);
    }
    range->rc.bottom = range->rc.top + page.used.v;
    lastPage_ = *range;
    lastPageValid_ = true;
    // A range that ends inside the page fits up to its end.
    if (end < doc_.end() && page.next > end)
        return end.v;
    return page.next.v;
}

bool RichEditEngine::EM_DISPLAYBAND(const RECT& rect) {
    if (!lastPageValid_ || !lastPage_.hdc || !lastPage_.hdc->painter())
        return false;
    FORMATRANGE band = lastPage_;
    band.rc = rect;
    band.rc.bottom = std::max(rect.bottom, lastPage_.rc.bottom);
    EM_FORMATRANGE(true, &band);
    return true;
}

} // namespace richedit
