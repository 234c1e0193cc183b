#include "engine/model/EditTransaction.h"

namespace richedit::model {

EditTransaction::EditTransaction(Document& doc, UNDONAMEID kind, Selection before, bool mergeable)
    : doc_(doc) {
    group_.kind = kind;
    group_.before = before;
    group_.open = mergeable;
}

void EditTransaction::replace(CharPos from, CharPos to, const Fragment& inserted) {
    if (from >= to && inserted.empty())
        return;
    TextStep step{from, doc_.extract(from, to), inserted};
    applyForward(doc_, step);
    group_.steps.push_back(std::move(step));
}

void EditTransaction::overwriteRuns(CharPos from, RunList after) {
    const int32_t n = runs::totalLength(after);
    if (n <= 0)
        return;
    RunList before = doc_.runs(from, from + n);
    if (before == after)
        return;
    RunStep step{from, std::move(before), std::move(after)};
    applyForward(doc_, step);
    group_.steps.push_back(std::move(step));
}

void EditTransaction::setParaFormats(ParaIndex first, std::vector<ParaFormatId> after) {
    std::vector<ParaFormatId> before;
    before.reserve(after.size());
    for (size_t i = 0; i < after.size(); ++i)
        before.push_back(doc_.paraFormatId(first + int32_t(i)));
    if (before == after)
        return;
    ParaStep step{first, std::move(before), std::move(after)};
    applyForward(doc_, step);
    group_.steps.push_back(std::move(step));
}

UndoGroup EditTransaction::finish(Selection after) {
    group_.after = after;
    return std::move(group_);
}

} // namespace richedit::model
