// VLR save and open of a 4000 × 3000 document with ten layers, beside plain buffered stdio
// writing and reading the same number of bytes. The save includes the composition of the flat
// block and the atomic writer's fsync; the open includes create layer for every layer and the
// snapshot copy. The parts are measured on their own too, so the figures can be taken apart.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "document/CBrevDoc.h"
#include "document/vlr/VlrReader.h"
#include "document/vlr/VlrWriter.h"
#include "image/ByteStream.h"
#include "platform/RecordingUserPort.h"

using namespace quillet;

namespace {

constexpr int kW = 4000, kH = 3000, kLayers = 10;

struct Fixture {
    RecordingUserPort user;
    CBrevDoc doc{user};
    std::string path;
    size_t fileBytes = 0;

    Fixture() {
        LayerTable& t = doc.Layers();
        uint32_t seed = 12345;
        for (int i = 0; i < kLayers; ++i) {
            CreateLayerArgs a;
            a.slot = i;
            a.width = kW - (i % 3) * 100;  // pasted and moved layers are not all canvas-sized
            a.height = kH - (i % 2) * 100;
            a.x = (i % 3) * 40 - 40;
            a.y = (i % 4) * 30 - 30;
            a.canvasWidth = kW;
            a.canvasHeight = kH;
            doc.CreateLayer(a);
            t.LinkAbove(i, t.Top());
            Layer& l = t.layer(i);
            l.used = 1;
            l.visible = 1;
            l.blendMode = i >= 6 ? uint8_t(i - 4) : 0;
            LayerPlanes& p = t.planesOf(i);
            for (auto& b : p.pixels) {
                seed = seed * 1664525u + 1013904223u;
                b = uint8_t(seed >> 24);
            }
            for (size_t k = 0; k < p.alpha.size(); ++k)
                p.alpha[k] = i == 0 ? 255 : uint8_t(((k / 997) & 3) == 0 ? 0 : 255);
        }
        doc.SetCurrentLayerIndex(0);
        path = "/tmp/quillet_bench_" + std::to_string(getpid()) + ".vlr";
        VlrWriter(doc).Save(path);
        FileStream f(path.c_str(), "rb");
        fileBytes = size_t(f.Size());
    }
    ~Fixture() { std::remove(path.c_str()); }
};

Fixture& Doc() {
    static Fixture f;
    return f;
}

void BM_VlrSave(benchmark::State& state) {
    Fixture& f = Doc();
    for (auto _ : state)
        if (!VlrWriter(f.doc).Save(f.path)) state.SkipWithError("save failed");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.fileBytes));
}

// The composition for the flat block alone.
void BM_VlrComposeForSave(benchmark::State& state) {
    Fixture& f = Doc();
    for (auto _ : state) f.doc.ComposeForSave();
}

// Writing without the atomic replacement and its fsync (the stdio baseline has neither).
void BM_VlrWriteNoSync(benchmark::State& state) {
    Fixture& f = Doc();
    const std::string path = f.path + ".plain";
    for (auto _ : state) {
        FileStream out(path.c_str(), "wb");
        if (!VlrWriter(f.doc).Write(out)) state.SkipWithError("write failed");
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.fileBytes));
}

void BM_StdioWrite(benchmark::State& state) {
    Fixture& f = Doc();
    const bool sync = state.range(0) != 0;
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[f.fileBytes]);
    for (size_t i = 0; i < f.fileBytes; ++i) bytes[i] = uint8_t(i * 7);
    const std::string path = f.path + ".stdio";
    for (auto _ : state) {
        FILE* out = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.get(), 1, f.fileBytes, out);
        std::fflush(out);
        if (sync) fsync(fileno(out));
        std::fclose(out);
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.fileBytes));
}

void BM_VlrOpen(benchmark::State& state) {
    Fixture& f = Doc();
    for (auto _ : state) {
        CBrevDoc doc(f.user);
        if (!VlrReader(doc).Open(f.path)) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(doc.Layers().planesOf(9).pixels.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.fileBytes));
}

// The part of the open that copies every layer into the snapshot (fresh buffers, as on open).
void BM_SnapshotCopy(benchmark::State& state) {
    Fixture& f = Doc();
    for (auto _ : state) {
        auto copy = std::make_unique<LayerTable>();
        copy->CopyAllUsedFrom(f.doc.Layers());
        benchmark::DoNotOptimize(copy->planesOf(9).pixels.data());
    }
}

// The same bytes read into one freshly allocated block: what any reader has to do at least.
void BM_StdioRead(benchmark::State& state) {
    Fixture& f = Doc();
    for (auto _ : state) {
        std::unique_ptr<uint8_t[]> bytes(new uint8_t[f.fileBytes]);
        FILE* in = std::fopen(f.path.c_str(), "rb");
        if (std::fread(bytes.get(), 1, f.fileBytes, in) != f.fileBytes)
            state.SkipWithError("short read");
        std::fclose(in);
        benchmark::DoNotOptimize(bytes.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.fileBytes));
}

}  // namespace

BENCHMARK(BM_VlrSave)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_VlrWriteNoSync)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_VlrComposeForSave)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_StdioWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_VlrOpen)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_SnapshotCopy)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_StdioRead)->Unit(benchmark::kMillisecond)->Iterations(4);
