// Fill and gradient on a 4000 × 3000 layer: a flood that reaches every pixel, one that stops at
// a selection's edge on a busy picture, and the gradients along sloped and vertical guide lines.
#include <benchmark/benchmark.h>

#include "bench/BenchPicture.h"
#include "view/tools/FloodFill.h"
#include "view/tools/Gradient.h"

using namespace quillet;
using namespace quillet::bench;

namespace {

void Pixels(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * int64_t(Source().width) * Source().height);
}

// One colour with fine grain: a tolerance of 60 floods the whole layer.
BenchLayer& Flat() {
    static BenchLayer* layer = [] {
        auto* l = new BenchLayer;
        uint32_t state = 7;
        for (size_t i = 0; i < l->pixels.size(); ++i) {
            state = state * 1664525u + 1013904223u;
            l->pixels[i] = uint8_t(120 + (state >> 29));
        }
        return l;
    }();
    return *layer;
}

void BM_FillWholeLayer(benchmark::State& state) {
    const LayerPixels from = Flat().View(), to = Target().View();
    for (auto _ : state)
        benchmark::DoNotOptimize(FloodFillPixels(from, to, 2000, 1500, {0xFF0000, 60, 0}));
    Pixels(state);
}
BENCHMARK(BM_FillWholeLayer)->Unit(benchmark::kMillisecond);

// The photo-like picture: the flood follows the colour fields, so spans are short and many.
void BM_FillPhotoArea(benchmark::State& state) {
    const LayerPixels from = Source().View(), to = Target().View();
    int64_t reached = 0;
    for (auto _ : state) reached = FloodFillPixels(from, to, 2000, 1500, {0xFF0000, 40, 0});
    state.counters["reached"] = double(reached);
    Pixels(state);
}
BENCHMARK(BM_FillPhotoArea)->Unit(benchmark::kMillisecond);

// A feathered fill inside a selection that leaves a border of 200 pixels.
void BM_FillFeatheredSelection(benchmark::State& state) {
    static std::vector<uint8_t> mask = [] {
        std::vector<uint8_t> m(size_t(4000) * 3000, 0);
        for (int y = 200; y < 2800; ++y) std::fill_n(m.begin() + y * 4000 + 200, 3600, uint8_t(1));
        return m;
    }();
    const LayerPixels from = Flat().View();
    LayerPixels to = Target().View();
    to.selection = mask.data();
    for (auto _ : state)
        benchmark::DoNotOptimize(FloodFillPixels(from, to, 2000, 1500, {0xFF0000, 60, 10}));
    Pixels(state);
}
BENCHMARK(BM_FillFeatheredSelection)->Unit(benchmark::kMillisecond);

void BM_GradientSloped(benchmark::State& state) {
    const LayerPixels to = Target().View();
    const GradientOptions o{GradientShape::Linear, GradientColours::ForegroundBackground, 0xFF8040,
                            0x0020C0};
    for (auto _ : state) GradientPixels(to, {100, 200, 3500, 2600}, o);
    Pixels(state);
}
BENCHMARK(BM_GradientSloped)->Unit(benchmark::kMillisecond);

void BM_GradientMirrored(benchmark::State& state) {
    const LayerPixels to = Target().View();
    const GradientOptions o{GradientShape::Mirrored, GradientColours::Foreground, 0xFF8040, 0};
    for (auto _ : state) GradientPixels(to, {3500, 200, 100, 2600}, o);
    Pixels(state);
}
BENCHMARK(BM_GradientMirrored)->Unit(benchmark::kMillisecond);

void BM_GradientVertical(benchmark::State& state) {
    const LayerPixels to = Target().View();
    const GradientOptions o{GradientShape::Linear, GradientColours::Foreground, 0xFF8040, 0};
    for (auto _ : state) GradientPixels(to, {100, 0, 100, 2999}, o);
    Pixels(state);
}
BENCHMARK(BM_GradientVertical)->Unit(benchmark::kMillisecond);

}  // namespace
