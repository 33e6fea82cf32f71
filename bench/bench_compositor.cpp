// Compositor speed: ten 4000 × 3000 layers at full size (save, flatten) and in a 1920 × 1080
// window at three zooms. Counters give layer-pixels per second.
#include <benchmark/benchmark.h>

#include <memory>

#include "document/LayerTable.h"
#include "document/compositor/Compositor.h"

using namespace quillet;

namespace {

constexpr int kW = 4000, kH = 3000, kLayers = 10;

// Ten canvas-sized 24-bit layers, some shifted partly off the canvas. Alpha planes mix opaque,
// transparent and graded areas, as painted layers do; two layers are partly transparent.
std::unique_ptr<LayerTable> MakeStack(bool mixedModes) {
    auto t = std::make_unique<LayerTable>();
    uint32_t seed = 12345;
    for (int i = 0; i < kLayers; ++i) {
        CreateLayerArgs a;
        a.slot = i;
        a.width = kW;
        a.height = kH;
        a.x = (i % 3) * 40 - 40;
        a.y = (i % 4) * 30 - 30;
        a.canvasWidth = kW;
        a.canvasHeight = kH;
        t->CreateLayer(a, nullptr, 0, false);
        t->LinkAbove(i, t->Top());
        Layer& l = t->layer(i);
        l.used = 1;
        l.visible = 1;
        l.transparency = i % 5 == 4 ? 64 : 0;
        l.blendMode = mixedModes && i >= 2 ? uint8_t(i) : 0;  // 2 .. 9 and two normal
        LayerPlanes& p = t->planesOf(i);
        for (auto& b : p.pixels) {
            seed = seed * 1664525u + 1013904223u;
            b = uint8_t(seed >> 24);
        }
        for (int y = 0; y < kH; ++y) {
            uint8_t* row = p.alpha.data() + size_t(y) * kW;
            for (int x = 0; x < kW; ++x) {
                const int band = ((x + y / 2 + i * 300) / 700) % 4;
                row[x] = band == 0 ? 0 : band == 3 ? uint8_t((x + y) & 255) : 255;
            }
        }
        if (i == 0) p.alpha.assign(p.alpha.size(), 255);
    }
    return t;
}

const LayerTable& Stack(bool mixed) {
    static std::unique_ptr<LayerTable> normal, modes;
    auto& t = mixed ? modes : normal;
    if (!t) t = MakeStack(mixed);
    return *t;
}

void Full(benchmark::State& state, bool mixed) {
    const LayerTable& t = Stack(mixed);
    const int threads = int(state.range(0));
    Image32 img;  // kept between runs, as the document keeps its flat-image buffer
    for (auto _ : state) {
        Compositor::ComposeFullInto(t, t.bottom, 0, img, threads);
        benchmark::DoNotOptimize(img.bytes.data());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kW) * kH * kLayers);
    state.counters["Mlayerpx/s"] = benchmark::Counter(
        double(kW) * kH * kLayers / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void Display(benchmark::State& state, double zoom) {
    const LayerTable& t = Stack(false);
    const int threads = int(state.range(0));
    DisplayRequest q = Compositor::CentredRequest(t, 1920, 1080, zoom);
    int64_t pixels = 0;
    Image32 img;  // kept between repaints, as a view keeps its paint buffer
    for (auto _ : state) {
        Compositor::ComposeDisplayInto(t, q, img, threads);
        pixels = int64_t(img.width) * img.height;
        benchmark::DoNotOptimize(img.bytes.data());
    }
    state.counters["window_px"] = double(pixels);
}

}  // namespace

static void BM_FullNormal(benchmark::State& s) { Full(s, false); }
static void BM_FullMixedModes(benchmark::State& s) { Full(s, true); }
static void BM_DisplayZoom1(benchmark::State& s) { Display(s, 1.0); }
static void BM_DisplayZoomQuarter(benchmark::State& s) { Display(s, 0.25); }
static void BM_DisplayZoom4(benchmark::State& s) { Display(s, 4.0); }
BENCHMARK(BM_FullNormal)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_FullMixedModes)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2);
BENCHMARK(BM_DisplayZoom1)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DisplayZoomQuarter)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DisplayZoom4)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
