#pragma once
// The radial warp behind "욕실효과", "렌즈효과" and the touch-deform tool: every pixel of a
// rectangle within the radius takes its colour (blended by the falloff) from a source point
// computed by the mode.
#include <cstdint>
#include <optional>

#include "image/effects/LayerPixels.h"

namespace quillet {

enum class WarpMode : int {
    Lens = 0,    // magnifies towards the rim
    Pinch = 1,   // draws the centre out
    Twirl = 2,   // turns the middle around the centre
    Polar = 3,   // angle and distance become column and row
    Ripple = 4,  // shifts columns by up to 16 in bands of 32 (and any mode above)
};

struct WarpRequest {
    WarpMode mode = WarpMode::Lens;
    bool falloff = false;
    float strength = 1.0f;
    int radius = 0;  // 0: the distance from the centre to the rectangle's corner
    // Layer columns left..right−1 and rows top..bottom−1.
    int left = 0, top = 0, right = 0, bottom = 0;
    uint32_t background = 0xFFFFFF;  // 0x00RRGGBB read for sources outside the layer
    // Where the source colours come from: the layer being written (none; rows and columns
    // already changed then feed later ones, as the touch-deform tool wants), or the layer as it
    // was before the run (the filters, like every filter).
    std::optional<LayerPixels> source;
};

// Changes the pixels with alpha not 0 that the selection allows; their alpha becomes 255.
// Nothing happens when top equals bottom.
void RadialWarp(const LayerPixels& layer, const WarpRequest& request, Progress* progress = nullptr);

// "욕실효과": the ripple mode over the whole layer; "렌즈효과": the lens mode, its strength
// chosen so that every source column lies inside the layer. Both read `before`.
WarpRequest BathroomWarp(const LayerPixels& before, uint32_t background);
WarpRequest LensWarp(const LayerPixels& before, uint32_t background);

}  // namespace quillet
