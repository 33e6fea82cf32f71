// The colour adjustments as document commands: the edit cycle, undo labels, text layers,
// indexed pictures, selections and the dialogs' preview.
#include "document/ColourCommands.h"
#include "document/IndexedLayers.h"
#include "image/effects/ColourTables.h"
#include "test_journal_support.h"

using namespace quillet;
using journal_test::JournalDoc;

namespace {

std::vector<uint8_t> Pixels(JournalDoc& d, int slot) { return d.t().planesOf(slot).pixels; }
std::u16string LastLabel(JournalDoc& d) { return d.j().Entry(d.j().StepIndex()).label; }

// A picture of 9 × 7 with a raster layer above it; the raster layer is current.
struct TwoLayers : ::testing::Test {
    JournalDoc d{1, 9, 7};
    int top = -1;
    void SetUp() override {
        d.open(3);
        top = d.add(9, 7, 0, 0, 5);
    }
};

}  // namespace

TEST_F(TwoLayers, BrightnessContrastChangesTheCurrentLayerAndUndoes) {
    const std::vector<uint8_t> bottom = Pixels(d, 0), before = Pixels(d, top);
    const std::vector<uint8_t> alpha = d.t().planesOf(top).alpha;
    ASSERT_EQ(ApplyColourAdjustment(d.doc, BrightnessContrastValues{40, 30}), EditOutcome::Done);
    EXPECT_EQ(LastLabel(d), u"명도·대비 조절");
    EXPECT_EQ(Pixels(d, 0), bottom);
    const ChannelTables t = BrightnessContrastTables(40, 30);
    const Layer& l = d.t().layer(top);
    for (int y = 0; y < l.height; ++y)
        for (int x = 0; x < l.width; ++x) {
            const size_t i = size_t(y) * l.stride + size_t(x) * 3;
            const bool visible = alpha[size_t(y * l.width + x)] != 0;
            EXPECT_EQ(Pixels(d, top)[i], visible ? t.blue[before[i]] : before[i]);
        }
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_EQ(Pixels(d, top), before);
    // Both values 0: nothing to do, no step.
    const int steps = d.j().StepIndex();
    EXPECT_EQ(ApplyColourAdjustment(d.doc, BrightnessContrastValues{0, 0}), EditOutcome::Unchanged);
    EXPECT_EQ(d.j().StepIndex(), steps);
}

