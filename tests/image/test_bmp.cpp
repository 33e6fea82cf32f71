#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/LittleEndian.h"
#include "image/ByteStream.h"
#include "image/RaViru.h"
#include "image/codecs/RaViruBMP.h"

using namespace quillet;

namespace {

// A BMP file put together byte by byte: file header, info header, extra, palette, data.
std::vector<uint8_t> bmpFile(int width, int height, int bits, uint32_t compression,
                             const std::vector<uint8_t>& palette, const std::vector<uint8_t>& data,
                             const std::vector<uint8_t>& extra = {}, bool fileHeader = true) {
    std::vector<uint8_t> out(fileHeader ? 14 : 0);
    std::vector<uint8_t> info(40);
    writeU32LE(&info[0], 40);
    writeI32LE(&info[4], width);
    writeI32LE(&info[8], height);
    writeU16LE(&info[12], 1);
    writeU16LE(&info[14], uint16_t(bits));
    writeU32LE(&info[16], compression);
    writeI32LE(&info[24], 3780);
    writeI32LE(&info[28], 1181);
    writeU32LE(&info[32], uint32_t(palette.size() / 4));
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), extra.begin(), extra.end());
    out.insert(out.end(), palette.begin(), palette.end());
    if (fileHeader) {
        out[0] = 'B';
        out[1] = 'M';
        writeU32LE(&out[10], uint32_t(out.size()));
    }
    out.insert(out.end(), data.begin(), data.end());
    if (fileHeader) writeU32LE(&out[2], uint32_t(out.size()));
    return out;
}

std::vector<uint8_t> greyPalette(int n) {
    std::vector<uint8_t> p;
    for (int i = 0; i < n; ++i) p.insert(p.end(), {uint8_t(i), uint8_t(i * 2), uint8_t(i * 3), 0});
    return p;
}

bool decode(RaViru& img, const std::vector<uint8_t>& bytes, ImageKind kind = ImageKind::Bmp) {
    MemoryStream s(bytes.data(), bytes.size());
    return img.Decode(s, kind).ok();
}

std::vector<uint8_t> encode(RaViru& img, ImageKind kind = ImageKind::Bmp) {
    MemoryStream s;
    EXPECT_TRUE(img.Encode(s, kind)) << img.lastError;
    return s.takeBuffer();
}

void fillPattern(RaViru& img) {
    for (size_t i = 0; i < img.header.biSizeImage; ++i) img.bits[i] = uint8_t(i * 37 + 11);
    for (int i = 0; i < img.PaletteCount(); ++i)
        img.SetPaletteEntry(i, uint8_t(i), uint8_t(255 - i), uint8_t(i * 3));
}

}  // namespace

TEST(BmpCodec, WriterLayoutAndRoundTripAtEveryDepth) {
    for (int depth : {1, 4, 8, 24, 32}) {
        RaViru img(13, 5, depth, ImageKind::Bmp);
        fillPattern(img);
        img.SetHorizontalDpi(300);
        img.SetVerticalDpi(150);
        const auto bytes = encode(img);
        const size_t pal = img.PaletteBytes();
        ASSERT_EQ(bytes.size(), 14 + 40 + pal + img.header.biSizeImage);
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(readU32LE(&bytes[2]), bytes.size());
        EXPECT_EQ(readU32LE(&bytes[10]), 14 + 40 + pal);
        EXPECT_EQ(readU32LE(&bytes[14 + 24]), uint32_t(dpiToPelsPerMeter(300)));

        RaViru back(ImageKind::Unknown);
        ASSERT_TRUE(decode(back, bytes)) << depth << back.lastError;
        EXPECT_EQ(back.dpiX, 300);
        EXPECT_EQ(back.dpiY, 150);
        EXPECT_EQ(back.kind, ImageKind::Jpeg);
        if (depth <= 24) {
            ASSERT_EQ(back.BitCount(), depth);
            EXPECT_EQ(0,
                      std::memcmp(back.Dib() + 40, img.Dib() + 40, pal + img.header.biSizeImage));
        } else {
            // 32-bit rows come back as 24-bit pixels.
            ASSERT_EQ(back.BitCount(), 24);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 13; ++x)
                    EXPECT_EQ(back.PixelColorAt(x, y), img.PixelColorAt(x, y));
        }
    }
}

