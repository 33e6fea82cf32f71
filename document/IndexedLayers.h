#pragma once
// Pixel rows of indexed layers (1, 4 or 8 bits, the first pixel in the high bits) for the
// routines that must read or write indices rather than colours.
#include <array>
#include <cstdint>

#include "image/effects/PixelIndex.h"

namespace quillet {

class LayerTable;

// How many pixels of the layer hold each index.
std::array<uint64_t, 256> IndexCounts(const LayerTable& t, int slot);

}  // namespace quillet
