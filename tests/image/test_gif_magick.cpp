// Cross-checks with ImageMagick as an independent GIF writer and reader.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

#include "image/codecs/RaViruGIF.h"
#include "test_gif_util.h"
#include "tests/support/Magick.h"
#include "tests/support/TempDir.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

class GifMagick : public testsupport::TempDirTest {
protected:
    void SetUp() override {
        if (!testsupport::haveConvert()) GTEST_SKIP() << "no convert";
        TempDirTest::SetUp();
    }

    void run(const std::string& command) {
        ASSERT_EQ(std::system(("cd '" + dir_.string() + "' && " + command).c_str()), 0) << command;
    }

    std::vector<uint8_t> slurp(const std::string& name) {
        return testsupport::readFile(path(name));
    }

    // A small random colour picture as PPM for ImageMagick to reduce.
    void writeNoise(const std::string& name, int w, int h, unsigned seed) {
        std::mt19937 rng(seed);
        std::ofstream out(path(name), std::ios::binary);
        out << "P6 " << w << " " << h << " 255\n";
        for (int i = 0; i < w * h * 3; ++i) out.put(char(rng() & 0xE0));
    }

    // Compares frame `index` as Quillet reads it with ImageMagick's coalesced frame.
    void expectFrameMatches(const std::string& gif, int index, int frames) {
        RaViru img;
        img.frameIndex = index;
        ASSERT_TRUE(img.ReadFile(path(gif), ImageKind::Gif)) << img.lastError;
        EXPECT_EQ(img.frameCount, frames);
        const std::string raw = gif + "-" + std::to_string(index) + ".rgba";
        const auto rgba = slurp(raw);
        ASSERT_EQ(rgba.size(), size_t(img.Width()) * img.Height() * 4) << raw;
        int transparentSeen = 0;
        for (int y = 0; y < img.Height(); ++y) {
            for (int x = 0; x < img.Width(); ++x) {
                const uint8_t* p = &rgba[(size_t(y) * img.Width() + x) * 4];
                const int yy = img.Height() - 1 - y;
                if (p[3] == 0) {
                    // ImageMagick shows no colour there; Quillet keeps the transparent index.
                    ASSERT_EQ(int(img.PixelIndexAt(x, yy)), img.transparentIndex)
                        << gif << " frame " << index << " at " << x << "," << y;
                    ++transparentSeen;
                    continue;
                }
                ASSERT_EQ(img.PixelColorAt(x, yy), packBgr(p[0], p[1], p[2]))
                    << gif << " frame " << index << " at " << x << "," << y;
            }
        }
        if (img.transparentIndex != -1) {
            EXPECT_GT(transparentSeen, 0) << gif << " " << index;
        }
    }
};

}  // namespace

TEST_F(GifMagick, ReadsSingleInterlacedAndTransparentPictures) {
    writeNoise("noise.ppm", 23, 13, 1);
    run("convert noise.ppm -colors 60 single.gif");
    run("convert noise.ppm -colors 9 -interlace GIF inter.gif");
    run("convert noise.ppm -colors 2 two.gif");
    run("convert -size 9x6 xc:none -fill red -draw 'rectangle 1,1 4,3' -fill '#00f' "
        "-draw 'point 7,4' trans.gif");
    for (const char* gif : {"single.gif", "inter.gif", "two.gif", "trans.gif"}) {
        run(std::string("convert ") + gif + " -coalesce -depth 8 rgba:" + gif + "-%d.rgba");
        expectFrameMatches(gif, 0, 1);
    }
    RaViru two(path("two.gif"), ImageKind::Gif);
    EXPECT_EQ(two.BitCount(), 1);
    RaViru trans(path("trans.gif"), ImageKind::Gif);
    EXPECT_NE(trans.transparentIndex, -1);
    EXPECT_EQ(trans.BitCount(), 4);
    EXPECT_EQ(trans.PaletteEntry(10), (Rgbquad{255, 255, 255, 0}));  // padded with white
}