TEST(BmpCodec, HeaderlessDibAndCoreHeader) {
    RaViru img(ImageKind::Unknown);
    const std::vector<uint8_t> rows = {0x12, 0x34, 0, 0, 0x56, 0x78, 0, 0};
    ASSERT_TRUE(decode(img, bmpFile(4, 2, 4, 0, greyPalette(16), rows, {}, false)))
        << img.lastError;
    EXPECT_EQ(img.PixelIndexAt(0, 0), 1u);
    EXPECT_EQ(img.PixelIndexAt(3, 1), 8u);
    EXPECT_EQ(img.PaletteEntry(5).green, 10);

    // OS/2 core header: 16-bit sizes and 3-byte palette entries.
    std::vector<uint8_t> core = {'B', 'M', 0,  0,  0,  0,  0,  0,  0,    0, 14 + 12 + 6, 0,
                                 0,   0,   12, 0,  0,  0,  3,  0,  1,    0, 1,           0,
                                 1,   0,   10, 20, 30, 40, 50, 60, 0xA0, 0, 0,           0};
    RaViru c(ImageKind::Unknown);
    ASSERT_TRUE(decode(c, core)) << c.lastError;
    EXPECT_EQ(c.Width(), 3);
    EXPECT_EQ(c.PaletteEntry(1), (Rgbquad{40, 50, 60, 0}));
    EXPECT_EQ(c.PixelIndexAt(0, 0), 1u);
    EXPECT_EQ(c.PixelIndexAt(1, 0), 0u);
    EXPECT_EQ(c.PixelIndexAt(2, 0), 1u);
}

TEST(BmpCodec, Rle8AndRle4WithDeltaAndOddLiterals) {
    // RLE8, 5 × 3: row 0 = run + literal of 3 (padded), row 1 skipped by a delta, row 2 run.
    const std::vector<uint8_t> rle8 = {2, 7, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 1, 1, 3, 9, 0, 1};
    RaViru a(ImageKind::Unknown);
    ASSERT_TRUE(decode(a, bmpFile(5, 3, 8, 1, greyPalette(256), rle8))) << a.lastError;
    const uint32_t row0[] = {7, 7, 1, 2, 3};
    for (int x = 0; x < 5; ++x) EXPECT_EQ(a.PixelIndexAt(x, 0), row0[x]);
    for (int x = 0; x < 5; ++x) EXPECT_EQ(a.PixelIndexAt(x, 1), 255u);  // untouched
    EXPECT_EQ(a.PixelIndexAt(0, 2), 255u);
    for (int x = 1; x < 4; ++x) EXPECT_EQ(a.PixelIndexAt(x, 2), 9u);

    // RLE4, 7 × 2: run of alternating nibbles, literal of 3 nibbles (2 bytes, no pad),
    // then a literal of 5 nibbles (3 bytes + pad) on the next row.
    const std::vector<uint8_t> rle4 = {4, 0xAB, 0,    3,    0x12, 0x30, 0, 0,
                                       0, 5,    0x45, 0x67, 0x80, 0,    0, 1};
    RaViru b(ImageKind::Unknown);
    ASSERT_TRUE(decode(b, bmpFile(7, 2, 4, 2, greyPalette(16), rle4))) << b.lastError;
    const uint32_t r0[] = {10, 11, 10, 11, 1, 2, 3}, r1[] = {4, 5, 6, 7, 8, 15, 15};
    for (int x = 0; x < 7; ++x) EXPECT_EQ(b.PixelIndexAt(x, 0), r0[x]) << x;
    for (int x = 0; x < 7; ++x) EXPECT_EQ(b.PixelIndexAt(x, 1), r1[x]) << x;
}

TEST(BmpCodec, BitFields16MatchTheShiftFormula) {
    // RGB565 masks; every pixel checked against the formula written out plainly.
    const uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
    std::vector<uint8_t> extra(12);
    for (int i = 0; i < 3; ++i) writeU32LE(&extra[4 * i], masks[i]);
    const int w = 3, h = 2;
    std::vector<uint8_t> data;
    std::vector<uint16_t> values;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint16_t v = uint16_t(0x1234 * (y * w + x + 1) + 0x8421);
            values.push_back(v);
            data.push_back(uint8_t(v));
            data.push_back(uint8_t(v >> 8));
        }
        data.insert(data.end(), {0, 0});  // pad to 4 bytes
    }
    RaViru img(ImageKind::Unknown);
    ASSERT_TRUE(decode(img, bmpFile(w, h, 16, 3, {}, data, extra))) << img.lastError;
    ASSERT_EQ(img.BitCount(), 24);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint16_t v = values[y * w + x];
            const uint32_t expect = packBgr(uint8_t(((v >> 11) & 31) << 3),
                                            uint8_t(((v >> 5) & 63) << 2), uint8_t((v & 31) << 3));
            EXPECT_EQ(img.PixelColorAt(x, y), expect);
        }
    }
    // Without bit fields the masks are 5-5-5.
    RaViru d(ImageKind::Unknown);
    ASSERT_TRUE(decode(d, bmpFile(1, 1, 16, 0, {}, {0xFF, 0x7F, 0, 0}))) << d.lastError;
    EXPECT_EQ(d.PixelColorAt(0, 0), packBgr(248, 248, 248));
}

