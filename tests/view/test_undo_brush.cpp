// The undo brush: the previous step's pixels painted back along a stroke, after one and two
// edits, refused for a layer whose place or size changed, and idle without a history.
#include <gtest/gtest.h>

#include "platform/RecordingUserPort.h"
#include "tests/support/TempDir.h"
#include "tests/view/ViewTestDoc.h"
#include "view/tools/UndoBrush.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

struct BrushDoc {
    testsupport::TempDir dir{"quillet_undo_brush"};
    RecordingUserPort user;
    CBrevDoc doc{user};
    int slot = -1;
    BrushDoc() {
        doc.Journal().SetFolder(dir.path().string() + '/');
        slot = AddPatternLayer(doc, 40, 30);
        doc.RecordStep(u"Opening....", StepKind::PixelEdit);
    }
    // An edit of the whole layer in one colour, at half alpha, recorded.
    void Paint(uint32_t colour) {
        LayerTable& t = doc.Layers();
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                t.PutColor(slot, x, y, colour);
                t.PutAlpha(slot, x, y, 128);
            }
        doc.RecordStep(u"채우기", StepKind::PixelEdit);
    }
    uint32_t colour(int x, int y) const { return doc.Layers().ColorAt(slot, x, y); }
    int alpha(int x, int y) const { return doc.Layers().AlphaAt(slot, x, y); }
};

TEST(UndoBrush, NothingHappensWithoutAPreviousStep) {
    BrushDoc d;
    UndoBrush brush;
    EXPECT_FALSE(brush.Begin(d.doc));
    EXPECT_TRUE(d.user.entries.empty());
    EXPECT_TRUE(brush.Stroke(d.doc, BrushStamp(3, false), 5, 5, 5, 5).Empty());
    EXPECT_EQ(d.doc.Journal().StepIndex(), 0);
}

TEST(UndoBrush, AfterOneEditTheStrokeBringsBackTheOpenedPixels) {
    BrushDoc d;
    d.Paint(0x112233);
    UndoBrush brush;
    ASSERT_TRUE(brush.Begin(d.doc));
    // A hard size-3 stamp covers the 6 × 6 square from (px − 3, py − 3); a walk adds more.
    brush.Stroke(d.doc, BrushStamp(3, false), 10, 10, 14, 10);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 7 && x < 17 && y >= 7 && y < 13;
            const uint32_t opened = PatternColour(x, 29 - y);
            ASSERT_EQ(d.colour(x, y), inside ? opened : 0x112233u) << x << "," << y;
            ASSERT_EQ(d.alpha(x, y), inside ? 255 : 128);
        }
    brush.Finish(d.doc);
    ASSERT_EQ(d.doc.Journal().StepIndex(), 2);
    EXPECT_EQ(d.doc.Journal().Entry(2).label, u"작업취소붓");
    // A later stroke still paints the same source back.
    brush.Stroke(d.doc, BrushStamp(1, true), 30, 20, 30, 20);
    EXPECT_EQ(d.colour(30, 20), PatternColour(30, 9));
    EXPECT_EQ(d.alpha(30, 20), 255);
    EXPECT_EQ(d.colour(31, 20), 0x112233u);
}

TEST(UndoBrush, AfterTwoEditsTheSourceIsTheFirstEdit) {
    BrushDoc d;
    d.Paint(0xFF0000);
    d.Paint(0x0000FF);
    UndoBrush brush;
    ASSERT_TRUE(brush.Begin(d.doc));
    const BrushStamp soft(4, true);
    brush.Stroke(d.doc, soft, 20, 15, 20, 15);
    // The soft stamp marks the pixels it would paint: L below 1 and a non-zero alpha.
    EXPECT_EQ(d.colour(20, 15), 0xFF0000u);
    EXPECT_EQ(d.alpha(20, 15), 255);
    EXPECT_EQ(d.colour(16, 11), 0x0000FFu);  // the square's corner: L = 1
    EXPECT_EQ(d.alpha(16, 11), 128);
    // An undo moves the history: the source no longer serves.
    brush.Finish(d.doc);
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_TRUE(brush.Stroke(d.doc, soft, 5, 5, 5, 5).Empty());
}

TEST(UndoBrush, ALayerMovedSinceThePreviousStepIsRefused) {
    BrushDoc d;
    d.doc.Layers().layer(d.slot).x += 3;
    d.doc.RecordStep(u"전체영상 위치이동", StepKind::PixelEdit);
    UndoBrush brush;
    EXPECT_FALSE(brush.Begin(d.doc));
    EXPECT_EQ(d.user.texts(), std::vector<std::string>{kUndoBrushMismatch});
    EXPECT_FALSE(brush.Ready());
}

}  // namespace
