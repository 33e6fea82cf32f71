#pragma once
// Inversion, desaturation, the black-and-white threshold and the two ditherings.
#include <cstdint>

#include "image/BitmapInfo.h"
#include "image/effects/LayerPixels.h"

namespace quillet {

// Every colour byte of the selected pixels of `from` complemented into `to`.
void InvertPixels(const LayerPixels& from, const LayerPixels& to);
void InvertPalette(Rgbquad* palette, int count);
// Indexed layers with a grey ramp: every index byte i becomes 255 − i.
void InvertIndexBytes(uint8_t* pixels, size_t bytes);

// Grey (R + G + B) / 3 in all three channels, for every selected pixel.
void DesaturatePixels(const LayerPixels& from, const LayerPixels& to);
void DesaturatePalette(Rgbquad* palette, int count);
inline uint32_t DesaturatedColour(uint32_t colour) {
    const uint32_t g = ((colour & 0xFF) + ((colour >> 8) & 0xFF) + ((colour >> 16) & 0xFF)) / 3;
    return g | (g << 8) | (g << 16);
}

// The modes of the threshold dialog, in the order of its list.
enum class ThresholdMode : int { FloydSteinberg = 0, Ordered = 1, Absolute = 2 };

// Absolute: grey g > T becomes black, otherwise white. Floyd–Steinberg: g > T becomes white
// with the error spread to four neighbours. Ordered: a 4 × 4 matrix with density `value`. The
// pixels are changed in place (the ditherings read what they wrote before); alpha stays.
void ThresholdPixels(const LayerPixels& layer, ThresholdMode mode, int value,
                     Progress* progress = nullptr);

}  // namespace quillet
