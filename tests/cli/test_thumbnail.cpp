// quillet-cli thumbnail: the area-averaging reduction against a literal reference, the fitted
// sizes, every readable format in and a PNG of the right size out, and refused files.
#include <png.h>

#include <fstream>
#include <random>

#include "CliTestSupport.h"
#include "cli/Thumbnail.h"
#include "image/RaViru.h"

using namespace quillet;
using namespace quillet::clitest;
using cli::Picture32;

namespace {

Picture32 RandomPicture(std::mt19937& rng, int w, int h) {
    Picture32 p;
    p.width = w;
    p.height = h;
    p.bgra.resize(size_t(w) * h * 4);
    for (size_t i = 0; i < p.bgra.size(); ++i) p.bgra[i] = uint8_t(rng());
    for (size_t i = 3; i < p.bgra.size(); i += 4)  // opaque, clear and in between
        p.bgra[i] = std::array<uint8_t, 4>{255, 0, 1, uint8_t(rng())}[rng() % 4];
    return p;
}

// Every output pixel from every source pixel, overlaps measured in units of 1/(w·h) of a source
// pixel's width and height: the mean of colour × alpha over alpha, and of alpha.
Picture32 ReferenceReduce(const Picture32& in, int w, int h) {
    const int64_t W = in.width, H = in.height;
    auto overlap = [](int64_t a0, int64_t a1, int64_t b0, int64_t b1) {
        return std::max<int64_t>(0, std::min(a1, b1) - std::max(a0, b0));
    };
    Picture32 out;
    out.width = w;
    out.height = h;
    out.bgra.resize(size_t(w) * h * 4);
    for (int oy = 0; oy < h; ++oy)
        for (int ox = 0; ox < w; ++ox) {
            uint64_t sum[4] = {};
            for (int64_t y = 0; y < H; ++y)
                for (int64_t x = 0; x < W; ++x) {
                    const int64_t wx = overlap(ox * W, (ox + 1) * W, x * w, (x + 1) * w);
                    const int64_t wy = overlap(oy * H, (oy + 1) * H, y * h, (y + 1) * h);
                    const uint8_t* p = &in.bgra[size_t(y * W + x) * 4];
                    for (int c = 0; c < 3; ++c) sum[c] += uint64_t(wx * wy) * p[3] * p[c];
                    sum[3] += uint64_t(wx * wy) * p[3];
                }
            uint8_t* o = &out.bgra[(size_t(oy) * w + ox) * 4];
            for (int c = 0; c < 3; ++c) o[c] = sum[3] ? uint8_t((sum[c] + sum[3] / 2) / sum[3]) : 0;
            o[3] = uint8_t((sum[3] + W * H / 2) / (W * H));
        }
    return out;
}

// A PNG as libpng reads it back, as BGRA rows top first.
bool ReadPng(const std::string& file, Picture32& out, bool* hasAlpha = nullptr) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str())) return false;
    if (hasAlpha) *hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_BGRA;
    out.width = int(image.width);
    out.height = int(image.height);
    out.bgra.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, out.bgra.data(), 0, nullptr) != 0;
}

const uint8_t* At(const Picture32& p, int x, int y) {
    return &p.bgra[(size_t(y) * p.width + x) * 4];
}

class Thumbnail : public TempDirTest {};

}  // namespace

TEST(ThumbnailReduce, MatchesTheReferenceOnRandomPictures) {
    std::mt19937 rng(31);
    for (int round = 0; round < 60; ++round) {
        const int W = 1 + int(rng() % 37), H = 1 + int(rng() % 29);
        const int w = 1 + int(rng() % W), h = 1 + int(rng() % H);
        const Picture32 in = RandomPicture(rng, W, H);
        const Picture32 fast = cli::Reduce(in, w, h);
        const Picture32 slow = ReferenceReduce(in, w, h);
        ASSERT_EQ(fast.bgra, slow.bgra) << W << "x" << H << " -> " << w << "x" << h;
    }
}

TEST(ThumbnailReduce, SameSizeCopiesAndTransparentAreasStayClear) {
    std::mt19937 rng(5);
    Picture32 in = RandomPicture(rng, 9, 7);
    for (size_t i = 3; i < in.bgra.size(); i += 4)
        if (in.bgra[i] == 0) in.bgra[i - 3] = in.bgra[i - 2] = in.bgra[i - 1] = 0;
    EXPECT_EQ(cli::Reduce(in, 9, 7).bgra, in.bgra);

    Picture32 clear;
    clear.width = 6;
    clear.height = 4;
    clear.bgra.assign(6 * 4 * 4, 200);
    for (size_t i = 3; i < clear.bgra.size(); i += 4) clear.bgra[i] = 0;
    const Picture32 out = cli::Reduce(clear, 2, 1);
    EXPECT_EQ(out.bgra, (std::vector<uint8_t>(8, 0)));
}

TEST(ThumbnailFit, LongerSideBecomesTheSize) {
    struct Case {
        int w, h, size, ew, eh;
    };
    for (const Case c :
         {Case{640, 480, 128, 128, 96}, Case{480, 640, 128, 96, 128}, Case{300, 300, 256, 256, 256},
          Case{100, 50, 128, 100, 50}, Case{128, 7, 128, 128, 7}, Case{10000, 1, 128, 128, 1},
          Case{3, 1000, 256, 1, 256}, Case{1001, 1000, 100, 100, 100},
          Case{999, 1000, 100, 100, 100}}) {
        int w = 0, h = 0;
        cli::FitSize(c.w, c.h, c.size, w, h);
        EXPECT_EQ(w, c.ew) << c.w << "x" << c.h << " in " << c.size;
        EXPECT_EQ(h, c.eh) << c.w << "x" << c.h << " in " << c.size;
    }
}

