#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace richedit::model {

using CharFormatId = uint32_t;
using ParaFormatId = uint32_t;

// A stretch of characters sharing one character format.
struct Run {
    int32_t length = 0;
    CharFormatId format = 0;
    friend bool operator==(const Run&, const Run&) = default;
};

using RunList = std::vector<Run>;

// Run list helpers. A run list covers a text exactly; these keep it merged (no empty runs, no
// two neighbours with the same format).
namespace runs {
void normalize(RunList& list);
// The runs covering [offset, offset + length) of list.
RunList slice(const RunList& list, int32_t offset, int32_t length);
void erase(RunList& list, int32_t offset, int32_t length);
void insert(RunList& list, int32_t offset, const RunList& inserted);
// Replaces the formats of [offset, offset + total length of replacement).
void overwrite(RunList& list, int32_t offset, const RunList& replacement);
int32_t totalLength(const RunList& list);
CharFormatId formatAt(const RunList& list, int32_t offset);
} // namespace runs

} // namespace richedit::model
