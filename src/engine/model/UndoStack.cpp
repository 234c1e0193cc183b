#include "engine/model/UndoStack.h"

namespace richedit::model {

namespace {

void applyText(Document& doc, CharPos at, const Fragment& out, const Fragment& in) {
    if (!out.empty())
        doc.remove(at, at + out.length());
    if (!in.empty())
        doc.insert(at, in);
}

void applyPara(Document& doc, ParaIndex first, const std::vector<ParaFormatId>& ids) {
    for (size_t i = 0; i < ids.size(); ++i)
        doc.setParaFormatId(first + int32_t(i), ids[i]);
}

// Appends fragment b to fragment a.
void appendFragment(Fragment& a, const Fragment& b) {
    const int32_t shift = a.length();
    a.text.append(b.text);
    a.runs.insert(a.runs.end(), b.runs.begin(), b.runs.end());
    runs::normalize(a.runs);
    a.marks.insert(a.marks.end(), b.marks.begin(), b.marks.end());
    for (const ObjectAt& o : b.objects)
        a.objects.push_back({o.offset + shift, o.object});
}

} // namespace

void applyForward(Document& doc, const UndoStep& step) {
    if (const auto* t = std::get_if<TextStep>(&step))
        applyText(doc, t->at, t->removed, t->inserted);
    else if (const auto* r = std::get_if<RunStep>(&step))
        doc.overwriteRuns(r->at, r->after);
    else if (const auto* p = std::get_if<ParaStep>(&step))
        applyPara(doc, p->first, p->after);
}

void applyBackward(Document& doc, const UndoStep& step) {
    if (const auto* t = std::get_if<TextStep>(&step))
        applyText(doc, t->at, t->inserted, t->removed);
    else if (const auto* r = std::get_if<RunStep>(&step))
        doc.overwriteRuns(r->at, r->before);
    else if (const auto* p = std::get_if<ParaStep>(&step))
        applyPara(doc, p->first, p->before);
}

std::optional<ChangedSpan> changedSpan(const UndoGroup& group, bool forward) {
    std::optional<ChangedSpan> span;
    auto add = [&](CharPos from, CharPos to) {
        if (!span)
            span = ChangedSpan{from, to};
        span->from = std::min(span->from, from);
        span->to = std::max(span->to, to);
    };
    auto visit = [&](const UndoStep& step) {
        if (const auto* t = std::get_if<TextStep>(&step)) {
            const int32_t removed = (forward ? t->removed : t->inserted).length();
            const int32_t inserted = (forward ? t->inserted : t->removed).length();
            if (span) {
                // What the earlier steps changed moves with this step's text; what it removed
                // collapses to where the removal was.
                auto move = [&](CharPos p) {
                    if (p <= t->at)
                        return p;
                    return p >= t->at + removed ? p + (inserted - removed) : t->at;
                };
                span->from = move(span->from);
                span->to = move(span->to);
            }
            add(t->at, t->at + inserted);
        } else if (const auto* r = std::get_if<RunStep>(&step)) {
            add(r->at, r->at + runs::totalLength(forward ? r->after : r->before));
        }
    };
    if (forward)
        for (const UndoStep& s : group.steps)
            visit(s);
    else
        for (auto it = group.steps.rbegin(); it != group.steps.rend(); ++it)
            visit(*it);
    return span;
}

bool UndoStack::appendTyping(UndoGroup& into, UndoGroup& next) {
    if (!into.open || !next.open || into.kind != next.kind)
        return false;
    if (into.after != next.before)
        return false;
    for (UndoStep& s : next.steps) {
        // Plain insertions right after the previous one extend it instead of adding a record.
        auto* t = std::get_if<TextStep>(&s);
        auto* last = into.steps.empty() ? nullptr : std::get_if<TextStep>(&into.steps.back());
        if (t && last && t->removed.empty() && last->removed.empty() &&
            t->at == last->at + last->inserted.length()) {
            appendFragment(last->inserted, t->inserted);
        } else {
            into.steps.push_back(std::move(s));
        }
    }
    into.after = next.after;
    return true;
}

void UndoStack::push(UndoGroup group) {
    redo_.clear();
    if (limit_ <= 0)
        return;
    if (!undo_.empty() && appendTyping(undo_.back(), group))
        return;
    if (!undo_.empty())
        undo_.back().open = false;
    undo_.push_back(std::move(group));
    trim();
}

bool UndoStack::undo(Document& doc, Selection& selection) {
    if (undo_.empty())
        return false;
    UndoGroup g = std::move(undo_.back());
    undo_.pop_back();
    for (auto it = g.steps.rbegin(); it != g.steps.rend(); ++it)
        applyBackward(doc, *it);
    lastChange_ = changedSpan(g, false);
    selection = g.before;
    g.open = false;
    redo_.push_back(std::move(g));
    return true;
}

bool UndoStack::redo(Document& doc, Selection& selection) {
    if (redo_.empty())
        return false;
    UndoGroup g = std::move(redo_.back());
    redo_.pop_back();
    for (const UndoStep& s : g.steps)
        applyForward(doc, s);
    lastChange_ = changedSpan(g, true);
    selection = g.after;
    undo_.push_back(std::move(g));
    trim();
    return true;
}

void UndoStack::stopGrouping() {
    if (!undo_.empty())
        undo_.back().open = false;
}

void UndoStack::clear() {
    undo_.clear();
    redo_.clear();
    lastChange_.reset();
}

int32_t UndoStack::setLimit(int32_t limit) {
    limit_ = std::max(0, limit);
    trim();
    if (limit_ == 0)
        redo_.clear();
    return limit_;
}

void UndoStack::trim() {
    while (undo_.size() > size_t(limit_))
        undo_.pop_front();
}

} // namespace richedit::model
