// The painting tools driven through the view's dispatch as the mouse drives them: what each
// stroke changes, the step it records, the areas the views are told about, the selection, the
// text-layer refusal and undo.
#include <gtest/gtest.h>

#include "ViewTestDoc.h"
#include "platform/ClipboardPort.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/TempDir.h"
#include "view/FrameSettings.h"
#include "view/ToolChoice.h"
#include "view/ToolState.h"
#include "view/ViewState.h"
#include "view/tools/PaintRoutines.h"
#include "view/tools/PaintTools.h"
#include "view/tools/RectangleSelection.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

// Collects the areas the document reports, to check that they cover every changed pixel.
struct AreaWatch : DocumentObserver {
    std::vector<PixelArea> areas;  // canvas columns and rows from the top
    int fullUpdates = 0;
    void onAreaChanged(CBrevDoc&, int l, int t, int r, int b) override {
        areas.push_back({l, t, r, b});
    }
    void onViewsUpdate(CBrevDoc&) override { ++fullUpdates; }
    bool Covers(int x, int y) const {
        for (const PixelArea& a : areas)
            if (x >= a.left && x < a.right && y >= a.top && y < a.bottom) return true;
        return false;
    }
};

struct Painter {
    testsupport::TempDir dir{"quillet_paint"};
    RecordingUserPort user;
    CBrevDoc doc{user, 1};
    ToolState tools;
    MemoryClipboard clipboard;
    ToolRegistry registry;
    FrameSettings settings;
    PaintTools paint{settings};
    ViewState view{doc, ViewContext{tools, &clipboard, &registry}};
    AreaWatch watch;
    int slot = -1;

    explicit Painter(int w = 80, int h = 60, double zoom = 1.0) {
        doc.Journal().SetFolder(dir.path().string() + '/');
        slot = AddPatternLayer(doc, w, h);
        doc.RecordStep(u"Opening....", StepKind::PixelEdit);
        paint.Register(registry);
        doc.SetZoom(zoom);
        view.SetClientSize({int(w * zoom), int(h * zoom)});  // window point = zoomed point
        view.UpdateOther();
        settings.foreground = 0x00FF00;  // 0x00BBGGRR: green
        settings.brushThickness = 5;
        settings.brushKind = FrameSettings::Brush;
        doc.AddObserver(&watch);
    }
    ~Painter() { doc.RemoveObserver(&watch); }
    void Choose(ToolId id) { ASSERT_EQ(ChooseTool(tools, id, &doc), ToolChoice::Chosen); }
    void Drag(std::initializer_list<ViewPoint> points) {
        auto it = points.begin();
        view.ButtonDown(*it);
        for (++it; it != points.end(); ++it) view.MouseMove(*it, true);
        view.ButtonUp(*(points.end() - 1));
    }
    const LayerPlanes& Planes() const { return doc.Layers().planesOf(slot); }
    const Layer& L() const { return doc.Layers().layer(slot); }
    // Storage row of a canvas row (the layer starts at the canvas corner here).
    int Row(int y) const { return L().height - 1 - y; }
    std::u16string LastLabel() const { return RecordedSteps(doc).back().label; }
};

// The same planes as a stamp target, for building the expected result by hand.
StampTarget TargetOf(LayerPlanes& p, const Layer& l) {
    StampTarget t;
    t.layer.pixels = p.pixels.data();
    t.layer.stride = l.stride;
    t.layer.alpha = p.alpha.data();
    t.layer.width = l.width;
    t.layer.height = l.height;
    return t;
}

}  // namespace

TEST(PaintTools, BrushStrokeRecordsOneStepAndUndoRestoresTheLayer) {
    Painter f;
    f.Choose(ToolId::Brush);
    const LayerPlanes before = f.Planes();
    f.Drag({{10, 10}, {20, 14}, {35, 30}, {35, 30}});

    LayerPlanes expected = before;
    StampTarget t = TargetOf(expected, f.L());
    const BrushStamp stamp(5, true);
    PaintLine(t, stamp, 10, f.Row(10), 10, f.Row(10), 0x00FF00);
    PaintLine(t, stamp, 10, f.Row(10), 20, f.Row(14), 0x00FF00);
    PaintLine(t, stamp, 20, f.Row(14), 35, f.Row(30), 0x00FF00);
    EXPECT_EQ(f.Planes().pixels, expected.pixels);
    EXPECT_EQ(f.Planes().alpha, expected.alpha);
    // The snapshot follows the stroke, so the next stroke starts from it.
    EXPECT_EQ(f.doc.Snapshot().planesOf(f.slot).pixels, expected.pixels);

    ASSERT_EQ(RecordedSteps(f.doc).size(), 2u);
    EXPECT_EQ(f.LastLabel(), u"붓그리기");
    // Every changed pixel lies in an area the views were told about.
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x) {
            const size_t r = size_t(f.Row(y));
            if (f.Planes().alpha[r * 80 + x] != before.alpha[r * 80 + x] ||
                f.Planes().pixels[r * f.L().stride + x * 3 + 1] !=
                    before.pixels[r * f.L().stride + x * 3 + 1]) {
                ASSERT_TRUE(f.watch.Covers(x, y)) << x << "," << y;
            }
        }
    EXPECT_EQ(f.watch.fullUpdates, 1);  // once, when the stroke ends

    ASSERT_TRUE(f.doc.Undo());
    EXPECT_EQ(f.Planes().pixels, before.pixels);
    EXPECT_EQ(f.Planes().alpha, before.alpha);
}

