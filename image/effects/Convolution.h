#pragma once
// The 3 × 3 convolution engine of the filters and the kernel filters built on it.
#include <array>
#include <cstdint>

#include "image/effects/LayerPixels.h"

namespace quillet {

// Rows for y offsets −1..1 (storage order), columns for x offsets −1..1.
struct Kernel3 {
    std::array<int, 9> k{};
    int Sum() const;
    int At(int dx, int dy) const { return k[size_t((dy + 1) * 3 + dx + 1)]; }
};

// Centre c, the eight others −1.
Kernel3 Laplacian(int centre);
// −e at (x − 1, y − 1), +e at (x + 1, y + 1).
Kernel3 EmbossKernel(int e);
// The slope map's gradients: rows (−1 0 1), (−2 0 2), (−1 0 1) and their transpose.
Kernel3 HorizontalGradient();
Kernel3 VerticalGradient();

struct Convolution {
    Kernel3 kernel;
    int divisor = 1;  // 0: no division
    int offset = 0;
    bool invert = false;
};

// For every pixel with alpha not 0: each channel is offset + sum / divisor over the window
// positions inside the layer (scaled by S / W where the border cuts the window), clamped,
// complemented with `invert`. Written into `to` where its selection allows.
void Convolve(const LayerPixels& from, const LayerPixels& to, const Convolution& c, int threads = 1,
              Progress* progress = nullptr);
// The same values as colours 0x00RRGGBB into `out` (width × height, index y × width + x);
// entries of pixels with alpha 0 are not written.
void ConvolveToBuffer(const LayerPixels& from, const Convolution& c, uint32_t* out,
                      int threads = 1);

}  // namespace quillet
