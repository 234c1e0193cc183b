#pragma once

#include "engine/api/RichEditRecords.h"

#include <cstdint>

namespace richedit {

// What the engine tells its host. Every notification arrives through Notify with the record
// whose header names it (EN_CHANGE comes with a bare header); the answer is the notification's
// result: for EN_PROTECTED a non-zero answer refuses the change.
class RichEditHost {
public:
    virtual ~RichEditHost() = default;
    virtual intptr_t Notify(NMHDR& header) = 0;
};

} // namespace richedit
