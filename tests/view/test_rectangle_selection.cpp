// The rectangle rule shared by the rectangle tool and quillet-cli apply --select.
#include <gtest/gtest.h>

#include "document/CBrevDoc.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/LayerBuilders.h"
#include "view/tools/RectangleSelection.h"

using namespace quillet;

TEST(RectangleSelection, CornersInAnyOrderBothEdgesInclusiveClippedToTheLayer) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    EXPECT_FALSE(SelectRectangle(doc, 0, 0, 1, 1));  // no layer yet
    CreateLayerArgs a = testsupport::LayerArgs(doc.Layers(), 0, 0, 0, 30, 25);
    a.canvasWidth = 40;
    a.canvasHeight = 30;
    ASSERT_EQ(testsupport::AddLayer(doc, a, -1), 0);
    doc.Layers().layer(0).x = 3;
    doc.Layers().layer(0).y = 2;
    doc.SetCurrentLayerIndex(0);
    // Dragged from (10, 10) to (5, 20): x 5..10 and y 10..20.
    ASSERT_TRUE(SelectRectangle(doc, 10, 10, 5, 20));
    const SelectionMask& m = doc.Layers().mask;
    EXPECT_TRUE(doc.SelectionActive());
    EXPECT_TRUE(doc.ViewShared().selectionShown && doc.ViewShared().outlineReady);
    ASSERT_EQ(m.width, 30);
    ASSERT_EQ(m.height, 25);
    EXPECT_EQ(m.x, 3);
    EXPECT_EQ(m.y, 2);
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 30; ++x) {
            const bool inside = x >= 5 && x <= 10 && y >= 10 && y <= 20;
            // Rows counted from the layer's top; the mask keeps the bottom row first.
            EXPECT_EQ(m.bytes[size_t((24 - y) * 30 + x)], inside ? 1 : 0) << x << ',' << y;
        }
    // Beyond the layer: clipped, no write outside the mask.
    ASSERT_TRUE(SelectRectangle(doc, -50, -50, 100, 0));
    int selected = 0;
    for (uint8_t v : m.bytes) selected += v;
    EXPECT_EQ(selected, 30);
}
