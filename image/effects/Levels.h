#pragma once
// The histogram record and the levels routine behind pixel distribution, automatic colour
// adjustment and colour normalisation.
#include <array>
#include <cstdint>

#include "image/effects/ColourTables.h"

namespace quillet {

// Channel numbers of the histogram and of the levels routine.
enum class HistogramChannel : int { Luminance = 0, Red = 1, Green = 2, Blue = 3 };

struct Histogram {
    std::array<std::array<uint32_t, 256>, 4> counts{};  // by HistogramChannel
    uint64_t pixels = 0;                                // pixels counted
    const std::array<uint32_t, 256>& of(HistogramChannel c) const { return counts[size_t(c)]; }
};

// (B × 11 + G × 59 + R × 30) / 100.
inline int HistogramLuminance(int red, int green, int blue) {
    return (blue * 11 + green * 59 + red * 30) / 100;
}

// Counts every pixel of the layer (alpha and selection are not consulted). Two threads give the
// same counts as one.
Histogram ComputeHistogram(const LayerPixels& layer, int threads = 1);
// Counts `indexCounts[i]` pixels of colour palette[i] for every entry.
Histogram PaletteHistogram(const Rgbquad* palette, int count, const uint64_t* indexCounts);

struct LevelsRequest {
    HistogramChannel channel = HistogramChannel::Luminance;
    int black = -1;  // -1 with white -1: automatic, from the histogram's 1 % ends
    int white = -1;
    bool normalise = false;  // equalise through the cumulative histogram instead
};

inline LevelsRequest AutomaticLevels() { return {}; }
inline LevelsRequest NormalisingLevels() {
    LevelsRequest r;
    r.normalise = true;
    return r;
}

// The tables the levels routine applies (channels the request leaves alone map to themselves);
// false when the routine does nothing for this histogram.
bool LevelsTables(const Histogram& histogram, const LevelsRequest& request, ChannelTables& out);

}  // namespace quillet
