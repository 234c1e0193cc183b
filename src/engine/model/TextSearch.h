#pragma once

#include "engine/model/Document.h"

namespace richedit::model {

struct SearchOptions {
    bool down = true;
    bool matchCase = false;
    bool wholeWord = false;
};

// Finds pattern in the document. Searching down, the first match that lies within [from, to);
// searching up, the match nearest before from that lies within [to, from) (to <= from).
// Answers the match's start, or -1. Hidden text is searched like any other.
int32_t findText(const Document& doc, const QString& pattern, CharPos from, CharPos to,
                 const SearchOptions& options);

} // namespace richedit::model
