// Cross-checks against ImageMagick's convert as an independent reader and writer: small
// pictures are made in a temporary folder, read by both sides and compared pixel by pixel.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "image/RaViru.h"
#include "image/codecs/PsdReader.h"
#include "tests/support/Magick.h"
#include "tests/support/TempDir.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

using testsupport::capture;

std::string text(const std::string& command) { return testsupport::captureText(command); }

class ConvertCross : public testsupport::TempDirTest {
protected:
    void SetUp() override {
        if (!testsupport::haveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
        TempDirTest::SetUp();
    }
    // Runs "convert ARGS FORMAT:FILE" and returns the file's path.
    std::string make(const std::string& args, const std::string& format, const std::string& name) {
        const std::string file = path(name);
        const std::string cmd = "convert " + args + " " + format + ":'" + file + "' 2>/dev/null";
        EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
        return file;
    }
    std::vector<uint8_t> rgbOf(const std::string& file) { return testsupport::magickRgb(file); }
};

// Quillet's pixels as convert prints them: top row first, red, green, blue.
std::vector<uint8_t> pixelsOf(const RaViru& img) {
    std::vector<uint8_t> out;
    for (int y = img.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < img.Width(); ++x) {
            const uint32_t c = img.PixelColorAt(x, y);
            out.insert(out.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
        }
    }
    return out;
}

int maxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size()) return 1000;
    int worst = 0;
    for (size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
    return worst;
}

int bmpDepth(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    uint8_t h[30] = {};
    in.read(reinterpret_cast<char*>(h), 30);
    return h[28];
}

const std::string kPicture =
    "-size 23x9 gradient:'#ff2000-#0040ff' -fill '#20c020' -draw 'rectangle 4,2 9,6'";
const std::string kRich = "-size 21x11 plasma:fractal -seed 7";

}  // namespace

TEST_F(ConvertCross, BmpFilesMadeByConvert) {
    struct Case {
        std::string args, format, name;
        int depth;
    } cases[] = {
        {kPicture + " -type Bilevel", "BMP3", "b1.bmp", 1},
        {kPicture + " -colors 12 -type Palette", "BMP3", "b4.bmp", 4},
        {kRich + " -colors 200 -type Palette -compress None", "BMP3", "b8.bmp", 8},
        {kRich + " -colors 200 -type Palette -compress RLE", "BMP3", "rle8.bmp", 8},
        {kRich + " -type TrueColor", "BMP3", "b24.bmp", 24},
        {kRich + " -alpha set -channel A -evaluate set 60% +channel", "BMP", "b32.bmp", 32},
    };
    for (const Case& c : cases) {
        const std::string file = make(c.args, c.format, c.name);
        ASSERT_EQ(bmpDepth(file), c.depth) << c.name;
        RaViru img(file, ImageKind::Bmp);
        ASSERT_TRUE(img.HasBlock()) << c.name << ": " << img.lastError;
        EXPECT_EQ(pixelsOf(img), rgbOf(file)) << c.name;
    }
}

// 16-bit bit fields are widened by shifting (5 bits → v << 3, 6 bits → v << 2); convert
// scales them to the full range instead. The raw field values are recovered from convert's
// result and the shift applied to them.
TEST_F(ConvertCross, Bmp16BitFieldsFollowTheShiftRule) {
    const std::string file = make(kRich + " -define bmp:subtype=RGB565", "BMP", "b16.bmp");
    ASSERT_EQ(bmpDepth(file), 16);
    RaViru img(file, ImageKind::Bmp);
    ASSERT_TRUE(img.HasBlock()) << img.lastError;
    auto expected = rgbOf(file);
    for (size_t i = 0; i < expected.size(); ++i) {
        const int bitsOf = i % 3 == 1 ? 6 : 5, top = (1 << bitsOf) - 1;
        const int raw = (expected[i] * top + 127) / 255;
        expected[i] = uint8_t(raw << (8 - bitsOf));
    }
    EXPECT_EQ(pixelsOf(img), expected);
}

