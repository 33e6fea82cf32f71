// The selection tools through the view's dispatch and the selection operations: the magic
// wand's strict and the colour range's inclusive tolerance, transparent pixels, adding to a
// selection, invert, the circle, freehand and polygon outlines filled on the first tick, and the
// outline display's class map and dashes.
#include <gtest/gtest.h>

#include <deque>

#include "ViewTestDoc.h"
#include "platform/ClipboardPort.h"
#include "platform/RecordingUserPort.h"
#include "view/SelectionOutline.h"
#include "view/ToolState.h"
#include "view/ViewState.h"
#include "view/tools/RectangleSelection.h"
#include "view/tools/SelectionTools.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

struct Session {
    RecordingUserPort user;
    CBrevDoc doc{user, 1};
    ToolState tools;
    MemoryClipboard clipboard;
    ToolRegistry registry;
    SelectionTools selection;
    ViewState view{doc, ViewContext{tools, &clipboard, &registry}};
    int slot = -1;

    explicit Session(int w = 40, int h = 30) {
        slot = AddPatternLayer(doc, w, h);
        selection.registerIn(registry);
        view.SetClientSize({w, h});  // the picture fills the window: window = zoomed point
        view.UpdateOther();
    }
    LayerTable& t() { return doc.Layers(); }
    uint8_t mask(int x, int y) { return t().mask.RowFromTop(y)[x]; }
    int selected() {
        int n = 0;
        for (uint8_t b : t().mask.bytes) n += b != 0;
        return n;
    }
    // Paints a pixel (rows from the top) in a colour 0x00RRGGBB.
    void paint(int x, int y, uint32_t colour, uint8_t alpha = 255) {
        const int row = t().layer(slot).height - 1 - y;
        t().PutColor(slot, x, row, colour);
        t().PutAlpha(slot, x, row, alpha);
        doc.CopyToSnapshot(slot);
    }
    void fill(uint32_t colour) {
        for (int y = 0; y < t().layer(slot).height; ++y)
            for (int x = 0; x < t().layer(slot).width; ++x) paint(x, y, colour);
    }
    void click(ViewPoint p) {
        view.ButtonDown(p);
        view.ButtonUp(p);
    }
    void drag(std::initializer_list<ViewPoint> points) {
        auto it = points.begin();
        view.ButtonDown(*it);
        for (++it; it != points.end(); ++it) view.MouseMove(*it, true);
        view.ButtonUp(*(points.end() - 1));
    }
};

// The wand by the obvious rule: breadth first over 4 neighbours.
std::vector<uint8_t> WandReference(const LayerTable& t, int slot, int sx, int sy, int tol) {
    const Layer& l = t.layer(slot);
    std::vector<uint8_t> out(size_t(l.width * l.height), 0);
    auto colour = [&](int x, int y) { return t.ColorAt(slot, x, l.height - 1 - y); };
    auto alpha = [&](int x, int y) { return t.AlphaAt(slot, x, l.height - 1 - y); };
    auto dist = [](uint32_t a, uint32_t b) {
        int d = 0;
        for (int s = 0; s < 24; s += 8) d += std::abs(int(a >> s & 255) - int(b >> s & 255));
        return d;
    };
    const uint32_t ref = colour(sx, sy);
    std::deque<std::pair<int, int>> q{{sx, sy}};
    out[size_t(sy * l.width + sx)] = 1;
    while (!q.empty()) {
        auto [x, y] = q.front();
        q.pop_front();
        for (auto [dx, dy] : {std::pair{0, -1}, {-1, 0}, {1, 0}, {0, 1}}) {
            const int nx = x + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= l.width || ny >= l.height) continue;
            uint8_t& o = out[size_t(ny * l.width + nx)];
            if (o || alpha(nx, ny) == 0 || dist(colour(nx, ny), ref) >= tol) continue;
            o = 1;
            q.push_back({nx, ny});
        }
    }
    return out;
}

}  // namespace

