// Colour adjustments on a 4000 × 3000 layer: the routines the dialogs run for every preview,
// and the 8-bit optimal conversion of a document.
#include <benchmark/benchmark.h>

#include "bench/BenchPicture.h"
#include "document/CBrevDoc.h"
#include "document/ColourCommands.h"
#include "image/effects/ColourTables.h"
#include "image/effects/Levels.h"
#include "image/effects/Tone.h"
#include "platform/RecordingUserPort.h"

using namespace quillet;
using namespace quillet::bench;

namespace {

void Pixels(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * int64_t(Source().width) * Source().height);
}

// Restore-and-apply in one pass, from the dialog's copy into the layer.
void BM_BrightnessContrast(benchmark::State& state) {
    const LayerPixels from = Source().View(), to = Target().View();
    for (auto _ : state)
        ApplyChannelTables(from, to, BrightnessContrastTables(20, 35), AlphaRule::SkipTransparent);
    Pixels(state);
}
BENCHMARK(BM_BrightnessContrast)->Unit(benchmark::kMillisecond);

void BM_ColourChannels(benchmark::State& state) {
    const LayerPixels from = Source().View(), to = Target().View();
    for (auto _ : state)
        ApplyChannelTables(from, to, ChannelShiftTables(30, -20, 10), AlphaRule::SkipTransparent);
    Pixels(state);
}
BENCHMARK(BM_ColourChannels)->Unit(benchmark::kMillisecond);

void BM_Levels(benchmark::State& state) {
    const LayerPixels from = Source().View(), to = Target().View();
    for (auto _ : state) {
        ChannelTables t;
        LevelsTables(ComputeHistogram(from, int(state.range(0))),
                     LevelsRequest{HistogramChannel::Luminance, 30, 220}, t);
        ApplyChannelTables(from, to, t, AlphaRule::SkipTransparent);
    }
    Pixels(state);
}
BENCHMARK(BM_Levels)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Invert(benchmark::State& state) {
    const LayerPixels from = Source().View(), to = Target().View();
    for (auto _ : state) InvertPixels(from, to);
    Pixels(state);
}
BENCHMARK(BM_Invert)->Unit(benchmark::kMillisecond);

void BM_Saturation(benchmark::State& state) {
    const LayerPixels from = Source().View(), to = Target().View();
    for (auto _ : state) ApplySaturation(from, to, 60);
    Pixels(state);
}
BENCHMARK(BM_Saturation)->Unit(benchmark::kMillisecond);

void BM_Histogram(benchmark::State& state) {
    const LayerPixels from = Source().View();
    for (auto _ : state) benchmark::DoNotOptimize(ComputeHistogram(from, int(state.range(0))));
    Pixels(state);
}
BENCHMARK(BM_Histogram)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Desaturate(benchmark::State& state) {
    const LayerPixels from = Source().View(), to = Target().View();
    for (auto _ : state) DesaturatePixels(from, to);
    Pixels(state);
}
BENCHMARK(BM_Desaturate)->Unit(benchmark::kMillisecond);

void BM_FloydSteinberg(benchmark::State& state) {
    const LayerPixels from = Source().View(), to = Target().View();
    for (auto _ : state) {
        state.PauseTiming();
        ApplyChannelTables(from, to, ChannelTables::Identity(), AlphaRule::Every);
        state.ResumeTiming();
        ThresholdPixels(to, ThresholdMode::FloydSteinberg, 128);
    }
    Pixels(state);
}
BENCHMARK(BM_FloydSteinberg)->Unit(benchmark::kMillisecond);

// The whole command on a one-layer document: octree over every pixel, then every pixel mapped.
void BM_Reduce256(benchmark::State& state) {
    RecordingUserPort user;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<CBrevDoc>(user);
        CreateLayerArgs a;
        a.width = 4000;
        a.height = 3000;
        a.initialAlpha = 255;
        doc->CreateLayer(a);
        doc->Layers().layer(0).used = 1;
        doc->Layers().layer(0).previous = doc->Layers().layer(0).next = -1;
        doc->Layers().bottom = 0;
        doc->Layers().planesOf(0).pixels = Source().pixels;
        doc->SetCurrentLayerIndex(0);
        state.ResumeTiming();
        ReduceTo256Colours(*doc);
    }
    Pixels(state);
}
BENCHMARK(BM_Reduce256)->Unit(benchmark::kMillisecond);

}  // namespace
