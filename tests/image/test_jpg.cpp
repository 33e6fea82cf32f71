#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "image/ByteStream.h"
#include "image/RaViru.h"

using namespace quillet;

namespace {

std::vector<uint8_t> encode(RaViru& img) {
    MemoryStream s;
    EXPECT_TRUE(img.Encode(s, ImageKind::Jpeg)) << img.lastError;
    return s.takeBuffer();
}

bool decode(RaViru& img, const std::vector<uint8_t>& bytes, ImageKind kind = ImageKind::Jpeg) {
    MemoryStream s(bytes.data(), bytes.size());
    return img.Decode(s, kind).ok();
}

// The frame header (SOFn) of a JPEG stream: its marker and where it starts.
size_t findFrame(const std::vector<uint8_t>& j, uint8_t* marker) {
    for (size_t i = 2; i + 4 < j.size();) {
        if (j[i] != 0xFF) return 0;
        const uint8_t m = j[i + 1];
        if (m >= 0xC0 && m <= 0xC2) {
            *marker = m;
            return i;
        }
        i += 2 + size_t((j[i + 2] << 8) | j[i + 3]);
    }
    return 0;
}

void smoothPicture(RaViru& img) {
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x)
            img.PutPixelColor(x, y, packBgr(uint8_t(x * 8), uint8_t(y * 8), uint8_t(128 + x - y)));
}

}  // namespace

TEST(JpgCodec, ColourRoundTripProgressiveWithoutSubsampling) {
    RaViru img(24, 16, 24, ImageKind::Jpeg);
    smoothPicture(img);
    img.jpegQuality = 95;
    img.SetHorizontalDpi(300);
    img.SetVerticalDpi(200);
    const auto bytes = encode(img);
    uint8_t marker = 0;
    const size_t sof = findFrame(bytes, &marker);
    ASSERT_NE(sof, 0u);
    EXPECT_EQ(marker, 0xC2);  // progressive
    ASSERT_EQ(bytes[sof + 9], 3);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(bytes[sof + 11 + 3 * c], 0x11) << c;  // 1 × 1 sampling
    EXPECT_EQ(bytes[13], 1);                                                    // dots per inch
    EXPECT_EQ((bytes[14] << 8) | bytes[15], 300);
    EXPECT_EQ((bytes[16] << 8) | bytes[17], 200);

    RaViru back(ImageKind::Unknown);
    ASSERT_TRUE(decode(back, bytes, ImageKind::Unknown)) << back.lastError;
    ASSERT_EQ(back.BitCount(), 24);
    EXPECT_EQ(back.dpiX, 300);
    EXPECT_EQ(back.dpiY, 200);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 24; ++x) {
            const uint32_t a = img.PixelColorAt(x, y), b = back.PixelColorAt(x, y);
            for (int shift = 0; shift < 24; shift += 8)
                ASSERT_LE(std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)), 6)
                    << x << "," << y;
        }
    }
}

TEST(JpgCodec, GreyRampIsOneComponentAndColourPaletteIsRefused) {
    RaViru grey(8, 8, 8, ImageKind::Jpeg);
    for (int i = 0; i < 256; ++i) grey.SetPaletteEntry(i, uint8_t(i), uint8_t(i), uint8_t(i));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) grey.Row(y)[x] = uint8_t(x * 30);
    const auto bytes = encode(grey);
    uint8_t marker = 0;
    const size_t sof = findFrame(bytes, &marker);
    ASSERT_NE(sof, 0u);
    EXPECT_EQ(bytes[sof + 9], 1);
    RaViru back(ImageKind::Unknown);
    ASSERT_TRUE(decode(back, bytes)) << back.lastError;
    EXPECT_EQ(back.BitCount(), 8);
    EXPECT_TRUE(back.HasGreyPalette());
    EXPECT_NEAR(int(back.PixelIndexAt(7, 3)), 210, 3);

    RaViru colour(4, 4, 8, ImageKind::Jpeg);
    colour.SetPaletteEntry(3, 200, 10, 10);
    MemoryStream s;
    EXPECT_FALSE(colour.Encode(s, ImageKind::Jpeg));
    EXPECT_STREQ(colour.lastError, "JPEG 는 RGB 혹은 그레이스케일 이미지만 저장할 수 있음");
    EXPECT_TRUE(s.buffer().empty());
}

TEST(JpgCodec, DensityPerCentimetreAndAspectOnly) {
    RaViru img(8, 8, 24, ImageKind::Jpeg);
    auto bytes = encode(img);
    ASSERT_EQ(bytes[6], 'J');
    bytes[13] = 2;  // per centimetre, 28 × 28
    bytes[14] = 0, bytes[15] = 28, bytes[16] = 0, bytes[17] = 28;
    RaViru cm(ImageKind::Unknown);
    ASSERT_TRUE(decode(cm, bytes)) << cm.lastError;
    EXPECT_EQ(cm.dpiX, 71);
    EXPECT_EQ(cm.dpiY, 71);
    bytes[13] = 0;  // aspect ratio only: 1 : 2
    bytes[15] = 1, bytes[17] = 2;
    RaViru aspect(ImageKind::Unknown);
    ASSERT_TRUE(decode(aspect, bytes)) << aspect.lastError;
    EXPECT_EQ(aspect.dpiX, 72);
    EXPECT_EQ(aspect.dpiY, 144);
}

TEST(JpgCodec, BrokenDataFailsWithTheLibraryMessage) {
    RaViru img(16, 16, 24, ImageKind::Jpeg);
    smoothPicture(img);
    const auto bytes = encode(img);
    RaViru target(2, 2, 24, ImageKind::Bmp);
    const std::vector<uint8_t> notJpeg = {'G', 'I', 'F', '8', '9', 'a', 0, 0};
    EXPECT_FALSE(decode(target, notJpeg));
    EXPECT_NE(std::string(target.lastError).find("JPEG"), std::string::npos) << target.lastError;
    EXPECT_EQ(target.Width(), 2);
    // A stream cut inside the header cannot be read at all.
    const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + 30);
    EXPECT_FALSE(decode(target, cut));
    EXPECT_EQ(target.Width(), 2);
}
