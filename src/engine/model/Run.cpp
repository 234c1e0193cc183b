#include "engine/model/Run.h"

#include <algorithm>
#include <cassert>

namespace richedit::model::runs {

void normalize(RunList& list) {
    size_t out = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].length <= 0)
            continue;
        if (out > 0 && list[out - 1].format == list[i].format)
            list[out - 1].length += list[i].length;
        else
            list[out++] = list[i];
    }
    list.resize(out);
}

RunList slice(const RunList& list, int32_t offset, int32_t length) {
    RunList result;
    int32_t pos = 0;
    const int32_t end = offset + length;
    for (const Run& r : list) {
        const int32_t rEnd = pos + r.length;
        if (rEnd > offset && pos < end) {
            const int32_t from = std::max(pos, offset);
            const int32_t to = std::min(rEnd, end);
            result.push_back({to - from, r.format});
        }
        if (rEnd >= end)
            break;
        pos = rEnd;
    }
    return result;
}

// Splits the run containing offset so that a run boundary falls on it; answers the index of the
// first run at or after offset.
static size_t splitAt(RunList& list, int32_t offset) {
    int32_t pos = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        if (pos == offset)
            return i;
        const int32_t rEnd = pos + list[i].length;
        if (offset < rEnd) {
            const Run tail{rEnd - offset, list[i].format};
            list[i].length = offset - pos;
            list.insert(list.begin() + std::ptrdiff_t(i) + 1, tail);
            return i + 1;
        }
        pos = rEnd;
    }
    return list.size();
}

void erase(RunList& list, int32_t offset, int32_t length) {
    if (length <= 0)
        return;
    const size_t first = splitAt(list, offset);
    const size_t last = splitAt(list, offset + length);
    list.erase(list.begin() + std::ptrdiff_t(first), list.begin() + std::ptrdiff_t(last));
    normalize(list);
}

void insert(RunList& list, int32_t offset, const RunList& inserted) {
    if (inserted.empty())
        return;
    const size_t at = splitAt(list, offset);
    list.insert(list.begin() + std::ptrdiff_t(at), inserted.begin(), inserted.end());
    normalize(list);
}

void overwrite(RunList& list, int32_t offset, const RunList& replacement) {
    const int32_t length = totalLength(replacement);
    if (length <= 0)
        return;
    const size_t first = splitAt(list, offset);
    const size_t last = splitAt(list, offset + length);
    list.erase(list.begin() + std::ptrdiff_t(first), list.begin() + std::ptrdiff_t(last));
    list.insert(list.begin() + std::ptrdiff_t(first), replacement.begin(), replacement.end());
    normalize(list);
}

int32_t totalLength(const RunList& list) {
    int32_t n = 0;
    for (const Run& r : list)
        n += r.length;
    return n;
}

CharFormatId formatAt(const RunList& list, int32_t offset) {
    int32_t pos = 0;
    for (const Run& r : list) {
        pos += r.length;
        if (offset < pos)
            return r.format;
    }
    assert(!list.empty());
    return list.empty() ? 0 : list.back().format;
}

} // namespace richedit::model::runs
