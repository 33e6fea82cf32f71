// Filters on a 4000 × 3000 layer, on one thread and on two.
#include <benchmark/benchmark.h>

#include "bench/BenchPicture.h"
#include "image/effects/Filters.h"

using namespace quillet;
using namespace quillet::bench;

namespace {

void Run(benchmark::State& state, FilterId id, FilterValues values) {
    const LayerPixels from = Source().View(), to = Target().View();
    Rand15 random(1);
    FilterEnvironment env;
    env.random = &random;
    env.threads = int(state.range(0));
    for (auto _ : state) RunFilter(id, values, from, to, env);
    state.SetItemsProcessed(state.iterations() * int64_t(Source().width) * Source().height);
}

#define QUILLET_FILTER_BENCH(name, id, ...)                  \
    void BM_##name(benchmark::State& state) {                \
        Run(state, FilterId::id, FilterValues{__VA_ARGS__}); \
    }                                                        \
    BENCHMARK(BM_##name)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()

QUILLET_FILTER_BENCH(Sharpen, Sharpen, 0);      // "강조"
QUILLET_FILTER_BENCH(Edges, Edges, 1, 0);       // "윤곽선"
QUILLET_FILTER_BENCH(Emboss, Emboss, 1, 1);     // "엠보스"
QUILLET_FILTER_BENCH(Blur9, Blur, 9);           // "흐리게" 9
QUILLET_FILTER_BENCH(Soften4, Soften, 4);       // "부드럽게"
QUILLET_FILTER_BENCH(Median3, MedianNoise, 3);  // "노이즈제거(A)" 3 × 3
QUILLET_FILTER_BENCH(Median7, MedianNoise, 7);
QUILLET_FILTER_BENCH(Erode4, Erode, 4);      // "물체축소"
QUILLET_FILTER_BENCH(Dilate20, Dilate, 20);  // "물체확장"
QUILLET_FILTER_BENCH(Watercolour, Watercolour, 1, 0);
QUILLET_FILTER_BENCH(EdgeEmphasis, EdgeEmphasis, 10, 5);
QUILLET_FILTER_BENCH(LuminanceCurve, LuminanceCurve, 0);
QUILLET_FILTER_BENCH(Bathroom, Bathroom, 0, 0);

}  // namespace