// 64 × 32 in four flat quadrants (the first two at the top): reduced to 16 × 8, each output
// pixel covers 4 × 4 source pixels of one quadrant, so lossless formats keep the colours exactly.
TEST_F(Thumbnail, EveryReadableFormatGivesAPngOfTheFittedSize) {
    const uint32_t quadrant[4] = {0xFF0000, 0x00C000, 0x0000FF, 0xFFFF00};  // 0x00RRGGBB
    RaViru img(64, 32, 24, ImageKind::Bmp);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) img.PutPixelColor(x, y, quadrant[(x >= 32) + 2 * (y < 16)]);
    ASSERT_TRUE(img.WriteFile(path("src.bmp"), ImageKind::Bmp)) << img.lastError;

    std::vector<std::string> files = {"src.bmp"};
    for (const std::string ext : {"jpg", "gif", "tif", "vlr"}) {
        ASSERT_EQ(run({"convert", path("src.bmp"), path("src." + ext)}).code, 0) << ext;
        files.push_back("src." + ext);
    }
    if (haveConvert()) {  // PCX and PSD are read here but not written
        for (const std::string ext : {"pcx", "psd"}) {
            const std::string cmd =
                "convert '" + path("src.bmp") + "' '" + path("src." + ext) + "' 2>/dev/null";
            ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
            files.push_back("src." + ext);
        }
    }
    // Without an extension the content decides.
    fs::copy_file(path("src.vlr"), path("document"));
    fs::copy_file(path("src.gif"), path("picture"));
    files.insert(files.end(), {"document", "picture"});

    for (const std::string& name : files) {
        const std::string out = path(name + ".png");
        const RunResult r = run({"thumbnail", path(name), out, "16"});
        ASSERT_EQ(r.code, 0) << name << ": " << r.err;
        Picture32 png;
        ASSERT_TRUE(ReadPng(out, png)) << name;
        EXPECT_EQ(png.width, 16) << name;
        EXPECT_EQ(png.height, 8) << name;
        const int tolerance = name == "src.jpg" ? 24 : 0;
        for (int q = 0; q < 4; ++q) {
            const uint8_t* p = At(png, 2 + 8 * (q % 2), q < 2 ? 1 : 5);
            const uint32_t want = quadrant[q];
            EXPECT_NEAR(p[2], int(want >> 16 & 0xFF), tolerance) << name << " quadrant " << q;
            EXPECT_NEAR(p[1], int(want >> 8 & 0xFF), tolerance) << name << " quadrant " << q;
            EXPECT_NEAR(p[0], int(want & 0xFF), tolerance) << name << " quadrant " << q;
            EXPECT_EQ(p[3], 255) << name;
        }
    }

    // A small picture is not enlarged.
    ASSERT_EQ(run({"thumbnail", path("src.bmp"), path("big.png"), "256"}).code, 0);
    Picture32 png;
    ASSERT_TRUE(ReadPng(path("big.png"), png));
    EXPECT_EQ(png.width, 64);
    EXPECT_EQ(png.height, 32);
}

TEST_F(Thumbnail, TransparentGifPixelsStayTransparent) {
    RaViru img(8, 8, 8, ImageKind::Gif);
    img.MakeGreyPalette();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) img.Row(y)[x] = x < 4 ? 7 : 200;
    img.transparentIndex = 7;
    ASSERT_TRUE(img.WriteFile(path("t.gif"), ImageKind::Gif)) << img.lastError;
    ASSERT_EQ(run({"thumbnail", path("t.gif"), path("t.png"), "4"}).code, 0);
    Picture32 png;
    bool alpha = false;
    ASSERT_TRUE(ReadPng(path("t.png"), png, &alpha));
    ASSERT_TRUE(alpha);
    EXPECT_EQ(At(png, 0, 0)[3], 0);
    EXPECT_EQ(At(png, 3, 3)[3], 255);
    EXPECT_EQ(At(png, 3, 3)[0], 200);
}

TEST_F(Thumbnail, UnreadableFilesAndBadArguments) {
    std::ofstream(path("noise.jpg")) << "not a picture at all";
    std::ofstream(path("short.vlr")) << "\n41 0 0 only a header line";
    RaViru img(4, 4, 24, ImageKind::Bmp);
    ASSERT_TRUE(img.WriteFile(path("ok.bmp"), ImageKind::Bmp));
    for (const std::string name : {"noise.jpg", "short.vlr", "missing.bmp"}) {
        const RunResult r = run({"thumbnail", path(name), path("out.png"), "128"});
        EXPECT_EQ(r.code, 1) << name;
        EXPECT_NE(r.err.find(name), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(path("out.png"))) << name;
    }
    const RunResult r = run({"thumbnail", path("ok.bmp"), path("no/such/folder/out.png"), "8"});
    EXPECT_EQ(r.code, 1);
    for (const std::string size : {"0", "-3", "4097", "12px", ""})
        EXPECT_EQ(run({"thumbnail", path("ok.bmp"), path("out.png"), size}).code, 2) << size;
    EXPECT_EQ(run({"thumbnail", path("ok.bmp"), path("out.png")}).code, 2);
    EXPECT_EQ(filesInDir(), 3u);  // the inputs only: nothing half-written is left
}
