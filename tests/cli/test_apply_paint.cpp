// quillet-cli apply stroke: the painting tools played through the points, the same pixels and
// step as the editor's tool, the selection honoured, bad points refused; and the balloon.
#include "CliTestSupport.h"
#include "image/RaViru.h"

using namespace quillet;
using namespace quillet::clitest;

namespace {

class ApplyPaint : public TempDirTest {
protected:
    // White, 40 × 30 unless told.
    std::string White(int width = 40, int height = 30) {
        RaViru img(width, height, 24, ImageKind::Bmp);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) img.PutPixelColor(x, y, 0xFFFFFF);
        const std::string file = path("in.bmp");
        EXPECT_TRUE(img.WriteFile(file, ImageKind::Bmp));
        return file;
    }
    // 0x00RRGGBB at (x, y) counted from the top.
    uint32_t At(const std::string& file, int x, int y) {
        RaViru img;
        EXPECT_TRUE(img.ReadFile(file, ImageKind::Bmp));
        return img.PixelColorAt(x, img.Height() - 1 - y) & 0xFFFFFF;
    }
};

}  // namespace

TEST_F(ApplyPaint, HardStrokePaintsTheSquaresAlongThePoints) {
    const std::string in = White(), out = path("out.bmp");
    ASSERT_EQ(
        run({"apply", in, out, "stroke", "points=5,5,30,5", "size=2", "soft=0", "colour=#FF0000"})
            .code,
        0);
    for (int x = 3; x <= 31; ++x) EXPECT_EQ(At(out, x, 5), 0xFF0000u) << x;
    EXPECT_EQ(At(out, 32, 5), 0xFFFFFFu);
    EXPECT_EQ(At(out, 10, 10), 0xFFFFFFu);
}

TEST_F(ApplyPaint, SelectionLimitsTheStroke) {
    const std::string in = White(), out = path("out.bmp");
    ASSERT_EQ(run({"apply", in, out, "stroke", "points=0,10,39,10", "size=3", "soft=0",
                   "colour=0000ff", "--select", "10,0,10,30"})
                  .code,
              0);
    EXPECT_EQ(At(out, 9, 10), 0xFFFFFFu);
    EXPECT_EQ(At(out, 10, 10), 0x0000FFu);
    EXPECT_EQ(At(out, 19, 10), 0x0000FFu);
    EXPECT_EQ(At(out, 20, 10), 0xFFFFFFu);
}

TEST_F(ApplyPaint, ToolsAndBadValues) {
    const std::string in = White(), out = path("out.bmp");
    EXPECT_EQ(
        run({"apply", in, out, "stroke", "points=20,15", "tool=dot", "size=4", "colour=00ff00"})
            .code,
        0);
    EXPECT_EQ(At(out, 18, 16), 0x00FF00u);  // offset by (−2, +1), growing upwards
    EXPECT_EQ(run({"apply", in, out, "stroke", "points=20,15,25,15", "tool=spray"}).code, 0);
    EXPECT_EQ(
        run({"apply", in, out, "stroke", "points=20,15", "tool=touch", "mode=1", "strength=1.5"})
            .code,
        0);
    for (const char* bad : {"points=1,2,3", "points=", "points=a,b", "points=1,,2"})
        EXPECT_EQ(run({"apply", in, out, "stroke", bad}).code, 2) << bad;
    EXPECT_EQ(run({"apply", in, out, "stroke", "points=1,1", "colour=12345"}).code, 2);
    EXPECT_EQ(run({"apply", in, out, "stroke", "points=1,1", "strength=x"}).code, 2);
    EXPECT_EQ(run({"apply", in, out, "stroke"}).code, 2);  // points are required
    EXPECT_NE(run({"apply", "--list"}).out.find("points=TEXT (required)"), std::string::npos);
}

TEST_F(ApplyPaint, BalloonIsACircleAboveTheBottomLeft) {
    const std::string in = White(400, 300), out = path("out.bmp");
    ASSERT_EQ(run({"apply", in, out, "balloon", "size=1", "colour=#0000FF"}).code, 0);
    // Radius 50 about (300, 150): the four axis points are drawn, the centre is not.
    for (auto [x, y] : {std::pair{250, 150}, {350, 150}, {300, 100}, {300, 200}})
        EXPECT_EQ(At(out, x, y), 0x0000FFu) << x << "," << y;
    EXPECT_EQ(At(out, 300, 150), 0xFFFFFFu);
}
