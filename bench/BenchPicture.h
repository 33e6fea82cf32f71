#pragma once
// A 4000 × 3000 photo-like layer for the effect benchmarks: smooth colour fields with fine
// grain, fully opaque, rows padded like a layer's.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "image/effects/LayerPixels.h"

namespace quillet::bench {

struct BenchLayer {
    int width = 4000, height = 3000;
    size_t stride = (size_t(4000) * 3 + 3) / 4 * 4;
    std::vector<uint8_t> pixels, alpha;

    BenchLayer() : pixels(stride * size_t(height)), alpha(size_t(width) * size_t(height), 255) {
        uint32_t state = 99;
        for (int y = 0; y < height; ++y) {
            uint8_t* row = pixels.data() + size_t(y) * stride;
            for (int x = 0; x < width; ++x, row += 3) {
                state = state * 1664525u + 1013904223u;
                const int grain = int(state >> 28) - 8;
                const double fx = x / 4000.0, fy = y / 3000.0;
                row[0] =
                    uint8_t(std::clamp(int(128 + 100 * std::sin(fx * 7 + fy * 3)) + grain, 0, 255));
                row[1] =
                    uint8_t(std::clamp(int(128 + 90 * std::cos(fy * 5 - fx * 2)) + grain, 0, 255));
                row[2] = uint8_t(std::clamp(int(40 + 200 * fx * fy) + grain, 0, 255));
            }
        }
    }
    LayerPixels View() {
        LayerPixels p;
        p.pixels = pixels.data();
        p.stride = stride;
        p.alpha = alpha.data();
        p.width = width;
        p.height = height;
        p.bytesPerPixel = 3;
        return p;
    }
};

// The source picture, made once, and a target to write into.
inline BenchLayer& Source() {
    static BenchLayer* layer = new BenchLayer;
    return *layer;
}
inline BenchLayer& Target() {
    static BenchLayer* layer = new BenchLayer;
    return *layer;
}

}  // namespace quillet::bench
