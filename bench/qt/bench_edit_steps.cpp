// The editor's steps on a 12-megapixel picture, as a user meets them: opening a 4000 × 3000
// JPEG and painting the first view, undo and redo of a pixel step, and a move-tool drag ending
// in its journal step, each followed by the repaint of a 1600 × 1000 view. The journal writes
// into a folder beside the program, as the editor's does in its home; CPU time counts every
// thread (the journal's writer too). Run with --benchmark_repetitions so that the write-back of
// one iteration's files does not land in a later one unnoticed.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QPainter>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/BenchPhoto.h"
#include "bench/qt/QtBenchMain.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "platform/RecordingUserPort.h"
#include "view/ToolState.h"
#include "view/ToolTable.h"
#include "view/qt/CBrevView.h"

using namespace quillet;

namespace {

constexpr int kW = 4000, kH = 3000;

struct Folder {
    std::string path;
    Folder() {
        char templ[] = "./bench_edit_steps_XXXXXX";
        path = std::string(mkdtemp(templ)) + "/";
    }
    ~Folder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

const std::string& Photo() {
    static const std::string path = [] {
        const std::string p = "./bench_edit_steps_photo.jpg";
        quillet::bench::WritePhotoJpeg(p, kW, kH);
        return p;
    }();
    return path;
}

struct Editor {
    Folder folder;
    RecordingUserPort user;
    std::unique_ptr<CBrevDoc> doc;
    ToolState tools;
    std::unique_ptr<CBrevView> view;
    QImage target{1600, 1000, QImage::Format_RGB32};  // stands for the window's backing store

    // Opens the photo as the editor does and shows it.
    void Open() {
        view.reset();
        doc = std::make_unique<CBrevDoc>(user, 1);
        doc->Journal().SetFolder(folder.path);
        if (!OpenDocument(*doc, Photo())) std::abort();
        view = std::make_unique<CBrevView>(*doc, ViewContext{tools});
        view->resize(target.size());
        Paint();
    }
    void Paint() {
        QPainter painter(&target);
        view->paintViewport(painter, target.rect());
    }
    // A stroke's worth of pixels changed in the picture layer, recorded as a step.
    void PixelStep(int seed) {
        uint8_t* px = doc->Layers().planesOf(0).pixels.data();
        for (int i = 0; i < 4096; ++i) px[size_t(i) * 2923 + size_t(seed)] ^= 0x5A;
        doc->RecordStep(u"채우기", StepKind::PixelEdit);
    }
};

std::unique_ptr<Editor> theEditor;  // made after the application object, destroyed before it

Editor& TheEditor() {
    if (!theEditor) {
        theEditor = std::make_unique<Editor>();
        theEditor->Open();
    }
    return *theEditor;
}

void BM_OpenAndFirstPaint(benchmark::State& state) {
    Editor& e = TheEditor();
    for (auto _ : state) e.Open();
}

void BM_UndoAndRepaint(benchmark::State& state) {
    Editor& e = TheEditor();
    int seed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        e.PixelStep(++seed % 1000);
        state.ResumeTiming();
        if (!e.doc->Undo()) state.SkipWithError("undo failed");
        e.doc->ViewShared().recomposeNeeded = true;
        e.Paint();
    }
}

void BM_RedoAndRepaint(benchmark::State& state) {
    Editor& e = TheEditor();
    e.PixelStep(7);
    e.doc->Undo();
    for (auto _ : state) {
        if (!e.doc->Redo()) state.SkipWithError("redo failed");
        e.doc->ViewShared().recomposeNeeded = true;
        e.Paint();
        state.PauseTiming();
        e.doc->Undo();
        state.ResumeTiming();
    }
}

// Press, two moves and release of the move tool: the layer moves and its step is recorded.
void BM_MoveDragStepAndRepaint(benchmark::State& state) {
    Editor& e = TheEditor();
    e.tools.currentTool = ToolId::Move;
    ViewState& v = e.view->state();
    int dx = 1;
    for (auto _ : state) {
        v.ButtonDown({400, 300});
        v.MouseMove({400 + 5 * dx, 300}, true);
        e.Paint();
        v.MouseMove({400 + 10 * dx, 300 + 2 * dx}, true);
        e.Paint();
        v.ButtonUp({400 + 10 * dx, 300 + 2 * dx});
        e.Paint();
        dx = -dx;
    }
    const UndoStore& j = e.doc->Journal();
    if (j.Entry(j.StepIndex()).label != FindTool(ToolId::Move)->undoLabel)
        state.SkipWithError("the drag recorded no step");
    e.tools.currentTool = ToolId::None;
}

}  // namespace

BENCHMARK(BM_OpenAndFirstPaint)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(5);
BENCHMARK(BM_UndoAndRepaint)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(10);
BENCHMARK(BM_RedoAndRepaint)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(10);
BENCHMARK(BM_MoveDragStepAndRepaint)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(10);

int main(int argc, char** argv) {
    return quillet::bench::RunQtBenchmarks(argc, argv, [] {
        theEditor.reset();
        std::remove(Photo().c_str());
    });
}
