// quillet-cli's commands: arguments, info lines, failures.
#include <fstream>

#include "CliTestSupport.h"
#include "image/RaViru.h"

using namespace quillet;
using namespace quillet::clitest;

namespace {
class Cli : public TempDirTest {};
}  // namespace

TEST_F(Cli, WrongArgumentsGiveUsage) {
    for (const auto& args :
         std::vector<std::vector<std::string>>{{},
                                               {"info"},
                                               {"info", "a", "b"},
                                               {"convert", "a"},
                                               {"frobnicate", "a", "b"},
                                               {"convert", "a.bmp", "b.bmp", "--frame"},
                                               {"convert", "a.bmp", "b.bmp", "--frame", "x"},
                                               {"convert", "a.bmp", "b.bmp", "--quality", "0"},
                                               {"convert", "a.bmp", "b.bmp", "--quality", "101"},
                                               {"convert", "a.bmp", "b.bmp", "--colour", "1"}}) {
        const RunResult r = run(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_NE(r.err.find("usage:"), std::string::npos);
    }
}

TEST_F(Cli, InfoOfPicturesAndFrames) {
    RaViru img(5, 3, 8, ImageKind::Gif);
    img.MakeGreyPalette();
    ASSERT_TRUE(img.WriteFile(path("g.gif"), ImageKind::Gif));
    RunResult r = run({"info", path("g.gif")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "5x3 8 1\n");

    r = run({"info", path("missing.bmp")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("missing.bmp"), std::string::npos);
    EXPECT_TRUE(r.out.empty());
}

TEST_F(Cli, ConvertAndVlrInfo) {
    RaViru img(6, 4, 24, ImageKind::Bmp);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            img.PutPixelColor(x, y, uint32_t(x * 40) << 16 | uint32_t(y * 60));
    ASSERT_TRUE(img.WriteFile(path("in.bmp"), ImageKind::Bmp));
    ASSERT_EQ(run({"convert", path("in.bmp"), path("doc.VLR")}).code, 0);
    RunResult r = run({"info", path("doc.VLR")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "6x4 24 1\n");
    ASSERT_EQ(run({"convert", path("doc.VLR"), path("back.bmp")}).code, 0);
    RaViru back;
    ASSERT_TRUE(back.ReadFile(path("back.bmp"), ImageKind::Bmp));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) ASSERT_EQ(back.PixelColorAt(x, y), img.PixelColorAt(x, y));
}

TEST_F(Cli, FailuresPrintTheMessageAndReason) {
    std::ofstream(path("bad.jpg")) << "no jpeg here";
    RunResult r = run({"convert", path("bad.jpg"), path("out.bmp")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("해당 파일을 열 수 없습니다."), std::string::npos);
    EXPECT_FALSE(fs::exists(path("out.bmp")));

    RaViru img(3, 3, 24, ImageKind::Bmp);
    ASSERT_TRUE(img.WriteFile(path("ok.bmp"), ImageKind::Bmp));
    r = run({"convert", path("ok.bmp"), path("out.pcx")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("pcx"), std::string::npos);
    EXPECT_FALSE(fs::exists(path("out.pcx")));
}
