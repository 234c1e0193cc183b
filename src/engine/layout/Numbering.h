#pragma once

#include "engine/model/Document.h"

#include <QString>

namespace richedit::layout {

// The text shown before a numbered paragraph: "•" for bullets, otherwise the number in the
// paragraph's numbering kind and style ("1)", "(1)", "1.", "1", or nothing).
QString numberText(const model::ParaFormat& format, int32_t number);

// Numbers paragraphs: a paragraph's number counts across the run of consecutive paragraphs
// numbered the same way (same kind and style), from the run's start number; a paragraph that
// asks for a new number starts a run of its own. A paragraph of the run's kind that shows no
// number continues the item before it: it takes that item's number and the run goes on after it.
class NumberingCounter {
public:
    explicit NumberingCounter(const model::Document& doc) : doc_(doc) {}
    // 0 for a paragraph without numbering (and for one without a number before any item).
    int32_t numberOf(model::ParaIndex p) const;
    // Forgets the remembered numbers after the document changed.
    void reset() { lastPara_ = -1; }

private:
    bool continues(const model::ParaFormat& prev, const model::ParaFormat& cur) const;

    const model::Document& doc_;
    // The last answer, so that asking for consecutive paragraphs costs a step each.
    mutable int32_t lastPara_ = -1;
    mutable int32_t lastNumber_ = 0;
};

} // namespace richedit::layout
