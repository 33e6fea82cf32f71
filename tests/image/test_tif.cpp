#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/LittleEndian.h"
#include "image/ByteStream.h"
#include "image/RaViru.h"
#include "tests/support/TempDir.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

using testsupport::TempDir;

// Writes an 8-bit grey page per entry of `pages` (each w × h, top row first) with libtiff itself.
void writeGreyPages(const std::string& file, int w, int h,
                    const std::vector<std::vector<uint8_t>>& pages, int orientation = 1) {
    TIFF* t = TIFFOpen(file.c_str(), "w");
    ASSERT_NE(t, nullptr);
    for (const auto& page : pages) {
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, w);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, h);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(t, TIFFTAG_ORIENTATION, orientation);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 2);
        TIFFSetField(t, TIFFTAG_XPOSITION, 3.0f);
        for (int y = 0; y < h; ++y)
            TIFFWriteScanline(t, const_cast<uint8_t*>(&page[size_t(y * w)]), y, 0);
        TIFFWriteDirectory(t);
    }
    TIFFClose(t);
}

}  // namespace

TEST(TifCodec, RoundTripAtEveryDepthWithItsTags) {
    TempDir dir;
    for (int depth : {1, 4, 8, 24}) {
        RaViru img(11, 7, depth, ImageKind::Tiff);
        for (size_t i = 0; i < img.header.biSizeImage; ++i) img.bits[i] = uint8_t(i * 29 + 3);
        if (depth == 24) {
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 11; ++x)
                    img.PutPixelColor(x, y, packBgr(uint8_t(x * 20), uint8_t(y * 30), 90));
        }
        for (int i = 0; i < img.PaletteCount(); ++i)
            img.SetPaletteEntry(i, uint8_t(i * 3), uint8_t(i), uint8_t(255 - i));
        if (depth == 1) img.SetPaletteEntry(0, 255, 255, 255), img.SetPaletteEntry(1, 0, 0, 0);
        img.SetHorizontalDpi(240);
        img.SetVerticalDpi(120);
        img.jpegQuality = 90;
        const std::string file = (dir.path() / ("d" + std::to_string(depth) + ".tif")).string();
        ASSERT_TRUE(img.WriteFile(file, ImageKind::Tiff)) << img.lastError;

        TIFF* t = TIFFOpen(file.c_str(), "r");
        ASSERT_NE(t, nullptr);
        uint16_t compression = 0, photometric = 0, unit = 0, orientation = 0;
        uint32_t rowsPerStrip = 0;
        float xres = 0;
        TIFFGetField(t, TIFFTAG_COMPRESSION, &compression);
        TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &photometric);
        TIFFGetField(t, TIFFTAG_RESOLUTIONUNIT, &unit);
        TIFFGetField(t, TIFFTAG_ORIENTATION, &orientation);
        TIFFGetField(t, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
        TIFFGetField(t, TIFFTAG_XRESOLUTION, &xres);
        TIFFClose(t);
        const uint16_t expectCompression = depth == 1    ? 3
                                           : depth == 8  ? 32773
                                           : depth == 24 ? 7
                                                         : 1;
        const uint16_t expectPhotometric = depth == 1 ? 0 : depth == 24 ? 2 : 3;
        EXPECT_EQ(compression, expectCompression) << depth;
        EXPECT_EQ(photometric, expectPhotometric) << depth;
        EXPECT_EQ(unit, RESUNIT_INCH);
        EXPECT_EQ(orientation, 1);
        EXPECT_EQ(rowsPerStrip, depth == 24 ? 8u : 1u);
        EXPECT_EQ(xres, 240.0f);

        RaViru back(file, ImageKind::Tiff);
        ASSERT_TRUE(back.HasBlock()) << back.lastError;
        EXPECT_EQ(back.kind, ImageKind::Tiff);
        EXPECT_EQ(back.dpiX, 240);
        EXPECT_EQ(back.dpiY, 120);
        EXPECT_EQ(back.frameCount, 1);
        ASSERT_EQ(back.BitCount(), depth);
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 11; ++x) {
                const uint32_t a = img.PixelColorAt(x, y), b = back.PixelColorAt(x, y);
                if (depth == 24) {
                    for (int s = 0; s < 24; s += 8)
                        ASSERT_LE(std::abs(int((a >> s) & 255) - int((b >> s) & 255)), 8)
                            << x << "," << y;
                } else {
                    ASSERT_EQ(a, b) << depth << " " << x << "," << y;
                }
            }
        }
    }
}

TEST(TifCodec, PagesAndPositions) {
    TempDir dir;
    const std::string file = (dir.path() / "pages.tif").string();
    writeGreyPages(file, 2, 2, {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}});
    RaViru img(ImageKind::Tiff);
    img.frameIndex = 2;
    ASSERT_TRUE(img.ReadFile(file, ImageKind::Tiff)) << img.lastError;
    EXPECT_EQ(img.frameCount, 3);
    EXPECT_EQ(img.PixelIndexAt(0, 1), 9u);  // top row
    EXPECT_EQ(img.PixelIndexAt(1, 0), 12u);
    EXPECT_EQ(img.offsetX, 3);
    EXPECT_TRUE(img.HasGreyPalette());

    RaViru missing(2, 2, 24, ImageKind::Bmp);
    missing.frameIndex = 3;
    EXPECT_FALSE(missing.ReadFile(file, ImageKind::Tiff));
    EXPECT_STREQ(missing.lastError, "Error: page not present in TIFF file");
    EXPECT_EQ(missing.BitCount(), 24);
}