TEST(MagicWand, ToleranceIsStrictAndTransparentPixelsStayOut) {
    Session s;
    s.fill(0x808080);
    s.paint(11, 10, 0x888888);  // differs by 8, 8, 8: sum 24
    s.paint(10, 11, 0x898888);  // differs by 9, 8, 8: sum 25
    s.paint(9, 10, 0x808080, 0);
    ASSERT_TRUE(MagicWandAt(s.doc, 10, 10, 25, false));
    EXPECT_EQ(s.mask(11, 10), 1);
    EXPECT_EQ(s.mask(10, 11), 0);
    EXPECT_EQ(s.mask(9, 10), 0);  // alpha 0
    EXPECT_EQ(s.mask(0, 0), 1);   // the rest of the grey
    EXPECT_TRUE(s.doc.SelectionActive() && s.doc.ViewShared().outlineReady);
    // Tolerance 0: the clicked pixel alone.
    ASSERT_TRUE(MagicWandAt(s.doc, 5, 5, 0, false));
    EXPECT_EQ(s.selected(), 1);
    EXPECT_EQ(s.mask(5, 5), 1);
    // Clicking a transparent pixel selects nothing.
    ASSERT_TRUE(MagicWandAt(s.doc, 9, 10, 60, false));
    EXPECT_EQ(s.selected(), 0);
    EXPECT_FALSE(MagicWandAt(s.doc, 400, 10, 25, false));  // outside the layer
}

TEST(MagicWand, SpanFillMatchesTheReferenceOnNoise) {
    Session s(64, 48);
    uint32_t state = 12345;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            state = state * 1103515245u + 12345u;
            const uint32_t g = (state >> 16) & 0x1F;
            s.paint(x, y, 0x404040 + g * 0x010101, (state >> 8 & 15) == 0 ? 0 : 255);
        }
    s.paint(30, 20, 0x505050);
    for (int tol : {10, 25, 40, 60}) {
        ASSERT_TRUE(MagicWandAt(s.doc, 30, 20, tol, false));
        const std::vector<uint8_t> want = WandReference(s.t(), s.slot, 30, 20, tol);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                ASSERT_EQ(s.mask(x, y) != 0, want[size_t(y * 64 + x)] != 0 || (x == 30 && y == 20))
                    << tol << ": " << x << ',' << y;
    }
}

TEST(MagicWand, ShiftRepeatAddsToTheSelectionThroughTheView) {
    Session s;
    s.fill(0xFFFFFF);
    for (int y = 0; y < 30; ++y) s.paint(20, y, 0x000000);  // a black wall splits the layer
    s.tools.currentTool = ToolId::MagicWand;
    s.tools.slider1 = {true, "포함한계치", 25, 0, 60};
    s.click({5, 5});
    EXPECT_EQ(s.mask(5, 5), 1);
    EXPECT_EQ(s.mask(30, 5), 0);
    // Left Shift held long enough to repeat: the next click adds.
    s.view.KeyDown(16, kLeftShiftRepeatFlags);
    s.click({30, 5});
    EXPECT_EQ(s.mask(5, 5), 1);
    EXPECT_EQ(s.mask(30, 5), 1);
    EXPECT_EQ(s.mask(20, 5), 0);
    // Without the modifier a click starts over.
    s.view.KeyUp(16);
    s.click({30, 5});
    EXPECT_EQ(s.mask(5, 5), 0);
}

TEST(ColourRange, ToleranceIsInclusiveAndCountsThePicked) {
    Session s(10, 10);
    s.fill(0x000000);
    s.paint(1, 1, 0x102030);
    s.paint(7, 7, 0x0F1C22);  // differs by 1 + 4 + 14 = 19 ... with 6 more below
    s.paint(8, 8, 0x09121E);  // 7 + 14 + 18 = 39
    s.paint(2, 8, 0x102030, 0);
    s.paint(5, 5, 0x10202F + 0x000000);
    auto pick = SelectColourRangeAt(s.doc, 1, 1, 25, false);
    ASSERT_TRUE(pick);
    EXPECT_EQ(pick->colour, 0x102030u);
    // (1,1), (7,7) and (5,5) (sum 1); not (8,8) nor the transparent (2,8).
    EXPECT_EQ(pick->count, 3);
    EXPECT_EQ(s.mask(7, 7), 1);
    EXPECT_EQ(s.mask(8, 8), 0);
    EXPECT_EQ(s.mask(2, 8), 0);
    EXPECT_EQ(ColourRangeCountText(*pick), "픽셀수 3   (3.00)%           ");
    // Exactly 25 away is in.
    s.paint(3, 3, 0x102030 + 0x00000F + 0x000A00);  // 15 + 10
    pick = SelectColourRangeAt(s.doc, 1, 1, 25, false);
    EXPECT_EQ(s.mask(3, 3), 1);
    // Adding keeps what was selected.
    pick = SelectColourRangeAt(s.doc, 0, 0, 0, true);
    EXPECT_EQ(s.mask(1, 1), 1);
    EXPECT_EQ(s.mask(0, 0), 1);
}

