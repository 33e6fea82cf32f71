// quillet-cli apply fill and gradient: the pictures they write, --select, colours by RRGGBB and
// the refusals of bad values.
#include "CliTestSupport.h"
#include "image/RaViru.h"

using namespace quillet;
using namespace quillet::clitest;

namespace {

// Left half one grey, right half another far from it.
void writeHalves(const std::string& path, int w, int h) {
    RaViru image(w, h, 24, ImageKind::Bmp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.PutPixelColor(x, y, x < w / 2 ? 0x404040 : 0xC0C0C0);
    ASSERT_TRUE(image.WriteFile(path, ImageKind::Bmp));
}

// Screen pixel (x, Y) of a picture file, Y from the top.
uint32_t at(const RaViru& image, int x, int Y) {
    return image.PixelColorAt(x, image.Height() - 1 - Y);
}

class ApplyFillTest : public TempDirTest {};

}  // namespace

TEST_F(ApplyFillTest, FillFloodsOneHalfAndKeepsToTheSelection) {
    const std::string in = path("in.bmp");
    writeHalves(in, 20, 10);
    RunResult r = run({"apply", in, path("a.bmp"), "fill", "x=3", "y=4", "colour=FF8000"});
    ASSERT_EQ(r.code, 0) << r.err;
    RaViru a;
    ASSERT_TRUE(a.ReadFile(path("a.bmp"), ImageKind::Unknown));
    EXPECT_EQ(at(a, 0, 0), 0xFF8000u);
    EXPECT_EQ(at(a, 9, 9), 0xFF8000u);
    EXPECT_EQ(at(a, 10, 0), 0xC0C0C0u);
    r = run({"apply", in, path("b.bmp"), "fill", "--select", "12,2,3,3", "x=13", "y=3",
             "colour=00FF00"});
    ASSERT_EQ(r.code, 0) << r.err;
    RaViru b;
    ASSERT_TRUE(b.ReadFile(path("b.bmp"), ImageKind::Unknown));
    EXPECT_EQ(at(b, 12, 2), 0x00FF00u);
    EXPECT_EQ(at(b, 14, 4), 0x00FF00u);
    EXPECT_EQ(at(b, 15, 4), 0xC0C0C0u);
    EXPECT_EQ(at(b, 13, 5), 0xC0C0C0u);
    EXPECT_NE(run({"apply", in, path("c.bmp"), "fill", "x=1", "y=1", "colour=12345"}).code, 0);
    EXPECT_NE(run({"apply", in, path("c.bmp"), "fill", "x=1", "y=1", "tolerance=61"}).code, 0);
    EXPECT_NE(run({"apply", in, path("c.bmp"), "fill", "y=1"}).code, 0);
}

TEST_F(ApplyFillTest, GradientRampsBetweenTheColoursAndNeedsALength) {
    const std::string in = path("in.bmp");
    writeHalves(in, 41, 41);
    const RunResult r = run({"apply", in, path("g.bmp"), "gradient", "x1=0", "y1=0", "x2=40",
                             "y2=40", "shape=mirrored", "colours=fg-bg", "fg=FF0000", "bg=0000FF"});
    ASSERT_EQ(r.code, 0) << r.err;
    RaViru g;
    ASSERT_TRUE(g.ReadFile(path("g.bmp"), ImageKind::Unknown));
    EXPECT_EQ(at(g, 0, 0), 0xFF0000u);
    EXPECT_EQ(at(g, 40, 40), 0xFF0000u);
    EXPECT_EQ(at(g, 20, 20), 0x0000FFu);
    EXPECT_NE(run({"apply", in, path("z.bmp"), "gradient", "x1=3", "y1=3", "x2=3", "y2=3"}).code,
              0);
    EXPECT_NE(run({"apply", in, path("z.bmp"), "gradient", "x1=3", "y1=3", "x2=9", "y2=3",
                   "shape=radial"})
                  .code,
              0);
}
