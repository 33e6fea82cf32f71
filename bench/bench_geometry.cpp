// Flips, quarter turns and resampling of a 4000 × 3000 picture: the routines on one 24-bit
// plane (threads as the commands choose them), and the whole commands on a document.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "document/CBrevDoc.h"
#include "document/GeometryCommands.h"
#include "image/effects/Geometry.h"
#include "platform/RecordingUserPort.h"

using namespace quillet;

namespace {

constexpr int kW = 4000, kH = 3000;

struct Plane24 {
    int width, height;
    size_t stride;
    std::vector<uint8_t> bytes;
    Plane24(int w, int h) : width(w), height(h), stride((size_t(w) * 3 + 3) / 4 * 4) {
        bytes.resize(stride * size_t(h));
    }
    PlaneRef ref() { return PlaneRef{bytes.data(), stride, width, height, 24}; }
};

Plane24& source() {
    static Plane24 p = [] {
        Plane24 q(kW, kH);
        std::mt19937 rng(1);
        for (auto& b : q.bytes) b = uint8_t(rng());
        return q;
    }();
    return p;
}

int threadsFor(int w, int h) { return GeometryThreads(uint64_t(w) * uint64_t(h)); }

void BM_FlipHorizontal(benchmark::State& state) {
    Plane24& p = source();
    for (auto _ : state) FlipHorizontal(p.ref());
}
BENCHMARK(BM_FlipHorizontal)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_FlipVertical(benchmark::State& state) {
    Plane24& p = source();
    for (auto _ : state) FlipVertical(p.ref());
}
BENCHMARK(BM_FlipVertical)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_Turn(benchmark::State& state) {
    const auto turn = QuarterTurn(state.range(0));
    int w, h;
    TurnedSize(turn, kW, kH, w, h);
    Plane24 out(w, h);
    for (auto _ : state) TurnPlane(source().ref(), out.ref(), turn, threadsFor(w, h));
}
BENCHMARK(BM_Turn)
    ->Arg(int(QuarterTurn::Clockwise))
    ->Arg(int(QuarterTurn::Anticlockwise))
    ->Arg(int(QuarterTurn::Half))
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_Resample(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    Plane24 out(w, h);
    const ResampleScale scale{double(kW) / w, double(kH) / h};
    for (auto _ : state) ResamplePlane(source().ref(), out.ref(), scale, threadsFor(w, h));
}
BENCHMARK(BM_Resample)
    ->Args({2000, 1500})
    ->Args({8000, 6000})
    ->Args({1000, 750})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The commands on a one-layer document as the editor runs them: pixels, alpha and effect
// planes, the snapshot copy and the journal step (no journal folder: no files).
struct Doc {
    RecordingUserPort user;
    CBrevDoc doc{user};
    Doc() {
        CreateLayerArgs a;
        a.width = kW;
        a.height = kH;
        a.initialAlpha = 255;
        a.kind = LayerKind::Picture;
        doc.CreateLayer(a);
        doc.Layers().layer(0).used = 1;
        doc.Layers().layer(0).visible = 1;
        doc.Layers().layer(0).previous = doc.Layers().layer(0).next = -1;
        doc.Layers().bottom = 0;
        doc.SetCurrentLayerIndex(0);
    }
};

void BM_CommandRotateCanvas(benchmark::State& state) {
    Doc d;
    for (auto _ : state) RotateCanvas(d.doc, QuarterTurn::Clockwise);
}
BENCHMARK(BM_CommandRotateCanvas)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_CommandFlipCanvas(benchmark::State& state) {
    Doc d;
    for (auto _ : state) FlipCanvas(d.doc, FlipAxis::Horizontal);
}
BENCHMARK(BM_CommandFlipCanvas)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_CommandResample(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Doc d;
        state.ResumeTiming();
        ResampleDocument(d.doc, int(state.range(0)), int(state.range(1)));
    }
}
BENCHMARK(BM_CommandResample)
    ->Args({2000, 1500})
    ->Args({8000, 6000})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace
