#pragma once
// Pixel rows of indexed layers (1, 4 or 8 bits, the first pixel in the high bits) for the
// routines that must read or write indices rather than colours.
#include <array>
#include <cstdint>

namespace quillet {

class LayerTable;

inline unsigned IndexAt(const uint8_t* row, int bits, int x) {
    if (bits == 8) return row[x];
    if (bits == 4) return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
}

inline void PutIndex(uint8_t* row, int bits, int x, unsigned index) {
    if (bits == 8) {
        row[x] = uint8_t(index);
    } else if (bits == 4) {
        const int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = uint8_t((row[x >> 1] & ~(0x0F << shift)) | ((index & 0x0F) << shift));
    } else {
        const int shift = 7 - (x & 7);
        row[x >> 3] = uint8_t((row[x >> 3] & ~(1 << shift)) | ((index & 1) << shift));
    }
}

// How many pixels of the layer hold each index.
std::array<uint64_t, 256> IndexCounts(const LayerTable& t, int slot);

}  // namespace quillet
