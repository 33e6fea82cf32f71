#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "image/ByteStream.h"
#include "image/RaViru.h"
#include "image/codecs/PsdReader.h"

using namespace quillet;

namespace {

void put16(std::vector<uint8_t>& v, unsigned x) {
    v.insert(v.end(), {uint8_t(x >> 8), uint8_t(x)});
}
void put32(std::vector<uint8_t>& v, uint32_t x) {
    v.insert(v.end(), {uint8_t(x >> 24), uint8_t(x >> 16), uint8_t(x >> 8), uint8_t(x)});
}

// A PSD with the given planes (each w × h samples, big-endian when 16-bit), raw or PackBits.
std::vector<uint8_t> psdFile(int mode, int depth, int w, int h,
                             const std::vector<std::vector<uint8_t>>& planes, int compression = 0,
                             const std::vector<uint8_t>& colourMode = {}) {
    std::vector<uint8_t> f = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0};
    put16(f, unsigned(planes.size()));
    put32(f, uint32_t(h));
    put32(f, uint32_t(w));
    put16(f, unsigned(depth));
    put16(f, unsigned(mode));
    put32(f, uint32_t(colourMode.size()));
    f.insert(f.end(), colourMode.begin(), colourMode.end());
    // One resource block (resolution) and an empty layer section.
    std::vector<uint8_t> res = {'8', 'B', 'I', 'M', 0x03, 0xED, 0, 0};
    put32(res, 16);
    res.resize(res.size() + 16, 1);
    put32(f, uint32_t(res.size()));
    f.insert(f.end(), res.begin(), res.end());
    put32(f, 0);
    put16(f, unsigned(compression));
    if (compression == 0) {
        for (const auto& p : planes) f.insert(f.end(), p.begin(), p.end());
        return f;
    }
    // PackBits, row by row: runs of equal bytes, the rest as single-byte literals.
    const size_t rowBytes = size_t(w) * size_t(depth / 8);
    std::vector<std::vector<uint8_t>> rows;
    for (const auto& p : planes) {
        for (int y = 0; y < h; ++y) {
            std::vector<uint8_t> r;
            const uint8_t* s = p.data() + size_t(y) * rowBytes;
            for (size_t i = 0; i < rowBytes;) {
                size_t run = 1;
                while (i + run < rowBytes && s[i + run] == s[i] && run < 128) ++run;
                if (run > 1)
                    r.insert(r.end(), {uint8_t(257 - run), s[i]});
                else
                    r.insert(r.end(), {0, s[i]});
                i += run;
            }
            rows.push_back(r);
        }
    }
    for (const auto& r : rows) put16(f, unsigned(r.size()));
    for (const auto& r : rows) f.insert(f.end(), r.begin(), r.end());
    return f;
}

int read(RaViru& img, const std::vector<uint8_t>& bytes) {
    MemoryStream s(bytes.data(), bytes.size());
    return ReadPsd(s, img);
}

// The CMYK formula written out plainly, for one stored (inverted) 8-bit component.
uint8_t cmykReference(int storedC, int storedK) {
    const double c = 1.0 - storedC / 256.0, k = 1.0 - storedK / 256.0;
    const double v = std::floor((1.0 - (k + (1.0 - k) * c)) * 255.0 + 0.5);
    return uint8_t(std::clamp(v, 0.0, 255.0));
}

}  // namespace

TEST(PsdReader, RgbRawAndPackBitsGiveTheSamePicture) {
    const int w = 5, h = 3;
    std::vector<std::vector<uint8_t>> planes(4, std::vector<uint8_t>(w * h));
    for (int i = 0; i < w * h; ++i) {
        planes[0][i] = uint8_t(i * 10), planes[1][i] = uint8_t(i < 8 ? 7 : 200),
        planes[2][i] = uint8_t(255 - i);
        planes[3][i] = 99;  // an alpha channel, not used
    }
    for (int compression : {0, 1}) {
        RaViru img(ImageKind::Unknown);
        ASSERT_EQ(read(img, psdFile(3, 8, w, h, planes, compression)), PsdResult::Ok)
            << img.lastError;
        ASSERT_EQ(img.BitCount(), 24);
        EXPECT_EQ(img.dpiX, 96);
        EXPECT_EQ(img.header.biXPelsPerMeter, 3780);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int i = y * w + x;  // y from the top
                EXPECT_EQ(img.PixelColorAt(x, h - 1 - y),
                          packBgr(planes[0][i], planes[1][i], planes[2][i]));
            }
    }
}

