// The parts of `quillet-cli convert` of a 4000 × 3000 JPEG, in process: opening as the editor
// does (decode, slot 0, the first journal step) and saving to BMP, TIFF and GIF (composition,
// export image, codec, the atomic writer's fsync). bench/peers_cli.sh times the whole program
// against other tools.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/BenchPhoto.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "platform/RecordingUserPort.h"

using namespace quillet;

namespace {

constexpr int kW = 4000, kH = 3000;

std::string tempPath(const char* ext) {
    return "/tmp/quillet-bench-open-save-" + std::to_string(getpid()) + ext;
}

// A smooth photo-like picture, written once as JPEG.
const std::string& sourceJpeg() {
    static const std::string path = [] {
        const std::string p = tempPath(".jpg");
        quillet::bench::WritePhotoJpeg(p, kW, kH);
        return p;
    }();
    return path;
}

void BM_Open(benchmark::State& state) {
    const std::string& src = sourceJpeg();
    RecordingUserPort user;
    for (auto _ : state) {
        auto doc = std::make_unique<CBrevDoc>(user);
        if (!OpenDocument(*doc, src)) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(doc->Layers().bottom);
    }
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond)->UseRealTime();

void saveAs(benchmark::State& state, const char* ext) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    if (!OpenDocument(doc, sourceJpeg())) {
        state.SkipWithError("open failed");
        return;
    }
    const std::string out = tempPath(ext);
    for (auto _ : state)
        if (!SaveDocument(doc, out)) state.SkipWithError("save failed");
    std::remove(out.c_str());
}
void BM_SaveBmp(benchmark::State& state) { saveAs(state, ".bmp"); }
void BM_SaveTiff(benchmark::State& state) { saveAs(state, ".tif"); }
void BM_SaveGif(benchmark::State& state) { saveAs(state, ".gif"); }
BENCHMARK(BM_SaveBmp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveTiff)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveGif)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::remove(sourceJpeg().c_str());
    return 0;
}
