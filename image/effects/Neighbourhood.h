#pragma once
// Filters over an n × n window around each pixel: box blur and soften, erode and dilate,
// median and speckle noise removal, edge emphasis. Each reads `from` and writes `to`, which
// holds a copy of `from` when it is called; only pixels with alpha not 0 that `to`'s selection
// allows are written. Rows are independent: `threads` 2 gives the same bytes as 1.
#include <cstdint>

#include "image/effects/LayerPixels.h"

namespace quillet {

// Window offsets of size n: −n/2 .. n − n/2 − 1 on both axes.
inline int WindowLow(int n) { return -(n / 2); }
inline int WindowHigh(int n) { return n - n / 2 - 1; }

// Mean of the window's pixels with alpha not 0. With `soften` the centre weighs n × n and the
// sum is divided by the sum of the weights, so flat areas stay as they are.
void BoxBlur(const LayerPixels& from, const LayerPixels& to, int n, bool soften, int threads = 1,
             Progress* progress = nullptr);

// Per-channel minimum ("물체축소") or maximum ("물체확장") over the window; positions outside
// the layer are skipped by the minimum and read as `background` (0x00RRGGBB) by the maximum.
void Erode(const LayerPixels& from, const LayerPixels& to, int n, int threads = 1);
void Dilate(const LayerPixels& from, const LayerPixels& to, int n, uint32_t background,
            int threads = 1);

// The window's colours sorted by luminance (G × 59 + R × 30 + B × 11) / 100, ties in window
// order (rows, then columns); the colour at position count / 2 is written.
void MedianFilter(const LayerPixels& from, const LayerPixels& to, int n, int threads = 1,
                  Progress* progress = nullptr);

// Specks of up to `size` pixels inside a uniform ring take the ring's colour; then single
// pixels unlike their eight equal neighbours take theirs. `absorb` 1..4 widens what counts as
// equal.
void RemoveSpeckles(const LayerPixels& from, const LayerPixels& to, int size, int absorb);

// "경계강조": where the mean difference to the four direct neighbours reaches `amount`, the
// pixel is darkened by that mean less trunc(strength / 10 × amount).
void EmphasiseEdges(const LayerPixels& from, const LayerPixels& to, int amount, int strength,
                    int threads = 1);

}  // namespace quillet
