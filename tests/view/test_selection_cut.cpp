// Cut, the floating move and its merge back, with undo and redo restoring the layer table byte
// for byte; the feathered erase against its plain definition; cut out into a new picture.
#include <gtest/gtest.h>

#include "ViewTestDoc.h"
#include "document/LayerOps.h"
#include "document/test_journal_support.h"
#include "platform/ClipboardPort.h"
#include "view/ToolState.h"
#include "view/ViewState.h"
#include "view/tools/RectangleSelection.h"
#include "view/tools/Selection.h"
#include "view/tools/SelectionCut.h"

using namespace quillet;
using journal_test::capture;
using journal_test::sameTable;

namespace {

// The erase as its definition reads, pixel by pixel.
void EraseReference(const std::vector<uint8_t>& mask, int w, int h, int feather,
                    std::vector<uint8_t>& alpha, std::vector<uint8_t>& effect) {
    const int r = std::max(feather, 3), area = 2 * r * r;
    const std::vector<uint8_t> a0 = alpha;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (mask[size_t(y * w + x)] == 0) continue;
            int count = 0;
            for (int yy = y - r; yy <= y + r; ++yy)
                for (int xx = x - r; xx <= x + r; ++xx)
                    if (xx >= 0 && yy >= 0 && xx < w && yy < h && mask[size_t(yy * w + xx)] == 1)
                        ++count;
            const int v = std::min(255, std::max(0, count - area) * 256 / area);
            const int k = a0[size_t(y * w + x)] == 255 ? 255 - v : 0;
            alpha[size_t(y * w + x)] = uint8_t(std::min(k, 150));
            effect[size_t(y * w + x)] = uint8_t(k);
        }
}

struct CutDoc : journal_test::JournalDoc {
    CutDoc() : JournalDoc(1, 40, 30) {
        open(1);
        // Opaque, so that the feathered edge shows.
        std::fill(t().planesOf(0).alpha.begin(), t().planesOf(0).alpha.end(), 255);
        doc.CopyToSnapshot(0);
        doc.RecordStep(u"붓그리기", StepKind::PixelEdit, 0);
    }
};

}  // namespace

TEST(SelectionCut, FeatheredEraseMatchesItsDefinition) {
    const int w = 37, h = 23;
    std::vector<uint8_t> mask(size_t(w * h), 0);
    uint32_t state = 7;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            state = state * 1664525u + 1013904223u;
            const bool blob = (x - 18) * (x - 18) + (y - 11) * (y - 11) < 90;
            mask[size_t(y * w + x)] = blob ? ((state >> 20) % 17 == 0 ? 2 : 1) : 0;
        }
    for (int feather : {0, 3, 5, 12}) {
        std::vector<uint8_t> alpha(size_t(w * h)), effect(size_t(w * h), 9);
        for (size_t i = 0; i < alpha.size(); ++i) alpha[i] = i % 11 == 0 ? 200 : 255;
        std::vector<uint8_t> wantAlpha = alpha, wantEffect = effect;
        EraseReference(mask, w, h, feather, wantAlpha, wantEffect);
        FeatherErase(mask.data(), w, h, feather, alpha.data(), effect.data());
        EXPECT_EQ(alpha, wantAlpha) << feather;
        EXPECT_EQ(effect, wantEffect) << feather;
    }
}

TEST(SelectionCut, CutErasesRecordsAndUndoRedoRestoreTheTable) {
    CutDoc d;
    MemoryClipboard clip;
    const auto before = capture(d.t());
    ASSERT_TRUE(SelectRectangle(d.doc, 5, 5, 24, 19));
    ASSERT_TRUE(CutSelection(d.doc, clip, 0));
    EXPECT_EQ(d.j().Entry(d.j().StepIndex()).label, u"자르기");
    ASSERT_TRUE(clip.packedDib());
    // Deep inside: erased; outside: untouched; on the edge: partly there.
    const LayerTable& t = d.t();
    EXPECT_EQ(t.AlphaAt(0, 15, 30 - 1 - 12), 0);
    EXPECT_EQ(t.AlphaAt(0, 1, 30 - 1 - 1), 255);
    EXPECT_GT(t.AlphaAt(0, 5, 30 - 1 - 12), 0);
    EXPECT_LE(t.AlphaAt(0, 5, 30 - 1 - 12), 150);
    const auto after = capture(d.t());
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_TRUE(sameTable(before, d.t()));
    ASSERT_TRUE(d.doc.Redo());
    EXPECT_TRUE(sameTable(after, d.t()));
}

