// GIF decode and encode of a 4000 × 3000 8-bit picture. QUILLET_BENCH_GIF may name a GIF file to
// use instead of the built-in picture (bench/peers_gif.sh passes the file it times convert on).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "image/ByteStream.h"
#include "image/RaViru.h"

using namespace quillet;

namespace {

// A dithered-looking picture: smooth bands with a little pseudo-random texture, all 256 entries.
void fillPicture(RaViru& img) {
    for (int i = 0; i < 256; ++i)
        img.SetPaletteEntry(i, uint8_t(i), uint8_t(i * 3), uint8_t(255 - i));
    uint32_t state = 12345;
    for (int y = 0; y < img.Height(); ++y) {
        uint8_t* row = img.Row(y);
        for (int x = 0; x < img.Width(); ++x) {
            state = state * 1664525u + 1013904223u;
            row[x] = uint8_t((x / 16 + y / 12 + (x * y) / 40000) + ((state >> 29) & 3));
        }
    }
}

const std::vector<uint8_t>& gifFile() {
    static const std::vector<uint8_t> file = [] {
        if (const char* path = std::getenv("QUILLET_BENCH_GIF")) {
            std::ifstream in(path, std::ios::binary);
            return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
        }
        RaViru img(4000, 3000, 8, ImageKind::Gif);
        fillPicture(img);
        MemoryStream out;
        img.Encode(out, ImageKind::Gif);
        return out.takeBuffer();
    }();
    return file;
}

void BM_GifDecode(benchmark::State& state) {
    const auto& file = gifFile();
    for (auto _ : state) {
        MemoryStream in(file.data(), file.size());
        RaViru img;
        if (!img.Decode(in, ImageKind::Gif)) state.SkipWithError(img.lastError);
        benchmark::DoNotOptimize(img.bits);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(4000) * 3000);
}
BENCHMARK(BM_GifDecode)->Unit(benchmark::kMillisecond);

void BM_GifEncode(benchmark::State& state) {
    const auto& file = gifFile();
    MemoryStream in(file.data(), file.size());
    RaViru img;
    if (!img.Decode(in, ImageKind::Gif)) {
        state.SkipWithError(img.lastError);
        return;
    }
    for (auto _ : state) {
        MemoryStream out;
        if (!img.Encode(out, ImageKind::Gif)) state.SkipWithError(img.lastError);
        benchmark::DoNotOptimize(out.buffer().data());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(img.Width()) * img.Height());
}
BENCHMARK(BM_GifEncode)->Unit(benchmark::kMillisecond);

}  // namespace
