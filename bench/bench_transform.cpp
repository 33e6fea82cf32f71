// Free transform of a 4000 × 3000 layer: one drag step's preview at the resolution a window
// shows (fit to a 1600 × 1000 window, and 1:1 in that window), and the full warp on release.
#include <benchmark/benchmark.h>

#include "document/CBrevDoc.h"
#include "document/FreeTransform.h"
#include "platform/RecordingUserPort.h"
#include "view/ToolState.h"
#include "view/tools/FreeTransformTool.h"

using namespace quillet;

namespace {

constexpr int kW = 4000, kH = 3000;

struct Picture {
    RecordingUserPort user;
    CBrevDoc doc{user};
    ToolState tools;
    Picture() {
        CreateLayerArgs a;
        a.width = kW;
        a.height = kH;
        a.initialAlpha = 255;
        a.background = true;
        doc.CreateLayer(a);
        doc.Layers().bottom = 0;
        doc.Layers().layer(0).next = -1;
        doc.Layers().layer(0).previous = -1;
        doc.SetCurrentLayerIndex(0);
        PlaneBuffer& px = doc.Layers().planesOf(0).pixels;
        for (size_t i = 0; i < px.size(); ++i) px[i] = uint8_t(i * 7 + (i >> 12));
        EnterFreeTransform(doc, tools, ToolId::TransformPerspective);
    }
};

// Zoom 1/4 shows the whole picture in 1000 × 750 window pixels.
void BM_DragPreviewFitToWindow(benchmark::State& state) {
    Picture p;
    p.doc.SetZoom(state.range(0) ? 0.25 : 1.0);
    DocViewState& v = p.doc.ViewShared();
    v.scrollX = state.range(0) ? 0 : 1200;
    v.scrollY = state.range(0) ? 0 : 1000;
    v.clientWidth = 1600;
    v.clientHeight = 1000;
    GrabHandle(p.doc, kW - 1, 0);
    int step = 0;
    for (auto _ : state) DragHandle(p.doc, kW - 1 - 40 - (step++ & 63), 0);
    state.SetLabel(state.range(0) ? "zoom 1/4" : "zoom 1:1");
}
BENCHMARK(BM_DragPreviewFitToWindow)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_FullWarpOnRelease(benchmark::State& state) {
    Picture p;
    p.doc.SetZoom(1.0);
    CornerHandles h = p.doc.FreeTransform().handles;
    h.x[2] -= 500;
    h.x[3] += 500;
    const FreeTransformState& s = p.doc.FreeTransform();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            WarpLayerFrom(p.doc.Layers(), 0, s.start.record, s.start.planes, s.source, h));
}
BENCHMARK(BM_FullWarpOnRelease)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_FreeRotateWarp(benchmark::State& state) {
    Picture p;
    const FreeTransformState& s = p.doc.FreeTransform();
    const CornerHandles h = RotatedLayerHandles(s.start.record, 17.5);
    const HandleBox whole{0, 0, kW, kH};
    for (auto _ : state)
        benchmark::DoNotOptimize(
            WarpLayerFrom(p.doc.Layers(), 0, s.start.record, s.start.planes, whole, h));
}
BENCHMARK(BM_FreeRotateWarp)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
