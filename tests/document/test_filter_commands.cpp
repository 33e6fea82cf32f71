// Filters, red-eye, channel pictures and the alpha commands as document commands.
#include <thread>

#include "document/ColourCommands.h"
#include "document/FilterCommands.h"
#include "image/RaViru.h"
#include "test_journal_support.h"

using namespace quillet;
using journal_test::JournalDoc;

namespace {

std::vector<uint8_t> Pixels(JournalDoc& d, int slot) { return d.t().planesOf(slot).pixels; }
std::u16string LastLabel(JournalDoc& d) { return d.j().Entry(d.j().StepIndex()).label; }

struct FilterDoc : ::testing::Test {
    JournalDoc d{1, 40, 30};
    void SetUp() override {
        d.open(3);
        std::fill(d.t().planesOf(0).alpha.begin(), d.t().planesOf(0).alpha.end(), uint8_t(255));
    }
};

}  // namespace

TEST_F(FilterDoc, EveryFilterRecordsItsNameAndUndoes) {
    const std::vector<uint8_t> before = Pixels(d, 0);
    for (const FilterRecord& r : FilterTable()) {
        ASSERT_EQ(ApplyFilter(d.doc, r.id, DefaultFilterValues(r.id)), EditOutcome::Done)
            << r.utf8Name;
        EXPECT_EQ(LastLabel(d), std::u16string(r.name));
        ASSERT_TRUE(d.doc.Undo());
        EXPECT_EQ(Pixels(d, 0), before) << r.utf8Name;
    }
}

TEST_F(FilterDoc, TextLayersAndBusyDocumentsAreRefused) {
    const int text = d.add(5, 3, 1, 1, 9, true);
    EXPECT_EQ(ApplyFilter(d.doc, FilterId::Blur, {4}), EditOutcome::Refused);
    EXPECT_EQ(d.user.lastText(), "현재는 [Text:글] 레이어. \n\r레이어창에서 다른 레이어 선택");
    EXPECT_EQ(RemoveRedEye(d.doc, 5), EditOutcome::Refused);
    d.doc.SetCurrentLayerIndex(0);
    (void)text;
    // While a run is prepared the document is busy: other commands wait for it.
    auto job = PrepareFilter(d.doc, FilterId::Sharpen, {10});
    ASSERT_TRUE(job);
    EXPECT_TRUE(d.doc.Busy());
    EXPECT_EQ(InvertLayer(d.doc), EditOutcome::Refused);
    EXPECT_FALSE(PrepareFilter(d.doc, FilterId::Blur, {2}));
    job->Run();
    EXPECT_EQ(FinishFilter(d.doc, *job), EditOutcome::Done);
    EXPECT_FALSE(d.doc.Busy());
}

TEST_F(FilterDoc, AWorkerThreadGivesWhatTheCommandGives) {
    JournalDoc other{2, 40, 30};
    other.open(3);
    std::fill(other.t().planesOf(0).alpha.begin(), other.t().planesOf(0).alpha.end(), uint8_t(255));
    ASSERT_EQ(ApplyFilter(other.doc, FilterId::Watercolour, {}, 1), EditOutcome::Done);

    auto job = PrepareFilter(d.doc, FilterId::Watercolour, {}, 2);
    ASSERT_TRUE(job);
    Progress progress;
    std::thread worker([&] { job->Run(&progress); });
    worker.join();
    EXPECT_EQ(progress.Get(), 100);
    ASSERT_EQ(FinishFilter(d.doc, *job), EditOutcome::Done);
    EXPECT_EQ(Pixels(d, 0), Pixels(other, 0));
}

TEST_F(FilterDoc, PreviewRestoresAndTheCommandRepeatsTheLastPreview) {
    const std::vector<uint8_t> before = Pixels(d, 0);
    const int steps = d.j().StepIndex();
    ASSERT_TRUE(BeginAdjustmentPreview(d.doc, false));
    for (int size : {2, 9, 5}) {
        auto job = PrepareFilterPreview(d.doc, FilterId::Bubbles, {size, 8});
        ASSERT_TRUE(job);
        job->Run();
        FinishFilter(d.doc, *job);
    }
    const std::vector<uint8_t> shown = Pixels(d, 0);
    EXPECT_NE(shown, before);
    EXPECT_EQ(d.j().StepIndex(), steps);
    CancelAdjustmentPreview(d.doc);
    EXPECT_EQ(Pixels(d, 0), before);
    // The preview did not advance the generator: the command paints the same bubbles.
    ASSERT_EQ(ApplyFilter(d.doc, FilterId::Bubbles, {5, 8}), EditOutcome::Done);
    EXPECT_EQ(Pixels(d, 0), shown);
    EXPECT_EQ(d.j().StepIndex(), steps + 1);
}

