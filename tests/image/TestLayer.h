#pragma once
// A layer's planes owned by a test, filled at random, with the literal per-pixel accessors the
// reference implementations use (colour 0x00RRGGBB, write honouring the selection).
#include <cstdint>
#include <random>
#include <vector>

#include "image/effects/LayerPixels.h"

namespace quillet::testsupport {

struct TestLayer {
    int width = 0, height = 0, bpp = 3;
    size_t stride = 0;
    std::vector<uint8_t> pixels, alpha, selection;

    TestLayer(int w, int h, int bytesPerPixel = 3) : width(w), height(h), bpp(bytesPerPixel) {
        stride = (size_t(w) * size_t(bpp) + 3) / 4 * 4;
        pixels.assign(stride * size_t(h), 0);
        alpha.assign(size_t(w) * size_t(h), 255);
    }
    // Random colours; about one pixel in `transparentEvery` with alpha 0 (never when 0); a
    // random selection covering about half the pixels when `withSelection`.
    void Randomise(uint32_t seed, int transparentEvery = 7, bool withSelection = false) {
        std::mt19937 rng(seed);
        for (auto& b : pixels) b = uint8_t(rng());
        for (auto& a : alpha)
            a = transparentEvery && rng() % unsigned(transparentEvery) == 0 ? 0
                                                                            : uint8_t(rng() | 1);
        selection.clear();
        if (withSelection) {
            selection.resize(alpha.size());
            for (auto& s : selection) s = uint8_t(rng() % 2);
        }
    }
    LayerPixels View() {
        LayerPixels p;
        p.pixels = pixels.data();
        p.stride = stride;
        p.alpha = alpha.data();
        p.width = width;
        p.height = height;
        p.bytesPerPixel = bpp;
        p.selection = selection.empty() ? nullptr : selection.data();
        return p;
    }
    uint8_t* At(int x, int y) {
        return pixels.data() + size_t(y) * stride + size_t(x) * size_t(bpp);
    }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    uint32_t Colour(int x, int y, uint32_t outside = 0) {
        if (!Inside(x, y)) return outside;
        const uint8_t* p = At(x, y);
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    }
    uint8_t Alpha(int x, int y) const {
        return Inside(x, y) ? alpha[size_t(y) * size_t(width) + size_t(x)] : 0;
    }
    bool Selected(int x, int y) const {
        return selection.empty() || selection[size_t(y) * size_t(width) + size_t(x)] != 0;
    }
    void Put(int x, int y, uint32_t colour) {
        if (!Inside(x, y) || !Selected(x, y)) return;
        uint8_t* p = At(x, y);
        p[0] = uint8_t(colour);
        p[1] = uint8_t(colour >> 8);
        p[2] = uint8_t(colour >> 16);
    }
    // Compares colour bytes only (row padding is not part of the picture).
    bool SamePixels(const TestLayer& o) const {
        for (int y = 0; y < height; ++y)
            for (size_t i = 0; i < size_t(width) * size_t(bpp); ++i)
                if (pixels[size_t(y) * stride + i] != o.pixels[size_t(y) * stride + i])
                    return false;
        return true;
    }
};

inline int R(uint32_t c) { return int((c >> 16) & 0xFF); }
inline int G(uint32_t c) { return int((c >> 8) & 0xFF); }
inline int B(uint32_t c) { return int(c & 0xFF); }
inline uint32_t Rgb(int r, int g, int b) {
    return uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16;
}
inline int Clamp(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

}  // namespace quillet::testsupport
