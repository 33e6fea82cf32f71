// Layer list edits and the operations that compose layers: where layers go, what the user is
// told, what the journal brings back.
#include "CompositorReference.h"
#include "LayerOpsTestDoc.h"

using namespace layer_ops_test;

namespace {

TEST(LayerAdd, GoesDirectlyAboveTheCurrentLayerEmptyAndNamed) {
    OpsDoc d;
    const int a = d.addPainted(5), b = d.addPainted(6);
    d.doc.SetCurrentLayerIndex(a);  // the middle of 0, a, b
    const int added = AddEmptyLayer(d.doc);
    ASSERT_GE(added, 0);
    EXPECT_EQ(d.t().Order(), (std::vector<int>{0, a, added, b}));
    EXPECT_EQ(d.doc.CurrentLayer(), added);
    const Layer& l = d.t().layer(added);
    EXPECT_EQ(l.Name(), u"레이어 " + std::u16string(1, char16_t(u'0' + added)));
    EXPECT_EQ(l.width, d.canvasW);
    EXPECT_EQ(l.height, d.canvasH);
    EXPECT_EQ(l.x, 0);
    EXPECT_EQ(l.kind, LayerKind::Raster);
    EXPECT_EQ(l.background, 0);
    EXPECT_EQ(l.visible, 1);
    EXPECT_EQ(l.textScale, 10);
    EXPECT_EQ(l.textSettingB, 100);
    const LayerPlanes& p = d.t().planesOf(added);
    EXPECT_EQ(p.alpha, std::vector<uint8_t>(p.alpha.size(), 0));
    EXPECT_EQ(p.pixels, std::vector<uint8_t>(p.pixels.size(), 255));
    EXPECT_EQ(d.j().Entry(d.j().StepIndex()).label, u"레이어추가");
    EXPECT_TRUE(ListIsSound(d.t()));
}

TEST(LayerAdd, DropsUnrecordedToolChangesOfTheCurrentLayer) {
    OpsDoc d;
    const TableState recorded = capture(d.t());
    d.t().planesOf(0).alpha[0] ^= 0xFF;  // a tool drew without recording yet
    AddEmptyLayer(d.doc);
    EXPECT_EQ(d.t().planesOf(0).alpha, recorded.planes[0].alpha);
}

TEST(LayerAdd, TheFortyFirstIsRefusedAndAFreedSlotIsReused) {
    OpsDoc d;
    for (int i = 1; i < kLayerSlots; ++i) ASSERT_EQ(AddEmptyLayer(d.doc), i);
    const TableState full = capture(d.t());
    EXPECT_EQ(AddEmptyLayer(d.doc), -1);
    EXPECT_EQ(d.user.lastText(),
              "레이어수 과다... 기존 레이어의 병합 혹은 제거하신 후에 다시 시도.");
    EXPECT_TRUE(sameTable(full, d.t()));
    d.doc.SetCurrentLayerIndex(2);
    ASSERT_TRUE(DeleteCurrentLayer(d.doc));
    EXPECT_EQ(AddEmptyLayer(d.doc), 2);
    EXPECT_TRUE(ListIsSound(d.t()));
}

TEST(LayerDelete, CurrentMovesUpOrDownAndEveryNameIsKept) {
    OpsDoc d;
    const int a = d.addPainted(2), b = d.addPainted(3), c = d.addPainted(4);
    d.t().layer(b).SetName(u"하늘");
    d.t().layer(a).SetName(u"나무");
    d.doc.SetCurrentLayerIndex(a);
    ASSERT_TRUE(DeleteCurrentLayer(d.doc));
    EXPECT_EQ(d.doc.CurrentLayer(), b);  // the layer above
    d.doc.SetCurrentLayerIndex(c);
    ASSERT_TRUE(DeleteCurrentLayer(d.doc));
    EXPECT_EQ(d.doc.CurrentLayer(), b);  // the top went: the layer below
    EXPECT_EQ(d.names(), (std::vector<std::u16string>{u"배경영상", u"하늘"}));
    EXPECT_EQ(d.j().Entry(d.j().StepIndex()).label, u"레이어삭제");
    EXPECT_TRUE(d.t().planesOf(c).pixels.empty());  // the journal's files keep it
    EXPECT_TRUE(ListIsSound(d.t()));
}

TEST(LayerDelete, TheOnlyLayerIsRefused) {
    OpsDoc d;
    const TableState before = capture(d.t());
    EXPECT_FALSE(DeleteCurrentLayer(d.doc));
    EXPECT_EQ(d.user.lastText(), "레이어가 1개 밖에 없습니다");
    EXPECT_TRUE(sameTable(before, d.t()));
}

TEST(LayerDelete, UndoBringsTheLayerBackWithItsPixelsAndRedoTakesItAgain) {
    OpsDoc d;
    const int a = d.addPainted(7);
    d.addPainted(8);
    const TableState before = capture(d.t());
    d.doc.SetCurrentLayerIndex(a);
    ASSERT_TRUE(DeleteCurrentLayer(d.doc));
    const TableState after = capture(d.t());
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_TRUE(sameTable(before, d.t()));
    ASSERT_TRUE(d.doc.Redo());
    EXPECT_TRUE(sameTable(after, d.t()));
}

TEST(LayerSwap, NeighboursFarPairsAndTheBottomExchangePlaces) {
    OpsDoc d;
    const int a = d.addPainted(1), b = d.addPainted(2), c = d.addPainted(3);
    ASSERT_TRUE(SwapLayerPlaces(d.doc, a, b));  // adjacent
    EXPECT_EQ(d.t().Order(), (std::vector<int>{0, b, a, c}));
    ASSERT_TRUE(SwapLayerPlaces(d.doc, 0, c));  // the bottom with the top
    EXPECT_EQ(d.t().Order(), (std::vector<int>{c, b, a, 0}));
    EXPECT_EQ(d.t().bottom, c);
    EXPECT_TRUE(ListIsSound(d.t()));
    const int steps = d.j().StepIndex();
    EXPECT_FALSE(SwapLayerPlaces(d.doc, a, a));  // onto itself
    EXPECT_EQ(d.j().StepIndex(), steps);
    EXPECT_EQ(d.j().Entry(steps).label, u"레이어 위치 이동");
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_EQ(d.t().Order(), (std::vector<int>{0, b, a, c}));
}

TEST(LayerSettings, NameVisibilityTransparencyAndBlendRecordNoStepButCountAsChanges) {
    OpsDoc d;
    const int a = d.addPainted(1);
    d.doc.SetModified(false);
    const int steps = d.j().StepIndex();
    ASSERT_TRUE(RenameCurrentLayer(d.doc, std::u16string(150, u'가')));
    EXPECT_EQ(d.t().layer(a).Name(), std::u16string(100, u'가'));
    EXPECT_TRUE(d.doc.Modified());
    EXPECT_TRUE(SetLayerVisible(d.doc, a, false));
    EXPECT_EQ(d.t().layer(a).visible, 0);
    EXPECT_TRUE(SetLayerTransparency(d.doc, a, 300));
    EXPECT_EQ(d.t().layer(a).transparency, 255);
    EXPECT_TRUE(SetLayerBlendMode(d.doc, a, BlendMode::Overlay));
    EXPECT_EQ(d.t().layer(a).blendMode, 9);
    d.t().layer(a).blendMode = 1;  // a stored byte without a mode of its own is written as 0
    EXPECT_TRUE(SetLayerBlendMode(d.doc, a, BlendMode::Normal));
    EXPECT_EQ(d.t().layer(a).blendMode, 0);
    EXPECT_EQ(d.j().StepIndex(), steps);
    // The snapshot follows, so a tool starting over from it keeps the settings.
    EXPECT_EQ(d.doc.Snapshot().layer(a).visible, 0);
    EXPECT_FALSE(SetLayerVisible(d.doc, 17, true));  // not a layer
}

TEST(LayerMerge, BothDirectionsComposeThePairIntoTheLowerLayer) {
    for (bool down : {true, false}) {
        OpsDoc d(9, 7);
        const int a = d.addPainted(3), b = d.addPainted(4);
        d.t().layer(a).x = -2;  // partly off the canvas
        d.t().layer(b).blendMode = 2;
        d.t().layer(b).transparency = 40;
        d.doc.RecordStep(u"채우기", StepKind::PixelEdit, a);
        const Image32 want = reference::Full(d.t(), a, 2);
        const TableState before = capture(d.t());
        d.doc.SetCurrentLayerIndex(down ? a : b);
        ASSERT_TRUE(down ? MergeDown(d.doc) : MergeUp(d.doc));
        EXPECT_EQ(d.t().Order(), (std::vector<int>{0, a}));
        EXPECT_EQ(d.doc.CurrentLayer(), a);
        const Layer& l = d.t().layer(a);
        ASSERT_EQ(l.width, 9);
        EXPECT_EQ(l.x, 0);
        const LayerPlanes& p = d.t().planesOf(a);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x) {
                const uint8_t* w = want.Row(y) + x * 4;
                const uint8_t* got = p.pixels.data() + size_t(y) * l.stride + x * 3;
                ASSERT_EQ(std::vector<uint8_t>(got, got + 3), std::vector<uint8_t>(w, w + 3));
                ASSERT_EQ(p.alpha[size_t(y) * 9 + x], w[3]);
            }
        EXPECT_EQ(d.j().Entry(d.j().StepIndex()).label, u"레이어병합");
        EXPECT_TRUE(ListIsSound(d.t()));
        ASSERT_TRUE(d.doc.Undo());
        EXPECT_TRUE(sameTable(before, d.t()));
    }
}

