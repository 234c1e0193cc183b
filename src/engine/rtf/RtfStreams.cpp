#include "engine/rtf/RtfStreams.h"

#include <algorithm>
#include <cstring>

namespace richedit::rtf {

int32_t BufferSource::read(uint8_t* buffer, int32_t capacity) {
    const auto n = int32_t(std::min<qsizetype>(capacity, bytes_.size() - pos_));
    if (n > 0)
        std::memcpy(buffer, bytes_.constData() + pos_, size_t(n));
    pos_ += n;
    return n;
}

} // namespace richedit::rtf
