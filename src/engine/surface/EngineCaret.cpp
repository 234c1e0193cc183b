// Moving the caret with the keys and selecting with the mouse.

#include "engine/layout/DocumentLayout.h"
#include "engine/model/WordBreak.h"
#include "engine/surface/RichEditEngine.h"

#include <cmath>

namespace richedit {

using model::CharPos;
using model::LineNumber;
using model::ParaIndex;
using model::Selection;
using model::Twips;

namespace {

// Steps over a surrogate pair as one character.
CharPos previousChar(const model::Document& doc, CharPos pos) {
    if (pos <= CharPos(0))
        return CharPos(0);
    CharPos p = pos - 1;
    if (p > CharPos(0) && doc.charAt(p).isLowSurrogate() && doc.charAt(p - 1).isHighSurrogate())
        --p;
    return p;
}

CharPos nextChar(const model::Document& doc, CharPos pos) {
    if (pos >= doc.end())
        return doc.end();
    CharPos p = pos + 1;
    if (p < doc.end() && doc.charAt(pos).isHighSurrogate() && doc.charAt(p).isLowSurrogate())
        ++p;
    return p;
}

bool isSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == QChar(0x3000);
}

} // namespace

// The position lines display lines away from `from`, at the goal column (set from the caret's
// own column when it has none).
CharPos RichEditEngine::lineMoveTarget(CharPos from, int32_t lines, int32_t& goalX) {
    const int32_t count = lines_->lineCount();
    const int32_t line = lines_->lineFromChar(from).v;
    const int32_t target = std::clamp(line + lines, 0, std::max(0, count - 1));
    if (!display_) {
        // Paragraph lines: keep the column.
        const int32_t column = from - lines_->lineStart(LineNumber(line));
        if (goalX < 0)
            goalX = column;
        const CharPos start = lines_->lineStart(LineNumber(target));
        return start + std::min(goalX, lines_->lineLength(LineNumber(target)));
    }
    if (goalX < 0)
        goalX = display_->positionOfChar(from).x.v;
    if (target == line && lines != 0)
        return lines < 0 ? CharPos(0) : doc_.end(); // past the first or last line
    const CharPos start = lines_->lineStart(LineNumber(target));
    const ParaIndex p = doc_.paragraphAt(start);
    const CharPos paraStart = doc_.paragraphStart(p);
    const layout::ParagraphLayout& pl = display_->paragraphLayout(p);
    const int32_t inPara = pl.lineOfOffset(start - paraStart);
    return paraStart + pl.offsetInLine(inPara, Twips(goalX));
}

