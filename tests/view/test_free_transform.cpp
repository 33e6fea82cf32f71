// Free transform and free rotate: entering a mode, the handle rules, the preview that follows
// the mouse, apply and cancel, the journal step, and the warp's agreement with the exact
// geometry routines.
#include <gtest/gtest.h>

#include "ViewTestDoc.h"
#include "document/FreeTransform.h"
#include "document/GeometryEdit.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/TempDir.h"
#include "view/ToolChoice.h"
#include "view/ToolState.h"
#include "view/ViewZoom.h"
#include "view/tools/FreeTransformTool.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

struct Fixture {
    testsupport::TempDir dir{"quillet_transform"};
    RecordingUserPort user;
    CBrevDoc doc{user, 1};
    ToolState tools;
    int slot = -1;

    // A 60 × 50 canvas with a 20 × 10 layer at (15, 12).
    Fixture() {
        doc.Journal().SetFolder(dir.path().string() + '/');
        AddPatternLayer(doc, 60, 50);
        slot = AddPatternLayer(doc, 20, 10, 15, 12, 60, 50);
        doc.RecordStep(u"Opening....", StepKind::PixelEdit);
    }
    LayerTable& t() { return doc.Layers(); }
    const FreeTransformState& s() { return doc.FreeTransform(); }
};

struct LayerBytes {
    Layer record;
    LayerPlanes planes;
};

LayerBytes bytesOf(const LayerTable& t, int slot) { return {t.layer(slot), t.planesOf(slot)}; }

bool sameLayer(const LayerBytes& a, const LayerTable& t, int slot) {
    const Layer& l = t.layer(slot);
    return a.record.x == l.x && a.record.y == l.y && a.record.width == l.width &&
           a.record.height == l.height && a.planes.pixels == t.planesOf(slot).pixels &&
           a.planes.alpha == t.planesOf(slot).alpha && a.planes.effect == t.planesOf(slot).effect;
}

}  // namespace

TEST(FreeTransform, EnteringSwitchesTo100PercentAndTakesTheContentCorners) {
    Fixture f;
    ASSERT_TRUE(ZoomIn(f.doc, AnchorPoint{}));
    ASSERT_EQ(f.doc.Zoom(), 2.0);
    // Transparent margins are not part of what the handles take hold of.
    for (int r = 0; r < 10; ++r) f.t().PutAlpha(f.slot, 0, r, 0);
    ASSERT_TRUE(EnterFreeTransform(f.doc, f.tools, ToolId::TransformSize));
    EXPECT_EQ(f.doc.Zoom(), 1.0);
    EXPECT_TRUE(f.tools.freeTransformPanelOpen);
    EXPECT_EQ(f.tools.currentTool, ToolId::TransformSize);
    EXPECT_EQ(f.s().handles, (CornerHandles{{16, 34, 34, 16}, {21, 21, 12, 12}}));
    // The edges are outline pixels of the mask: the top edge runs along the layer's top row.
    const SelectionMask& m = f.t().mask;
    EXPECT_EQ(m.bytes[size_t(9) * size_t(m.width) + 10], 2);
    EXPECT_EQ(m.bytes[size_t(5) * size_t(m.width) + 10], 1);
    // The same mode again does nothing; the panel lets only the modes through.
    EXPECT_FALSE(EnterFreeTransform(f.doc, f.tools, ToolId::TransformSize));
    EXPECT_EQ(ChooseTool(f.tools, ToolId::Brush, &f.doc), ToolChoice::Refused);
    EXPECT_EQ(ChooseTool(f.tools, ToolId::TransformDistort, &f.doc), ToolChoice::Chosen);
}

