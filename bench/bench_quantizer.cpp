// Octree quantization of a 4000 × 3000 24-bit picture: building the palette, then mapping every
// pixel to its nearest entry.
#include <benchmark/benchmark.h>

#include <cmath>

#include "image/RaViru.h"
#include "image/codecs/CQuantizer.h"

using namespace quillet;

namespace {

// Photo-like: smooth colour fields with fine grain, a few hundred thousand distinct colours.
const RaViru& picture() {
    static const RaViru* img = [] {
        auto* p = new RaViru(4000, 3000, 24, ImageKind::Bmp);
        uint32_t state = 99;
        for (int y = 0; y < p->Height(); ++y) {
            uint8_t* row = p->Row(y);
            for (int x = 0; x < p->Width(); ++x, row += 3) {
                state = state * 1664525u + 1013904223u;
                const int grain = int(state >> 28) - 8;
                const double fx = x / 4000.0, fy = y / 3000.0;
                row[0] =
                    uint8_t(std::clamp(int(128 + 100 * std::sin(fx * 7 + fy * 3)) + grain, 0, 255));
                row[1] =
                    uint8_t(std::clamp(int(128 + 90 * std::cos(fy * 5 - fx * 2)) + grain, 0, 255));
                row[2] = uint8_t(std::clamp(int(40 + 200 * fx * fy) + grain, 0, 255));
            }
        }
        return p;
    }();
    return *img;
}

void BM_QuantizerBuild(benchmark::State& state) {
    const RaViru& img = picture();
    for (auto _ : state) {
        CQuantizer q;
        q.ProcessImage(img);
        benchmark::DoNotOptimize(q.Palette());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(img.Width()) * img.Height());
}
BENCHMARK(BM_QuantizerBuild)->Unit(benchmark::kMillisecond);

void BM_QuantizerMap(benchmark::State& state) {
    const RaViru& img = picture();
    CQuantizer q;
    q.ProcessImage(img);
    for (auto _ : state) {
        RaViru out;
        q.MakeIndexed(img, out);
        benchmark::DoNotOptimize(out.bits);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(img.Width()) * img.Height());
}
BENCHMARK(BM_QuantizerMap)->Unit(benchmark::kMillisecond);

}  // namespace
