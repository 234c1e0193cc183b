#pragma once

#include "engine/layout/DocumentLayout.h"
#include "engine/layout/Painter.h"

#include <QPointF>

#include <memory>

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
// than a page goes on a page of its own, so a loop over pages always ends. Everything is in
// twips, so the pages are the same for every target device.
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
    const model::Document& doc_;
    DocumentLayout layout_;
    std::unique_ptr<Painter> painter_; // made by the first page drawn, keeps its fonts
};

} // namespace richedit::layout