TEST(LayerMerge, NothingAtTheEndsOfTheStackAndTextLayersAreRefused) {
    OpsDoc d;
    const int a = d.addPainted(2);
    const TableState before = capture(d.t());
    d.doc.SetCurrentLayerIndex(a);
    EXPECT_FALSE(MergeDown(d.doc));  // the top has nothing above
    d.doc.SetCurrentLayerIndex(0);
    EXPECT_FALSE(MergeUp(d.doc));  // the bottom has nothing below
    EXPECT_TRUE(d.user.entries.empty());
    EXPECT_TRUE(sameTable(before, d.t()));
    d.makeText(a, 5);
    const TableState withText = capture(d.t());
    EXPECT_FALSE(MergeDown(d.doc));
    EXPECT_EQ(d.user.lastText(),
              "두 레이어 중 적어도 하나가 글자레이어입니다.\r\n레스터 변환 후에 병합하십시요.");
    EXPECT_TRUE(sameTable(withText, d.t()));
}

TEST(LayerFlatten, LeavesTheCompositionInTheBottomAndFreesTheOtherSlots) {
    OpsDoc d;
    std::vector<int> added;
    for (int i = 1; i < kLayerSlots; ++i) added.push_back(d.addPainted(i));
    d.t().layer(added[3]).visible = 0;
    d.doc.RecordStep(u"채우기", StepKind::PixelEdit, added[3]);
    const Image32 want = reference::Full(d.t(), 0, 0);
    const TableState before = capture(d.t());
    ASSERT_TRUE(FlattenLayers(d.doc));
    EXPECT_EQ(d.t().Order(), std::vector<int>{0});
    EXPECT_EQ(d.doc.CurrentLayer(), 0);
    EXPECT_TRUE(ListIsSound(d.t()));
    const LayerPlanes& p = d.t().planesOf(0);
    for (int i = 0; i < d.canvasW * d.canvasH; ++i) {
        ASSERT_EQ(p.alpha[size_t(i)], want.bytes[size_t(i) * 4 + 3]);
        ASSERT_EQ(p.pixels[size_t(i / d.canvasW) * d.t().layer(0).stride + (i % d.canvasW) * 3],
                  want.bytes[size_t(i) * 4]);
    }
    EXPECT_EQ(d.j().Entry(d.j().StepIndex()).label, u"떡이미지");
    // A flattened picture of 40 layers takes new layers again.
    EXPECT_EQ(AddEmptyLayer(d.doc), 1);
    ASSERT_TRUE(d.doc.Undo());
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_TRUE(sameTable(before, d.t()));
}