TEST(Selection, InvertTurnsOutlinePixelsOffAndTogglesTheFlag) {
    Session s(8, 6);
    ASSERT_TRUE(AlignSelectionMask(s.doc));
    FillSelectionMask(s.doc, 0);
    s.t().mask.RowFromTop(1)[1] = MaskValue::Outline;
    s.t().mask.RowFromTop(2)[2] = MaskValue::Selected;
    s.t().mask.RowFromTop(3)[3] = MaskValue::Marker;
    s.doc.SetSelectionActive(true);
    ASSERT_TRUE(InvertSelection(s.doc));
    EXPECT_FALSE(s.doc.SelectionActive());
    EXPECT_EQ(s.mask(1, 1), 0);
    EXPECT_EQ(s.mask(2, 2), 0);
    EXPECT_EQ(s.mask(3, 3), 0);
    EXPECT_EQ(s.mask(0, 0), 1);
    EXPECT_EQ(s.selected(), 8 * 6 - 3);
}

TEST(Selection, AlignKeepsTheOverlapAtItsCanvasPlace) {
    Session s(20, 20);
    ASSERT_TRUE(SelectRectangle(s.doc, 2, 3, 4, 5));
    // The layer moves by (1, 2): the mask is rebuilt at the new origin, 0 where it is new.
    s.t().layer(s.slot).x += 1;
    s.t().layer(s.slot).y += 2;
    ASSERT_TRUE(AlignSelectionMask(s.doc));
    EXPECT_EQ(s.t().mask.x, 1);
    EXPECT_EQ(s.t().mask.y, 2);
    EXPECT_EQ(s.mask(1, 1), 1);  // canvas (2, 3)
    EXPECT_EQ(s.mask(3, 3), 1);  // canvas (4, 5)
    EXPECT_EQ(s.mask(4, 3), 0);
    EXPECT_EQ(s.mask(19, 19), 0);  // outside the old mask while a selection is shown
    EXPECT_EQ(s.selected(), 9);
}

TEST(Selection, CircleDragOfZeroLengthChangesNothingAndTheCircleFillsWithoutLeaking) {
    Session s;
    s.tools.currentTool = ToolId::CircleSelect;
    const std::vector<uint8_t> before = s.t().mask.bytes;
    s.drag({{20, 15}, {20, 15}});
    EXPECT_EQ(s.t().mask.bytes, before);
    EXPECT_FALSE(s.doc.ViewShared().selectionShown);
    s.drag({{20, 15}, {23, 17}, {28, 15}});  // radius 8
    EXPECT_TRUE(s.doc.ViewShared().selectionShown);
    EXPECT_FALSE(s.doc.ViewShared().outlineReady);
    // The first tick fills the interior.
    EXPECT_TRUE(s.view.TimerTick());
    EXPECT_TRUE(s.doc.ViewShared().outlineReady);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const double d = std::hypot(x - 20, y - 15);
            if (d < 7.0) {
                EXPECT_NE(s.mask(x, y), 0) << x << ',' << y;
            } else if (d > 9.0) {
                EXPECT_EQ(s.mask(x, y), 0) << x << ',' << y;
            }
        }
    EXPECT_EQ(s.mask(20, 7), MaskValue::Outline);  // the top of the circle is closed
}

