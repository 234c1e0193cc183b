#pragma once

#include <cstdint>

namespace quillex::bench {

// A small linear congruential generator: the same documents on every run and machine.
class Lcg {
public:
    explicit Lcg(uint64_t seed) : state_(seed) {}
    uint32_t next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return uint32_t(state_ >> 33);
    }
    uint32_t below(uint32_t n) { return next() % n; }
    // A number in [low, high].
    int32_t between(int32_t low, int32_t high) {
        return low + int32_t(below(uint32_t(high - low + 1)));
    }

private:
    uint64_t state_;
};

} // namespace quillex::bench
