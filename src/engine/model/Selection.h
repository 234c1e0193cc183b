#pragma once

#include "engine/model/StrongTypes.h"

#include <algorithm>

namespace richedit::model {

// A selection: the anchor stays where it began, the active end moves with the caret.
struct Selection {
    CharPos anchor;
    CharPos active;

    CharPos min() const { return std::min(anchor, active); }
    CharPos max() const { return std::max(anchor, active); }
    bool empty() const { return anchor == active; }
    friend bool operator==(const Selection&, const Selection&) = default;
};

} // namespace richedit::model
