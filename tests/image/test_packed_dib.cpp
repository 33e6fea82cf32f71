#include <gtest/gtest.h>

#include <cstring>

#include "image/RaViru.h"

using namespace quillet;

static BitmapInfoHeader headerOf(const std::vector<uint8_t>& dib) {
    BitmapInfoHeader h;
    std::memcpy(&h, dib.data(), 40);
    return h;
}

TEST(PackedDib, WholeTrueColourLayerBecomes32BitWithAlphaAndMarkerMinus2) {
    RaViru img(3, 2, 24, ImageKind::Jpeg);
    for (size_t i = 0; i < img.header.biSizeImage; ++i) img.bits[i] = uint8_t(i);
    const uint8_t alpha[6] = {10, 20, 30, 40, 50, 60};
    PackedDibSource s{3, 2, 24, img.bits, img.rowBytes, nullptr, 0, alpha, false};
    const auto dib = RaViru::ToPackedDib(s);
    const BitmapInfoHeader h = headerOf(dib);
    EXPECT_EQ(h.biBitCount, 32);
    EXPECT_EQ(h.biXPelsPerMeter, -2);
    ASSERT_EQ(dib.size(), 40u + 3 * 2 * 4);
    const uint8_t* px = dib.data() + 40;
    EXPECT_EQ(px[4], img.bits[3]);  // second pixel's blue
    EXPECT_EQ(px[7], 20);           // its alpha
    EXPECT_EQ(px[12], img.Row(1)[0]);
    EXPECT_EQ(px[15], 40);

    RaViru back(ImageKind::Jpeg);
    PackedDibInfo info;
    const Status status = back.FromPackedDib(dib.data(), dib.size(), true, &info);
    ASSERT_TRUE(status);
    EXPECT_EQ(info.marker, -2);
    EXPECT_EQ(back.BitCount(), 32);
    EXPECT_EQ(back.header.biXPelsPerMeter, -2);
    EXPECT_EQ(back.Row(1)[3], 40);
    EXPECT_TRUE(status.message().empty());
}

TEST(PackedDib, TextLayerGivesColourZeroWithAlpha) {
    RaViru img(2, 1, 32, ImageKind::Jpeg);
    const uint8_t alpha[2] = {0, 200};
    PackedDibSource s{2, 1, 32, img.bits, img.rowBytes, nullptr, 0, alpha, true};
    const auto dib = RaViru::ToPackedDib(s);
    const uint8_t* px = dib.data() + 40;
    EXPECT_EQ(px[4] | px[5] | px[6], 0);
    EXPECT_EQ(px[7], 200);
}

TEST(PackedDib, IndexedAndRegionCopiesAreMarkedMinus3AndKeepDepth) {
    RaViru img(12, 4, 4, ImageKind::Jpeg);
    img.MakeGreyPalette();
    for (int x = 0; x < 12; ++x) img.PutPixelColor(x, 2, packBgr(17 * x, 17 * x, 17 * x));
    const auto whole = img.ToPackedDib();
    EXPECT_EQ(headerOf(whole).biXPelsPerMeter, -3);
    EXPECT_EQ(headerOf(whole).biBitCount, 4);
    EXPECT_EQ(headerOf(whole).biClrUsed, 16u);

    const auto part = img.ToPackedDib(DibRect{3, 1, 8, 2});  // columns 3..8, rows 1..2
    const BitmapInfoHeader h = headerOf(part);
    EXPECT_EQ(h.biWidth, 6);
    EXPECT_EQ(h.biHeight, 2);
    EXPECT_EQ(h.biXPelsPerMeter, -3);
    RaViru back(ImageKind::Jpeg);
    ASSERT_TRUE(back.FromPackedDib(part.data(), part.size(), true));
    for (int x = 0; x < 6; ++x) EXPECT_EQ(back.PixelIndexAt(x, 1), uint32_t(x + 3));
    EXPECT_EQ(back.PaletteEntry(15).red, 255);

    RaViru rgb(5, 5, 24, ImageKind::Jpeg);
    rgb.PutPixelColor(2, 3, 0x123456);
    const auto region = rgb.ToPackedDib(DibRect{1, 2, 3, 4});
    EXPECT_EQ(headerOf(region).biBitCount, 24);
    RaViru r2(ImageKind::Jpeg);
    ASSERT_TRUE(r2.FromPackedDib(region.data(), region.size(), true));
    EXPECT_EQ(r2.PixelColorAt(1, 1), 0x123456u);
}

