#pragma once

#include "engine/layout/Numbering.h"
#include "engine/layout/ParagraphLayout.h"
#include "engine/model/LineIndex.h"

#include <functional>
#include <memory>
#include <vector>

namespace richedit::layout {

// The layout of a whole document at one width: paragraphs are laid out when first asked for and
// kept until an edit touches them. Display lines (wrapped lines) answer the line requests.
//
// Paragraph tops and line numbers are sums over the paragraphs before; they are kept as prefix
// sums that are valid up to the first paragraph changed since, and are extended on demand.
class DocumentLayout final : public model::DocumentObserver, public model::LineIndex {
public:
    DocumentLayout(const model::Document& doc, TextMeasurer& measurer, Twips width);

    // Re-wraps every paragraph at a new width (lazily, as they are asked for).
    void setWidth(Twips width);
    Twips width() const { return width_; }

    const ParagraphLayout& paragraphLayout(model::ParaIndex p) const;
    Twips paragraphTop(model::ParaIndex p) const;
    // Lays out everything.
    Twips totalHeight() const;

    // Top left of the character's cell, from the document's top left.
    TwipsPoint positionOfChar(model::CharPos pos) const;
    model::CharPos charFromPoint(TwipsPoint point) const;

    // LineIndex: display lines.
    int32_t lineCount() const override;
    model::CharPos lineStart(model::LineNumber line) const override;
    int32_t lineLength(model::LineNumber line) const override;
    int32_t lineSpan(model::LineNumber line) const override;
    model::LineNumber lineFromChar(model::CharPos pos) const override;

    // DocumentObserver.
    void textChanged(model::CharPos at, int32_t removed, int32_t added) override;
    void formatChanged(model::CharPos from, model::CharPos to) override;

    // Called for every paragraph laid out (tests count them).
    void setLayoutHook(std::function<void(model::ParaIndex)> hook) { hook_ = std::move(hook); }
    // Paragraphs whose layout is held.
    int32_t cachedParagraphs() const;

private:
    struct Entry {
        std::unique_ptr<ParagraphLayout> layout;
        int32_t number = 0; // the number it was laid out with
    };

    void invalidate(int32_t from, int32_t count);
    void sync() const;
    void ensurePrefix(int32_t paragraphs) const;
    // The paragraph holding a display line, laid out far enough; -1 past the end.
    int32_t paragraphOfLine(int32_t line) const;
    int32_t paragraphAtY(int32_t y) const;

    const model::Document& doc_;
    TextMeasurer& measurer_;
    Twips width_;
    mutable NumberingCounter numbers_;
    mutable std::vector<Entry> entries_;
    // lines_[p] and tops_[p]: display lines and height of the paragraphs before p, valid for
    // p <= valid_.
    mutable std::vector<int32_t> lines_;
    mutable std::vector<int64_t> tops_;
    mutable int32_t valid_ = 0;
    // A paragraph whose text changed without changing the paragraph count: the sums after it
    // stay valid but for the difference its new layout makes, added when they are next read.
    struct Pending {
        int32_t para = -1;
        int32_t lines = 0;
        int64_t height = 0;
    };
    mutable Pending pending_;
    void applyPending() const;
    void dropPending() const;
    std::function<void(model::ParaIndex)> hook_;
};

} // namespace richedit::layout
