#pragma once
// Overflow-checked size arithmetic for sizes read from files.
#include <cstddef>
#include <cstdint>
#include <optional>

namespace quillet {

inline std::optional<size_t> checkedMul(size_t a, size_t b) {
    size_t r;
    if (__builtin_mul_overflow(a, b, &r)) return std::nullopt;
    return r;
}

inline std::optional<size_t> checkedAdd(size_t a, size_t b) {
    size_t r;
    if (__builtin_add_overflow(a, b, &r)) return std::nullopt;
    return r;
}

inline std::optional<size_t> checkedMul(std::optional<size_t> a, size_t b) {
    return a ? checkedMul(*a, b) : std::nullopt;
}
inline std::optional<size_t> checkedAdd(std::optional<size_t> a, size_t b) {
    return a ? checkedAdd(*a, b) : std::nullopt;
}

// Bytes of one row of `width` pixels at `bitCount` bits, padded to 4 bytes (DIB rule).
inline std::optional<size_t> dibRowBytes(size_t width, unsigned bitCount) {
    auto bits = checkedMul(width, bitCount);
    if (!bits || *bits > SIZE_MAX - 31) return std::nullopt;
    return (*bits + 31) / 32 * 4;
}

}  // namespace quillet