TEST(FreeTransform, HandleRulesOfTheModes) {
    Fixture f;
    ASSERT_TRUE(EnterFreeTransform(f.doc, f.tools, ToolId::TransformSize));
    const CornerHandles start = f.s().handles;  // x 15..34, y 12..21
    // Scale: handle 2 drags handle 1's x and handle 3's y with it.
    GrabHandle(f.doc, 36, 10);
    EXPECT_EQ(f.s().grabbed, 2);
    DragHandle(f.doc, 40, 8);
    EXPECT_EQ(f.s().handles, (CornerHandles{{15, 40, 40, 15}, {21, 21, 8, 8}}));
    ReleaseHandle(f.doc, 40, 8);
    EXPECT_EQ(f.t().layer(f.slot).width, 26);
    EXPECT_EQ(f.t().layer(f.slot).height, 14);

    // Perspective: handle 0 by (+10, +3) moves along x only, handle 1 the opposite way.
    ASSERT_TRUE(EnterFreeTransform(f.doc, f.tools, ToolId::TransformPerspective));
    const CornerHandles p = f.s().handles;
    GrabHandle(f.doc, p.x[0], p.y[0]);
    DragHandle(f.doc, p.x[0] + 10, p.y[0] + 3);
    EXPECT_EQ(f.s().handles.x[0], p.x[0] + 10);
    EXPECT_EQ(f.s().handles.y[0], p.y[0]);
    EXPECT_EQ(f.s().handles.x[1], p.x[1] - 10);
    EXPECT_EQ(f.s().handles.y[1], p.y[1]);
    // A tie of the two axes counts as vertical: handle 3 (same x) moves the other way.
    DragHandle(f.doc, p.x[0] + 4, p.y[0] - 4);
    EXPECT_EQ(f.s().handles.x[0], p.x[0]);
    EXPECT_EQ(f.s().handles.y[0], p.y[0] - 4);
    EXPECT_EQ(f.s().handles.y[3], p.y[3] + 4);

    // Distort: only the grabbed handle, stored at the release point.
    ASSERT_TRUE(EnterFreeTransform(f.doc, f.tools, ToolId::TransformDistort));
    const CornerHandles d = f.s().handles;
    GrabHandle(f.doc, d.x[3], d.y[3]);
    DragHandle(f.doc, d.x[3] - 3, d.y[3] - 2);
    ReleaseHandle(f.doc, d.x[3] - 5, d.y[3] - 4);
    CornerHandles want = d;
    want.x[3] -= 5;
    want.y[3] -= 4;
    EXPECT_EQ(f.s().handles, want);
    (void)start;
}

TEST(FreeTransform, EqualDistancesGrabTheLowerIndex) {
    const CornerHandles h{{0, 10, 10, 0}, {10, 10, 0, 0}};
    EXPECT_EQ(NearestHandle(h, 5, 5), 0);   // all four equally near
    EXPECT_EQ(NearestHandle(h, 5, 10), 0);  // 0 and 1
    EXPECT_EQ(NearestHandle(h, 10, 5), 1);  // 1 and 2
    EXPECT_EQ(NearestHandle(h, 5, 0), 2);   // 2 and 3
    EXPECT_EQ(NearestHandle(h, 9, 1), 2);
}

// The preview shown while dragging is the full warp at every pixel a window samples.
TEST(FreeTransform, DragPreviewMatchesTheAppliedWarpWhereTheWindowLooks) {
    Fixture f;
    ASSERT_TRUE(EnterFreeTransform(f.doc, f.tools, ToolId::TransformDistort));
    DocViewState& v = f.doc.ViewShared();
    v.scrollX = 10, v.scrollY = 5, v.clientWidth = 30, v.clientHeight = 25;
    GrabHandle(f.doc, 34, 12);
    DragHandle(f.doc, 44, 4);
    const LayerBytes preview = bytesOf(f.t(), f.slot);
    ReleaseHandle(f.doc, 44, 4);
    const Layer& l = f.t().layer(f.slot);
    ASSERT_EQ(preview.record.x, l.x);
    ASSERT_EQ(preview.record.width, l.width);
    ASSERT_EQ(preview.record.height, l.height);
    int compared = 0;
    for (int y = 5; y < 30; ++y)
        for (int x = 10; x < 40; ++x) {
            const int lx = x - l.x, ly = y - l.y;
            if (lx < 0 || ly < 0 || lx >= l.width || ly >= l.height) continue;
            const int r = l.height - 1 - ly;
            ASSERT_EQ(preview.planes.alpha[size_t(r) * l.width + lx],
                      f.t().planesOf(f.slot).alpha[size_t(r) * l.width + lx]);
            ASSERT_EQ(
                0, std::memcmp(&preview.planes.pixels[size_t(r) * l.stride + lx * 3],
                               &f.t().planesOf(f.slot).pixels[size_t(r) * l.stride + lx * 3], 3));
            ++compared;
        }
    EXPECT_GT(compared, 300);
}