TEST_F(TwoLayers, LabelsOfTheCommands) {
    struct {
        EditOutcome (*run)(CBrevDoc&);
        std::u16string label;
    } const cases[] = {
        {[](CBrevDoc& c) {
             return ApplyColourAdjustment(c, ChannelValues{5, 0, -5});
         },
         u"색상조정"},
        {[](CBrevDoc& c) { return ApplyColourAdjustment(c, SaturationValue{40}); }, u"색상조정"},
        {[](CBrevDoc& c) {
             return ApplyColourAdjustment(c, LevelsRequest{HistogramChannel::Red, 20, 200});
         },
         u"색상조정"},
        {AutoColour, u"자동 색상 조정"},
        {NormaliseColour, u"컬러 정규화"},
        {InvertLayer, u"반전변환"},
        {DesaturateLayer, u"레이어 채도 감소"},
        {GreyscaleDocument, u"그레이스케일 변환"},
        {[](CBrevDoc& c) { return ApplyColourAdjustment(c, ThresholdValues{}); }, u"임계치변환"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(c.run(d.doc), EditOutcome::Done) << std::string(c.label.begin(), c.label.end());
        EXPECT_EQ(LastLabel(d), c.label);
    }
}

TEST_F(TwoLayers, TextLayersAreRefusedWithTheMessage) {
    const int text = d.add(5, 3, 1, 1, 9, true);
    const int steps = d.j().StepIndex();
    const std::vector<uint8_t> before = Pixels(d, text);
    for (auto run : {+[](CBrevDoc& c) {
                         return ApplyColourAdjustment(c, BrightnessContrastValues{9, 0});
                     },
                     +[](CBrevDoc& c) {
                         return ApplyColourAdjustment(c, ChannelValues{9, 0, 0});
                     },
                     +[](CBrevDoc& c) { return AutoColour(c); },
                     +[](CBrevDoc& c) { return NormaliseColour(c); },
                     +[](CBrevDoc& c) { return InvertLayer(c); }}) {
        d.user.entries.clear();
        EXPECT_EQ(run(d.doc), EditOutcome::Refused);
        ASSERT_EQ(d.user.entries.size(), 1u);
        EXPECT_EQ(d.user.lastText(), "현재는 [Text:글] 레이어. \n\r레이어창에서 다른 레이어 선택");
    }
    EXPECT_EQ(d.j().StepIndex(), steps);
    EXPECT_EQ(Pixels(d, text), before);
    // Desaturation takes the text colour's average instead.
    d.t().layer(text).textColour = 0x0030609C;  // (48 + 96 + 156) / 3 = 100
    EXPECT_EQ(DesaturateLayer(d.doc), EditOutcome::Done);
    EXPECT_EQ(d.t().layer(text).textColour, 0x00646464u);
}

TEST_F(TwoLayers, GreyscaleChangesEveryLayerAndTextColoursInOneStep) {
    const int text = d.add(5, 3, 1, 1, 9, true);
    d.t().layer(text).textColour = 0x00FF0000;
    d.doc.RecordStep(u"글자수정", StepKind::TextEdit, text);
    const std::vector<uint8_t> b0 = Pixels(d, 0), b1 = Pixels(d, top);
    ASSERT_EQ(GreyscaleDocument(d.doc), EditOutcome::Done);
    EXPECT_EQ(d.t().layer(text).textColour, 0x00555555u);
    for (int slot : {0, top}) {
        const auto& p = Pixels(d, slot);
        const Layer& l = d.t().layer(slot);
        for (int y = 0; y < l.height; ++y)
            for (int x = 0; x < l.width; ++x) {
                const uint8_t* px = p.data() + size_t(y) * l.stride + size_t(x) * 3;
                EXPECT_TRUE(px[0] == px[1] && px[1] == px[2]);
            }
    }
    // One undo gives every layer back.
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_EQ(Pixels(d, 0), b0);
    EXPECT_EQ(Pixels(d, top), b1);
    EXPECT_EQ(d.t().layer(text).textColour, 0x00FF0000u);
}

TEST_F(TwoLayers, SelectionLimitsTheChange) {
    // Select the left column only (mask rows bottom first, like the layer's).
    d.doc.SetSelectionActive(true);
    const Layer& l = d.t().layer(top);
    d.t().mask.Reset(l.x, l.y, l.width, l.height, 0);
    for (int y = 0; y < l.height; ++y) d.t().mask.bytes[size_t(y * l.width)] = 1;
    const std::vector<uint8_t> before = Pixels(d, top);
    ASSERT_EQ(InvertLayer(d.doc), EditOutcome::Done);
    const auto& after = Pixels(d, top);
    for (int y = 0; y < l.height; ++y)
        for (int x = 0; x < l.width; ++x)
            for (int b = 0; b < 3; ++b) {
                const size_t i = size_t(y) * l.stride + size_t(x) * 3 + size_t(b);
                EXPECT_EQ(after[i], x == 0 ? uint8_t(~before[i]) : before[i]);
            }
}

TEST_F(TwoLayers, SelectionPlacedElsewhereIsAlignedByCanvasPosition) {
    // The layer at (2, 1), 4 × 3; the mask covers the canvas, selecting canvas column 3 only.
    const int small = d.add(4, 3, 2, 1, 7);
    d.doc.SetSelectionActive(true);
    d.t().mask.Reset(0, 0, 9, 7, 0);
    for (int y = 0; y < 7; ++y) d.t().mask.bytes[size_t(y * 9 + 3)] = 1;
    const std::vector<uint8_t> before = Pixels(d, small);
    ASSERT_EQ(DesaturateLayer(d.doc), EditOutcome::Done);
    const Layer& l = d.t().layer(small);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const size_t i = size_t(y) * l.stride + size_t(x) * 3;
            const bool changed = x == 1;  // canvas column 3
            const uint8_t g = uint8_t((before[i] + before[i + 1] + before[i + 2]) / 3);
            EXPECT_EQ(Pixels(d, small)[i], changed ? g : before[i]) << x << ',' << y;
        }
}

TEST_F(TwoLayers, IndexedPicturesChangeOnlyThePalette) {
    const std::vector<uint8_t> b0 = Pixels(d, 0);
    ASSERT_EQ(ReduceTo256Colours(d.doc), EditOutcome::Done);
    EXPECT_EQ(LastLabel(d), u"8비트칼라 최적변환");
    ASSERT_EQ(d.t().header.bitsPerPixel, 8);
    ASSERT_GT(d.t().palette.size(), 0u);
    EXPECT_LE(d.t().palette.size(), 256u);
    // Fewer than 256 colours in all: every pixel keeps its exact colour.
    const Layer& l0 = d.t().layer(0);
    for (int y = 0; y < l0.height; ++y)
        for (int x = 0; x < l0.width; ++x) {
            const Rgbquad q = d.t().palette[d.t().PixelRow(0, y)[x]];
            const uint8_t* old = b0.data() + size_t(y) * StrideFor(24, l0.width) + size_t(x) * 3;
            EXPECT_EQ(q.blue, old[0]);
            EXPECT_EQ(q.red, old[2]);
        }
    const std::vector<uint8_t> indices = Pixels(d, top);
    const std::vector<Rgbquad> palette = d.t().palette;
    ASSERT_EQ(ApplyColourAdjustment(d.doc, BrightnessContrastValues{50, 0}), EditOutcome::Done);
    EXPECT_EQ(Pixels(d, top), indices);
    EXPECT_EQ(d.t().palette[0].red, Clamp255(palette[0].red + 50));
    ASSERT_EQ(AutoColour(d.doc), EditOutcome::Done);
    EXPECT_EQ(Pixels(d, top), indices);
    // Undo returns the palette, then the 24-bit picture.
    ASSERT_TRUE(d.doc.Undo());
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_EQ(d.t().palette, palette);
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_EQ(d.t().header.bitsPerPixel, 24);
    EXPECT_EQ(Pixels(d, 0), b0);
    // At 8 bits the conversion has nothing to do.
    ASSERT_TRUE(d.doc.Redo());
    EXPECT_EQ(ReduceTo256Colours(d.doc), EditOutcome::Unchanged);
    // Back to 24 bits with the colours the palette gives.
    ASSERT_EQ(ConvertToRgb24(d.doc), EditOutcome::Done);
    EXPECT_EQ(d.t().header.bitsPerPixel, 24);
}