TEST(PaintTools, StrokesCrossingASelectionChangeOnlyItsInside) {
    for (ToolId tool : {ToolId::Brush, ToolId::Eraser, ToolId::Spray, ToolId::Line}) {
        Painter f;
        ASSERT_TRUE(SelectRectangle(f.doc, 20, 10, 40, 30));
        f.Choose(tool);
        f.settings.brushKind = FrameSettings::Pencil;
        const LayerPlanes before = f.Planes();
        f.Drag({{5, 20}, {30, 22}, {70, 25}});
        bool changedInside = false;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 80; ++x) {
                const size_t r = size_t(f.Row(y));
                const bool changed = f.Planes().alpha[r * 80 + x] != before.alpha[r * 80 + x] ||
                                     f.Planes().pixels[r * f.L().stride + x * 3] !=
                                         before.pixels[r * f.L().stride + x * 3];
                const bool inside = x >= 20 && x <= 40 && y >= 10 && y <= 30;
                if (!inside) {
                    ASSERT_FALSE(changed) << int(tool) << " " << x << "," << y;
                }
                changedInside |= changed;
            }
        EXPECT_TRUE(changedInside) << int(tool);
    }
}

TEST(PaintTools, EraserClearsAndRecordsItsOwnLabel) {
    Painter f;
    f.Choose(ToolId::Eraser);
    f.settings.brushKind = FrameSettings::Pencil;
    f.settings.brushThickness = 3;
    f.Drag({{40, 30}});
    for (int y = 27; y < 33; ++y)  // the hard square reaches px − 3 ≤ x < px + 3 in storage rows
        for (int x = 37; x < 43; ++x)
            EXPECT_EQ(f.Planes().alpha[size_t(f.Row(y)) * 80 + x], (y == 27) ? 255 : 0) << y;
    EXPECT_EQ(f.LastLabel(), u"영역지우기");
}

TEST(PaintTools, LinePreviewsAreNotKeptAndCircleIsCentredOnThePointer) {
    Painter f;
    f.Choose(ToolId::Line);
    f.settings.brushKind = FrameSettings::Pencil;
    f.settings.brushThickness = 1;
    const LayerPlanes before = f.Planes();
    f.Drag({{10, 10}, {70, 50}, {10, 50}, {30, 10}});
    LayerPlanes expected = before;
    PaintLine(TargetOf(expected, f.L()), BrushStamp(1, false), 10, f.Row(10), 30, f.Row(10),
              0x00FF00);
    EXPECT_EQ(f.Planes().pixels, expected.pixels);  // only the final line
    EXPECT_EQ(f.LastLabel(), u"선그리기");

    Painter c;
    c.Choose(ToolId::Circle);
    c.settings.brushThickness = 1;  // one pixel per outline point
    const LayerPlanes start = c.Planes();
    c.Drag({{10, 10}, {40, 40}, {13, 14}});
    // The press (10, 10) lies on the circle: radius trunc(5) about (13, 14).
    LayerPlanes circle = start;
    ForEachCirclePoint(13, c.Row(14), 5, [&](int x, int y) {
        uint8_t* p = circle.pixels.data() + size_t(y) * c.L().stride + size_t(x) * 3;
        p[0] = 0, p[1] = 0xFF, p[2] = 0;
        circle.alpha[size_t(y) * 80 + x] = 255;
    });
    EXPECT_EQ(c.Planes().pixels, circle.pixels);
    EXPECT_EQ(c.Planes().alpha, circle.alpha);
    EXPECT_EQ(RecordedSteps(c.doc).back().label, u"원 그리기");
}

