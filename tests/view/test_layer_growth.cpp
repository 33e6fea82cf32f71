// Layer coordinates with bottom-up rows and the growth of a layer to a point outside it.
#include <gtest/gtest.h>

#include "ViewTestDoc.h"
#include "platform/RecordingUserPort.h"
#include "view/LayerGrowth.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

// Reads the canvas pixel (x, y) of a layer through the plain accessors, or nothing outside it.
bool CanvasPixel(const LayerTable& t, int slot, int x, int y, uint32_t& colour, uint8_t& alpha) {
    const Layer& l = t.layer(slot);
    const int lx = x - l.x, ly = y - l.y;
    if (lx < 0 || ly < 0 || lx >= l.width || ly >= l.height) return false;
    colour = t.ColorAt(slot, lx, l.height - 1 - ly);
    alpha = t.AlphaAt(slot, lx, l.height - 1 - ly);
    return true;
}

}  // namespace

TEST(LayerCoordinates, RowsCountFromTheLayersOwnBottom) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    AddPatternLayer(doc, 100, 80);
    const int slot = AddPatternLayer(doc, 20, 10, 30, 40, 100, 80);
    const Layer& l = doc.Layers().layer(slot);
    const LayerPoint top = ToLayer(l, {30, 40});
    EXPECT_TRUE(top.inside);
    EXPECT_EQ(top.row, 9);  // the layer's top row is its last storage row
    EXPECT_EQ(doc.Layers().ColorAt(slot, top.x, top.row), PatternColour(30, 40));
    const LayerPoint bottom = ToLayer(l, {49, 49});
    EXPECT_EQ(bottom.row, 0);
    EXPECT_EQ(CanvasOf({9, 5}, 2.0), (ViewPoint{4, 2}));
    EXPECT_EQ(CanvasOf({9, 5}, 0.25), (ViewPoint{36, 20}));
}

TEST(LayerGrowth, PointBeforeTheOriginMovesItBackAndKeepsPixelsInPlace) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    AddPatternLayer(doc, 60, 50);
    const int slot = AddPatternLayer(doc, 10, 8, 5, 5, 60, 50);
    // A zoom of 2: zoomed (4, 6) is canvas (2, 3), 3 left of and 2 above the layer.
    doc.SetZoom(2.0);
    const LayerPoint p = CurrentLayerPoint(doc, {4, 6}, u"붓그리기");
    const Layer& l = doc.Layers().layer(slot);
    EXPECT_EQ(l.x, 2);
    EXPECT_EQ(l.y, 3);
    EXPECT_EQ(l.width, 10 + 3 + 15);
    EXPECT_EQ(l.height, 8 + 2 + 15);
    EXPECT_EQ(l.stride, 84u);  // (24 × 28 + 31) / 32 × 4
    EXPECT_TRUE(p.inside);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    const auto steps = RecordedSteps(doc);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].label, u"붓그리기");
    EXPECT_EQ(steps[0].layer, slot);
    EXPECT_EQ(doc.Snapshot().layer(slot).width, l.width);
    EXPECT_EQ(doc.WorkingPixels().size(), l.pixelSize);
    for (int y = 3; y < 28; ++y) {
        for (int x = 2; x < 30; ++x) {
            uint32_t c;
            uint8_t a;
            ASSERT_TRUE(CanvasPixel(doc.Layers(), slot, x, y, c, a));
            const bool old = x >= 5 && x < 15 && y >= 5 && y < 13;
            EXPECT_EQ(a, old ? 255 : 0) << x << "," << y;
            if (old) {
                EXPECT_EQ(c, PatternColour(x, y)) << x << "," << y;
            }
        }
    }
}

TEST(LayerGrowth, PointPastTheFarEdgeGrowsOnlyThatWay) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    const int slot = AddPatternLayer(doc, 10, 8);
    EXPECT_TRUE(GrowLayerToPoint(doc, slot, {12, 4}, u"선그리기"));
    const Layer& l = doc.Layers().layer(slot);
    EXPECT_EQ(l.x, 0);
    EXPECT_EQ(l.width, 10 + 3 + 15);
    EXPECT_EQ(l.height, 8);
    uint32_t c;
    uint8_t a;
    ASSERT_TRUE(CanvasPixel(doc.Layers(), slot, 9, 7, c, a));
    EXPECT_EQ(c, PatternColour(9, 7));
    EXPECT_FALSE(GrowLayerToPoint(doc, slot, {3, 3}, u"선그리기"));
    EXPECT_EQ(RecordedSteps(doc).size(), 1u);
}