TEST_F(ConvertCross, PcxFilesBothWays) {
    for (const auto& [args, name] : {std::pair{kRich + " -colors 200 -type Palette", "p8.pcx"},
                                     std::pair{kRich + " -type TrueColor", "p24.pcx"}}) {
        const std::string file = make(args, "PCX", name);
        RaViru img(file, ImageKind::Pcx);
        ASSERT_TRUE(img.HasBlock()) << name << ": " << img.lastError;
        EXPECT_EQ(pixelsOf(img), rgbOf(file)) << name;
    }
    // convert writes no 1-bit or 4-plane PCX: those are made here and read by both.
    std::vector<uint8_t> mono, planes;
    for (int i = 0; i < 2 * 5; ++i) mono.push_back(uint8_t(i * 53 + 7));
    for (int i = 0; i < 4 * 2 * 5; ++i) planes.push_back(uint8_t(i * 97 + 13));
    const auto files = {std::pair{testfiles::pcxFile(13, 5, 1, 1, 2, mono, {}), "p1.pcx"},
                        std::pair{testfiles::pcxFile(13, 5, 1, 4, 2, planes, {}), "p4.pcx"}};
    for (const auto& [bytes, name] : files) {
        const std::string file = path(name);
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
        RaViru img(file, ImageKind::Pcx);
        ASSERT_TRUE(img.HasBlock()) << name << ": " << img.lastError;
        auto expected = rgbOf(file);
        // A one-plane 1-bit PCX is black for 0 and white for 1 here; convert reads it the other
        // way round.
        if (img.BitCount() == 1) {
            for (uint8_t& v : expected) v = uint8_t(255 - v);
        }
        EXPECT_EQ(pixelsOf(img), expected) << name;
    }
}

TEST_F(ConvertCross, PsdFilesMadeByConvert) {
    for (const char* compression : {"None", "RLE"}) {
        const std::string c = std::string(" -depth 8 -compress ") + compression;
        for (const auto& [args, name] :
             {std::pair{kRich + " -type TrueColor", "rgb"},
              std::pair{kRich + " -colorspace Gray", "grey"},
              std::pair{kPicture + " -colors 12 -type Palette", "indexed"}}) {
            const std::string file =
                make(args + c, "PSD", std::string(name) + compression + ".psd");
            RaViru img(ImageKind::Unknown);
            ASSERT_EQ(ReadPsd(file, img), PsdResult::Ok)
                << name << compression << ": " << img.lastError;
            // convert cannot read back the indexed PSD it writes: the same picture as BMP stands
            // in, with the palette convert rounds down by one when it writes the PSD.
            const bool indexed = std::string(name) == "indexed";
            const std::string reference = indexed ? make(args, "BMP3", "indexed.bmp") : file;
            EXPECT_LE(maxDifference(pixelsOf(img), rgbOf(reference)), indexed ? 1 : 0)
                << name << compression;
        }
        // CMYK: the formula over the stored (inverted) samples, each divided by 256.
        const std::string file = make(kRich + " -colorspace CMYK" + c, "PSD",
                                      std::string("cmyk") + compression + ".psd");
        const auto ink = capture("convert '" + file + "[0]' -depth 8 cmyk:- 2>/dev/null");
        RaViru img(ImageKind::Unknown);
        ASSERT_EQ(ReadPsd(file, img), PsdResult::Ok) << img.lastError;
        std::vector<uint8_t> expected;
        for (size_t i = 0; i + 3 < ink.size(); i += 4) {
            const double k = 1.0 - (255 - ink[i + 3]) / 256.0;
            for (int j = 0; j < 3; ++j) {
                const double c = 1.0 - (255 - ink[i + j]) / 256.0;
                expected.push_back(uint8_t(
                    std::clamp(std::floor((1.0 - (k + (1.0 - k) * c)) * 255.0 + 0.5), 0.0, 255.0)));
            }
        }
        EXPECT_EQ(pixelsOf(img), expected) << compression;
    }
}