TEST(PaintTools, PolylineDotAndColourPick) {
    Painter f;
    f.Choose(ToolId::Polyline);
    f.settings.brushThickness = 1;
    f.Drag({{5, 5}});
    EXPECT_EQ(RecordedSteps(f.doc).size(), 1u);  // the first click only anchors
    f.Drag({{25, 5}});
    f.Drag({{25, 25}});
    EXPECT_EQ(RecordedSteps(f.doc).size(), 3u);
    EXPECT_EQ(f.LastLabel(), u"다각형그리기");
    EXPECT_EQ(f.doc.Layers().ColorAt(f.slot, 15, f.Row(5)), 0x00FF00u);
    EXPECT_EQ(f.doc.Layers().ColorAt(f.slot, 25, f.Row(15)), 0x00FF00u);

    Painter d;
    d.Choose(ToolId::Dot);
    d.settings.brushThickness = 4;
    d.settings.foreground = 0x0000FF;  // red
    d.view.ButtonDown({30, 30});
    EXPECT_EQ(d.LastLabel(), u"점찍기");  // recorded at once
    d.view.ButtonUp({30, 30});
    // Offset by (−2, +1): the square starts at column 28, canvas row 31, and grows upwards.
    for (int y = 25; y < 35; ++y)
        for (int x = 24; x < 36; ++x) {
            const bool in = x >= 28 && x < 32 && y <= 31 && y > 27;
            EXPECT_EQ(d.doc.Layers().ColorAt(d.slot, x, d.Row(y)) == 0xFF0000u, in)
                << x << "," << y;
        }

    d.Choose(ToolId::ColourPick);
    d.view.ButtonDown({50, 40});
    const uint32_t rgb = PatternColour(50, 40);
    EXPECT_EQ(d.settings.foreground, ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
    EXPECT_EQ(RecordedSteps(d.doc).size(), 2u);  // picking changes no pixel
}

TEST(PaintTools, SprayStaysInItsDiscAndStopsAtTheEdge) {
    Painter f;
    f.Choose(ToolId::Spray);
    const LayerPlanes before = f.Planes();
    f.Drag({{40, 30}});
    int changed = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x) {
            const size_t i = size_t(f.Row(y)) * f.L().stride + size_t(x) * 3;
            if (f.Planes().pixels[i + 1] == before.pixels[i + 1]) continue;
            ++changed;
            // Ring 19's points lie within half a pixel of its radius.
            ASSERT_LE((x - 40) * (x - 40) + (y - 30) * (y - 30), 20 * 20 + 20) << x << "," << y;
        }
    EXPECT_GT(changed, 600);
    EXPECT_EQ(f.LastLabel(), u"스프레이");

    // Near the edge the rings stop before the first one that would leave the layer.
    Painter e;
    e.Choose(ToolId::Spray);
    const LayerPlanes start = e.Planes();
    e.Drag({{5, 30}});
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x) {
            const size_t i = size_t(e.Row(y)) * e.L().stride + size_t(x) * 3;
            if (e.Planes().pixels[i + 1] != start.pixels[i + 1]) {
                ASSERT_LE(std::abs(x - 5), 5);
            }
        }
}

TEST(PaintTools, WaterDropSmearsFromOpaquePixelsOnly) {
    Painter f(160, 160);
    f.Choose(ToolId::WaterDrop);
    EXPECT_EQ(f.tools.slider1, (OptionSlider{true, "퍼짐정도", 10, 5, 30}));
    f.settings.brushThickness = 26;  // radius 50, square of 2 × 100 + 1
    const LayerPlanes before = f.Planes();
    f.Drag({{80, 80}});
    int far = 0;
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 160; ++x) {
            const size_t i = size_t(f.Row(y)) * f.L().stride + size_t(x) * 3;
            if (f.Planes().pixels[i] == before.pixels[i] &&
                f.Planes().pixels[i + 1] == before.pixels[i + 1])
                continue;
            ASSERT_LE(std::max(std::abs(x - 80), std::abs(y - 80)), 100);
            far = std::max(far, std::abs(x - 80));
        }
    EXPECT_GT(far, 50);  // more than a size-25 drop reaches
    EXPECT_EQ(f.LastLabel(), u"물방울");

    Painter t;
    t.Choose(ToolId::WaterDrop);
    t.doc.Layers().PutAlpha(t.slot, 40, t.Row(30), 0);
    t.doc.CopyToSnapshot(t.slot);
    const LayerPlanes start = t.Planes();
    t.view.ButtonDown({40, 30});
    EXPECT_EQ(t.Planes().pixels, start.pixels);
}