TEST(SelectionCut, MoveFloatsTheAreaAndDroppingMergesItBackWithBothSteps) {
    CutDoc d;
    ToolState tools;
    MemoryClipboard clip;
    ToolRegistry registry;
    ViewState view(d.doc, ViewContext{tools, &clip, &registry});
    view.SetClientSize({40, 30});
    view.UpdateOther();
    const auto before = capture(d.t());
    const int steps = d.j().StepIndex();
    ASSERT_TRUE(SelectRectangle(d.doc, 10, 8, 19, 15));
    tools.currentTool = ToolId::Move;
    view.ButtonDown({12, 10});
    view.MouseMove({13, 10}, true);  // the first step only floats
    const int floating = d.t().FirstFloatingLayer();
    ASSERT_GE(floating, 0);
    EXPECT_EQ(d.doc.CurrentLayer(), floating);
    EXPECT_EQ(d.t().layer(floating).creationTag, 0);
    EXPECT_EQ(d.t().layer(floating).x, 10);
    EXPECT_EQ(d.t().layer(floating).y, 8);
    EXPECT_EQ(d.t().layer(floating).width, 10);
    EXPECT_EQ(d.t().layer(floating).height, 8);
    EXPECT_FALSE(d.doc.SelectionActive());
    EXPECT_EQ(d.j().StepIndex(), steps);  // nothing recorded yet
    view.MouseMove({18, 14}, true);
    view.ButtonUp({18, 14});
    EXPECT_EQ(d.t().layer(floating).x, 15);
    EXPECT_EQ(d.t().layer(floating).y, 12);
    EXPECT_EQ(d.j().StepIndex(), steps);
    // The source pixel under the floating layer's corner now holds the moved pixel.
    const uint32_t moved = d.t().ColorAt(floating, 0, 7);
    view.DropSelection();
    EXPECT_LT(d.t().FirstFloatingLayer(), 0);
    EXPECT_EQ(d.t().Count(), 1);
    EXPECT_EQ(d.t().ColorAt(0, 15, 30 - 1 - 12), moved);
    ASSERT_EQ(d.j().StepIndex(), steps + 2);
    EXPECT_EQ(d.j().Entry(steps + 1).label, u"선택영역 위치이동");
    EXPECT_EQ(d.j().Entry(steps + 2).label, u"레이어병합");
    const auto after = capture(d.t());
    ASSERT_TRUE(d.doc.Undo());
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_TRUE(sameTable(before, d.t()));
    ASSERT_TRUE(d.doc.Redo());
    ASSERT_TRUE(d.doc.Redo());
    EXPECT_TRUE(sameTable(after, d.t()));
}

TEST(SelectionCut, CutOutKeepsEveryRowAndStopsAbove4000) {
    journal_test::JournalDoc d(1, 6, 4001);
    d.open(1);
    MemoryClipboard clip;
    RecordingUserPort user;
    CBrevDoc target(user, 2);
    target.Journal().SetFolder(d.dir.path);
    ASSERT_TRUE(SelectRectangle(d.doc, 0, 0, 5, 4000));
    EXPECT_FALSE(BuildDocumentFromSelection(d.doc, target, clip));
    EXPECT_LT(target.Layers().bottom, 0);
    ASSERT_TRUE(SelectRectangle(d.doc, 1, 0, 3, 3999));  // 4000 rows: the largest allowed
    ASSERT_TRUE(BuildDocumentFromSelection(d.doc, target, clip));
    EXPECT_EQ(target.Layers().header.canvasHeight, 4000);
    EXPECT_EQ(target.Layers().header.canvasWidth, 3);
}
