#pragma once
// Red-eye removal and the channel split.
#include <array>
#include <cstdint>
#include <vector>

#include "image/effects/LayerPixels.h"

namespace quillet {

// Within the selection's bounding box (the whole layer without a selection), red moves towards
// min(green, blue) by k = min(1, max(0, 1 − 5 d² / A) × strength / 10), d the distance to the
// box's centre and A its area. In place.
void RemoveRedEye(const LayerPixels& layer, int strength);

// Integer HSL on the scale 0..255 (hue 170 for greys).
struct Hsl {
    uint8_t h, s, l;
    bool operator==(const Hsl&) const = default;
};
Hsl ToHsl(int red, int green, int blue);

enum class ChannelSpace { Rgb, Yuv, Hsl };

// Three planes of width × height bytes in the layer's row order: red, green, blue; Y, U, V; or
// hue, saturation, lightness.
std::array<std::vector<uint8_t>, 3> SplitChannels(const LayerPixels& layer, ChannelSpace space);

}  // namespace quillet
