#pragma once

#include "engine/model/Document.h"
#include "engine/rtf/RtfStreams.h"

#include <QString>

namespace richedit::rtf {

struct ReadOptions {
    bool plainRtf = false; // keep only the basic character formatting of pasted text
};

struct ReadResult {
    enum Status { Ok, NotRtf, SourceFailed };
    Status status = Ok;
    QString message;    // what went wrong, for the cases that are not Ok
    int64_t offset = 0; // bytes consumed when reading stopped
};

// Reads a Rich Text Format document into `out`, which must be freshly constructed. Input that
// does not start with an RTF header is refused (NotRtf) and `out` is left empty; anything after
// the header is read as far as it makes sense. Nothing throws.
ReadResult readRtf(ByteSource& in, model::Document& out, const ReadOptions& options = {});

} // namespace richedit::rtf
