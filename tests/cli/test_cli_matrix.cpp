// Every readable format into every writable one through `convert`, with ImageMagick reading
// both the source and the result.
#include <cmath>

#include "CliTestSupport.h"

using namespace quillet;
using namespace quillet::clitest;

namespace {

class CliMatrix : public TempDirTest {
protected:
    void SetUp() override {
        if (!haveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
        TempDirTest::SetUp();
    }
    // 16 x 8 with 128 distinct colours: fits a GIF palette exactly.
    std::string source(const std::string& ext) {
        const std::string file = path("src." + ext);
        const std::string cmd =
            "convert -size 16x8 xc: -channel R -fx 'i/15' -channel G -fx 'j/7' -channel B "
            "-fx '0.3' +channel -depth 8 -type TrueColor '" +
            file + "' 2>/dev/null";
        EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
        return file;
    }
};

struct Difference {
    double mean = 0;
    int max = 0;
};

Difference compare(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    Difference d;
    if (a.size() != b.size() || a.empty()) return {1e9, 999};
    for (size_t i = 0; i < a.size(); ++i) {
        const int v = std::abs(int(a[i]) - int(b[i]));
        d.mean += v;
        d.max = std::max(d.max, v);
    }
    d.mean /= double(a.size());
    return d;
}

}  // namespace

TEST_F(CliMatrix, EveryReadableIntoEveryWritable) {
    for (const std::string in : {"jpg", "bmp", "gif", "tif", "pcx", "psd"}) {
        const std::string src = source(in);
        const std::vector<uint8_t> expected = magickRgb(src);
        ASSERT_EQ(expected.size(), 16u * 8u * 3u) << in;
        for (const std::string out : {"jpg", "bmp", "gif", "tif", "vlr"}) {
            const std::string dst = path("out-" + in + "." + out);
            const RunResult r = run({"convert", src, dst});
            ASSERT_EQ(r.code, 0) << in << " -> " << out << ": " << r.err;
            std::string readable = dst;
            if (out == "vlr") {  // ImageMagick cannot read VLR: back through a bitmap
                readable = path("out-" + in + "-vlr.bmp");
                ASSERT_EQ(run({"convert", dst, readable}).code, 0);
            }
            const Difference d = compare(expected, magickRgb(readable));
            if (in == "jpg" || out == "jpg") {
                EXPECT_LT(d.mean, 6.0) << in << " -> " << out;
                EXPECT_LT(d.max, 60) << in << " -> " << out;
            } else {
                EXPECT_EQ(d.max, 0) << in << " -> " << out;
            }
        }
    }
}

TEST_F(CliMatrix, FrameOfGifAndTiff) {
    for (const std::string ext : {"gif", "tif"}) {
        const std::string src = path("frames." + ext);
        ASSERT_EQ(std::system(("convert -size 4x3 xc:red xc:blue xc:lime '" + src + "'").c_str()),
                  0);
        RunResult r = run({"info", src});
        EXPECT_EQ(r.code, 0);
        EXPECT_NE(r.out.find(" 3\n"), std::string::npos) << r.out;
        const std::string dst = path("frame-" + ext + ".bmp");
        ASSERT_EQ(run({"convert", src, dst, "--frame", "1"}).code, 0);
        const std::vector<uint8_t> rgb = magickRgb(dst);
        ASSERT_EQ(rgb.size(), 36u);
        EXPECT_EQ(rgb[0], 0);
        EXPECT_EQ(rgb[2], 255);  // blue
        EXPECT_EQ(run({"convert", src, dst, "--frame", "7"}).code, 1);
    }
}

TEST_F(CliMatrix, QualityChangesJpegSize) {
    const std::string src = source("bmp");
    ASSERT_EQ(run({"convert", src, path("lo.jpg"), "--quality", "5"}).code, 0);
    ASSERT_EQ(run({"convert", src, path("hi.jpg"), "--quality", "100"}).code, 0);
    EXPECT_LT(fs::file_size(path("lo.jpg")), fs::file_size(path("hi.jpg")));
}

// A CMYK JPEG opens as a 32-bit picture; its saved colours must be the composed ones.
TEST_F(CliMatrix, CmykJpegKeepsItsColours) {
    const std::string src = path("cmyk.jpg");
    ASSERT_EQ(std::system(
                  ("convert -size 12x6 gradient:red-blue -colorspace CMYK '" + src + "'").c_str()),
              0);
    ASSERT_EQ(run({"convert", src, path("cmyk.bmp")}).code, 0);
    const std::vector<uint8_t> expected =
        capture("convert '" + src + "' -colorspace sRGB -depth 8 rgb:- 2>/dev/null");
    EXPECT_EQ(compare(expected, magickRgb(path("cmyk.bmp"))).max, 0);
}