TEST(Selection, FreehandAndPolygonCloseAndFillOnTheFirstTick) {
    Session s;
    s.tools.currentTool = ToolId::FreehandSelect;
    s.drag({{5, 5}, {30, 5}, {30, 25}, {5, 25}});  // closed back to (5, 5) on release
    EXPECT_TRUE(s.doc.SelectionActive());
    s.view.TimerTick();
    EXPECT_EQ(s.mask(15, 15), 1);
    EXPECT_EQ(s.mask(2, 2), 0);
    EXPECT_EQ(s.mask(5, 15), MaskValue::Outline);  // the closing edge

    s.tools.currentTool = ToolId::PolygonSelect;
    // A selection shown: the click drops it and starts the polygon at once.
    s.click({2, 2});
    s.click({35, 2});
    s.click({35, 28});
    s.view.ButtonDown({2, 28});
    s.view.ButtonUp({2, 28});
    s.view.DoubleClick({2, 28});  // closes to (2, 2)
    EXPECT_TRUE(s.doc.ViewShared().selectionShown);
    s.view.TimerTick();
    EXPECT_EQ(s.mask(20, 20), 1);
    EXPECT_EQ(s.mask(2, 15), MaskValue::Outline);
    // Dropped another way, the next polygon's first click is only swallowed.
    DropSelection(s.doc);
    s.click({3, 3});
    EXPECT_EQ(s.doc.ViewShared().polygonVertices, 0);
    s.click({3, 3});
    EXPECT_EQ(s.doc.ViewShared().polygonVertices, 1);
}

TEST(Selection, RectangleToolRubberBandThenInclusiveSelection) {
    Session s;
    s.tools.currentTool = ToolId::RectSelect;
    s.view.ButtonDown({10, 10});
    s.view.MouseMove({5, 20}, true);
    // The rubber band: outline values on the edges, the rest selected.
    EXPECT_EQ(s.mask(5, 15), MaskValue::Outline);
    EXPECT_EQ(s.mask(7, 15), MaskValue::Selected);
    EXPECT_EQ(ChooseOverlayMode(s.doc, ToolId::RectSelect), OverlayMode::ToolFeedback);
    s.view.ButtonUp({5, 20});
    EXPECT_EQ(s.selected(), 6 * 11);
    EXPECT_EQ(s.mask(5, 10), 1);
    EXPECT_EQ(s.mask(10, 20), 1);
    EXPECT_EQ(ChooseOverlayMode(s.doc, ToolId::RectSelect), OverlayMode::Selection);
    // Ctrl+D's drop: everything editable again, the outline gone.
    DropSelection(s.doc);
    EXPECT_EQ(s.selected(), 40 * 30);
    EXPECT_FALSE(s.doc.SelectionActive());
}

TEST(SelectionOutline, DashesAlternateWithThePhaseAndDimOutside) {
    SelectionMask m;
    m.Reset(0, 0, 20, 10, 0);
    for (int y = 2; y < 8; ++y)
        for (int x = 4; x < 16; ++x) m.RowFromTop(y)[x] = 1;
    DisplayRequest q;
    q.right = 40;  // zoom 2: 40 × 20 window pixels
    q.bottom = 20;
    q.zoomX = q.zoomY = 2.0;
    SelectionOutline o;
    o.Build(m, q, OverlayMode::Selection, true);
    ASSERT_EQ(o.Width(), 40);
    EXPECT_EQ(o.Classes()[size_t(5 * 40 + 9)], 1);  // window (9, 5) is mask (4, 2)
    EXPECT_EQ(o.Classes()[size_t(5 * 40 + 7)], 0);
    EXPECT_GT(o.DrawnCount(), 0u);
    std::vector<uint32_t> frame(40 * 20, 0xFF102030u);
    o.Dim(frame.data(), 40);
    EXPECT_EQ(frame[0], 0xFF303030u);             // outside: the blue value in every channel
    EXPECT_EQ(frame[10 * 40 + 20], 0xFF102030u);  // inside stays
    const OutlineColours c = OutlineColoursFor(0x0000FF, 0x00FF00);  // red outline
    EXPECT_EQ(c.b, 0xFFFF0000u);
    EXPECT_EQ(c.a, 0xFF00FFFFu);
    // The left edge is at window column 7 (class change to its right); row 5 follows the phase
    // in the other rows' opposite colour... rows 3 and 4 modulo 5 follow it.
    o.Paint(frame.data(), 40, true, c);
    const uint32_t row8 = frame[8 * 40 + 7], row5 = frame[5 * 40 + 7];
    EXPECT_EQ(row8, c.a);  // 8 % 5 = 3: follows the phase
    EXPECT_EQ(row5, c.b);
    o.Paint(frame.data(), 40, false, c);
    EXPECT_EQ(frame[8 * 40 + 7], c.b);
    EXPECT_EQ(frame[5 * 40 + 7], c.a);
    // A grey outline colour: each channel's complement is too close and becomes 0.
    EXPECT_EQ(OutlineColoursFor(0x808080, 0).a, 0xFF000000u);
}
