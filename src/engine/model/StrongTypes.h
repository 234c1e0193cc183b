#pragma once

#include <compare>
#include <cstdint>

namespace richedit::model {

// A 32-bit integer that does not mix with integers of another kind: a character position is not
// a paragraph index is not a line number. Arithmetic with plain offsets stays natural.
template <class Tag> struct StrongInt {
    int32_t v = 0;
    constexpr StrongInt() = default;
    constexpr explicit StrongInt(int32_t value) : v(value) {}
    constexpr auto operator<=>(const StrongInt&) const = default;
    constexpr StrongInt operator+(int32_t d) const { return StrongInt(v + d); }
    constexpr StrongInt operator-(int32_t d) const { return StrongInt(v - d); }
    constexpr int32_t operator-(StrongInt o) const { return v - o.v; }
    constexpr StrongInt& operator+=(int32_t d) {
        v += d;
        return *this;
    }
    constexpr StrongInt& operator++() {
        ++v;
        return *this;
    }
    constexpr StrongInt& operator--() {
        --v;
        return *this;
    }
};

using CharPos = StrongInt<struct CharPosTag>;     // UTF-16 unit offset in the story
using ParaIndex = StrongInt<struct ParaIndexTag>; // paragraph number from 0
using LineNumber = StrongInt<struct LineTag>;     // line number from 0
using Twips = StrongInt<struct TwipsTag>;         // 1/1440 inch

} // namespace richedit::model