TEST_F(GifMagick, AnimationFramesMatchCoalescedFrames) {
    // Frame 0 covers the screen; later frames are smaller, placed, partly transparent, and each
    // is left in place (disposal 1) for the next.
    run("convert -dispose None -delay 10 -size 12x8 xc:blue "
        "\\( -size 4x3 xc:red -repage +2+1 \\) "
        "\\( -size 5x5 xc:none -fill yellow -draw 'point 2,2' -draw 'point 0,0' -repage +6+3 \\) "
        "\\( -size 3x4 xc:green -fill none -draw 'point 1,1' -repage +0+4 \\) "
        "+map -loop 0 anim.gif");
    run("convert anim.gif -coalesce -depth 8 rgba:anim.gif-%d.rgba");
    for (int i = 0; i < 4; ++i) expectFrameMatches("anim.gif", i, 4);

    RaViruGIF gif;
    FileStream in(path("anim.gif").c_str(), "rb");
    gif.frameIndex = 2;
    ASSERT_TRUE(gif.Read(in));
    EXPECT_EQ(gif.disposal, 1);
    EXPECT_EQ(gif.frameDelay, 10);
    EXPECT_EQ(gif.loopCount, 0);

    // With transparency on the first frame too, undrawn parts keep the transparent index.
    run("convert -dispose None -size 10x6 xc:none -fill red -draw 'rectangle 0,0 3,5' "
        "\\( -size 4x2 xc:navy -repage +5+1 \\) +map clear.gif");
    run("convert clear.gif -coalesce -depth 8 rgba:clear.gif-%d.rgba");
    for (int i = 0; i < 2; ++i) expectFrameMatches("clear.gif", i, 2);
}

TEST_F(GifMagick, WrittenPicturesReadBackIdentically) {
    const std::regex entry(R"(^\s+(\d+): \(\s*(\d+),\s*(\d+),\s*(\d+)\))");
    for (int bits : {1, 4, 8}) {
        const int w = 37, h = 21;
        RaViru img(w, h, bits, ImageKind::Gif);
        std::mt19937 rng(static_cast<unsigned>(bits));
        const int n = img.PaletteCount();
        // Distinct colours, so ImageMagick has no reason to merge entries.
        for (int i = 0; i < n; ++i)
            img.SetPaletteEntry(i, uint8_t(i), uint8_t(rng()), uint8_t(255 - i));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                img.PutPixelColor(x, y, packBgr(img.PaletteEntry(int(rng() % unsigned(n)))));
            }
        }
        const std::string name = "out" + std::to_string(bits) + ".gif";
        ASSERT_TRUE(img.WriteFile(path(name), ImageKind::Gif)) << img.lastError;
        run("convert " + name + " -depth 8 rgb:" + name + ".rgb");
        run("identify -verbose " + name + " > " + name + ".txt");

        const auto rgb = slurp(name + ".rgb");
        ASSERT_EQ(rgb.size(), size_t(w * h * 3));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const uint8_t* p = &rgb[size_t(y * w + x) * 3];
                ASSERT_EQ(img.PixelColorAt(x, h - 1 - y), packBgr(p[0], p[1], p[2]))
                    << bits << " bits at " << x << "," << y;
            }
        }
        std::ifstream report(path(name + ".txt"));
        std::string line;
        int seen = 0;
        bool inMap = false;
        while (std::getline(report, line)) {
            if (line.find("Colormap:") != std::string::npos) inMap = true;
            std::smatch m;
            if (!inMap || !std::regex_search(line, m, entry)) continue;
            const int i = std::stoi(m[1]);
            ASSERT_LT(i, n);
            EXPECT_EQ(img.PaletteEntry(i),
                      (Rgbquad{uint8_t(std::stoi(m[4])), uint8_t(std::stoi(m[3])),
                               uint8_t(std::stoi(m[2])), 0}))
                << bits << " bits, entry " << i;
            ++seen;
        }
        EXPECT_EQ(seen, n) << bits << " bits";
    }
}
