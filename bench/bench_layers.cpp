// Layer operations at picture size: merging two 4000 × 3000 layers beside the compositor's time
// for the same two layers, the whole merge command with its journal step, and the picture of one
// layer for the layer window.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "document/CBrevDoc.h"
#include "document/LayerListRows.h"
#include "document/LayerOps.h"
#include "document/compositor/Compositor.h"
#include "platform/RecordingUserPort.h"

using namespace quillet;

namespace {

constexpr int kW = 4000, kH = 3000;

// A picture with two canvas-sized layers: an opaque photograph-like bottom and a painted layer
// above it with graded alpha.
struct Picture {
    RecordingUserPort user;
    CBrevDoc doc{user};

    explicit Picture(const std::string& journalFolder = {}) {
        doc.Journal().SetFolder(journalFolder);
        for (int slot = 0; slot < 2; ++slot) {
            CreateLayerArgs a;
            a.slot = slot;
            a.width = kW;
            a.height = kH;
            a.canvasWidth = kW;
            a.canvasHeight = kH;
            a.initialAlpha = 255;
            doc.CreateLayer(a);
            LayerTable& t = doc.Layers();
            t.LinkAbove(slot, t.Top());
            Layer& l = t.layer(slot);
            l.used = 1;
            l.visible = 1;
            LayerPlanes& p = t.planesOf(slot);
            uint32_t seed = 99u + uint32_t(slot);
            for (auto& b : p.pixels) {
                seed = seed * 1664525u + 1013904223u;
                b = uint8_t(seed >> 24);
            }
            if (slot == 1)
                for (int y = 0; y < kH; ++y)
                    for (int x = 0; x < kW; ++x) {
                        const int band = ((x + y / 2) / 500) % 3;
                        p.alpha[size_t(y) * kW + x] = band == 0   ? 0
                                                      : band == 1 ? 255
                                                                  : uint8_t((x + y) & 255);
                    }
        }
        doc.SetCurrentLayerIndex(0);
        doc.RecordStep(u"Opening....", StepKind::PixelEdit, 0);
    }
};

// The compositor alone: the two layers composed at full size into a kept buffer.
void BM_ComposeTwoLayers(benchmark::State& state) {
    Picture p;
    Image32 img;
    for (auto _ : state) {
        Compositor::ComposeFullInto(p.doc.Layers(), 0, 2, img);
        benchmark::DoNotOptimize(img.bytes.data());
    }
}

// The merge itself: the pair composed and written into the lower layer.
void BM_MergeIntoLayer(benchmark::State& state) {
    Picture p;
    for (auto _ : state) {
        p.doc.ComposeIntoLayer(0, 2);
        benchmark::DoNotOptimize(p.doc.Layers().planesOf(0).pixels.data());
    }
}

// The merge command as the menu runs it: merge, the upper layer freed, the journal's step with
// its file. Each run undoes the merge first (not timed) so that there is a pair again.
void BM_MergeCommand(benchmark::State& state) {
    const std::string folder =
        (std::filesystem::temp_directory_path() / "quillet_bench_layers").string() + '/';
    std::filesystem::create_directories(folder);
    {
        Picture p(folder);
        for (auto _ : state) {
            state.PauseTiming();
            if (p.doc.Layers().Count() == 1) p.doc.Undo();
            state.ResumeTiming();
            MergeDown(p.doc);
        }
    }
    std::filesystem::remove_all(folder);
}

void BM_OneThumbnail(benchmark::State& state) {
    Picture p;
    Image32 img;
    const int side = int(state.range(0));
    for (auto _ : state) {
        ComposeLayerThumbnail(p.doc.Layers(), 1, side, img);
        benchmark::DoNotOptimize(img.bytes.data());
    }
}

}  // namespace

BENCHMARK(BM_ComposeTwoLayers)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_MergeIntoLayer)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_MergeCommand)->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(BM_OneThumbnail)->Arg(48)->Arg(96)->Unit(benchmark::kMicrosecond);
