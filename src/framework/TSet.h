#pragma once

#include <cstdint>
#include <initializer_list>

// A set of the values of an enumeration whose ordinals are 0 .. 31: bit n stands for ordinal n,
// so a stored set keeps its meaning as long as the ordinals do.
template <typename E> class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> values) {
        for (E v : values)
            bits_ |= bit(v);
    }
    static constexpr TSet fromBits(uint32_t bits) {
        TSet s;
        s.bits_ = bits;
        return s;
    }

    constexpr bool contains(E v) const { return (bits_ & bit(v)) != 0; }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr uint32_t bits() const { return bits_; }
    constexpr TSet& operator+=(E v) {
        bits_ |= bit(v);
        return *this;
    }
    constexpr TSet& operator-=(E v) {
        bits_ &= ~bit(v);
        return *this;
    }
    constexpr TSet operator+(TSet o) const { return fromBits(bits_ | o.bits_); }
    constexpr TSet operator*(TSet o) const { return fromBits(bits_ & o.bits_); }
    constexpr TSet operator-(TSet o) const { return fromBits(bits_ & ~o.bits_); }
    friend constexpr bool operator==(TSet, TSet) = default;

private:
    static constexpr uint32_t bit(E v) { return uint32_t(1) << uint32_t(v); }
    uint32_t bits_ = 0;
};
