#include <gtest/gtest.h>

#include <vector>

#include "TestFiles.h"
#include "image/ByteStream.h"
#include "image/RaViru.h"

using namespace quillet;
using testfiles::pcxFile;

namespace {

bool decode(RaViru& img, const std::vector<uint8_t>& bytes) {
    MemoryStream s(bytes.data(), bytes.size());
    return img.Decode(s, ImageKind::Pcx).ok();
}

std::vector<uint8_t> palette256() {
    std::vector<uint8_t> t = {12};
    for (int i = 0; i < 256; ++i) t.insert(t.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
    return t;
}

}  // namespace

TEST(PcxCodec, EightBitWithPaletteAfterTheData) {
    // 3 × 2, lines of 4 bytes: row 0 (top) 1 2 200, row 1 run of 5s.
    const std::vector<uint8_t> raw = {1, 2, 200, 0, 5, 5, 5, 0};
    RaViru img(ImageKind::Unknown);
    ASSERT_TRUE(decode(img, pcxFile(3, 2, 8, 1, 4, raw, palette256()))) << img.lastError;
    ASSERT_EQ(img.BitCount(), 8);
    EXPECT_EQ(img.kind, ImageKind::Jpeg);
    EXPECT_EQ(img.PixelIndexAt(2, 1), 200u);  // top row is the last DIB row
    EXPECT_EQ(img.PixelIndexAt(0, 0), 5u);
    EXPECT_EQ(img.PaletteEntry(200), (Rgbquad{100, 55, 200, 0}));

    auto bad = pcxFile(3, 2, 8, 1, 4, raw, palette256());
    bad[bad.size() - 769] = 11;
    RaViru target(1, 1, 24, ImageKind::Bmp);
    EXPECT_FALSE(decode(target, bad));
    EXPECT_STREQ(target.lastError, "bad color map signature");
    EXPECT_EQ(target.BitCount(), 24);
}

TEST(PcxCodec, RgbPlanesAndOneBitPlanes) {
    // 24 bits: each line holds the red, green and blue planes one after the other.
    const std::vector<uint8_t> rgb = {10, 11, 20, 21, 30, 31};
    RaViru img(ImageKind::Unknown);
    ASSERT_TRUE(decode(img, pcxFile(2, 1, 8, 3, 2, rgb, {}))) << img.lastError;
    EXPECT_EQ(img.PixelColorAt(1, 0), packBgr(11, 21, 31));

    // Four 1-bit planes: bit p of the index from plane p, most significant bit leftmost.
    const std::vector<uint8_t> planes4 = {0x80, 0x00, 0x40, 0x00, 0x40, 0x00, 0xC0, 0x00};
    RaViru four(ImageKind::Unknown);
    ASSERT_TRUE(decode(four, pcxFile(3, 1, 1, 4, 2, planes4, {}))) << four.lastError;
    ASSERT_EQ(four.BitCount(), 4);
    EXPECT_EQ(four.PixelIndexAt(0, 0), 1u + 8u);
    EXPECT_EQ(four.PixelIndexAt(1, 0), 2u + 4u + 8u);
    EXPECT_EQ(four.PixelIndexAt(2, 0), 0u);
    EXPECT_EQ(four.PaletteEntry(3), (Rgbquad{55, 50, 45, 0}));

    // One 1-bit plane: black and white.
    RaViru mono(ImageKind::Unknown);
    ASSERT_TRUE(decode(mono, pcxFile(9, 1, 1, 1, 2, {0xA5, 0x80}, {}))) << mono.lastError;
    EXPECT_EQ(mono.PixelIndexAt(0, 0), 1u);
    EXPECT_EQ(mono.PixelIndexAt(1, 0), 0u);
    EXPECT_EQ(mono.PixelIndexAt(8, 0), 1u);
    EXPECT_EQ(mono.PaletteEntry(1), (Rgbquad{255, 255, 255, 0}));

    // Two-bit packed pixels become nibbles.
    RaViru two(ImageKind::Unknown);
    ASSERT_TRUE(decode(two, pcxFile(5, 1, 2, 1, 2, {0x1B, 0xC0}, {}))) << two.lastError;
    ASSERT_EQ(two.BitCount(), 4);
    const uint32_t expect[] = {0, 1, 2, 3, 3};
    for (int x = 0; x < 5; ++x) EXPECT_EQ(two.PixelIndexAt(x, 0), expect[x]);
}

TEST(PcxCodec, BadFilesGiveTheirMessages) {
    struct Case {
        std::vector<uint8_t> file;
        const char* message;
    };
    const std::vector<uint8_t> raw = {1, 2, 3, 4};
    std::vector<Case> cases;
    cases.push_back({std::vector<uint8_t>(100, 10), "Can't read PCX image"});
    auto notPcx = pcxFile(2, 2, 8, 1, 2, raw, palette256());
    notPcx[0] = 11;
    cases.push_back({notPcx, "Error: Not a PCX file"});
    auto encoding = notPcx;
    encoding[0] = 10;
    encoding[2] = 2;
    cases.push_back({encoding, "PCX file has unknown encoding scheme"});
    cases.push_back(
        {pcxFile(2, 2, 1, 5, 2, raw, {}), "Can't handle image with more than 4 planes"});
    cases.push_back(
        {pcxFile(2, 2, 8, 2, 2, raw, {}), "Can't handle bits per pixel image with planes."});
    cases.push_back({pcxFile(2, 2, 4, 3, 2, std::vector<uint8_t>(12, 1), {}),
                     "Can't handle packed pixels with more than 1 plane."});
    cases.push_back({pcxFile(2, 2, 8, 1, 2, {1, 2, 3}, {}), "corrupted PCX"});
    // A run of 3 where only one byte is still expected.
    auto spans = pcxFile(2, 2, 8, 1, 2, {1, 2, 3}, {});
    spans.insert(spans.end(), {0xC3, 9});
    cases.push_back({spans, "repeat count spans end of image"});
    for (const Case& c : cases) {
        RaViru target(1, 1, 8, ImageKind::Gif);
        EXPECT_FALSE(decode(target, c.file)) << c.message;
        EXPECT_STREQ(target.lastError, c.message);
        EXPECT_EQ(target.BitCount(), 8);
    }
}
