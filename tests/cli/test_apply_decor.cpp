// quillet-cli apply with the decorations: frames and line patterns in the written picture,
// shadows and calendars kept in VLR documents, and the colour values' syntax.
#include "CliTestSupport.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/LayerBuilders.h"
#include "view/tools/DecorationLayer.h"
#include "view/tools/LayerShadow.h"

using namespace quillet;
using namespace quillet::clitest;

namespace {

constexpr uint32_t kGrey = 0x808080;

void writeGrey(const std::string& path, int w, int h) {
    RaViru image(w, h, 24, ImageKind::Bmp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.PutPixelColor(x, y, kGrey);
    ASSERT_TRUE(image.WriteFile(path, ImageKind::Bmp));
}

// Screen pixel (x, Y) of a picture file, Y from the top.
struct Pixels {
    RaViru image;
    explicit Pixels(const std::string& path) { image.ReadFile(path, ImageKind::Unknown); }
    uint32_t at(int x, int Y) const { return image.PixelColorAt(x, image.Height() - 1 - Y); }
};

class ApplyDecorTest : public TempDirTest {};

}  // namespace

TEST_F(ApplyDecorTest, FrameAndLinePatternAreDrawnOverThePicture) {
    writeGrey(path("in.bmp"), 20, 16);
    ASSERT_EQ(run({"apply", path("in.bmp"), path("f.bmp"), "frame", "style=0", "width=4",
                   "colour=#C86432"})
                  .code,
              0);
    const Pixels f(path("f.bmp"));
    EXPECT_EQ(f.at(0, 8), 0u);                                     // ring 0 is black
    EXPECT_EQ(f.at(3, 8), (150u << 16) | (75u << 8) | 37u);        // ring 3: 3/4 of the colour
    EXPECT_EQ(f.at(10, 15 - 2), (100u << 16) | (50u << 8) | 25u);  // ring 2 at the bottom
    EXPECT_EQ(f.at(10, 8), kGrey);

    ASSERT_EQ(run({"apply", path("in.bmp"), path("p.bmp"), "line-pattern", "type=rows", "spacing=3",
                   "colour=FFFFFF"})
                  .code,
              0);
    const Pixels p(path("p.bmp"));
    for (int Y = 0; Y < 16; ++Y) EXPECT_EQ(p.at(5, Y), Y % 3 == 0 ? 0xFFFFFFu : kGrey) << Y;
}

TEST_F(ApplyDecorTest, ShadowAndCalendarStayInTheVlrDocument) {
    {
        RecordingUserPort user;
        CBrevDoc doc(user);
        doc.Journal().SetFolder(dir_.string() + '/');
        LayerTable& t = doc.Layers();
        CreateLayerArgs a = testsupport::LayerArgs(t, 0, 0, 0, 40, 30);
        a.initialAlpha = 255;
        testsupport::AddLayer(doc, a);
        testsupport::AddLayer(doc, testsupport::LayerArgs(t, 1, 0, 0, 40, 30));
        for (int y = 10; y < 20; ++y)
            for (int x = 10; x < 30; ++x) t.PutAlpha(1, x, y, 255);
        doc.SetCurrentLayerIndex(0);
        doc.RecordStep(u"Opening....", StepKind::PixelEdit);
        ASSERT_TRUE(SaveDocument(doc, path("in.vlr")).ok());
    }
    ASSERT_EQ(run({"apply", path("in.vlr"), path("s.vlr"), "shadow", "distance=3", "angle=-90",
                   "colour=#102030", "--layer", "1"})
                  .code,
              0);
    ASSERT_EQ(
        run({"apply", path("s.vlr"), path("c.vlr"), "calendar", "year=2024", "month=6", "size=10"})
            .code,
        0);
    RecordingUserPort user;
    CBrevDoc doc(user);
    doc.Journal().SetFolder(dir_.string() + '/');
    ASSERT_TRUE(OpenDocument(doc, path("c.vlr")).ok());
    const LayerTable& t = doc.Layers();
    EXPECT_EQ(ShadowSettingsOf(t.layer(1), 0), (ShadowSettings{3, 70, 50, -90, 0x102030}));
    int shaded = 0;
    for (uint8_t v : t.planesOf(1).effect) shaded += v != 0;
    EXPECT_GT(shaded, 0);
    // Above the current layer, which the opened document's bottom layer is.
    const int calendar = FindLayerNamed(t, u" [달력] 6월");
    ASSERT_GE(calendar, 0);
    EXPECT_EQ(t.layer(0).next, calendar);
    int drawn = 0;
    for (uint8_t v : t.planesOf(calendar).alpha) drawn += v != 0;
    EXPECT_GT(drawn, 0);
}

TEST_F(ApplyDecorTest, WrongValuesExitWithTheUsage) {
    writeGrey(path("in.bmp"), 8, 8);
    const std::string in = path("in.bmp"), out = path("o.bmp");
    EXPECT_EQ(run({"apply", in, out, "frame", "colour=#GG0000"}).code, 2);
    EXPECT_EQ(run({"apply", in, out, "frame", "colour=#1000000"}).code, 2);
    EXPECT_EQ(run({"apply", in, out, "frame", "colour=#"}).code, 2);
    EXPECT_EQ(run({"apply", in, out, "line-pattern", "spacing=1"}).code, 2);
    EXPECT_EQ(run({"apply", in, out, "calendar", "year=2024", "month=13"}).code, 2);
    EXPECT_EQ(run({"apply", in, out, "calendar", "month=1"}).code, 2);
    EXPECT_EQ(run({"apply", in, out, "shadow", "distance=21"}).code, 2);
    EXPECT_EQ(run({"apply", in, out, "frame", "--select", "0,0,2,2"}).code, 2);
    EXPECT_FALSE(fs::exists(out));
}
