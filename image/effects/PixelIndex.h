#pragma once
// Palette indices in rows of 1, 4 or 8 bits per pixel, the first pixel in the high bits.
#include <cstdint>

namespace quillet {

inline unsigned PixelIndex(const uint8_t* row, int x, int bits) {
    if (bits == 8) return row[x];
    if (bits == 4) return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
}

inline void PutPixelIndex(uint8_t* row, int x, int bits, unsigned index) {
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

}  // namespace quillet
