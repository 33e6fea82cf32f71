// A brush stroke in a 1920 × 1080 document window over a 4000 × 3000 picture with 10 layers,
// rendered offscreen: each iteration is one mouse-move event of the stroke with its stamps,
// the recomposition of the area they touched and the repaint of that area. Brush sizes 5 and
// 25 show the cost following the stamps' area; zoom 1/4 shows it at a reduced view.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <cmath>
#include <memory>

#include "bench/qt/QtBenchMain.h"
#include "bench/qt/TenLayerPicture.h"
#include "document/CBrevDoc.h"
#include "platform/RecordingUserPort.h"
#include "view/FrameSettings.h"
#include "view/ToolState.h"
#include "view/qt/CBrevView.h"
#include "view/tools/PaintTools.h"

using namespace quillet;

namespace {

// Adds up the canvas areas the stroke reports, to show what each event recomposes.
struct AreaCount : DocumentObserver {
    double pixels = 0;
    int areas = 0;
    void onAreaChanged(CBrevDoc&, int l, int t, int r, int b) override {
        pixels += double(r - l) * double(b - t);
        ++areas;
    }
};

struct Scene {
    RecordingUserPort user;
    CBrevDoc doc{user, 1};
    ToolState tools;
    ToolRegistry registry;
    FrameSettings settings;
    PaintTools paint{settings};
    std::unique_ptr<CBrevView> view;
    AreaCount count;
    int step = 0;

    Scene() {
        bench::BuildTenLayerPicture(doc);
        for (int i = 0; i < 10; ++i) doc.CopyToSnapshot(i);
        // The stroke paints the 4000 × 3000 picture layer under the nine others.
        doc.SetCurrentLayerIndex(0);
        paint.Register(registry);
        tools.currentTool = ToolId::Brush;
        settings.brushKind = FrameSettings::Brush;
        view = std::make_unique<CBrevView>(doc, ViewContext{tools, nullptr, &registry});
        view->resize(1920, 1080);
        view->show();
        QApplication::processEvents();
        doc.AddObserver(&count);
    }
    ~Scene() { doc.RemoveObserver(&count); }

    void send(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held) {
        QWidget* w = view->viewport();
        QMouseEvent e(type, p, w->mapToGlobal(p), button, held, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    // The pointer sweeps to and fro across the window, 4 pixels an event, drifting down.
    QPoint pointAt(int i) const {
        const int span = 1700, x = i * 4 % (2 * span);
        return {100 + (x < span ? x : 2 * span - x), 100 + (i / 2 % 800)};
    }
    void begin(double zoom, int size) {
        settings.brushThickness = size;
        doc.SetZoom(zoom);
        view->state().ScrollTo({700, 600});
        doc.ViewShared().recomposeNeeded = true;
        view->repaint();
        step = 0;
        send(QEvent::MouseButtonPress, pointAt(0), Qt::LeftButton, Qt::LeftButton);
        QApplication::processEvents();
    }
    // One event: the tool stamps and the view recomposes the touched area; processing the
    // events then repaints that area of the window.
    void event() {
        send(QEvent::MouseMove, pointAt(++step), Qt::NoButton, Qt::LeftButton);
        QApplication::processEvents();
    }
};

std::unique_ptr<Scene> theScene;

Scene& TheScene() {
    if (!theScene) theScene = std::make_unique<Scene>();
    return *theScene;
}

void Stroke(benchmark::State& state, double zoom) {
    Scene& s = TheScene();
    s.begin(zoom, int(state.range(0)));
    s.count = {};
    for (auto _ : state) s.event();
    state.counters["canvas_px_per_event"] = s.count.pixels / double(state.iterations());
    state.counters["areas"] = s.count.areas;
    // The stroke is left open: its release would write the journal step, not part of an event.
    state.counters["brush"] = double(state.range(0));
}

void BM_StrokeEventZoom1(benchmark::State& state) { Stroke(state, 1.0); }
void BM_StrokeEventZoomQuarter(benchmark::State& state) { Stroke(state, 0.25); }

}  // namespace

BENCHMARK(BM_StrokeEventZoom1)
    ->Arg(25)
    ->Arg(5)
    ->Iterations(1000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_StrokeEventZoomQuarter)
    ->Arg(25)
    ->Iterations(1000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

int main(int argc, char** argv) {
    return quillet::bench::RunQtBenchmarks(argc, argv, [] { theScene.reset(); });
}
