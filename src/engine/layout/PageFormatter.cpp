#include "engine/layout/PageFormatter.h"

#include <QPainter>

#include <algorithm>

namespace richedit::layout {

using model::CharPos;
using model::ParaIndex;

PageFormatter::PageFormatter(const model::Document& doc, TextMeasurer& measurer, Twips pageWidth)
    : doc_(doc), layout_(doc, measurer, pageWidth) {}

PageRange PageFormatter::formatPage(CharPos start, Twips pageHeight) const {
    PageRange page;
    const CharPos total = doc_.end() + 1; // the final paragraph mark included
    if (start < CharPos(0))
        start = CharPos(0);
    if (start >= total) {
        page.start = page.next = start;
        page.top = layout_.totalHeight();
        return page;
    }
    ParaIndex p = doc_.paragraphAt(start);
    const ParagraphLayout* pl = &layout_.paragraphLayout(p);
    int32_t li = pl->lineOfOffset(start - doc_.paragraphStart(p));
    const qreal top = layout_.paragraphTop(p).v + pl->line(li).top.v;
    page.start = doc_.paragraphStart(p) + pl->line(li).start;
    page.top = Twips(int32_t(top));
    page.next = page.start;
    const int32_t paragraphs = doc_.paragraphCount();
    while (p.v < paragraphs) {
        const qreal paraTop = layout_.paragraphTop(p).v;
        const CharPos paraStart = doc_.paragraphStart(p);
        for (; li < pl->lineCount(); ++li) {
            const LineBox& line = pl->line(li);
            const qreal bottom = paraTop + line.top.v + line.height.v;
            // A line that does not fit ends the page, unless the page holds nothing yet.
            if (bottom - top > pageHeight.v && page.lines > 0)
                return page;
            page.next = paraStart + line.end();
            page.used = Twips(int32_t(bottom - top));
            ++page.lines;
        }
        ++p;
        li = 0;
        if (p.v < paragraphs)
            pl = &layout_.paragraphLayout(p);
    }
    return page;
}

PageRange PageFormatter::drawPage(QPainter& painter, CharPos start, Twips pageHeight,
                                  QPointF origin, qreal scale, const PaintOptions& look) {
    const PageRange page = formatPage(start, pageHeight);
    if (page.lines == 0)
        return page;
    PaintOptions o = look;
    o.scale = scale;
    o.origin = origin;
    o.from = {Twips(0), page.top};
    o.clip = QRectF();
    o.firstChar = page.start;
    o.endChar = page.next;
    if (!painter_)
        painter_ = std::make_unique<Painter>(doc_, layout_);
    painter_->paint(painter, o);
    return page;
}

std::vector<PageRange> PageFormatter::paginate(Twips pageHeight) const {
    std::vector<PageRange> pages;
    const CharPos length = doc_.end();
    CharPos at(0);
    do {
        const PageRange page = formatPage(at, pageHeight);
        pages.push_back(page);
        if (page.next <= at)
            break; // cannot happen: every page holds a line
        at = page.next;
    } while (at < length);
    return pages;
}

} // namespace richedit::layout
