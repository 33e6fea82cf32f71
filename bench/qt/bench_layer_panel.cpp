// The layer window over 40 layers of 4000 × 3000: a refresh once every layer's picture is made
// (rows, controls, history, and the rows drawn), and a refresh after one layer changed.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <memory>

#include "bench/qt/QtBenchMain.h"
#include "document/CBrevDoc.h"
#include "document/qt/CDlg_Layer.h"
#include "document/qt/LayerRowList.h"
#include "platform/RecordingUserPort.h"

using namespace quillet;

namespace {

constexpr int kW = 4000, kH = 3000, kLayers = 40;

struct Scene {
    RecordingUserPort user;
    CBrevDoc doc{user};
    std::unique_ptr<CDlg_Layer> panel;
    QImage target{300, 40 * 46, QImage::Format_ARGB32_Premultiplied};

    Scene() {
        LayerTable& t = doc.Layers();
        for (int slot = 0; slot < kLayers; ++slot) {
            CreateLayerArgs a;
            a.slot = slot;
            a.width = kW;
            a.height = kH;
            a.canvasWidth = kW;
            a.canvasHeight = kH;
            a.initialAlpha = uint8_t(128 + slot);
            t.CreateLayer(a, nullptr, 0, false);
            t.LinkAbove(slot, t.Top());
            t.layer(slot).used = 1;
            t.layer(slot).visible = 1;
            t.layer(slot).SetName(u"레이어");
            std::fill(t.planesOf(slot).pixels.begin(), t.planesOf(slot).pixels.end(),
                      uint8_t(slot * 6));
        }
        doc.SetCurrentLayerIndex(t.Top());
        panel = std::make_unique<CDlg_Layer>();
        panel->resize(300, 800);
        panel->setDocument(&doc);  // makes every picture once
    }
    void drawRows() {
        QPainter p(&target);
        panel->rowList()->render(&p);
    }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void BM_RefreshFortyCachedLayers(benchmark::State& state) {
    Scene& s = TheScene();
    int made = 0;
    for (auto _ : state) {
        made += s.panel->refreshNow();
        s.drawRows();
    }
    state.counters["pictures_made"] = made;
}

void BM_RefreshAfterOneLayerChanged(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        s.doc.Layers().Touch(7);
        s.panel->refreshNow();
        s.drawRows();
    }
}

}  // namespace

BENCHMARK(BM_RefreshFortyCachedLayers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshAfterOneLayerChanged)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return quillet::bench::RunQtBenchmarks(argc, argv, [] {});
}
