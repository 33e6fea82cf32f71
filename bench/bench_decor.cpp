// Decorations at picture size: the shadow of a 4000 × 3000 layer at the largest distance, the
// composition of a layer with its shadow, and the pattern and frame layers.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "document/LayerTable.h"
#include "document/compositor/Compositor.h"
#include "view/tools/LayerShadow.h"
#include "view/tools/LinePattern.h"
#include "view/tools/PhotoFrame.h"

using namespace quillet;

namespace {

constexpr int kW = 4000, kH = 3000;

// A cut-out: soft-edged discs and bars over transparency, as a layer lifted off a photograph.
std::vector<uint8_t> CutOutAlpha() {
    std::vector<uint8_t> alpha(size_t(kW) * kH, 0);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const double dx = (x % 800) - 400.0, dy = (y % 750) - 375.0;
            const double r = std::sqrt(dx * dx + dy * dy);
            const int disc = int(std::clamp((300.0 - r) * 8, 0.0, 255.0));
            const int bar = (y / 40) % 9 == 0 ? 200 : 0;
            alpha[size_t(y) * kW + x] = uint8_t(std::max(disc, bar));
        }
    return alpha;
}

void BM_ShadowPlane(benchmark::State& state) {
    const std::vector<uint8_t> alpha = CutOutAlpha();
    std::vector<uint8_t> effect(alpha.size());
    ShadowSettings s;
    s.distance = 20;
    s.angle = 315;
    const int threads = int(state.range(0));
    for (auto _ : state) {
        ComputeShadowPlane(alpha.data(), kW, kH, s, effect.data(), threads);
        benchmark::DoNotOptimize(effect.data());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kW) * kH);
}
BENCHMARK(BM_ShadowPlane)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// A canvas-sized layer in a table of its own.
std::unique_ptr<LayerTable> Canvas() {
    auto t = std::make_unique<LayerTable>();
    CreateLayerArgs a;
    a.width = kW;
    a.height = kH;
    a.canvasWidth = kW;
    a.canvasHeight = kH;
    t->CreateLayer(a, nullptr, 0, false);
    t->LinkAbove(0, -1);
    t->layer(0).used = 1;
    t->layer(0).visible = 1;
    return t;
}

// The composition of a picture with a shadowed layer over it, against one without the effect.
void BM_ComposeWithShadow(benchmark::State& state) {
    auto t = Canvas();
    CreateLayerArgs a;
    a.slot = 1;
    a.width = kW;
    a.height = kH;
    a.canvasWidth = kW;
    a.canvasHeight = kH;
    t->CreateLayer(a, nullptr, 0, false);
    t->LinkAbove(1, 0);
    t->layer(1).used = 1;
    t->layer(1).visible = 1;
    t->planesOf(0).alpha.assign(size_t(kW) * kH, 255);
    const std::vector<uint8_t> alpha = CutOutAlpha();
    for (int y = 0; y < kH; ++y)
        std::copy_n(alpha.data() + size_t(y) * kW, kW,
                    t->planesOf(1).alpha.data() + size_t(y) * kW);
    ShadowSettings s;
    s.distance = 20;
    StoreShadowSettings(t->layer(1), s);
    ComputeShadowPlane(t->planesOf(1).alpha.data(), kW, kH, s, t->planesOf(1).effect.data(), 2);
    if (state.range(0) == 0) t->layer(1).effectValue1 = 0;
    Image32 out;
    for (auto _ : state) {
        Compositor::ComposeFullInto(*t, t->bottom, 0, out, 2);
        benchmark::DoNotOptimize(out.bytes.data());
    }
}
BENCHMARK(BM_ComposeWithShadow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LinePattern(benchmark::State& state) {
    auto t = Canvas();
    for (auto _ : state) {
        DrawLinePattern(*t, 0, {int(state.range(0)), 6, 0x3366CC});
        benchmark::DoNotOptimize(t->planesOf(0).alpha.data());
    }
}
BENCHMARK(BM_LinePattern)->DenseRange(4, 7)->Unit(benchmark::kMillisecond);

void BM_PhotoFrame(benchmark::State& state) {
    auto t = Canvas();
    for (auto _ : state) {
        DrawPhotoFrame(*t, 0, {int(state.range(0)), 0x8B5A2B, 0xF0E6D2, 200});
        benchmark::DoNotOptimize(t->planesOf(0).alpha.data());
    }
}
BENCHMARK(BM_PhotoFrame)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