TEST_F(ConvertCross, TiffFilesMadeByConvert) {
    for (const char* compression : {"None", "LZW", "RLE", "Zip", "JPEG"}) {
        const std::string file = make(kRich + " -depth 8 -compress " + std::string(compression),
                                      "TIFF", std::string("c") + compression + ".tif");
        RaViru img(file, ImageKind::Tiff);
        ASSERT_TRUE(img.HasBlock()) << compression << ": " << img.lastError;
        EXPECT_LE(maxDifference(pixelsOf(img), rgbOf(file)),
                  std::string(compression) == "JPEG" ? 2 : 0)
            << compression;
        // Exactly what the TIFF library's own RGBA reader makes of the file (YCbCr JPEG included).
        TIFF* t = TIFFOpen(file.c_str(), "r");
        ASSERT_NE(t, nullptr);
        std::vector<uint32_t> raster(size_t(img.Width()) * size_t(img.Height()));
        ASSERT_TRUE(
            TIFFReadRGBAImage(t, uint32_t(img.Width()), uint32_t(img.Height()), raster.data(), 1));
        TIFFClose(t);
        for (int y = 0; y < img.Height(); ++y)
            for (int x = 0; x < img.Width(); ++x) {
                const uint32_t v = raster[size_t(y) * size_t(img.Width()) + size_t(x)];
                ASSERT_EQ(img.PixelColorAt(x, y),
                          packBgr(uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16)))
                    << compression;
            }
    }
    const std::string grey =
        make(kRich + " -depth 8 -colorspace Gray -compress LZW", "TIFF", "grey.tif");
    const std::string palette = make(kPicture + " -colors 12 -type Palette", "TIFF", "palette.tif");
    const std::string mono = make(kPicture + " -type Bilevel -compress Group4", "TIFF", "mono.tif");
    for (const std::string& file : {grey, palette, mono}) {
        RaViru img(file, ImageKind::Tiff);
        ASSERT_TRUE(img.HasBlock()) << file << ": " << img.lastError;
        EXPECT_LE(img.BitCount(), 8) << file;
        EXPECT_EQ(pixelsOf(img), rgbOf(file)) << file;
    }
    const std::string pages = path("pages.tif");
    ASSERT_EQ(std::system(("convert " + kRich + " -depth 8 \\( " + kPicture +
                           " \\) \\( -size 5x4 xc:'#123456' \\) '" + pages + "' 2>/dev/null")
                              .c_str()),
              0);
    for (int page = 0; page < 3; ++page) {
        RaViru img(ImageKind::Unknown);
        img.frameIndex = page;
        ASSERT_TRUE(img.ReadFile(pages, ImageKind::Tiff)) << img.lastError;
        EXPECT_EQ(img.frameCount, 3);
        EXPECT_EQ(pixelsOf(img), rgbOf(pages + "[" + std::to_string(page) + "]")) << page;
    }
}

TEST_F(ConvertCross, JpegFilesMadeByConvert) {
    const struct {
        std::string args, name;
        int depth;
    } cases[] = {{kRich + " -quality 85", "colour.jpg", 24},
                 {kRich + " -colorspace Gray -quality 85", "grey.jpg", 8},
                 {kRich + " -interlace Plane -quality 85", "progressive.jpg", 24}};
    for (const auto& c : cases) {
        const std::string file = make(c.args, "JPEG", c.name);
        RaViru img(file, ImageKind::Jpeg);
        ASSERT_TRUE(img.HasBlock()) << c.name << ": " << img.lastError;
        EXPECT_EQ(img.BitCount(), c.depth);
        EXPECT_LE(maxDifference(pixelsOf(img), rgbOf(file)), 1) << c.name;
    }
}

