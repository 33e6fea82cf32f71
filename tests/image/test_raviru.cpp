#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "image/ByteStream.h"
#include "image/RaViru.h"
#include "tests/support/TempDir.h"

using namespace quillet;

TEST(RaViruConstruction, ResetValues) {
    RaViru img(ImageKind::Gif);
    EXPECT_FALSE(img.HasBlock());
    EXPECT_EQ(img.bits, nullptr);
    EXPECT_EQ(img.kind, ImageKind::Gif);
    EXPECT_EQ(img.jpegQuality, 150);
    EXPECT_EQ(img.alphaMax, 255);
    EXPECT_EQ(img.transparentIndex, -1);
    EXPECT_TRUE(img.enabled);
    EXPECT_EQ(img.dpiX, 72);
    EXPECT_EQ(img.dpiY, 72);
    EXPECT_EQ(img.header.biSize, 40u);
    EXPECT_EQ(img.header.biXPelsPerMeter, 2835);
    EXPECT_EQ(img.lastError[0], '\0');
}

TEST(RaViruAllocate, RoundsDepthAndSizesPalette) {
    struct Case {
        int asked, depth, palette;
    } cases[] = {{0, 1, 2},  {1, 1, 2},   {2, 4, 16},  {4, 4, 16},  {5, 8, 256}, {8, 8, 256},
                 {9, 24, 0}, {16, 24, 0}, {24, 24, 0}, {25, 32, 0}, {32, 32, 0}};
    for (const Case& c : cases) {
        RaViru img(3, 2, c.asked, ImageKind::Bmp);
        ASSERT_TRUE(img.HasBlock()) << c.asked;
        EXPECT_EQ(img.BitCount(), c.depth) << c.asked;
        EXPECT_EQ(img.PaletteCount(), c.palette) << c.asked;
        EXPECT_EQ(img.colourClass, c.depth <= 8 ? 1 : 2);
        EXPECT_EQ(img.TotalSize(), 40u + c.palette * 4u + img.header.biSizeImage);
        EXPECT_EQ(img.PixelBase(), img.bits);
    }
}

TEST(RaViruAllocate, RowBytesPadToFourBytes) {
    EXPECT_EQ(RaViru(1, 1, 24, ImageKind::Jpeg).rowBytes, 4u);
    EXPECT_EQ(RaViru(5, 1, 1, ImageKind::Jpeg).rowBytes, 4u);
    EXPECT_EQ(RaViru(33, 1, 1, ImageKind::Jpeg).rowBytes, 8u);
    EXPECT_EQ(RaViru(7, 1, 4, ImageKind::Jpeg).rowBytes, 4u);
    EXPECT_EQ(RaViru(9, 1, 4, ImageKind::Jpeg).rowBytes, 8u);
    EXPECT_EQ(RaViru(5, 3, 24, ImageKind::Jpeg).rowBytes, 16u);
    EXPECT_EQ(RaViru(5, 3, 24, ImageKind::Jpeg).header.biSizeImage, 48u);
}

TEST(RaViruAllocate, NewImageIsWhiteWithBlackPaletteAndHeaderInBlock) {
    RaViru img(7, 3, 8, ImageKind::Bmp);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(img.PaletteEntry(i), Rgbquad{});
    for (size_t i = 0; i < img.header.biSizeImage; ++i) ASSERT_EQ(img.bits[i], 255);
    BitmapInfoHeader inBlock;
    std::memcpy(&inBlock, img.Dib(), 40);
    EXPECT_EQ(inBlock.biWidth, 7);
    EXPECT_EQ(inBlock.biClrUsed, 256u);
    EXPECT_EQ(inBlock.biPlanes, 1);
    EXPECT_EQ(inBlock.biSizeImage, img.header.biSizeImage);
}

TEST(RaViruAllocate, ZeroSizeOrOverLimitLeavesImageUntouched) {
    RaViru img(4, 4, 24, ImageKind::Bmp);
    img.bits[0] = 7;
    EXPECT_EQ(img.Allocate(5, 0, 24, ImageKind::Jpeg), nullptr);
    EXPECT_EQ(img.Allocate(0, 5, 24, ImageKind::Jpeg), nullptr);
    EXPECT_EQ(img.Allocate(-3, 5, 24, ImageKind::Jpeg), nullptr);
    EXPECT_EQ(img.Width(), 4);
    EXPECT_EQ(img.bits[0], 7);
    EXPECT_EQ(img.Allocate(1 << 15, 1 << 14, 24, ImageKind::Jpeg), nullptr);  // 2^29 pixels
    EXPECT_STRNE(img.lastError, "");
    EXPECT_EQ(img.Width(), 4);
    EXPECT_EQ(img.bits[0], 7);
}