TEST(FreeTransform, CancelRestoresTheLayerByteForByte) {
    Fixture f;
    const LayerBytes before = bytesOf(f.t(), f.slot);
    ASSERT_TRUE(EnterFreeTransform(f.doc, f.tools, ToolId::TransformDistort));
    GrabHandle(f.doc, 15, 21);
    DragHandle(f.doc, 5, 30);
    ReleaseHandle(f.doc, 5, 30);
    // A second mode starts from the first one's result; cancel still goes back to the start.
    ASSERT_TRUE(EnterFreeTransform(f.doc, f.tools, ToolId::TransformSize));
    GrabHandle(f.doc, 0, 0);
    DragHandle(f.doc, 2, 2);
    ReleaseHandle(f.doc, 2, 2);
    ASSERT_FALSE(sameLayer(before, f.t(), f.slot));
    CancelFreeTransform(f.doc, f.tools);
    EXPECT_TRUE(sameLayer(before, f.t(), f.slot));
    EXPECT_FALSE(f.s().Active());
    EXPECT_FALSE(f.tools.freeTransformPanelOpen);
    EXPECT_EQ(f.tools.currentTool, ToolId::None);
    EXPECT_EQ(f.doc.Journal().StepIndex(), 0);
}

TEST(FreeTransform, OkRecordsOneStepThatUndoAndRedoFollow) {
    Fixture f;
    const LayerBytes before = bytesOf(f.t(), f.slot);
    ASSERT_TRUE(EnterFreeTransform(f.doc, f.tools, ToolId::TransformPerspective));
    GrabHandle(f.doc, 34, 12);
    DragHandle(f.doc, 40, 13);
    ReleaseHandle(f.doc, 40, 13);
    const LayerBytes shown = bytesOf(f.t(), f.slot);
    ASSERT_TRUE(CommitFreeTransform(f.doc, f.tools));
    EXPECT_TRUE(sameLayer(shown, f.t(), f.slot));  // the final warp is the one previewed
    ASSERT_EQ(f.doc.Journal().StepIndex(), 1);
    EXPECT_EQ(f.doc.Journal().Entry(1).label, u"자유변환(원근)");
    EXPECT_EQ(f.tools.currentTool, ToolId::None);
    ASSERT_TRUE(f.doc.Undo());
    EXPECT_TRUE(sameLayer(before, f.t(), f.slot));
    ASSERT_TRUE(f.doc.Redo());
    EXPECT_TRUE(sameLayer(shown, f.t(), f.slot));
}

TEST(FreeTransform, ApplyingAtAnotherZoomTellsTheUserAndChangesNothing) {
    Fixture f;
    const LayerBytes before = bytesOf(f.t(), f.slot);
    ASSERT_TRUE(EnterFreeTransform(f.doc, f.tools, ToolId::TransformDistort));
    GrabHandle(f.doc, 15, 12);
    DragHandle(f.doc, 10, 10);
    ZoomIn(f.doc, AnchorPoint{});
    ReleaseHandle(f.doc, 10, 10);
    EXPECT_EQ(f.doc.Zoom(), 1.0);
    ASSERT_EQ(f.user.texts().size(), 1u);
    EXPECT_EQ(f.user.texts()[0], kTransformZoomMessage);
    EXPECT_TRUE(sameLayer(before, f.t(), f.slot));
}

TEST(FreeTransform, AFlatQuadrilateralLeavesTheLayerAsItWas) {
    Fixture f;
    const LayerBytes before = bytesOf(f.t(), f.slot);
    ASSERT_TRUE(EnterFreeTransform(f.doc, f.tools, ToolId::TransformDistort));
    // Handle 3 onto the diagonal from 0 to 2 with 1 on it too: every point on one line.
    GrabHandle(f.doc, 34, 21);
    ReleaseHandle(f.doc, 25, 17);
    GrabHandle(f.doc, 15, 12);
    ReleaseHandle(f.doc, 25, 17);
    GrabHandle(f.doc, 15, 21);
    ReleaseHandle(f.doc, 25, 17);
    EXPECT_FALSE(ApplyTransformPreview(f.doc));
    EXPECT_TRUE(sameLayer(before, f.t(), f.slot));
    EXPECT_FALSE(CommitFreeTransform(f.doc, f.tools));
    EXPECT_TRUE(sameLayer(before, f.t(), f.slot));
    EXPECT_EQ(f.doc.Journal().StepIndex(), 0);
}

