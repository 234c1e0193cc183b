#pragma once

#include "engine/layout/DocumentLayout.h"
#include "engine/layout/Painter.h"

#include <QPointF>

#include <memory>
#include <utility>
#include <vector>

class QPainter;

namespace richedit::layout {

// What one page holds.
struct PageRange {
    model::CharPos start{0}; // first character of the page's first line
    model::CharPos next{0};  // first character that did not fit
    Twips top;               // the page's first line, from the layout's top
    Twips used;              // height the page's lines take
    int32_t lines = 0;       // lines on the page
};

// Formats a document for pages: the layout at the page's width, asked page by page "from here,
// how much fits, and where does the next page start". Pages break between lines; a line taller
// than a page goes on a page of its own, so a loop over pages always ends. A paragraph that asks
// for a page break before it starts a page. Where a break would split a paragraph kept together,
// the paragraph moves to the next page whole unless it is taller than a page; where it would
// part a paragraph kept with the next from the next's first line, the kept paragraph moves
// along (and those kept with it before it). A move never leaves a page without a line.
// Everything is in twips, so the pages are the same for every target device.
class PageFormatter {
public:
    PageFormatter(const model::Document& doc, TextMeasurer& measurer, Twips pageWidth);

    void setPageWidth(Twips width) { layout_.setWidth(width); }
    Twips pageWidth() const { return layout_.width(); }
    const DocumentLayout& layout() const { return layout_; }

    // The page from start holding as many lines as fit in pageHeight. From the last page (or
    // past it) the answer's next is at or past the text's length.
    PageRange formatPage(model::CharPos start, Twips pageHeight) const;

    // Formats the page and draws it with its top left at origin (device units), scale device
    // units per twip.
    PageRange drawPage(QPainter& painter, model::CharPos start, Twips pageHeight, QPointF origin,
                       qreal scale, const PaintOptions& look = {});

    // The starts of every page of the document.
    std::vector<PageRange> paginate(Twips pageHeight) const;

private:
    // The page ending before `line` of the last paragraph in `before` (the page as it stood
    // before each paragraph that begins on it), with the break moved back for the paragraphs
    // kept together or with the next.
    PageRange keptPage(const PageRange& page,
                       const std::vector<std::pair<model::ParaIndex, PageRange>>& before,
                       int32_t line, Twips pageHeight) const;

    const model::Document& doc_;
    DocumentLayout layout_;
    std::unique_ptr<Painter> painter_; // made by the first page drawn, keeps its fonts
};

} // namespace richedit::layout