TEST(RaViruPixels, IndexAndColourInsideAndOutside) {
    RaViru img(10, 4, 4, ImageKind::Jpeg);
    img.SetPaletteEntry(3, 10, 20, 30);
    img.SetPaletteEntry(5, 1, 2, 3);
    img.PutPixelColor(1, 0, packBgr(10, 20, 30));
    img.PutPixelColor(2, 0, packBgr(1, 2, 3));
    EXPECT_EQ(img.bits[0] & 0x0F, 3);  // pixel 1 is the low nibble of byte 0
    EXPECT_EQ(img.bits[1] >> 4, 5);    // pixel 2 is the high nibble of byte 1
    EXPECT_EQ(img.PixelIndexAt(1, 0), 3u);
    EXPECT_EQ(img.PixelColorAt(2, 0), packBgr(1, 2, 3));
    EXPECT_EQ(img.PixelIndexAt(-1, 0), 0u);
    img.transparentIndex = 5;
    EXPECT_EQ(img.PixelIndexAt(10, 0), 5u);
    EXPECT_EQ(img.PixelColorAt(0, 4), packBgr(1, 2, 3));  // palette entry of transparentIndex

    RaViru rgb(2, 2, 24, ImageKind::Jpeg);
    rgb.transparentColour = {9, 8, 7, 0};
    EXPECT_EQ(rgb.PixelColorAt(-1, 0), packBgr(7, 8, 9));
    EXPECT_EQ(rgb.PixelIndexAt(0, 0), 0u);  // no palette
    rgb.PutPixelColor(1, 1, 0x00A1B2C3);
    const uint8_t* p = rgb.Row(1) + 3;
    EXPECT_EQ(p[0], 0xC3);
    EXPECT_EQ(p[2], 0xA1);
    EXPECT_EQ(rgb.PixelColorAt(1, 1), 0x00A1B2C3u);
}

TEST(RaViruPixels, OneBitRowsAreMostSignificantBitFirst) {
    RaViru img(9, 1, 1, ImageKind::Jpeg);
    img.SetPaletteEntry(1, 255, 255, 255);
    img.PutPixelColor(0, 0, 0);  // black = index 0
    img.PutPixelColor(8, 0, 0);
    EXPECT_EQ(img.bits[0], 0x7F);
    EXPECT_EQ(img.bits[1], 0x7F);
    EXPECT_EQ(img.PixelIndexAt(1, 0), 1u);
}

TEST(RaViruPixels, PutPixelSquareMustFitInside) {
    RaViru img(4, 4, 8, ImageKind::Jpeg);
    img.SetPaletteEntry(1, 0, 0, 0);
    img.SetPaletteEntry(255, 200, 0, 0);
    img.PutPixelColor(2, 2, packBgr(200, 0, 0), 2);
    EXPECT_EQ(img.PixelIndexAt(3, 3), 255u);
    img.PutPixelColor(3, 3, 0, 2);  // would leave the image: nothing
    EXPECT_EQ(img.PixelIndexAt(3, 3), 255u);
    img.PutPixelColor(0, 0, 0, 0);  // size 0: nothing
    EXPECT_EQ(img.PixelIndexAt(0, 0), 255u);
}

TEST(RaViruPalette, NearestIndexTiesGoToLowerIndex) {
    RaViru img(1, 1, 8, ImageKind::Jpeg);
    img.SetPaletteEntry(0, 100, 0, 0);
    img.SetPaletteEntry(1, 0, 0, 100);
    img.SetPaletteEntry(2, 50, 0, 50);
    // (50,0,50) is at distance 5000 from entries 0 and 1, and exact for entry 2.
    EXPECT_EQ(img.NearestPaletteIndex(packBgr(50, 0, 50)), 2);
    // (50,0,0): entry 0 at 2500, entry 2 at 2500 too: the lower index wins.
    EXPECT_EQ(img.NearestPaletteIndex(packBgr(50, 0, 0)), 0);
    // Distances at or above the 200000 start never win: the result stays 0.
    RaViru far(1, 1, 1, ImageKind::Jpeg);
    far.SetPaletteEntry(0, 0, 0, 0);
    far.SetPaletteEntry(1, 0, 0, 0);
    EXPECT_EQ(far.NearestPaletteIndex(packBgr(255, 255, 255)), 0);
    RaViru empty(ImageKind::Jpeg);
    EXPECT_EQ(empty.NearestPaletteIndex(0), 0);
}