TEST(PackedDib, ForeignLowDepthBitmapIsRefusedWithMessage) {
    RaViru img(4, 4, 8, ImageKind::Jpeg);
    auto dib = img.ToPackedDib();
    BitmapInfoHeader h = headerOf(dib);
    h.biXPelsPerMeter = 2835;  // no private marker: came from another program
    std::memcpy(dib.data(), &h, 40);
    RaViru target(2, 2, 24, ImageKind::Jpeg);
    const Status refused = target.FromPackedDib(dib.data(), dib.size(), true);
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.code(), StatusCode::Unsupported);
    EXPECT_EQ(refused.message(), "디스플레이 설정이 32비트 True Color 인지 확인 (현재 8 비트)");
    EXPECT_EQ(target.Width(), 2);
    // Without the depth check the same bitmap is taken, and its DPI derived.
    ASSERT_TRUE(target.FromPackedDib(dib.data(), dib.size(), false));
    EXPECT_EQ(target.BitCount(), 8);
    EXPECT_EQ(target.dpiX, 72);
}

TEST(PackedDib, TopDownForeignBitmapIsReadUpright) {
    RaViru img(2, 2, 24, ImageKind::Jpeg);
    img.PutPixelColor(0, 1, 0x0000FF);  // top row, blue
    auto dib = img.ToPackedDib(DibRect{0, 0, 1, 1});
    BitmapInfoHeader h = headerOf(dib);
    h.biHeight = -2;
    h.biXPelsPerMeter = 3780;
    std::memcpy(dib.data(), &h, 40);
    // Rows must now be stored top first.
    std::vector<uint8_t> rows(dib.begin() + 40, dib.end());
    std::memcpy(dib.data() + 40, rows.data() + 8, 8);
    std::memcpy(dib.data() + 48, rows.data(), 8);
    RaViru back(ImageKind::Jpeg);
    ASSERT_TRUE(back.FromPackedDib(dib.data(), dib.size(), true));
    EXPECT_EQ(back.PixelColorAt(0, 1), 0x0000FFu);
    EXPECT_EQ(back.dpiX, 96);
}

TEST(PackedDib, TruncatedOrNonsenseHeadersFailCleanly) {
    RaViru img(4, 4, 24, ImageKind::Jpeg);
    auto dib = img.ToPackedDib();
    RaViru t(1, 1, 24, ImageKind::Jpeg);
    EXPECT_FALSE(t.FromPackedDib(dib.data(), 39, true));
    EXPECT_FALSE(t.FromPackedDib(dib.data(), dib.size() - 1, true));
    BitmapInfoHeader h = headerOf(dib);
    for (auto change : {+[](BitmapInfoHeader& x) { x.biWidth = 0x7FFFFFFF; },
                        +[](BitmapInfoHeader& x) { x.biBitCount = 7; },
                        +[](BitmapInfoHeader& x) { x.biCompression = 1; },
                        +[](BitmapInfoHeader& x) { x.biSize = 12; },
                        +[](BitmapInfoHeader& x) { x.biHeight = INT32_MIN; }}) {
        BitmapInfoHeader bad = h;
        change(bad);
        std::vector<uint8_t> copy = dib;
        std::memcpy(copy.data(), &bad, 40);
        EXPECT_FALSE(t.FromPackedDib(copy.data(), copy.size(), false));
        EXPECT_EQ(t.Width(), 1);
    }
}