TEST(PsdReader, GreyIndexedCmykAnd16Bit) {
    RaViru grey(ImageKind::Unknown);
    ASSERT_EQ(read(grey, psdFile(1, 8, 2, 1, {{30, 250}}, 1)), 0);
    EXPECT_EQ(grey.PixelColorAt(1, 0), packBgr(250, 250, 250));

    std::vector<uint8_t> palette(768);
    for (int i = 0; i < 256; ++i)
        palette[i] = uint8_t(i), palette[256 + i] = uint8_t(i / 2), palette[512 + i] = 9;
    RaViru indexed(ImageKind::Unknown);
    ASSERT_EQ(read(indexed, psdFile(2, 8, 2, 1, {{4, 100}}, 0, palette)), 0);
    EXPECT_EQ(indexed.PixelColorAt(1, 0), packBgr(100, 50, 9));

    const std::vector<std::vector<uint8_t>> cmyk = {
        {255, 0, 128}, {255, 40, 128}, {255, 200, 0}, {255, 255, 30}};
    RaViru c(ImageKind::Unknown);
    ASSERT_EQ(read(c, psdFile(4, 8, 3, 1, cmyk, 1)), 0);
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(c.PixelColorAt(x, 0), packBgr(cmykReference(cmyk[0][x], cmyk[3][x]),
                                                cmykReference(cmyk[1][x], cmyk[3][x]),
                                                cmykReference(cmyk[2][x], cmyk[3][x])))
            << x;
    }
    EXPECT_EQ(c.PixelColorAt(0, 0), packBgr(253, 253, 253));  // stored white over 2^depth

    RaViru deep(ImageKind::Unknown);
    ASSERT_EQ(read(deep, psdFile(1, 16, 2, 1, {{0x12, 0x34, 0xAB, 0xCD}}, 1)), 0);
    EXPECT_EQ(deep.PixelColorAt(0, 0), packBgr(0x12, 0x12, 0x12));
    EXPECT_EQ(deep.PixelColorAt(1, 0), packBgr(0xAB, 0xAB, 0xAB));

    RaViru lab(ImageKind::Unknown);  // L = 100, a = b = 0: white
    ASSERT_EQ(read(lab, psdFile(9, 8, 1, 1, {{255}, {128}, {128}})), 0);
    EXPECT_EQ(lab.PixelColorAt(0, 0), packBgr(255, 255, 255));
}

TEST(PsdReader, ResultCodesLeaveTheImageAlone) {
    const auto good = psdFile(1, 8, 2, 2, {{1, 2, 3, 4}});
    auto with = [&](size_t at, uint8_t v) {
        auto f = good;
        f[at] = v;
        return f;
    };
    struct Case {
        std::vector<uint8_t> file;
        int code;
    } cases[] = {
        {{'8', 'B', 'P', 'S'}, PsdResult::HeaderFailed},
        {with(0, '7'), PsdResult::NotPsd},
        {with(5, 2), PsdResult::NotPsd},
        {with(8, 1), PsdResult::NotPsd},
        {with(23, 1), PsdResult::DepthOne},
        {with(23, 32), PsdResult::DepthUnsupported},
        {std::vector<uint8_t>(good.begin(), good.begin() + 28), PsdResult::ColourModeUnreadable},
        {with(27, 200), PsdResult::ColourModeFailed},
        {with(31, 250), PsdResult::ResourcesFailed},
        {std::vector<uint8_t>(good.begin(), good.end() - 1), PsdResult::ImageDataFailed},
        {psdFile(1, 8, 2, 2, {{1, 2, 3, 4}}, 2), PsdResult::Zip},
        {psdFile(1, 8, 2, 2, {{1, 2, 3, 4}}, 3), PsdResult::ZipPrediction},
        {psdFile(1, 8, 2, 2, {{1, 2, 3, 4}}, 7), PsdResult::CompressionUnknown},
        {psdFile(1, 8, 30000, 30000, {{}}, 0), PsdResult::BitmapFailed},
    };
    for (const Case& c : cases) {
        RaViru img(3, 3, 8, ImageKind::Gif);
        EXPECT_EQ(read(img, c.file), c.code);
        EXPECT_NE(img.lastError[0], '\0');
        EXPECT_EQ(img.Width(), 3);
        EXPECT_EQ(img.BitCount(), 8);
    }
    RaViru img(ImageKind::Unknown);
    EXPECT_EQ(ReadPsd("/nonexistent/quillet.psd", img), PsdResult::CannotOpen);
}