TEST(BmpCodec, TopDownFileIsReadUpright) {
    RaViru img(2, 3, 8, ImageKind::Bmp);
    for (int y = 0; y < 3; ++y) img.Row(y)[0] = uint8_t(y);
    auto bytes = encode(img);
    // Store the rows top first and mark it with a negative height.
    writeI32LE(&bytes[14 + 8], -3);
    const size_t data = readU32LE(&bytes[10]);
    for (int y = 0; y < 3; ++y) bytes[data + size_t(y) * 4] = uint8_t(2 - y);
    RaViru back(ImageKind::Unknown);
    ASSERT_TRUE(decode(back, bytes)) << back.lastError;
    for (int y = 0; y < 3; ++y) EXPECT_EQ(back.PixelIndexAt(0, y), uint32_t(y));
}

TEST(BmpCodec, BadFilesFailCleanlyAndLeaveTheTargetAlone) {
    RaViru good(4, 4, 24, ImageKind::Bmp);
    fillPattern(good);
    const auto bytes = encode(good);
    struct Case {
        std::vector<uint8_t> file;
        const char* message;
    };
    std::vector<Case> cases;
    cases.push_back({std::vector<uint8_t>(bytes.begin(), bytes.end() - 5), "Truncated BMP file"});
    cases.push_back({bmpFile(4, 4, 24, 1, {}, std::vector<uint8_t>(48)), "unknown compression"});
    cases.push_back({bmpFile(4, 4, 32, 2, {}, std::vector<uint8_t>(64)), "unknown compression"});
    cases.push_back({bmpFile(4, 4, 8, 4, greyPalette(256), {}), "compression type not supported"});
    cases.push_back(
        {bmpFile(4, 4, 4, 1, greyPalette(16), {0, 1}), "compression type not supported"});
    cases.push_back(
        {bmpFile(70000, 70000, 1, 0, greyPalette(2), {}), "Image is larger than the pixel limit"});
    cases.push_back(
        {bmpFile(4, 4, 3, 0, {}, std::vector<uint8_t>(64)), "BMP bit depth not supported"});
    cases.push_back({bmpFile(8, 8, 8, 1, greyPalette(256), {2, 7, 0, 0}), "Truncated BMP file"});
    std::vector<uint8_t> badMasks(12);
    writeU32LE(&badMasks[0], 0xFFFF);
    writeU32LE(&badMasks[4], 0xFFFF);
    writeU32LE(&badMasks[8], 0xFFFF);
    cases.push_back(
        {bmpFile(1, 1, 16, 3, {}, {0, 0, 0, 0}, badMasks), "BMP bit field masks not supported"});
    for (const Case& c : cases) {
        RaViru target(2, 2, 8, ImageKind::Gif);
        target.bits[0] = 42;
        EXPECT_FALSE(decode(target, c.file));
        EXPECT_STREQ(target.lastError, c.message);
        EXPECT_EQ(target.Width(), 2);
        EXPECT_EQ(target.bits[0], 42);
    }
}

TEST(BmpCodec, ProbingFindsBmpAndRejectsOtherData) {
    RaViru img(3, 3, 8, ImageKind::Bmp);
    fillPattern(img);
    const auto bytes = encode(img);
    RaViru back(ImageKind::Unknown);
    EXPECT_TRUE(decode(back, bytes, ImageKind::Unknown)) << back.lastError;
    const std::vector<uint8_t> junk = {0xFF, 0xD8, 0xFF, 0xE0, 1,  2,  3,  4, 5,
                                       6,    7,    8,    9,    10, 11, 12, 13};
    RaViruBMP codec;
    MemoryStream s(junk.data(), junk.size());
    EXPECT_FALSE(codec.Read(s));
    EXPECT_STREQ(codec.lastError, "Not a BMP file");
}
