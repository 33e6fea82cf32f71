// CBrevDoc: selecting layers, slot limits, the working copy and the copies between tables.
#include <gtest/gtest.h>

#include "document/CBrevDoc.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/LayerBuilders.h"

using namespace quillet;

namespace {

struct CountingObserver : DocumentObserver {
    int views = 0, lists = 0, lastTimer = 0, current = -2;
    void onViewsUpdate(CBrevDoc&) override { ++views; }
    void onLayerListChanged(CBrevDoc&) override { ++lists; }
    void onCurrentLayerChanged(CBrevDoc&, int slot) override { current = slot; }
    void onSelectionOutlineTimer(CBrevDoc&, int ms) override { lastTimer = ms; }
};

// Adds a canvas-sized layer on top the way the layer operations do.
int addLayer(CBrevDoc& doc, uint8_t kind = LayerKind::Raster) {
    const int slot = doc.FreeSlotForNewLayer();
    if (slot < 0) return -1;
    CreateLayerArgs a = testsupport::LayerArgs(doc.Layers(), slot, 0, 0, 8, 6, kind);
    a.canvasWidth = 8;
    a.canvasHeight = 6;
    return testsupport::AddLayer(doc, a);
}

}  // namespace

TEST(Document, StartsEmpty) {
    RecordingUserPort user;
    CBrevDoc doc(user, 3);
    EXPECT_EQ(doc.CurrentLayer(), -1);
    EXPECT_EQ(doc.Layers().bottom, -1);
    EXPECT_EQ(doc.Zoom(), 1.0);
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(doc.DocumentNumber(), 3);
    for (int i = 0; i < kLayerSlots; ++i) EXPECT_EQ(doc.Layers().layer(i).used, 0);
}

TEST(Document, FortyFirstLayerIsRefusedAndFreedSlotsAreReused) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    for (int i = 0; i < kLayerSlots; ++i) ASSERT_EQ(addLayer(doc), i);
    EXPECT_TRUE(user.entries.empty());
    EXPECT_EQ(addLayer(doc), -1);
    ASSERT_EQ(user.entries.size(), 1u);
    EXPECT_EQ(user.lastText(), "레이어수 과다... 기존 레이어의 병합 혹은 제거하신 후에 다시 시도.");
    EXPECT_EQ(doc.Layers().Count(), 40);

    // Delete slot 17 and slot 4: the next layer takes 4, though it lands on top of the stack.
    for (int s : {17, 4}) {
        doc.Layers().Unlink(s);
        doc.Layers().layer(s).used = 0;
    }
    EXPECT_EQ(addLayer(doc), 4);
    EXPECT_EQ(doc.Layers().Top(), 4);
    EXPECT_EQ(addLayer(doc), 17);
}

TEST(Document, SelectLayerRulesAndNotifications) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    CountingObserver obs;
    doc.AddObserver(&obs);
    const int raster = addLayer(doc);
    const int text = addLayer(doc, LayerKind::Text);

    EXPECT_FALSE(doc.SelectLayer(-1));
    EXPECT_TRUE(doc.SelectLayer(raster));
    EXPECT_EQ(obs.current, raster);
    EXPECT_EQ(obs.lists, 1);
    EXPECT_EQ(obs.views, 1);
    EXPECT_TRUE(doc.SelectLayer(raster));  // same index: no list refresh
    EXPECT_EQ(obs.lists, 1);
    EXPECT_EQ(obs.lastTimer, 0);

    doc.SetSelectionActive(true);
    EXPECT_FALSE(doc.SelectLayer(text));
    EXPECT_EQ(user.lastText(), "현재는 [Text:글] 레이어. \n\r레이어창에서 다른 레이어 선택");
    EXPECT_EQ(doc.CurrentLayer(), raster);
    EXPECT_TRUE(doc.SelectLayer(raster));
    EXPECT_EQ(obs.lastTimer, 100);

    doc.SetSelectionActive(false);
    EXPECT_TRUE(doc.SelectLayer(text));
    EXPECT_EQ(doc.CurrentLayer(), text);
    doc.RemoveObserver(&obs);
    doc.SelectLayer(raster);
    EXPECT_EQ(obs.current, text);
}

TEST(Document, WorkingCopyCommitsOnlyAtTheLayersSize) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    const int a = addLayer(doc);
    // Creating a layer sizes the working copy for it.
    EXPECT_EQ(doc.WorkingPixels().size(), doc.Layers().layer(a).pixelSize);
    EXPECT_EQ(doc.Layers().header.workingCopySize, doc.Layers().layer(a).pixelSize);
    doc.WorkingPixels().assign(doc.WorkingPixels().size(), 7);
    doc.WorkingAlpha().assign(doc.WorkingAlpha().size(), 200);
    ASSERT_TRUE(doc.CommitWorkingCopy(a));
    EXPECT_EQ(doc.Layers().planesOf(a).pixels[5], 7);
    EXPECT_EQ(doc.Layers().planesOf(a).alpha[5], 200);

    doc.WorkingPixels().push_back(0);
    EXPECT_FALSE(doc.CommitWorkingCopy(a));
    EXPECT_EQ(doc.Layers().planesOf(a).pixels.size(), doc.Layers().layer(a).pixelSize);
    ASSERT_TRUE(doc.PrepareWorkingCopy(a));
    EXPECT_TRUE(doc.CommitWorkingCopy(a));
    EXPECT_FALSE(doc.CommitWorkingCopy(-1));
}

TEST(Document, SnapshotAndPreviewAreIndependentCopies) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    const int a = addLayer(doc);
    doc.CopyToSnapshot(a);
    doc.CopyToPreview(a);
    doc.Layers().planesOf(a).pixels[0] = 1;
    doc.Layers().layer(a).x = 5;
    EXPECT_EQ(doc.Snapshot().planesOf(a).pixels[0], 255);
    doc.RestoreFromSnapshot(a);
    EXPECT_EQ(doc.Layers().planesOf(a).pixels[0], 255);
    EXPECT_EQ(doc.Layers().layer(a).x, 0);
    doc.Preview().layer(a).transparency = 9;
    doc.RestoreFromPreview(a);
    EXPECT_EQ(doc.Layers().layer(a).transparency, 9);
}

TEST(Document, FileNameZoomAndClose) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    doc.SetFileName(std::u16string(130, u'a'));
    EXPECT_EQ(doc.FileName().size(), 119u);
    doc.SetZoom(0.25);
    EXPECT_EQ(doc.Zoom(), 0.25);
    doc.SetZoom(0);  // not a zoom
    EXPECT_EQ(doc.Zoom(), 0.25);
    addLayer(doc);
    doc.CopyAllToSnapshot();
    doc.Close();
    EXPECT_EQ(doc.Layers().bottom, -1);
    EXPECT_TRUE(doc.Snapshot().planesOf(0).pixels.empty());
    EXPECT_TRUE(doc.WorkingPixels().empty());
}
