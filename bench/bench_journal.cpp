// Recording a journal step and undoing it for one 4000 × 3000 layer, against writing and reading
// the same bytes with plain buffered file I/O in the same folder.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "document/CBrevDoc.h"
#include "platform/RecordingUserPort.h"

using namespace quillet;

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

struct BenchDir {
    std::string path;
    BenchDir() {
        // The build folder: the same disk for both benchmarks.
        char templ[] = "./bench_journal_XXXXXX";
        path = std::string(mkdtemp(templ)) + "/";
    }
    ~BenchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

void openPicture(CBrevDoc& doc) {
    CreateLayerArgs a;
    a.slot = 0;
    a.width = kWidth;
    a.height = kHeight;
    a.initialAlpha = 255;
    a.kind = LayerKind::Picture;
    doc.CreateLayer(a);
    doc.Layers().LinkAbove(0, -1);
    doc.Layers().layer(0).used = 1;
    doc.SetCurrentLayerIndex(0);
}

void BM_JournalRecordAndUndo(benchmark::State& state) {
    BenchDir dir;
    RecordingUserPort user;
    CBrevDoc doc(user, 1);
    doc.Journal().SetFolder(dir.path);
    openPicture(doc);
    doc.RecordStep(u"Opening....", StepKind::PixelEdit);
    doc.RecordStep(u"채우기", StepKind::PixelEdit);
    doc.RecordStep(u"채우기", StepKind::PixelEdit);  // step 2: undo comes back here
    uint8_t value = 0;
    for (auto _ : state) {
        doc.Layers().planesOf(0).pixels[size_t(value) * 997] = value;
        ++value;
        doc.RecordStep(u"채우기", StepKind::PixelEdit);  // step 3
        doc.Undo();                                      // rebuilds the layer from step 2
        benchmark::DoNotOptimize(doc.Layers().planesOf(0).pixels.data());
    }
    const LayerTable& t = doc.Layers();
    const int64_t fileBytes = int64_t(t.layer(0).pixelSize) + 2 * int64_t(t.layer(0).planeSize) +
                              int64_t(t.mask.bytes.size());
    state.SetBytesProcessed(int64_t(state.iterations()) * fileBytes * 2);
    state.counters["step"] = doc.Journal().StepIndex();
}

void BM_PlainWriteAndRead(benchmark::State& state) {
    BenchDir dir;
    const size_t pixels = size_t((24 * kWidth + 31) / 32 * 4) * kHeight;
    const size_t plane = size_t(kWidth) * kHeight;
    std::vector<uint8_t> p(pixels, 1), a(plane, 2), e(plane, 3), m(plane, 4);
    const std::string path = dir.path + "plain.bin";
    for (auto _ : state) {
        std::remove(path.c_str());
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(p.data(), 1, p.size(), f);
        std::fwrite(a.data(), 1, a.size(), f);
        std::fwrite(e.data(), 1, e.size(), f);
        std::fwrite(m.data(), 1, m.size(), f);
        std::fclose(f);
        f = std::fopen(path.c_str(), "rb");
        size_t got = std::fread(p.data(), 1, p.size(), f);
        got += std::fread(a.data(), 1, a.size(), f);
        got += std::fread(e.data(), 1, e.size(), f);
        got += std::fread(m.data(), 1, m.size(), f);
        std::fclose(f);
        benchmark::DoNotOptimize(got);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pixels + 3 * plane) * 2);
}

}  // namespace

BENCHMARK(BM_JournalRecordAndUndo)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_PlainWriteAndRead)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