// What Quillet writes, convert reads back: exactly for BMP and TIFF without loss, closely for JPEG.
TEST_F(ConvertCross, ConvertReadsWhatQuilletWrites) {
    const std::string source = make(kRich + " -type TrueColor", "BMP3", "source.bmp");
    RaViru colour(source, ImageKind::Bmp);
    ASSERT_TRUE(colour.HasBlock()) << colour.lastError;
    colour.SetHorizontalDpi(300);
    colour.SetVerticalDpi(150);

    RaViru grey(colour.Width(), colour.Height(), 8, ImageKind::Bmp);
    for (int i = 0; i < 256; ++i) grey.SetPaletteEntry(i, uint8_t(i), uint8_t(i), uint8_t(i));
    RaViru indexed(colour.Width(), colour.Height(), 4, ImageKind::Bmp);
    RaViru mono(colour.Width(), colour.Height(), 1, ImageKind::Bmp);
    mono.SetPaletteEntry(1, 255, 255, 255);
    for (int i = 0; i < 16; ++i)
        indexed.SetPaletteEntry(i, uint8_t(i * 16), uint8_t(255 - i * 9), uint8_t(i * 5));
    for (int y = 0; y < colour.Height(); ++y) {
        for (int x = 0; x < colour.Width(); ++x) {
            const uint32_t c = colour.PixelColorAt(x, y);
            grey.Row(y)[x] = uint8_t(c >> 8);
            indexed.PutPixelColor(x, y, indexed.PaletteEntry(int((c >> 4) & 15)).blue | 0u);
            indexed.PutPixelColor(x, y,
                                  packBgr(indexed.PaletteEntry(int(c & 15)).red,
                                          indexed.PaletteEntry(int(c & 15)).green,
                                          indexed.PaletteEntry(int(c & 15)).blue));
            mono.PutPixelColor(x, y, (c & 0x80) ? 0xFFFFFF : 0);
        }
    }
    RaViru wide(colour.Width(), colour.Height(), 32, ImageKind::Bmp);
    for (int y = 0; y < colour.Height(); ++y)
        for (int x = 0; x < colour.Width(); ++x) {
            const uint32_t c = colour.PixelColorAt(x, y);
            uint8_t* p = wide.Row(y) + 4 * x;
            p[0] = uint8_t(c), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c >> 16), p[3] = 255;
        }

    for (RaViru* img : {&colour, &grey, &indexed, &mono, &wide}) {
        const std::string name = "out" + std::to_string(img->BitCount());
        img->SetHorizontalDpi(300);
        img->SetVerticalDpi(150);
        ASSERT_TRUE(img->WriteFile(path(name + ".bmp"), ImageKind::Bmp)) << img->lastError;
        EXPECT_EQ(rgbOf(path(name + ".bmp")), pixelsOf(*img)) << name;
        double dpiX = 0, dpiY = 0;  // pels per metre round to 150.01 dpi
        const std::string dpi =
            text("identify -units PixelsPerInch -format '%x %y' '" + path(name + ".bmp") + "'");
        ASSERT_EQ(std::sscanf(dpi.c_str(), "%lf %lf", &dpiX, &dpiY), 2) << dpi;
        EXPECT_NEAR(dpiX, 300, 0.02);
        EXPECT_NEAR(dpiY, 150, 0.02);
        if (img->BitCount() != 32) {
            ASSERT_TRUE(img->WriteFile(path(name + ".tif"), ImageKind::Tiff)) << img->lastError;
            const int tolerance = img->BitCount() == 24 ? 8 : 0;
            EXPECT_LE(maxDifference(rgbOf(path(name + ".tif")), pixelsOf(*img)), tolerance) << name;
            EXPECT_EQ(text("identify -format '%x %y %U' '" + path(name + ".tif") + "'"),
                      "300 150 PixelsPerInch");
        }
    }
    EXPECT_EQ(text("identify -format '%C %[tiff:photometric] %[tiff:rows-per-strip]' '" +
                   path("out1.tif") + "'"),
              "Fax min-is-black 1");
    EXPECT_EQ(text("identify -format '%C %[tiff:photometric] %[tiff:rows-per-strip]' '" +
                   path("out4.tif") + "'"),
              "None palette 1");
    EXPECT_EQ(text("identify -format '%C %[tiff:photometric] %[tiff:rows-per-strip]' '" +
                   path("out8.tif") + "'"),
              "RLE min-is-black 1");
    EXPECT_EQ(text("identify -format '%C %[tiff:photometric] %[tiff:rows-per-strip]' '" +
                   path("out24.tif") + "'"),
              "JPEG RGB 8");

    // JPEG: a smooth picture comes back close to its source, and convert decodes the file as
    // Quillet does. (convert names CCITT Group 3 "Fax" and PackBits "RLE" above.)
    RaViru smooth(make(kPicture + " -blur 0x1 -type TrueColor", "BMP3", "smooth.bmp"),
                  ImageKind::Bmp);
    ASSERT_TRUE(smooth.HasBlock()) << smooth.lastError;
    smooth.jpegQuality = 90;
    smooth.SetHorizontalDpi(300);
    smooth.SetVerticalDpi(150);
    ASSERT_TRUE(smooth.WriteFile(path("out.jpg"), ImageKind::Jpeg)) << smooth.lastError;
    EXPECT_LE(maxDifference(rgbOf(path("out.jpg")), pixelsOf(smooth)), 12);
    EXPECT_LE(
        maxDifference(rgbOf(path("out.jpg")), pixelsOf(RaViru(path("out.jpg"), ImageKind::Jpeg))),
        1);
    EXPECT_EQ(text("identify -format '%x %y %U %Q %[interlace] %[jpeg:sampling-factor]' '" +
                   path("out.jpg") + "'"),
              "300 150 PixelsPerInch 90 JPEG 1x1,1x1,1x1");
    ASSERT_TRUE(grey.WriteFile(path("grey.jpg"), ImageKind::Jpeg)) << grey.lastError;
    EXPECT_EQ(text("identify -format '%[channels]' '" + path("grey.jpg") + "'"), "gray");
    EXPECT_LE(maxDifference(rgbOf(path("grey.jpg")), pixelsOf(grey)), 3);
}

