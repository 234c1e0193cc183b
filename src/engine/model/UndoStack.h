#pragma once

#include "engine/api/RichEditConstants.h"
#include "engine/model/Document.h"
#include "engine/model/Selection.h"

#include <deque>
#include <optional>
#include <variant>
#include <vector>

namespace richedit::model {

// Undo records are small values: each knows how to apply itself forward and backward.
struct TextStep {
    CharPos at;
    Fragment removed;
    Fragment inserted;
};
struct RunStep {
    CharPos at;
    RunList before;
    RunList after;
};
struct ParaStep {
    ParaIndex first;
    std::vector<ParaFormatId> before;
    std::vector<ParaFormatId> after;
};
using UndoStep = std::variant<TextStep, RunStep, ParaStep>;

struct UndoGroup {
    UNDONAMEID kind = UID_UNKNOWN;
    std::vector<UndoStep> steps;
    Selection before;
    Selection after;
    bool open = false; // further typing (or key-by-key deleting) may still join it
};

void applyForward(Document& doc, const UndoStep& step);
void applyBackward(Document& doc, const UndoStep& step);

// The stretch of text a group's steps changed, in positions of the document they leave behind
// when applied forward (or, when undone, backward): it holds the inserted characters and those
// whose formats changed; a removal leaves an empty stretch where it was. Nothing when the group
// changed paragraph formats only.
struct ChangedSpan {
    CharPos from;
    CharPos to;
    friend bool operator==(const ChangedSpan&, const ChangedSpan&) = default;
};
std::optional<ChangedSpan> changedSpan(const UndoGroup& group, bool forward);

// The undo and redo history of one document, with a limit on the number of undo groups.
class UndoStack {
public:
    // Records a finished edit. A mergeable group joins the open group of the same kind before
    // it when it continues where that one ended (typing, deleting key by key).
    void push(UndoGroup group);
    // Applies the newest group backwards; answers the selection from before it.
    bool undo(Document& doc, Selection& selection);
    bool redo(Document& doc, Selection& selection);
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    UNDONAMEID undoName() const { return undo_.empty() ? UID_UNKNOWN : undo_.back().kind; }
    UNDONAMEID redoName() const { return redo_.empty() ? UID_UNKNOWN : redo_.back().kind; }
    // Ends the current typing group: the next typed text starts a new undo step.
    void stopGrouping();
    void clear();
    int32_t setLimit(int32_t limit);
    int32_t limit() const { return limit_; }
    size_t undoCount() const { return undo_.size(); }
    // What the newest undo or redo changed.
    std::optional<ChangedSpan> lastChange() const { return lastChange_; }

private:
    static bool appendTyping(UndoGroup& into, UndoGroup& next);
    void trim();

    std::deque<UndoGroup> undo_;
    std::vector<UndoGroup> redo_;
    int32_t limit_ = 100;
    std::optional<ChangedSpan> lastChange_;
};

} // namespace richedit::model
