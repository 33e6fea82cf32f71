#pragma once
// The random source of the random filters: a linear congruential generator giving 0..32767,
// seedable so that a run can be repeated. Each document owns one.
#include <cstdint>

namespace quillet {

class Rand15 {
public:
    static constexpr int kMax = 32767;

    explicit Rand15(uint32_t seed = 1) : state_(seed) {}
    void Seed(uint32_t seed) { state_ = seed; }
    uint32_t State() const { return state_; }
    int Next() {
        state_ = state_ * 214013u + 2531011u;
        return int((state_ >> 16) & 0x7FFF);
    }
    // The state after `count` draws, without making them (the step composed with itself).
    void Discard(uint64_t count) {
        uint32_t a = 214013u, c = 2531011u, accA = 1, accC = 0;
        for (; count; count >>= 1) {
            if (count & 1) {
                accA *= a;
                accC = accC * a + c;
            }
            c = c * (a + 1);
            a *= a;
        }
        state_ = state_ * accA + accC;
    }

private:
    uint32_t state_;
};

}  // namespace quillet
