#pragma once
// Routines that read one picture and write another start each row as a copy, then change the
// pixels they may change in place: a row is still in the cache when it is changed.
#include <cstring>

#include "image/effects/LayerPixels.h"

namespace quillet {

inline uint8_t* CopiedRow(const LayerPixels& from, const LayerPixels& to, int y) {
    uint8_t* row = to.Row(y);
    if (from.pixels != to.pixels)
        std::memcpy(row, from.Row(y), size_t(to.width) * size_t(to.bytesPerPixel));
    return row;
}

// Copies every pixel row (and the alpha plane when both have one) of `from` into `to`.
inline void CopyPlanes(const LayerPixels& from, const LayerPixels& to) {
    if (from.pixels == to.pixels || !from.SameShape(to)) return;
    for (int y = 0; y < to.height; ++y) CopiedRow(from, to, y);
    if (from.alpha && to.alpha && from.alpha != to.alpha)
        std::memcpy(to.alpha, from.alpha, size_t(to.width) * size_t(to.height));
}

}  // namespace quillet
