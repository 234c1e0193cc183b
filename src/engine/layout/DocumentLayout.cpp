#include "engine/layout/DocumentLayout.h"

#include <algorithm>
#include <iterator>

namespace richedit::layout {

using model::CharPos;
using model::LineNumber;
using model::ParaIndex;

DocumentLayout::DocumentLayout(const model::Document& doc, TextMeasurer& measurer, Twips width)
    : doc_(doc), measurer_(measurer), width_(width), numbers_(doc) {
    entries_.resize(size_t(doc.paragraphCount()));
    lines_.assign(1, 0);
    tops_.assign(1, 0);
}

void DocumentLayout::setWidth(Twips width) {
    if (width == width_)
        return;
    width_ = width;
    for (Entry& e : entries_)
        e.layout.reset();
    valid_ = 0;
    pending_.para = -1;
}

void DocumentLayout::sync() const {
    // Only a document changed without telling this layout gets here: start again.
    if (int32_t(entries_.size()) == doc_.paragraphCount())
        return;
    entries_.clear();
    entries_.resize(size_t(doc_.paragraphCount()));
    valid_ = 0;
    pending_.para = -1;
    numbers_.reset();
}

const ParagraphLayout& DocumentLayout::paragraphLayout(ParaIndex p) const {
    sync();
    Entry& e = entries_[size_t(p.v)];
    const int32_t number = numbers_.numberOf(p);
    if (e.layout && e.number == number)
        return *e.layout;
    const model::Paragraph& para = doc_.paragraph(p);
    const model::ParaFormat& pf = doc_.paraFormats()[para.format];
    ParagraphSource source{&para, &doc_.charFormats(), &pf, numberText(pf, number)};
    const bool hadLayout = e.layout != nullptr;
    e.layout = std::make_unique<ParagraphLayout>(ParagraphLayout::build(source, width_, measurer_));
    e.number = number;
    if (hadLayout)
        valid_ = std::min(valid_, p.v); // its number changed: heights after it may too
    if (hook_)
        hook_(p);
    return *e.layout;
}

void DocumentLayout::dropPending() const {
    if (pending_.para >= 0)
        valid_ = std::min(valid_, pending_.para);
    pending_.para = -1;
}

void DocumentLayout::applyPending() const {
    if (pending_.para < 0)
        return;
    const int32_t p = pending_.para;
    const Pending old = pending_;
    pending_.para = -1;
    if (valid_ <= p)
        return;
    const ParagraphLayout& l = paragraphLayout(ParaIndex(p));
    if (valid_ <= p)
        return;
    const int32_t lineDelta = l.lineCount() - old.lines;
    const int64_t heightDelta = int64_t(l.height().v) - old.height;
    if (lineDelta == 0 && heightDelta == 0)
        return;
    for (size_t i = size_t(p) + 1; i <= size_t(valid_); ++i) {
        lines_[i] += lineDelta;
        tops_[i] += heightDelta;
    }
}

void DocumentLayout::ensurePrefix(int32_t paragraphs) const {
    sync();
    applyPending();
    paragraphs = std::min(paragraphs, int32_t(entries_.size()));
    lines_.resize(entries_.size() + 1);
    tops_.resize(entries_.size() + 1);
    while (valid_ < paragraphs) {
        const int32_t p = valid_;
        const ParagraphLayout& l = paragraphLayout(ParaIndex(p));
        // Laying out may have lowered valid_ (a number changed before p is impossible, since
        // numbers only depend on earlier paragraphs, which are laid out already).
        lines_[size_t(p) + 1] = lines_[size_t(p)] + l.lineCount();
        tops_[size_t(p) + 1] = tops_[size_t(p)] + l.height().v;
        valid_ = p + 1;
    }
}

Twips DocumentLayout::paragraphTop(ParaIndex p) const {
    ensurePrefix(p.v);
    return Twips(int32_t(tops_[size_t(p.v)]));
}

Twips DocumentLayout::totalHeight() const {
    ensurePrefix(int32_t(entries_.size()));
    return Twips(int32_t(tops_.back()));
}

int32_t DocumentLayout::cachedParagraphs() const {
    return int32_t(std::count_if(entries_.begin(), entries_.end(),
                                 [](const Entry& e) { return e.layout != nullptr; }));
}

TwipsPoint DocumentLayout::positionOfChar(CharPos pos) const {
    pos = std::clamp(pos, CharPos(0), doc_.end());
    const ParaIndex p = doc_.paragraphAt(pos);
    const Twips top = paragraphTop(p);
    const TwipsPoint inPara = paragraphLayout(p).positionOf(pos - doc_.paragraphStart(p));
    return {inPara.x, Twips(top.v + inPara.y.v)};
}

int32_t DocumentLayout::paragraphAtY(int32_t y) const {
    sync();
    applyPending();
    const int32_t n = int32_t(entries_.size());
    while (valid_ < n && tops_[size_t(valid_)] <= y)
        ensurePrefix(valid_ + 1);
    auto end = tops_.begin() + valid_ + 1;
    auto it = std::upper_bound(tops_.begin(), end, int64_t(y));
    return std::clamp(int32_t(it - tops_.begin()) - 1, 0, n - 1);
}

CharPos DocumentLayout::charFromPoint(TwipsPoint point) const {
    const int32_t p = paragraphAtY(point.y.v);
    const Twips top = paragraphTop(ParaIndex(p));
    const int32_t off = paragraphLayout(ParaIndex(p)).offsetAt({point.x, Twips(point.y.v - top.v)});
    return std::min(doc_.paragraphStart(ParaIndex(p)) + off, doc_.end());
}

int32_t DocumentLayout::lineCount() const {
    ensurePrefix(int32_t(entries_.size()));
    return lines_.back();
}

int32_t DocumentLayout::paragraphOfLine(int32_t line) const {
    if (line < 0)
        return -1;
    sync();
    applyPending();
    const int32_t n = int32_t(entries_.size());
    while (valid_ < n && lines_[size_t(valid_)] <= line)
        ensurePrefix(valid_ + 1);
    if (lines_[size_t(valid_)] <= line)
        return -1;
    auto it = std::upper_bound(lines_.begin(), lines_.begin() + valid_ + 1, line);
    return int32_t(it - lines_.begin()) - 1;
}

CharPos DocumentLayout::lineStart(LineNumber line) const {
    const int32_t p = paragraphOfLine(line.v);
    if (p < 0)
        return CharPos(-1);
    const ParagraphLayout& l = paragraphLayout(ParaIndex(p));
    return doc_.paragraphStart(ParaIndex(p)) + l.line(line.v - lines_[size_t(p)]).start;
}

int32_t DocumentLayout::lineSpan(LineNumber line) const {
    const int32_t p = paragraphOfLine(line.v);
    if (p < 0)
        return 0;
    const LineBox& box = paragraphLayout(ParaIndex(p)).line(line.v - lines_[size_t(p)]);
    // The final paragraph's mark is not part of the reported text.
    const bool finalMark = box.lastLine && p == int32_t(entries_.size()) - 1;
    return finalMark ? box.length - 1 : box.length;
}

int32_t DocumentLayout::lineLength(LineNumber line) const {
    const int32_t p = paragraphOfLine(line.v);
    if (p < 0)
        return 0;
    const LineBox& box = paragraphLayout(ParaIndex(p)).line(line.v - lines_[size_t(p)]);
    return box.lastLine ? box.length - 1 : box.length;
}

LineNumber DocumentLayout::lineFromChar(CharPos pos) const {
    pos = std::clamp(pos, CharPos(0), doc_.end());
    const ParaIndex p = doc_.paragraphAt(pos);
    ensurePrefix(p.v + 1);
    const int32_t inPara = paragraphLayout(p).lineOfOffset(pos - doc_.paragraphStart(p));
    return LineNumber(lines_[size_t(p.v)] + inPara);
}

void DocumentLayout::invalidate(int32_t from, int32_t count) {
    dropPending();
    for (int32_t i = from; i < from + count && i < int32_t(entries_.size()); ++i)
        entries_[size_t(i)].layout.reset();
    valid_ = std::min(valid_, from);
    numbers_.reset();
}

void DocumentLayout::textChanged(CharPos at, int32_t removed, int32_t added) {
    // Paragraphs before `at` are untouched. The changed stretch now covers the paragraphs from
    // the one at `at` to the one at its end; the paragraph count tells how many it covered.
    const int32_t first = doc_.paragraphAt(std::clamp(at, CharPos(0), doc_.end())).v;
    const int32_t lastNow = doc_.paragraphAt(std::clamp(at + added, CharPos(0), doc_.end())).v;
    const int32_t spanNow = lastNow - first + 1;
    const int32_t spanBefore = spanNow + int32_t(entries_.size()) - doc_.paragraphCount();
    (void)removed;
    if (spanBefore == 1 && spanNow == 1 && first < int32_t(entries_.size())) {
        // Typing inside one paragraph: only it is laid out again, and the sums after it move
        // by what its height and line count change.
        entries_[size_t(first)].layout.reset();
        if (pending_.para >= 0 && pending_.para != first)
            applyPending();
        if (pending_.para != first && valid_ > first)
            pending_ = {first, lines_[size_t(first) + 1] - lines_[size_t(first)],
                        tops_[size_t(first) + 1] - tops_[size_t(first)]};
        return;
    }
    dropPending();
    const auto begin = entries_.begin() + first;
    entries_.erase(begin, begin + std::clamp(spanBefore, 0, int32_t(entries_.size()) - first));
    std::vector<Entry> fresh(static_cast<size_t>(spanNow));
    entries_.insert(entries_.begin() + first, std::make_move_iterator(fresh.begin()),
                    std::make_move_iterator(fresh.end()));
    valid_ = std::min(valid_, first);
    numbers_.reset();
}

void DocumentLayout::formatChanged(CharPos from, CharPos to) {
    const int32_t first = doc_.paragraphAt(std::clamp(from, CharPos(0), doc_.end())).v;
    const int32_t last =
        doc_.paragraphAt(std::clamp(std::max(from, to - 1), CharPos(0), doc_.end())).v;
    invalidate(first, last - first + 1);
}

} // namespace richedit::layout