TEST(RaViruPalette, GreyPaletteAndRangeChecks) {
    RaViru img(1, 1, 4, ImageKind::Jpeg);
    img.MakeGreyPalette();
    EXPECT_EQ(img.PaletteEntry(1).red, 17);
    EXPECT_EQ(img.PaletteEntry(15).green, 255);
    EXPECT_FALSE(img.HasGreyPalette());  // a 16-entry ramp is not i = (i, i, i)
    RaViru grey(1, 1, 8, ImageKind::Jpeg);
    grey.MakeGreyPalette();
    EXPECT_TRUE(grey.HasGreyPalette());
    grey.SetPaletteEntry(300, 1, 2, 3);  // out of range: nothing
    grey.SetPaletteEntry(7, 1, 2, 3);
    EXPECT_FALSE(grey.HasGreyPalette());
    EXPECT_EQ(grey.PaletteEntry(-1), Rgbquad{});
    EXPECT_FALSE(RaViru(1, 1, 24, ImageKind::Jpeg).HasGreyPalette());

    const uint8_t r[3] = {1, 2, 3};
    RaViru two(1, 1, 1, ImageKind::Jpeg);
    two.SetPaletteFromArrays(3, r, nullptr, nullptr);  // only 2 entries fit; green/blue = red
    EXPECT_EQ(two.PaletteEntry(1), (Rgbquad{2, 2, 2, 0}));
}

TEST(RaViruDpi, ConversionsRoundToNearest) {
    RaViru img(1, 1, 24, ImageKind::Jpeg);
    img.SetHorizontalDpi(72);
    EXPECT_EQ(img.header.biXPelsPerMeter, 2835);
    EXPECT_EQ(pelsPerMeterToDpi(2835), 72);
    img.SetVerticalDpi(300);
    EXPECT_EQ(img.header.biYPelsPerMeter, 11811);
    EXPECT_EQ(pelsPerMeterToDpi(3780), 96);
    EXPECT_EQ(dpiToPelsPerMeter(INT32_MAX), INT32_MAX);  // file-supplied values clamp
    EXPECT_EQ(dpiToPelsPerMeter(INT32_MIN), INT32_MIN);
    for (int dpi = 1; dpi < 2400; ++dpi) {
        ASSERT_EQ(pelsPerMeterToDpi(dpiToPelsPerMeter(dpi)), dpi);
    }
}

TEST(RaViruCopies, CloneAdoptAndShare) {
    RaViru src(3, 2, 8, ImageKind::Gif);
    src.SetPaletteEntry(4, 1, 2, 3);
    src.bits[0] = 4;
    src.dpiX = 150;
    src.transparentIndex = 4;
    RaViru clone(src, true);
    EXPECT_EQ(clone.kind, ImageKind::Gif);
    EXPECT_EQ(clone.transparentIndex, 4);
    EXPECT_EQ(clone.dpiX, 150);
    EXPECT_EQ(std::memcmp(clone.Dib(), src.Dib(), src.TotalSize()), 0);
    EXPECT_NE(clone.bits, src.bits);
    clone.bits[0] = 9;
    EXPECT_EQ(src.bits[0], 4);

    RaViru target(10, 10, 24, ImageKind::Jpeg);
    target.AdoptFrom(clone);
    EXPECT_FALSE(clone.HasBlock());
    EXPECT_EQ(target.Width(), 3);
    EXPECT_EQ(target.PaletteEntry(4), (Rgbquad{3, 2, 1, 0}));
    EXPECT_EQ(target.bits[0], 9);
    EXPECT_EQ(target.bits, target.PixelBase());

    RaViru shared(ImageKind::Jpeg);
    shared.ShareHeaderFrom(src);
    ASSERT_TRUE(shared.HasBlock());
    EXPECT_EQ(shared.bits[0], 4);
    EXPECT_EQ(shared.bits, shared.PixelBase());
}