// An upright rectangle is a plain resample of the content, enlarging or reducing.
TEST(FreeTransform, UprightRectangleWarpIsThePlainResample) {
    for (const auto& [w, h] : {std::pair{47, 23}, std::pair{9, 6}}) {
        Fixture f;
        const Layer src = f.t().layer(f.slot);
        const LayerPlanes planes = f.t().planesOf(f.slot);
        ASSERT_TRUE(TransformLayer(f.doc, BoxCornerHandles(HandleBox{3, 4, w, h})));
        const Layer& l = f.t().layer(f.slot);
        ASSERT_EQ(l.x, 3);
        ASSERT_EQ(l.y, 4);
        ASSERT_EQ(l.width, w);
        ASSERT_EQ(l.height, h);
        std::vector<uint8_t> want(size_t(l.stride) * size_t(h));
        ResamplePlane(ConstPlaneRef{planes.pixels.data(), src.stride, src.width, src.height, 24},
                      PlaneRef{want.data(), l.stride, w, h, 24},
                      ResampleScale{double(src.width) / w, double(src.height) / h});
        EXPECT_EQ(f.t().planesOf(f.slot).pixels, want) << w << 'x' << h;
        EXPECT_EQ(f.doc.Journal().Entry(f.doc.Journal().StepIndex()).label, u"자유변환");
    }
}

// A quarter turn through the warp lands every pixel centre on a source centre: the exact turn.
TEST(FreeRotate, QuarterTurnThroughTheWarpIsTheExactTurn) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    AddPatternLayer(doc, 40, 40);
    const int slot = AddPatternLayer(doc, 16, 16, 7, 9, 40, 40);
    LayerTable& t = doc.Layers();
    const Layer src = t.layer(slot);
    const LayerPlanes planes = t.planesOf(slot);
    ASSERT_TRUE(
        WarpLayerFrom(t, slot, src, planes, HandleBox{7, 9, 16, 16}, RotatedLayerHandles(src, 90)));
    const Layer& l = t.layer(slot);
    EXPECT_EQ(l.x, 7);
    EXPECT_EQ(l.y, 9);
    std::vector<uint8_t> want(planes.pixels.size());
    TurnPlane(ConstPlaneRef{planes.pixels.data(), src.stride, 16, 16, 24},
              PlaneRef{want.data(), src.stride, 16, 16, 24}, QuarterTurn::Clockwise);
    EXPECT_EQ(t.planesOf(slot).pixels, want);
    EXPECT_EQ(t.planesOf(slot).alpha, planes.alpha);
}

TEST(FreeRotate, MinusNinetyTurnsAs270AndOkRecordsTheStep) {
    Fixture f;
    ASSERT_TRUE(EnterFreeRotate(f.doc, f.tools));
    EXPECT_EQ(f.tools.currentTool, ToolId::FreeRotate);
    EXPECT_FALSE(SetFreeRotateAngle(f.doc, 360, true));
    ASSERT_TRUE(SetFreeRotateAngle(f.doc, 270, true));
    const LayerBytes at270 = bytesOf(f.t(), f.slot);
    const CornerHandles h270 = f.s().handles;
    ASSERT_TRUE(SetFreeRotateAngle(f.doc, 0, true));
    ASSERT_TRUE(SetFreeRotateAngle(f.doc, -90, true));
    EXPECT_EQ(f.s().angle, 270);
    EXPECT_EQ(f.s().handles, h270);
    EXPECT_TRUE(sameLayer(at270, f.t(), f.slot));
    EXPECT_EQ(f.t().layer(f.slot).width, 10);
    EXPECT_EQ(f.t().layer(f.slot).height, 20);

    ASSERT_TRUE(SetFreeRotateAngle(f.doc, 33.5, true));
    const LayerBytes shown = bytesOf(f.t(), f.slot);
    ASSERT_TRUE(CommitFreeTransform(f.doc, f.tools));
    EXPECT_TRUE(sameLayer(shown, f.t(), f.slot));
    EXPECT_EQ(f.doc.Journal().Entry(f.doc.Journal().StepIndex()).label, u"자유회전");
    EXPECT_EQ(f.tools.currentTool, ToolId::None);
}
