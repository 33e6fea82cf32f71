#include <benchmark/benchmark.h>

#include "image/RaViru.h"

using namespace quillet;

// A 4000 × 3000 picture: the size the codec and compositor goals are stated for.
static void BM_Allocate24(benchmark::State& state) {
    for (auto _ : state) {
        RaViru img(4000, 3000, 24, ImageKind::Bmp);
        benchmark::DoNotOptimize(img.bits);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(4000) * 3000 * 3);
}
BENCHMARK(BM_Allocate24)->Unit(benchmark::kMillisecond);

static void BM_RowFromPacked16(benchmark::State& state) {
    RaViru img(4000, 3000, 24, ImageKind::Bmp);
    for (auto _ : state) {
        img.RowFromPacked(img.bits, 0xF800, 0x07E0, 0x001F, 16);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(4000) * 3000);
}
BENCHMARK(BM_RowFromPacked16)->Unit(benchmark::kMillisecond);

static void BM_NearestPaletteIndex(benchmark::State& state) {
    RaViru img(1, 1, 8, ImageKind::Jpeg);
    for (int i = 0; i < 256; ++i)
        img.SetPaletteEntry(i, uint8_t(i * 7), uint8_t(i * 13), uint8_t(i));
    uint32_t c = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(img.NearestPaletteIndex(c));
        c = c * 1664525u + 1013904223u;
    }
}
BENCHMARK(BM_NearestPaletteIndex);