void RichEditEngine::MoveCaret(CaretMove move, bool extend) {
    const CharPos caret = sel_.active;
    CharPos to = caret;
    int32_t goal = goalX_;
    bool vertical = false;
    switch (move) {
    case CaretMove::Left:
        to = (!extend && !sel_.empty()) ? sel_.min() : previousChar(doc_, caret);
        break;
    case CaretMove::Right:
        to = (!extend && !sel_.empty()) ? sel_.max() : nextChar(doc_, caret);
        break;
    case CaretMove::WordLeft:
        to = model::previousWordStart(doc_, caret);
        break;
    case CaretMove::WordRight:
        to = model::nextWordStart(doc_, caret);
        break;
    case CaretMove::Up:
    case CaretMove::Down:
        to = lineMoveTarget(caret, move == CaretMove::Up ? -1 : 1, goal);
        vertical = true;
        break;
    case CaretMove::LineStart:
        to = lines_->lineStart(lines_->lineFromChar(caret));
        break;
    case CaretMove::LineEnd: {
        const LineNumber line = lines_->lineFromChar(caret);
        const CharPos start = lines_->lineStart(line);
        const CharPos next = start + lines_->lineSpan(line);
        to = start + lines_->lineLength(line);
        if (to == next && next < doc_.end()) {
            // A wrapped line: its end is the next line's start, so stop before the space the
            // line broke at (or the last character of a word broken across lines).
            to = std::max(start, previousChar(doc_, next));
        } else if (to > start && doc_.charAt(to - 1) == QChar(model::kLineBreak)) {
            --to; // before the soft line break that ends it
        }
        break;
    }
    case CaretMove::ParagraphUp: {
        const ParaIndex p = doc_.paragraphAt(caret);
        const CharPos start = doc_.paragraphStart(p);
        to = (caret > start || p.v == 0) ? start : doc_.paragraphStart(ParaIndex(p.v - 1));
        break;
    }
    case CaretMove::ParagraphDown: {
        const ParaIndex p = doc_.paragraphAt(caret);
        to = p.v + 1 < doc_.paragraphCount() ? doc_.paragraphStart(ParaIndex(p.v + 1)) : doc_.end();
        break;
    }
    case CaretMove::PageUp:
    case CaretMove::PageDown: {
        if (!display_) {
            to = lineMoveTarget(caret, move == CaretMove::PageUp ? -20 : 20, goal);
            vertical = true;
            break;
        }
        // Scroll a page and keep the caret at the same place in the window.
        const QRect before = CaretRect();
        const int32_t page = std::max(1, ViewHeightPixels() - before.height());
        const int32_t dy = move == CaretMove::PageUp ? -page : page;
        const int32_t oldScroll = scroll_.y;
        EM_SETSCROLLPOS({scroll_.x, scroll_.y + dy});
        const int32_t scrolled = scroll_.y - oldScroll;
        if (goal < 0)
            goal = display_->positionOfChar(caret).x.v;
        const qreal s = pixelsPerTwip();
        const int32_t caretY = int32_t(std::floor(display_->positionOfChar(caret).y.v * s));
        int32_t y = caretY + (scrolled != 0 ? scrolled : dy);
        if (scrolled == 0 && move == CaretMove::PageUp && y < 0) {
            to = CharPos(0);
        } else if (scrolled == 0 && move == CaretMove::PageDown && y >= ContentHeightPixels()) {
            to = doc_.end();
        } else {
            y = std::max(0, y);
            to = display_->charFromPoint({Twips(goal), Twips(int32_t(std::floor((y + 1) / s)))});
        }
        vertical = true;
        break;
    }
    case CaretMove::DocumentStart:
        to = CharPos(0);
        break;
    case CaretMove::DocumentEnd:
        to = doc_.end();
        break;
    }
    to = clampPos(to.v);
    setSelection({extend ? sel_.anchor : to, to});
    if (vertical)
        goalX_ = goal;
    EM_SCROLLCARET();
}

void RichEditEngine::ClickAt(const POINT& point, bool extend) {
    const CharPos at = charAtClientPoint(point);
    dragOrigin_ = {at, at};
    setSelection({extend ? sel_.anchor : at, at});
    if (extend)
        dragOrigin_ = {sel_.anchor, sel_.anchor};
}

void RichEditEngine::DragSelectTo(const POINT& point, bool byWord, bool byParagraph) {
    CharPos at = charAtClientPoint(point);
    // The place the drag began, held to the text as it is now (it may have changed since).
    const CharPos originMin = clampPos(dragOrigin_.min().v);
    const CharPos originMax = clampPos(dragOrigin_.max().v);
    if (byParagraph) {
        const ParaIndex p = doc_.paragraphAt(at);
        const CharPos start = doc_.paragraphStart(p);
        const CharPos end = std::min(doc_.end(), start + doc_.paragraph(p).length());
        at = at < originMin ? start : end;
    } else if (byWord) {
        at = at < originMin ? model::wordStart(doc_, at) : model::wordEnd(doc_, at);
    }
    if (at < originMin)
        setSelection({originMax, at});
    else
        setSelection({originMin, std::max(at, originMax)});
    EM_SCROLLCARET();
}

void RichEditEngine::SelectWordAt(const POINT& point) {
    const CharPos at = charAtClientPoint(point);
    CharPos from = model::wordStart(doc_, at);
    CharPos to = model::wordEnd(doc_, at);
    if (from == to) {
        // Between words: the character there (a space, a punctuation mark, an object).
        if (at < doc_.end() && doc_.charAt(at) != QChar(model::kParagraphMark))
            to = nextChar(doc_, at);
    } else {
        // A word takes the spaces after it, as a double-click shows.
        while (to < doc_.end() && isSpace(doc_.charAt(to)))
            ++to;
    }
    dragOrigin_ = {from, to};
    setSelection({from, to});
}

void RichEditEngine::SelectParagraphAt(const POINT& point) {
    const ParaIndex p = doc_.paragraphAt(charAtClientPoint(point));
    const CharPos start = doc_.paragraphStart(p);
    const CharPos end = std::min(doc_.end(), start + doc_.paragraph(p).length());
    dragOrigin_ = {start, end};
    setSelection({start, end});
}

void RichEditEngine::SelectAll() {
    setSelection({CharPos(0), doc_.end()});
}

} // namespace richedit