TEST_F(FilterDoc, SeededRunsRepeatAndSelectionsLimitThem) {
    d.doc.Random().Seed(42);
    ASSERT_EQ(ApplyFilter(d.doc, FilterId::Dalmatian, {40, 50}), EditOutcome::Done);
    const std::vector<uint8_t> first = Pixels(d, 0);
    ASSERT_TRUE(d.doc.Undo());
    d.doc.Random().Seed(42);
    ASSERT_EQ(ApplyFilter(d.doc, FilterId::Dalmatian, {40, 50}), EditOutcome::Done);
    EXPECT_EQ(Pixels(d, 0), first);
    ASSERT_TRUE(d.doc.Undo());

    // Only the selected column changes.
    const std::vector<uint8_t> before = Pixels(d, 0);
    d.doc.SetSelectionActive(true);
    d.t().mask.Reset(0, 0, 40, 30, 0);
    for (int y = 0; y < 30; ++y) d.t().mask.bytes[size_t(y * 40 + 7)] = 1;
    ASSERT_EQ(ApplyFilter(d.doc, FilterId::Edges, {1, 0}), EditOutcome::Done);
    const Layer& l = d.t().layer(0);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            if (x != 7) {
                const size_t i = size_t(y) * l.stride + size_t(x) * 3;
                ASSERT_EQ(Pixels(d, 0)[i], before[i]) << x << ',' << y;
            }
}

TEST_F(FilterDoc, IndexedPicturesGoThroughTheirPalette) {
    ASSERT_EQ(ReduceTo256Colours(d.doc), EditOutcome::Done);
    ASSERT_EQ(ApplyFilter(d.doc, FilterId::Blur, {3}), EditOutcome::Done);
    ASSERT_EQ(d.t().header.bitsPerPixel, 8);
    for (uint8_t index : Pixels(d, 0)) ASSERT_LT(index, d.t().palette.size());
}

TEST_F(FilterDoc, RedEyeAlphaCommandsAndChannelPictures) {
    ASSERT_EQ(RemoveRedEye(d.doc, 10), EditOutcome::Done);
    EXPECT_EQ(LastLabel(d), u"적안 제거");

    struct {
        AlphaCommand command;
        const char16_t* label;
    } const alpha[] = {{AlphaCommand::RemoveTransparency, u"Removetransparency"},
                       {AlphaCommand::RemoveAlphaChannel, u"Removealphachannel"},
                       {AlphaCommand::InvertAlpha, u"Invetalpha"},
                       {AlphaCommand::ToggleAlphaPalette, u"Alphapalettetoggle"},
                       {AlphaCommand::StripAlpha, u"Alphastrip"}};
    RaViru& image = d.doc.Image();
    image.transparentIndex = 4;
    image.alphaMax = 7;
    const bool paletteOn = image.alphaPaletteOn;
    for (const auto& a : alpha) {
        ASSERT_EQ(RunAlphaCommand(d.doc, a.command), EditOutcome::Done);
        EXPECT_EQ(LastLabel(d), a.label);
    }
    EXPECT_EQ(image.transparentIndex, -1);
    EXPECT_EQ(image.alphaMax, 255);
    EXPECT_EQ(image.alphaPaletteOn, !paletteOn);
    EXPECT_EQ(image.transparentColour, (Rgbquad{255, 255, 255, 0}));

    const auto hsl = ChannelPictures(d.doc, ChannelSpace::Hsl);
    ASSERT_TRUE(hsl[2]);
    EXPECT_EQ(hsl[2]->Width(), 40);
    EXPECT_EQ(hsl[2]->BitCount(), 8);
    EXPECT_TRUE(hsl[2]->HasGreyPalette());
    const std::vector<uint8_t> pixels = Pixels(d, 0);
    const uint8_t* p = pixels.data();
    EXPECT_EQ(hsl[2]->Row(0)[0], ToHsl(p[2], p[1], p[0]).l);
    EXPECT_EQ(ChannelDocumentTitle(ChannelSpace::Yuv, 1, 3, u"사진.jpg"),
              u"U Channel 3 from 사진.jpg");
    EXPECT_EQ(ChannelDocumentTitle(ChannelSpace::Hsl, 2, 0, u"a"), u"Lightness Channel 0 from a");
}