TEST(TifCodec, OrientationsMatchTheirTransforms) {
    TempDir dir;
    const int w = 3, h = 2;
    const std::vector<uint8_t> stored = {1, 2, 3, 4, 5, 6};  // top row first
    // Expected picture (top row first) for each orientation tag, written out by hand.
    struct Case {
        int orientation, width, height;
        std::vector<uint8_t> top;
    } cases[] = {
        {1, 3, 2, {1, 2, 3, 4, 5, 6}}, {2, 3, 2, {3, 2, 1, 6, 5, 4}}, {3, 3, 2, {6, 5, 4, 3, 2, 1}},
        {4, 3, 2, {4, 5, 6, 1, 2, 3}}, {5, 2, 3, {1, 4, 2, 5, 3, 6}}, {6, 2, 3, {4, 1, 5, 2, 6, 3}},
        {7, 2, 3, {6, 3, 5, 2, 4, 1}}, {8, 2, 3, {3, 6, 2, 5, 1, 4}},
    };
    for (const Case& c : cases) {
        const std::string file =
            (dir.path() / ("o" + std::to_string(c.orientation) + ".tif")).string();
        writeGreyPages(file, w, h, {stored}, c.orientation);
        RaViru img(file, ImageKind::Tiff);
        ASSERT_EQ(img.Width(), c.width) << c.orientation;
        ASSERT_EQ(img.Height(), c.height) << c.orientation;
        std::vector<uint8_t> got;
        for (int y = c.height - 1; y >= 0; --y)
            for (int x = 0; x < c.width; ++x) got.push_back(uint8_t(img.PixelIndexAt(x, y)));
        EXPECT_EQ(got, c.top) << "orientation " << c.orientation;
    }
}

TEST(TifCodec, NotTiffAndBrokenStrips) {
    const std::vector<uint8_t> junk = {'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0};
    RaViru img(1, 1, 24, ImageKind::Bmp);
    MemoryStream s(junk.data(), junk.size());
    EXPECT_FALSE(img.Decode(s, ImageKind::Tiff));
    EXPECT_STREQ(img.lastError, "Error encountered while opening TIFF file");

    RaViru src(64, 64, 8, ImageKind::Tiff);
    for (size_t i = 0; i < src.header.biSizeImage; ++i) src.bits[i] = uint8_t(i * 7);
    MemoryStream out;
    ASSERT_TRUE(src.Encode(out, ImageKind::Tiff)) << src.lastError;
    auto bytes = out.takeBuffer();
    // Point the first strip past the end of the data: that strip cannot be read.
    const uint8_t* p = bytes.data();
    const uint32_t ifd = readU32LE(p + 4);
    const uint16_t entries = readU16LE(p + ifd);
    bool patched = false;
    for (uint16_t i = 0; i < entries; ++i) {
        const uint8_t* e = p + ifd + 2 + 12 * i;
        if (readU16LE(e) == TIFFTAG_STRIPOFFSETS) {
            writeU32LE(bytes.data() + readU32LE(e + 8), 0x7FFFFF00);
            patched = true;
        }
    }
    ASSERT_TRUE(patched);
    RaViru target(1, 1, 24, ImageKind::Bmp);
    MemoryStream in(bytes.data(), bytes.size());
    EXPECT_FALSE(target.Decode(in, ImageKind::Tiff));
    EXPECT_STREQ(target.lastError, "Corrupted TIFF file!");
    EXPECT_EQ(target.BitCount(), 24);
}

// Colour strips are read directly; the pixels must be what the library's RGBA reader gives.
TEST(TifCodec, RgbStripsMatchTheRgbaReader) {
    TempDir dir;
    RaViru img(37, 21, 24, ImageKind::Tiff);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 37; ++x)
            img.PutPixelColor(x, y, packBgr(uint8_t(x * 7), uint8_t(y * 11), uint8_t(x * y)));
    const std::string file = (dir.path() / "rgb.tif").string();
    ASSERT_TRUE(img.WriteFile(file, ImageKind::Tiff)) << img.lastError;
    RaViru back(file, ImageKind::Tiff);
    ASSERT_TRUE(back.HasBlock()) << back.lastError;

    TIFF* t = TIFFOpen(file.c_str(), "r");
    ASSERT_NE(t, nullptr);
    std::vector<uint32_t> raster(37 * 21);
    ASSERT_TRUE(TIFFReadRGBAImage(t, 37, 21, raster.data(), 1));
    TIFFClose(t);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 37; ++x) {
            const uint32_t v = raster[size_t(y) * 37 + size_t(x)];  // bottom row first
            ASSERT_EQ(back.PixelColorAt(x, y),
                      packBgr(uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16)))
                << x << "," << y;
        }
}
