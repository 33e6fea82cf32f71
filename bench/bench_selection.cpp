// The selection tools on a 4000 × 3000 layer: the magic wand flooding the whole layer, the colour
// range, the fill of a closed outline covering the layer, the feathered erase of cut and move,
// and one marching-ants tick of a 1920 × 1080 view (building its class map is measured apart).
#include <benchmark/benchmark.h>

#include <cmath>

#include "document/CBrevDoc.h"
#include "platform/RecordingUserPort.h"
#include "view/SelectionOutline.h"
#include "view/tools/OutlineFill.h"
#include "view/tools/Selection.h"
#include "view/tools/SelectionCut.h"

using namespace quillet;

namespace {

constexpr int kW = 4000, kH = 3000;

struct BigDoc {
    RecordingUserPort user;
    CBrevDoc doc{user, 1};
    explicit BigDoc(bool flat) {
        CreateLayerArgs a;
        a.width = kW;
        a.height = kH;
        a.initialAlpha = 255;
        a.background = true;
        a.kind = LayerKind::Picture;
        doc.CreateLayer(a);
        LayerTable& t = doc.Layers();
        t.bottom = 0;
        t.layer(0).used = 1;
        t.layer(0).visible = 1;
        t.layer(0).previous = t.layer(0).next = -1;
        doc.SetCurrentLayerIndex(0);
        // Flat grey with a little grain for the wand; smooth colour fields for the colour range.
        uint8_t* p = t.planesOf(0).pixels.data();
        uint32_t state = 5;
        for (int y = 0; y < kH; ++y) {
            uint8_t* row = p + size_t(y) * t.layer(0).stride;
            for (int x = 0; x < kW; ++x, row += 3) {
                state = state * 1664525u + 1013904223u;
                const int grain = int(state >> 29);
                if (flat) {
                    row[0] = row[1] = row[2] = uint8_t(120 + grain);
                } else {
                    row[0] = uint8_t(128 + 100 * std::sin(x / 571.0 + y / 1000.0) + grain);
                    row[1] = uint8_t(128 + 90 * std::cos(y / 600.0 - x / 2000.0) + grain);
                    row[2] = uint8_t(40 + 200.0 * x / kW * y / kH + grain);
                }
            }
        }
        doc.CopyToSnapshot(0);
    }
};

void BM_MagicWandWholeLayer(benchmark::State& state) {
    BigDoc d(true);
    for (auto _ : state) {
        MagicWandAt(d.doc, 2000, 1500, 25, false);
        benchmark::DoNotOptimize(d.doc.Layers().mask.bytes.data());
    }
}
BENCHMARK(BM_MagicWandWholeLayer)->Unit(benchmark::kMillisecond);

void BM_ColourRange(benchmark::State& state) {
    BigDoc d(false);
    for (auto _ : state) {
        auto pick = SelectColourRangeAt(d.doc, 2000, 1500, 60, true);
        benchmark::DoNotOptimize(pick);
    }
}
BENCHMARK(BM_ColourRange)->Unit(benchmark::kMillisecond);

void BM_FillClosedOutlineCoveringTheLayer(benchmark::State& state) {
    SelectionMask outline;
    outline.Reset(0, 0, kW, kH, MaskValue::Selected);
    const int xs[] = {2, kW - 3, kW - 400, 2000, 300};
    const int ys[] = {2, 10, kH - 3, kH - 600, kH - 5};
    for (int i = 0; i < 5; ++i)
        DrawOutlineLine(outline, xs[i], ys[i], xs[(i + 1) % 5], ys[(i + 1) % 5]);
    SelectionMask m = outline;
    for (auto _ : state) {
        state.PauseTiming();
        m.bytes = outline.bytes;
        state.ResumeTiming();
        FillClosedOutline(m);
        benchmark::DoNotOptimize(m.bytes.data());
    }
}
BENCHMARK(BM_FillClosedOutlineCoveringTheLayer)->Unit(benchmark::kMillisecond);

void BM_FeatheredErase(benchmark::State& state) {
    std::vector<uint8_t> mask(size_t(kW) * kH, 0), alpha(mask.size()), effect(mask.size());
    for (int y = 500; y < 2500; ++y)
        std::fill_n(mask.begin() + ptrdiff_t(y) * kW + 500, 3000, uint8_t(1));
    for (auto _ : state) {
        state.PauseTiming();
        std::fill(alpha.begin(), alpha.end(), uint8_t(255));
        state.ResumeTiming();
        FeatherErase(mask.data(), kW, kH, int(state.range(0)), alpha.data(), effect.data());
        benchmark::DoNotOptimize(alpha.data());
    }
}
BENCHMARK(BM_FeatheredErase)->Arg(3)->Arg(30)->Unit(benchmark::kMillisecond);

// An ellipse and a ragged wand-like selection over the view at zoom 1/2.
SelectionMask ViewMask(bool ragged) {
    SelectionMask m;
    m.Reset(0, 0, kW, kH, 0);
    uint32_t s = 3;
    for (int y = 0; y < kH; ++y) {
        uint8_t* row = m.RowFromTop(y);
        for (int x = 0; x < kW; ++x) {
            const double dx = (x - 2000) / 1700.0, dy = (y - 1500) / 1200.0;
            s = s * 1664525u + 1013904223u;
            row[x] = dx * dx + dy * dy < 1 && (!ragged || (s >> 28) != 0);
        }
    }
    return m;
}

DisplayRequest View1080() {
    DisplayRequest q;
    q.right = 1920;
    q.bottom = 1080;
    q.zoomX = q.zoomY = 0.5;
    return q;
}

void BM_MarchingAntsTick1080(benchmark::State& state) {
    const SelectionMask m = ViewMask(state.range(0) != 0);
    SelectionOutline o;
    o.Build(m, View1080(), OverlayMode::Selection, true);
    std::vector<uint32_t> frame(1920 * 1080, 0xFF808080u);
    const OutlineColours c = OutlineColoursFor(0x0000FF, 0xFF0000);
    bool phase = false;
    for (auto _ : state) {
        o.Paint(frame.data(), 1920, phase = !phase, c);
        benchmark::DoNotOptimize(frame.data());
    }
    state.counters["dashes"] = double(o.DrawnCount());
}
BENCHMARK(BM_MarchingAntsTick1080)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_OutlineClassMap1080(benchmark::State& state) {
    const SelectionMask m = ViewMask(state.range(0) != 0);
    SelectionOutline o;
    for (auto _ : state) {
        o.Build(m, View1080(), OverlayMode::Selection, true);
        benchmark::DoNotOptimize(o.Classes().data());
    }
}
BENCHMARK(BM_OutlineClassMap1080)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