TEST(LayerRasterize, KeepsTheLookOfATextLayerAndLeavesOtherKindsAlone) {
    OpsDoc d;
    const int a = d.addPainted(3);
    d.doc.SetCurrentLayerIndex(a);
    const TableState raster = capture(d.t());
    EXPECT_FALSE(RasterizeCurrentLayer(d.doc));
    EXPECT_TRUE(sameTable(raster, d.t()));
    d.makeText(a, 6, 0x12AB34);
    d.t().layer(a).transparency = 30;
    const Image32 look = Compositor::ComposeFull(d.t(), d.t().bottom, 0);
    const int steps = d.j().StepIndex();
    ASSERT_TRUE(RasterizeCurrentLayer(d.doc));
    const Layer& l = d.t().layer(a);
    EXPECT_EQ(l.kind, LayerKind::Raster);
    EXPECT_EQ(l.stride, StrideFor(24, l.width));
    EXPECT_EQ(l.transparency, 30);
    EXPECT_EQ(d.t().layer(a).Name(), raster.records[1].Name());
    EXPECT_EQ(Compositor::ComposeFull(d.t(), d.t().bottom, 0).bytes, look.bytes);
    EXPECT_EQ(d.t().ColorAt(a, 1, 1), 0x12AB34u);
    EXPECT_EQ(d.j().StepIndex(), steps);
    EXPECT_TRUE(d.doc.Modified());
    EXPECT_EQ(d.doc.Snapshot().planesOf(a).pixels, d.t().planesOf(a).pixels);
}

TEST(LayerHistory, GoingToARowUndoesOrRedoesAsFarAsNeeded) {
    OpsDoc d;
    d.addPainted(1);
    d.addPainted(2);
    const TableState end = capture(d.t());
    const int last = d.j().StepIndex();
    EXPECT_TRUE(GoToHistoryStep(d.doc, 0));
    EXPECT_EQ(d.j().StepIndex(), 0);
    EXPECT_EQ(d.t().Order(), std::vector<int>{0});
    EXPECT_FALSE(GoToHistoryStep(d.doc, 0));
    EXPECT_TRUE(GoToHistoryStep(d.doc, last));
    EXPECT_TRUE(sameTable(end, d.t()));
}

}  // namespace