// Tiles, as "tiffcp -t" and convert lay them out, read as the same pixels as the strips they were
// made from, at 8 and 16 bits per sample, in colour and in grey.
TEST_F(ConvertCross, TiledTiffsReadLikeTheirStrips) {
    if (std::system("tiffcp -h >/dev/null 2>&1") > 256) GTEST_SKIP() << "tiffcp is not installed";
    // 8-bit values: their 16-bit forms (v × 257) round back to them whatever the reader's rule.
    const std::string source =
        make("-seed 3 -size 300x170 plasma:fractal -depth 8", "PNG", "source.png");
    const std::string grey = make("'" + source + "' -colorspace Gray -depth 8", "PNG", "grey.png");
    for (const std::string depth : {"8", "16"}) {
        for (const std::string& picture : {source, grey}) {
            const std::string name = "s" + depth + (picture == grey ? "g" : "c");
            const std::string args = "'" + picture + "' -depth " + depth;
            const std::string strips = make(args + " -compress LZW", "TIFF", name + ".tif");
            const std::string tiled = path(name + "-t.tif");
            ASSERT_EQ(
                std::system(("tiffcp -t -w 64 -l 48 '" + strips + "' '" + tiled + "'").c_str()), 0);
            const std::string magickTiles =
                make(args + " -define tiff:tile-geometry=128x128", "TIFF", name + "-m.tif");
            RaViru fromStrips(strips, ImageKind::Tiff);
            ASSERT_TRUE(fromStrips.HasBlock()) << name << ": " << fromStrips.lastError;
            const auto expected = rgbOf(strips);
            EXPECT_EQ(pixelsOf(fromStrips), expected) << name;
            for (const std::string& file : {tiled, magickTiles}) {
                RaViru img(file, ImageKind::Tiff);
                ASSERT_TRUE(img.HasBlock()) << file << ": " << img.lastError;
                EXPECT_EQ(pixelsOf(img), expected) << file;
            }
        }
    }
}

