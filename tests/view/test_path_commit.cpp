// A finished path as a selection and as a brush stroke.
#include <gtest/gtest.h>

#include "document/EditCycle.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/TempDir.h"
#include "tests/view/ViewTestDoc.h"
#include "view/tools/BrushStamp.h"
#include "view/tools/OutlineFill.h"
#include "view/tools/PathCommit.h"

using namespace quillet;

namespace {

struct CommitDoc : ::testing::Test {
    testsupport::TempDir dir;
    RecordingUserPort user;
    CBrevDoc doc{user};
    int slot = -1;
    void SetUp() override {
        doc.Journal().SetFolder(dir.path().string());
        slot = quillet::testing::AddPatternLayer(doc, 60, 40);
        ASSERT_GE(slot, 0);
        doc.RecordStep(u"Opening....", StepKind::PixelEdit, slot);
    }
    GuidePath& path() { return doc.ViewShared().path; }
};

}  // namespace

TEST_F(CommitDoc, ClosedTriangleBecomesTheSelectionThePolygonOutlineGives) {
    path().points = {{5, 5}};
    EXPECT_FALSE(PathToSelection(doc));
    path().points = {{5, 5}, {50, 8}};
    path().closed = true;
    EXPECT_FALSE(PathToSelection(doc));
    EXPECT_EQ(user.lastText(), kNeedMoreGuidePoints);
    path().points.push_back({20, 35});
    path().closed = false;
    EXPECT_FALSE(PathToSelection(doc));
    EXPECT_EQ(user.lastText(), kPathNotClosed);
    EXPECT_FALSE(doc.SelectionActive());

    path().closed = true;
    ASSERT_TRUE(PathToSelection(doc));
    EXPECT_TRUE(path().Empty());
    EXPECT_TRUE(doc.SelectionActive() && doc.ViewShared().selectionShown);
    // The polygon tool's outline: the three edges, then the interior fill.
    SelectionMask want;
    want.Reset(0, 0, 60, 40, MaskValue::Unselected);
    DrawOutlineLine(want, 5, 5, 50, 8);
    DrawOutlineLine(want, 50, 8, 20, 35);
    DrawOutlineLine(want, 20, 35, 5, 5);
    ASSERT_TRUE(FillClosedOutline(want));
    EXPECT_EQ(doc.Layers().mask.bytes, want.bytes);
    EXPECT_NE(doc.Layers().mask.RowFromTop(16)[25], 0);  // inside the triangle
    EXPECT_EQ(doc.Layers().mask.RowFromTop(35)[55], 0);  // outside
}

TEST_F(CommitDoc, FullLengthStrokeDrawsEveryEdgeAndUndoes) {
    const std::vector<uint8_t> before = doc.Layers().planesOf(slot).pixels;
    path().points = {{5, 5}, {50, 5}, {50, 30}};
    path().closed = true;
    ASSERT_EQ(StrokePath(doc, {100, 3, false, 0xFF0000}), EditOutcome::Done);
    EXPECT_TRUE(path().Empty());
    // The same edges stamped directly.
    std::vector<uint8_t> px = before, alpha = doc.Snapshot().planesOf(slot).alpha;
    const Layer& l = doc.Layers().layer(slot);
    LayerPixels want;
    want.pixels = px.data();
    want.stride = l.stride;
    want.alpha = alpha.data();
    want.width = 60;
    want.height = 40;
    const BrushStamp stamp(3, false);
    PaintLine({want}, stamp, 5, 34, 50, 34, 0xFF0000);
    PaintLine({want}, stamp, 50, 34, 50, 9, 0xFF0000);
    PaintLine({want}, stamp, 50, 9, 5, 34, 0xFF0000);
    EXPECT_EQ(doc.Layers().planesOf(slot).pixels, px);
    const auto steps = quillet::testing::RecordedSteps(doc);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps.back().label, u"경로따라 선긋기");
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.Layers().planesOf(slot).pixels, before);
}

TEST_F(CommitDoc, ShortStrokeStopsWithinTheEdgeThatPassesTheLength) {
    // Edges of 40 and 30: 50 % is 35, inside the first edge.
    path().points = {{5, 5}, {45, 5}, {45, 35}};
    ASSERT_EQ(StrokePath(doc, {50, 1, false, 0x00FF00}), EditOutcome::Done);
    const LayerTable& t = doc.Layers();
    EXPECT_EQ(t.ColorAt(slot, 5, 34), 0x00FF00u);
    EXPECT_EQ(t.ColorAt(slot, 40, 34), 0x00FF00u);  // 35 of the edge's 40 steps
    EXPECT_EQ(t.ColorAt(slot, 41, 34), quillet::testing::PatternColour(41, 5));
    EXPECT_EQ(t.ColorAt(slot, 45, 20), quillet::testing::PatternColour(45, 19));
}
