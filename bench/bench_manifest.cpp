// What the recovery manifest costs a step on a 4000 × 3000 picture with ten layers: the hash of
// the selection mask and the manifest's bytes (on the editor's thread), the atomic write with its
// fsync (on the journal's writer thread), and a whole move step with the manifest on disk.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "base/AtomicFileWriter.h"
#include "document/CBrevDoc.h"
#include "document/journal/RecoveryManifest.h"
#include "platform/RecordingUserPort.h"

using namespace quillet;

namespace {

constexpr int kW = 4000, kH = 3000, kLayers = 10;

struct Scene {
    std::string dir;
    RecordingUserPort user;
    CBrevDoc doc{user, 1};
    Scene() {
        char templ[] = "./bench_manifest_XXXXXX";
        dir = std::string(mkdtemp(templ)) + "/";
        doc.Journal().SetFolder(dir);
        LayerTable& t = doc.Layers();
        for (int i = 0; i < kLayers; ++i) {
            CreateLayerArgs a;
            a.slot = i;
            a.width = i == 0 ? kW : 1200;
            a.height = i == 0 ? kH : 900;
            a.x = 200 * i;
            a.canvasWidth = kW;
            a.canvasHeight = kH;
            a.initialAlpha = 255;
            doc.CreateLayer(a);
            t.LinkAbove(i, t.Top());
            t.layer(i).used = 1;
            t.layer(i).visible = 1;
        }
        t.mask.Reset(0, 0, kW, kH, 1);
        doc.SetCurrentLayerIndex(kLayers - 1);
        doc.RecordStep(u"Opening....", StepKind::PixelEdit);
        doc.Journal().FinishWrites();
    }
    ~Scene() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Scene& TheScene() {
    static Scene s;
    return s;
}

RecoveryManifest manifestOf(const Scene& s) {
    RecoveryManifest m;
    const LayerTable& t = s.doc.Layers();
    m.fileName = u"/home/user/그림/풍경 사진.jpg";
    m.lastStep = u"선택영역 위치이동";
    m.header = t.header;
    for (int slot : t.Order()) {
        ManifestLayer l;
        l.slot = slot;
        l.record = t.layer(slot);
        l.file.name = "UD_1_19_" + std::to_string(slot) + ".vlrtmp";
        m.layers.push_back(l);
    }
    return m;
}

void BM_MaskHash(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) benchmark::DoNotOptimize(MaskHash(s.doc.Layers().mask.bytes));
}

void BM_ManifestBytes(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        std::vector<uint8_t> bytes = manifestOf(s).Serialize();
        benchmark::DoNotOptimize(bytes.data());
        state.counters["bytes"] = double(bytes.size());
    }
}

void BM_ManifestAtomicWrite(benchmark::State& state) {
    Scene& s = TheScene();
    const std::vector<uint8_t> bytes = manifestOf(s).Serialize();
    const std::string path = s.dir + "bench_manifest.vlrtmp";
    for (auto _ : state) {
        AtomicFileWriter out(path);
        if (!out.open()) state.SkipWithError("open failed");
        std::fwrite(bytes.data(), 1, bytes.size(), out.file());
        if (!out.commit()) state.SkipWithError("commit failed");
    }
}

// A move of the top layer: its file is linked, so the step is the snapshot, the manifest and
// the wait for it to be on disk.
void BM_MoveStepWithManifestOnDisk(benchmark::State& state) {
    Scene& s = TheScene();
    int dx = 1;
    for (auto _ : state) {
        s.doc.Layers().layer(kLayers - 1).x += dx;
        dx = -dx;
        s.doc.RecordStep(u"선택영역 위치이동", StepKind::PixelEdit);
        if (!s.doc.Journal().FinishWrites()) state.SkipWithError("journal write failed");
    }
}

}  // namespace

BENCHMARK(BM_MaskHash)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ManifestBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ManifestAtomicWrite)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_MoveStepWithManifestOnDisk)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(40);
