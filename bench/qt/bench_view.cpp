// Repaint of a 1920 × 1080 document view over a 4000 × 3000 picture with 10 layers, rendered
// offscreen: a full repaint (compose, hatch, draw) at zoom 1 and 1/4, and a cached repaint as
// the outline animation does it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>
#include <memory>

#include "bench/qt/QtBenchMain.h"
#include "bench/qt/TenLayerPicture.h"
#include "document/CBrevDoc.h"
#include "platform/RecordingUserPort.h"
#include "view/ToolState.h"
#include "view/qt/CBrevView.h"

using namespace quillet;

namespace {

struct Scene {
    RecordingUserPort user;
    CBrevDoc doc{user, 1};
    ToolState tools;
    std::unique_ptr<CBrevView> view;
    QImage target;  // stands for the window's backing store

    Scene() {
        bench::BuildTenLayerPicture(doc);
        doc.SetCurrentLayerIndex(9);
        view = std::make_unique<CBrevView>(doc, ViewContext{tools});
        view->resize(1920, 1080);
        view->show();
        QApplication::processEvents();
        target = QImage(view->viewport()->size(), QImage::Format_RGB32);
    }

    void paint() {
        QPainter painter(&target);
        view->paintViewport(painter, target.rect());
    }

    void setZoom(double zoom) {
        doc.SetZoom(zoom);
        view->state().ScrollTo({700, 600});
        paint();
    }
};

// Made by main() after the application object and destroyed before it.
std::unique_ptr<Scene> theScene;

Scene& TheScene() {
    if (!theScene) theScene = std::make_unique<Scene>();
    return *theScene;
}

void FullRepaint(benchmark::State& state, double zoom) {
    Scene& s = TheScene();
    s.setZoom(zoom);
    for (auto _ : state) {
        s.doc.ViewShared().recomposeNeeded = true;
        s.paint();
        benchmark::DoNotOptimize(s.target.constBits());
    }
    state.counters["viewport_px"] = s.view->viewport()->width() * s.view->viewport()->height();
}

void BM_FullRepaintZoom1(benchmark::State& state) { FullRepaint(state, 1.0); }
void BM_FullRepaintZoomQuarter(benchmark::State& state) { FullRepaint(state, 0.25); }

void BM_CachedRepaint(benchmark::State& state) {
    Scene& s = TheScene();
    s.setZoom(1.0);
    for (auto _ : state) {
        s.paint();
        benchmark::DoNotOptimize(s.target.constBits());
    }
}

}  // namespace

BENCHMARK(BM_FullRepaintZoom1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_FullRepaintZoomQuarter)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_CachedRepaint)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    return quillet::bench::RunQtBenchmarks(argc, argv, [] { theScene.reset(); });
}
