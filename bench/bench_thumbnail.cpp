// quillet-cli thumbnail, in process: the area-averaging reduction of a 4000 × 3000 picture to
// 256 pixels, and the whole command on a JPEG and on a VLR document of that size (reading,
// reduction, PNG). bench/peers_thumbnail.sh times the program against other thumbnailers.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "bench/BenchPhoto.h"
#include "cli/CliCommands.h"
#include "cli/Thumbnail.h"
#include "image/RaViru.h"

using namespace quillet;

namespace {

constexpr int kW = 4000, kH = 3000;

std::string tempPath(const char* ext) {
    return "/tmp/quillet-bench-thumbnail-" + std::to_string(getpid()) + ext;
}

// A smooth photo-like picture, written once as JPEG and once as VLR.
const std::string& source(const char* ext) {
    static const std::string jpeg = [] {
        const std::string p = tempPath(".jpg");
        quillet::bench::WritePhotoJpeg(p, kW, kH);
        return p;
    }();
    static const std::string vlr = [] {
        const std::string p = tempPath(".vlr");
        std::ostringstream out, err;
        cli::Run({"convert", jpeg, p}, out, err);
        return p;
    }();
    return std::string(ext) == "jpg" ? jpeg : vlr;
}

void BM_Reduce(benchmark::State& state) {
    cli::Picture32 in;
    in.width = kW;
    in.height = kH;
    in.bgra.resize(size_t(kW) * kH * 4);
    for (size_t i = 0; i < in.bgra.size(); ++i) in.bgra[i] = uint8_t(i * 7 >> 3);
    for (auto _ : state) benchmark::DoNotOptimize(cli::Reduce(in, 256, 192).bgra.data());
    state.SetItemsProcessed(int64_t(state.iterations()) * kW * kH);
}
BENCHMARK(BM_Reduce)->Unit(benchmark::kMillisecond);

void thumbnailOf(benchmark::State& state, const char* ext) {
    const std::string& in = source(ext);
    const std::string out = tempPath(".png");
    for (auto _ : state) {
        std::ostringstream err;
        if (cli::RunThumbnail({"thumbnail", in, out, "256"}, err) != 0)
            state.SkipWithError(err.str().c_str());
    }
    std::remove(out.c_str());
}
void BM_ThumbnailJpeg(benchmark::State& state) { thumbnailOf(state, "jpg"); }
void BM_ThumbnailVlr(benchmark::State& state) { thumbnailOf(state, "vlr"); }
BENCHMARK(BM_ThumbnailJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThumbnailVlr)->Unit(benchmark::kMillisecond);

}  // namespace
