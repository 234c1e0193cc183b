#include "engine/layout/PageFormatter.h"

#include <QPainter>

#include <algorithm>

namespace richedit::layout {

using model::CharPos;
using model::ParaIndex;

PageFormatter::PageFormatter(const model::Document& doc, TextMeasurer& measurer, Twips pageWidth)
    : doc_(doc), layout_(doc, measurer, pageWidth) {}

namespace {

const model::ParaFormat& formatOf(const model::Document& doc, ParaIndex p) {
    return doc.paraFormats()[doc.paraFormatId(p)];
}

// The height of a paragraph's lines, the space around them left out.
qreal linesHeight(const ParagraphLayout& pl) {
    const LineBox& last = pl.line(pl.lineCount() - 1);
    return last.top.v + last.height.v - pl.line(0).top.v;
}

} // namespace

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
    // The page as it stood before each paragraph that begins on it, for a break that moves back
    // to one of them.
    std::vector<std::pair<ParaIndex, PageRange>> before;
    const int32_t paragraphs = doc_.paragraphCount();
    while (p.v < paragraphs) {
        const qreal paraTop = layout_.paragraphTop(p).v;
        const CharPos paraStart = doc_.paragraphStart(p);
        if (li == 0) {
            if (page.lines > 0 && (formatOf(doc_, p).effects & PFE_PAGEBREAKBEFORE))
                return page;
            before.emplace_back(p, page);
        }
        for (; li < pl->lineCount(); ++li) {
            const LineBox& line = pl->line(li);
            const qreal bottom = paraTop + line.top.v + line.height.v;
            // A line that does not fit ends the page, unless the page holds nothing yet.
            if (bottom - top > pageHeight.v && page.lines > 0)
                return keptPage(page, before, li, pageHeight);
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

PageRange PageFormatter::keptPage(const PageRange& page,
                                  const std::vector<std::pair<ParaIndex, PageRange>>& before,
                                  int32_t line, Twips pageHeight) const {
    // The break falls before `line` of the paragraph that `before` ends with, if that paragraph
    // begins on this page. It may move back to the start of a paragraph, before[k], as long as
    // the page keeps a line.
    if (before.empty())
        return page;
    const size_t last = before.size() - 1;
    if (line > 0) {
        // A paragraph kept together goes to the next page whole, if a page can hold it.
        const ParaIndex p = before[last].first;
        if (!(formatOf(doc_, p).effects & PFE_KEEP) ||
            linesHeight(layout_.paragraphLayout(p)) > pageHeight.v)
            return page;
    }
    if (before[last].second.lines == 0)
        return page;
    // Paragraphs kept with the next one go along with it, unless that would empty the page.
    size_t k = last;
    while (k > 0 && (formatOf(doc_, before[k - 1].first).effects & PFE_KEEPNEXT))
        --k;
    if (before[k].second.lines == 0)
        k = last;
    PageRange kept = before[k].second;
    kept.next = doc_.paragraphStart(before[k].first);
    return kept;
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