TEST(PaintTools, TextLayersAreRefusedWithTheMessage) {
    Painter f;
    AddPatternLayer(f.doc, 20, 20, 0, 0, 80, 60, LayerKind::Text);
    const size_t steps = RecordedSteps(f.doc).size();
    for (ToolId tool : {ToolId::Brush, ToolId::Dot, ToolId::Spray, ToolId::TouchDeform}) {
        f.user.entries.clear();
        f.tools.currentTool = tool;
        f.Drag({{5, 5}, {10, 10}});
        ASSERT_EQ(f.user.entries.size(), 1u) << int(tool);
        EXPECT_EQ(f.user.entries[0].text, kTextLayerRefused);
    }
    f.user.entries.clear();
    EXPECT_FALSE(f.paint.PutSpeechBalloon(f.doc));
    ASSERT_EQ(f.user.entries.size(), 1u);
    EXPECT_EQ(f.user.entries[0].text, kTextLayerRefused);
    EXPECT_EQ(RecordedSteps(f.doc).size(), steps);
}

TEST(PaintTools, StrokesThatLeaveTheLayerGrowIt) {
    Painter f(40, 40);
    AddPatternLayer(f.doc, 20, 20, 10, 10, 40, 40);
    f.slot = f.doc.CurrentLayer();
    f.Choose(ToolId::Brush);
    f.Drag({{15, 15}, {35, 15}});
    EXPECT_EQ(f.L().width, 20 + 6 + 15);  // overshoot 6 beyond column 29, plus 15
    EXPECT_EQ(f.doc.Layers().ColorAt(f.slot, 35 - 10, f.L().height - 1 - 5), 0x00FF00u);
}

TEST(PaintTools, TouchDeformWarpsTheAreaAroundTheRelease) {
    Painter f(300, 200);
    f.Choose(ToolId::TouchDeform);
    const LayerPlanes before = f.Planes();
    f.Drag({{150, 100}});
    bool changed = false;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) {
            const size_t i = size_t(f.Row(y)) * f.L().stride + size_t(x) * 3;
            if (f.Planes().pixels[i] == before.pixels[i]) continue;
            changed = true;
            ASSERT_TRUE(x >= 70 && x < 230 && y >= 40 && y <= 160) << x << "," << y;
        }
    EXPECT_TRUE(changed);
    EXPECT_EQ(f.LastLabel(), u"터치변형");
}

TEST(PaintTools, ZoomedStrokesPaintCanvasPoints) {
    Painter f(80, 60, 4.0);
    f.Choose(ToolId::Brush);
    f.settings.brushThickness = 1;
    f.Drag({{40, 40}, {200, 40}});  // canvas (10, 10) to (50, 10)
    for (int x = 10; x <= 50; ++x)
        EXPECT_EQ(f.doc.Layers().ColorAt(f.slot, x, f.Row(10)), 0x00FF00u) << x;
    EXPECT_NE(f.doc.Layers().ColorAt(f.slot, 51, f.Row(10)), 0x00FF00u);
}

TEST(PaintTools, SpeechBalloonIsTheCircleToolsStrokeAtTheSamePlaceWhateverTheZoom) {
    // At zoom 1 the balloon is what pressing at (300, H − 200) and releasing at (300, H − 150)
    // draws with the circle tool.
    Painter byHand(400, 300);
    byHand.Choose(ToolId::Circle);
    byHand.Drag({{300, 100}, {300, 150}});
    for (double zoom : {1.0, 0.25, 3.0}) {
        Painter f(400, 300, zoom);
        ASSERT_TRUE(f.paint.PutSpeechBalloon(f.doc));
        EXPECT_EQ(f.Planes().pixels, byHand.Planes().pixels) << zoom;
        EXPECT_EQ(f.Planes().alpha, byHand.Planes().alpha) << zoom;
        EXPECT_EQ(f.LastLabel(), u"원 그리기");
        EXPECT_EQ(f.doc.Snapshot().planesOf(f.slot).pixels, f.Planes().pixels);
        ASSERT_TRUE(f.doc.Undo());
        EXPECT_NE(f.Planes().pixels, byHand.Planes().pixels);
    }
    // On a picture lower than 200 rows the rim lies above the canvas: the layer grows to it, as
    // the tool grows it for a point outside.
    Painter low(400, 120);
    ASSERT_TRUE(low.paint.PutSpeechBalloon(low.doc));
    EXPECT_EQ(low.L().y, -80);
    EXPECT_EQ(low.L().height, 120 + 80 + 15);
}