TEST_F(TwoLayers, ThresholdOnAnIndexedPictureWritesNearestIndices) {
    ASSERT_EQ(ReduceTo256Colours(d.doc), EditOutcome::Done);
    ASSERT_EQ(ApplyColourAdjustment(d.doc, ThresholdValues{ThresholdMode::Absolute, 128}),
              EditOutcome::Done);
    // Every pixel holds the entry nearest to black or the one nearest to white.
    const size_t black = size_t(d.t().NearestPaletteIndex(0));
    const size_t white = size_t(d.t().NearestPaletteIndex(0xFFFFFF));
    for (int slot : {0, top}) {
        const std::array<uint64_t, 256> counts = IndexCounts(d.t(), slot);
        for (size_t i = 0; i < 256; ++i)
            if (counts[i]) {
                EXPECT_TRUE(i == black || i == white) << i;
            }
        EXPECT_EQ(counts[black] + counts[white], 63u);
    }
}

TEST_F(TwoLayers, PreviewCancelRestoresAndCommitRecordsOneStep) {
    const std::vector<uint8_t> before = Pixels(d, top), bottom = Pixels(d, 0);
    const int steps = d.j().StepIndex();
    ASSERT_TRUE(BeginAdjustmentPreview(d.doc, false));
    for (int b : {10, -200, 255}) {
        ShowAdjustmentPreview(d.doc, BrightnessContrastValues{b, 17});
        ShowAdjustmentPreview(d.doc, SaturationValue{b});
        ShowAdjustmentPreview(d.doc, LevelsRequest{HistogramChannel::Luminance, 30, 40});
    }
    CancelAdjustmentPreview(d.doc);
    EXPECT_EQ(Pixels(d, top), before);
    EXPECT_EQ(d.j().StepIndex(), steps);

    // The preview shows what the command makes; OK records it once.
    ASSERT_TRUE(BeginAdjustmentPreview(d.doc, false));
    ShowAdjustmentPreview(d.doc, ChannelValues{30, -20, 0});
    const std::vector<uint8_t> shown = Pixels(d, top);
    ASSERT_EQ(CommitAdjustmentPreview(d.doc, ChannelValues{30, -20, 0}), EditOutcome::Done);
    EXPECT_EQ(Pixels(d, top), shown);
    EXPECT_EQ(d.j().StepIndex(), steps + 1);

    // The threshold previews every layer and restores them all.
    const std::vector<uint8_t> top2 = Pixels(d, top);
    ASSERT_TRUE(BeginAdjustmentPreview(d.doc, true));
    ShowAdjustmentPreview(d.doc, ThresholdValues{ThresholdMode::Ordered, 40});
    EXPECT_NE(Pixels(d, 0), bottom);
    CancelAdjustmentPreview(d.doc);
    EXPECT_EQ(Pixels(d, 0), bottom);
    EXPECT_EQ(Pixels(d, top), top2);
}

TEST(ColourCommands, NothingHappensWithoutAnEditableDocument) {
    JournalDoc d;
    EXPECT_EQ(InvertLayer(d.doc), EditOutcome::Refused);
    d.open();
    d.doc.SetBusy(true);
    EXPECT_EQ(GreyscaleDocument(d.doc), EditOutcome::Refused);
    d.doc.SetBusy(false);
    // A single-colour layer gives automatic adjustment nothing to do.
    std::fill(d.t().planesOf(0).pixels.begin(), d.t().planesOf(0).pixels.end(), uint8_t(77));
    EXPECT_EQ(AutoColour(d.doc), EditOutcome::Unchanged);
    EXPECT_EQ(d.j().StepIndex(), 0);
}
