#pragma once

#include "engine/model/UndoStack.h"

namespace richedit::model {

// The edit bracket: every change to the document goes through one of these primitives, which
// apply it at once and record its undo step. finish() hands back the whole edit as one group.
class EditTransaction {
public:
    // A mergeable edit (typing, deleting key by key) may join the open group before it.
    EditTransaction(Document& doc, UNDONAMEID kind, Selection before, bool mergeable = false);

    // Replaces [from, to) by the fragment.
    void replace(CharPos from, CharPos to, const Fragment& inserted);
    // Gives [from, from + length of after) the formats of after.
    void overwriteRuns(CharPos from, RunList after);
    // Gives paragraphs first, first + 1, ... the formats of after.
    void setParaFormats(ParaIndex first, std::vector<ParaFormatId> after);

    bool empty() const { return group_.steps.empty(); }
    UndoGroup finish(Selection after);

private:
    Document& doc_;
    UndoGroup group_;
};

} // namespace richedit::model
