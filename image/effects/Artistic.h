#pragma once
// The artistic filters. Each reads `from` and writes `to`, which holds a copy of `from` when it
// is called; writes honour `to`'s selection. The random ones draw from `random` in a fixed
// order, so a run from the same seed repeats exactly.
#include <cstdint>
#include <vector>

#include "image/effects/LayerPixels.h"
#include "image/effects/Rand15.h"

namespace quillet {

// trunc(rand / 32767 × n): 0..n (n itself only for a draw of 32767).
inline int ScaledDraw(Rand15& random, int n) { return int(double(random.Next()) / 32767 * n); }

// Slope of every visible pixel: the vertical gradient's green over the horizontal one's (0
// where the latter is 0), from the two 3 × 3 gradient kernels clamped to 0..255.
std::vector<float> SlopeMap(const LayerPixels& layer, int threads = 1);
// 1 for every visible pixel whose colour in `colours` (0x00RRGGBB, width × height) has
// R + G + B above `threshold`.
std::vector<uint8_t> EdgeMask(const LayerPixels& layer, const uint32_t* colours, int threshold);

// "부드럽게B": Y through trunc(min(255, √Y × 128 / ln(M + 1) × 0.8)), M the brightest luminance.
void LuminanceCurve(const LayerPixels& from, const LayerPixels& to);
// "달마시안": `count` black spots of about `spotSize`, then the rest lightened.
void Dalmatian(const LayerPixels& from, const LayerPixels& to, int spotSize, int count,
               Rand15& random);
// "수채화": each pixel the mean colour of the most frequent luminance band of its 7 × 7 window.
void Watercolour(const LayerPixels& from, const LayerPixels& to, int threads = 1,
                 Progress* progress = nullptr);
// "방울채색": discs of radius min(size, 25) in the colour of random visible pixels.
void Bubbles(const LayerPixels& from, const LayerPixels& to, int size, Rand15& random);
// "유화": strokes along the slope map with a round brush, stopping at edges.
void OilPaint(const LayerPixels& from, const LayerPixels& to, int length, int detail,
              Rand15& random, Progress* progress = nullptr);
// "선효과채색": thin strokes along the slope map, `passes` times.
void LineColouring(const LayerPixels& from, const LayerPixels& to, int length, int passes,
                   Rand15& random, Progress* progress = nullptr);
// "찍어붙이기", "색종이뿌리기": diagonal strokes of recoloured samples, stopping at edges.
void ColouredStrokes(const LayerPixels& from, const LayerPixels& to, int edgeCentre, int length,
                     int factor, Rand15& random, Progress* progress = nullptr);
// "영역확장": regions of colours within `tolerance` of their first pixel take its colour.
void RegionGrowing(const LayerPixels& from, const LayerPixels& to, int tolerance);
// "한지효과": short smears towards the most different direct neighbour.
void PaperFibres(const LayerPixels& from, const LayerPixels& to, Rand15& random);
// "유리성에": each pixel the mean of a luminance band drawn at random from its window.
void FrostedGlass(const LayerPixels& from, const LayerPixels& to, int radius, Rand15& random,
                  Progress* progress = nullptr);
// "빗방울": random drops that magnify what lies under them, shaded and with a highlight.
void Raindrops(const LayerPixels& from, const LayerPixels& to, int size, int frequency,
               Rand15& random);

}  // namespace quillet