// 16-bit CMYK, which the library's RGBA reader refuses, reads as its 8-bit form does, in strips,
// in tiles and in separate planes.
TEST_F(ConvertCross, SixteenBitCmykTiffsReadLikeTheirEightBitForm) {
    const std::string source = make(kPicture + " -blur 0x2 -depth 8", "PNG", "source.png");
    for (const std::string layout :
         {"", " -define tiff:tile-geometry=16x16", " -interlace plane"}) {
        const std::string name = "k" + std::to_string(layout.size());
        const std::string args = "'" + source + "' -colorspace CMYK" + layout;
        const std::string eight = make(args + " -depth 8", "TIFF", name + "8.tif");
        const std::string sixteen = make(args + " -depth 16", "TIFF", name + "16.tif");
        ASSERT_EQ(text("identify -format '%[colorspace] %z' '" + sixteen + "'"), "CMYK 16");
        RaViru a(eight, ImageKind::Tiff), b(sixteen, ImageKind::Tiff);
        ASSERT_TRUE(a.HasBlock()) << layout << ": " << a.lastError;
        ASSERT_TRUE(b.HasBlock()) << layout << ": " << b.lastError;
        EXPECT_EQ(b.BitCount(), 24);
        // The same ink amounts, rounded to 8 or 16 bits by convert.
        EXPECT_LE(maxDifference(pixelsOf(b), pixelsOf(a)), 2) << layout;
        EXPECT_LE(maxDifference(pixelsOf(b), rgbOf(sixteen)), 2) << layout;
    }
}

// Unassociated alpha stays as stored: the colours are not multiplied by it, and it lands in the
// picture's fourth byte. A picture whose alpha is opaque everywhere stays 24-bit.
TEST_F(ConvertCross, UnassociatedAlphaKeepsItsColours) {
    for (const std::string depth : {"8", "16"}) {
        const std::string file = make("-size 16x16 xc:'rgba(78,141,192,0.686)' -depth " + depth +
                                          " -define tiff:alpha=unassociated -compress Zip",
                                      "TIFF", "icon" + depth + ".tif");
        ASSERT_NE(text("tiffinfo '" + file + "' 2>/dev/null").find("unassoc-alpha"),
                  std::string::npos);
        const auto stored = capture("convert '" + file + "' -depth 8 rgba:- 2>/dev/null");
        ASSERT_EQ(stored.size(), 16u * 16u * 4u);
        ASSERT_EQ(stored[0], 78);
        RaViru img(file, ImageKind::Tiff);
        ASSERT_TRUE(img.HasBlock()) << img.lastError;
        ASSERT_EQ(img.BitCount(), 32);
        const uint8_t* p = img.Row(7) + 4 * 9;
        EXPECT_EQ(p[2], 78);
        EXPECT_EQ(p[1], 141);
        EXPECT_EQ(p[0], 192);
        EXPECT_EQ(p[3], stored[3]);
        EXPECT_GT(p[3], 170);
        EXPECT_LT(p[3], 180);
    }
    const std::string opaque = make(
        kRich + " -alpha opaque -depth 8 -define tiff:alpha=unassociated", "TIFF", "opaque.tif");
    ASSERT_NE(text("tiffinfo '" + opaque + "' 2>/dev/null").find("unassoc-alpha"),
              std::string::npos);
    RaViru img(opaque, ImageKind::Tiff);
    ASSERT_TRUE(img.HasBlock()) << img.lastError;
    EXPECT_EQ(img.BitCount(), 24);
    EXPECT_EQ(pixelsOf(img), rgbOf(opaque));
}
