#pragma once

#include "engine/model/Document.h"
#include "engine/rtf/RtfStreams.h"

namespace richedit::rtf {

struct WriteOptions {
    bool objects = true;   // false: embedded objects and pictures are left out
    bool plainRtf = false; // only the keywords every reader knows: no language tags
};

// Writes [from, to) of the document as Rich Text Format. Answers false when the sink failed.
// The same document always gives the same bytes.
bool writeRtf(const model::Document& doc, model::CharPos from, model::CharPos to, ByteSink& out,
              const WriteOptions& options = {});

} // namespace richedit::rtf
