// Text layers with the Qt rasterizer: a 20-line text of size 48 built into a new layer and the
// picture composed, and the same text edited again.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <memory>
#include <string>

#include "document/CBrevDoc.h"
#include "document/compositor/Compositor.h"
#include "platform/RecordingUserPort.h"
#include "platform/qt/QtTextRasterizer.h"
#include "view/tools/TextLayer.h"

using namespace quillet;

namespace {

constexpr int kW = 1600, kH = 1200;

std::u16string TwentyLines() {
    std::u16string text;
    for (int i = 0; i < 20; ++i)
        text += u"둘째 줄의 글자 Text line " + std::u16string(1, char16_t(u'A' + i)) + u"\n";
    return text;
}

struct Picture {
    RecordingUserPort user;
    CBrevDoc doc{user};
    Picture() {
        CreateLayerArgs a;
        a.slot = 0;
        a.width = kW;
        a.height = kH;
        a.initialAlpha = 255;
        doc.CreateLayer(a);
        doc.Layers().LinkAbove(0, -1);
        doc.Layers().layer(0).used = 1;
        doc.Layers().layer(0).visible = 1;
        doc.SetCurrentLayerIndex(0);
        doc.RecordStep(u"Opening....", StepKind::PixelEdit, 0);
    }
};

TextSettings Size48() {
    TextSettings s;
    s.face = u"NanumGothic";
    s.size = 48;
    s.colour = 0x203040;
    return s;
}

void BM_NewTextAndCompose(benchmark::State& state) {
    QtTextRasterizer qt;
    const std::u16string text = TwentyLines();
    Image32 out;
    std::unique_ptr<Picture> p;
    for (auto _ : state) {
        state.PauseTiming();
        p = std::make_unique<Picture>();
        state.ResumeTiming();
        AddTextLayer(p->doc, qt, text, Size48(), 20, 10);
        Compositor::ComposeFullInto(p->doc.Layers(), p->doc.Layers().bottom, 0, out);
        benchmark::DoNotOptimize(out.bytes.data());
    }
}

void BM_EditTextAndCompose(benchmark::State& state) {
    QtTextRasterizer qt;
    Picture p;
    const int slot = AddTextLayer(p.doc, qt, TwentyLines(), Size48(), 20, 10);
    TextSettings s = Size48();
    Image32 out;
    for (auto _ : state) {
        s.colour ^= 0x101010;
        EditTextLayer(p.doc, qt, slot, TwentyLines(), s);
        Compositor::ComposeFullInto(p.doc.Layers(), p.doc.Layers().bottom, 0, out);
        benchmark::DoNotOptimize(out.bytes.data());
    }
}

}  // namespace

BENCHMARK(BM_NewTextAndCompose)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_EditTextAndCompose)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