TEST(RaViruRows, SwapRedBlueOnlyOnTrueColour) {
    RaViru img(2, 1, 24, ImageKind::Jpeg);
    uint8_t row[6] = {1, 2, 3, 4, 5, 6};
    img.SwapRedBlueRow(row, 6);
    EXPECT_EQ(row[0], 3);
    EXPECT_EQ(row[5], 4);
    RaViru pal(2, 1, 8, ImageKind::Jpeg);
    pal.SwapRedBlueRow(row, 6);
    EXPECT_EQ(row[0], 3);
}

// The obvious reading of bit-field pixels: each component's bits moved into the top of a byte.
static uint8_t expand(uint32_t v, uint32_t mask) {
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const int bits = __builtin_popcount(mask);
    const uint32_t c = (v & mask) >> shift;
    return uint8_t(bits >= 8 ? c >> (bits - 8) : c << (8 - bits));
}

TEST(RaViruRows, RowFromPackedExpands16BitInPlace) {
    for (auto masks : {std::array<uint32_t, 3>{0x7C00, 0x03E0, 0x001F},
                       std::array<uint32_t, 3>{0xF800, 0x07E0, 0x001F}}) {
        const int w = 5, h = 3;
        RaViru img(w, h, 24, ImageKind::Jpeg);
        const size_t srcRow = (16 * w + 31) / 32 * 4;
        std::vector<uint16_t> values;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const uint16_t v = uint16_t(0x9E37 * (y * w + x + 1));
                values.push_back(v);
                img.bits[y * srcRow + 2 * x] = uint8_t(v);
                img.bits[y * srcRow + 2 * x + 1] = uint8_t(v >> 8);
            }
        }
        img.RowFromPacked(img.bits, masks[0], masks[1], masks[2], 16);  // in place
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const uint16_t v = values[y * w + x];
                const uint8_t* p = img.Row(y) + 3 * x;
                EXPECT_EQ(p[0], expand(v, masks[2]));
                EXPECT_EQ(p[1], expand(v, masks[1]));
                EXPECT_EQ(p[2], expand(v, masks[0]));
            }
        }
    }
}

TEST(RaViruRows, RowFromPackedTakes32BitColourBytes) {
    RaViru img(3, 2, 24, ImageKind::Jpeg);
    std::vector<uint8_t> src(3 * 2 * 4);
    for (size_t i = 0; i < src.size(); ++i) src[i] = uint8_t(i);
    img.RowFromPacked(src.data(), 0, 0, 0, 32);
    EXPECT_EQ(img.Row(1)[0], 12);
    EXPECT_EQ(img.Row(1)[8], 22);
}

TEST(RaViruFiles, DispatchByKind) {
    RaViru img(2, 2, 24, ImageKind::Jpeg);
    MemoryStream out;
    EXPECT_TRUE(img.Encode(out, ImageKind::Vlr));
    EXPECT_TRUE(img.Decode(out, ImageKind::Sco));
    EXPECT_EQ(out.buffer().size(), 0u);
    EXPECT_FALSE(img.Encode(out, ImageKind::Pcx));
    EXPECT_STREQ(img.lastError, "Unsupported operation for this format");
    EXPECT_FALSE(img.Encode(out, static_cast<ImageKind>(9)));
    EXPECT_STREQ(img.lastError, "Unsupported operation for this format");
    EXPECT_FALSE(img.Decode(out, static_cast<ImageKind>(9)));
    EXPECT_STREQ(img.lastError, "Unsupported operation for this format");
    EXPECT_EQ(img.Width(), 2);
}

TEST(RaViruFiles, MissingFileFailsWithReason) {
    RaViru img(2, 2, 24, ImageKind::Jpeg);
    EXPECT_FALSE(img.ReadFile("/nonexistent/quillet/x.bmp", ImageKind::Bmp));
    EXPECT_NE(std::string(img.lastError).find("Can't open file"), std::string::npos);
    EXPECT_EQ(img.Width(), 2);
    EXPECT_FALSE(img.WriteFile("/nonexistent/quillet/x.bmp", ImageKind::Bmp));
}

TEST(RaViruFiles, FailedWriteLeavesNoFileBehind) {
    const testsupport::TempDir dir;
    const std::string path = dir.file("a.pcx");
    { std::ofstream(path) << "keep"; }
    RaViru img(2, 2, 24, ImageKind::Jpeg);
    EXPECT_FALSE(img.WriteFile(path, ImageKind::Pcx));  // PCX is read-only
    std::ifstream in(path);
    std::string content;
    in >> content;
    EXPECT_EQ(content, "keep");
    EXPECT_EQ(testsupport::entriesIn(dir.path()), 1u);
}
