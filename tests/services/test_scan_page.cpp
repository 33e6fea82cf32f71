// A scanned page from its byte stream: rows split anywhere, padded lines, every sample depth,
// pages sent colour by colour, short and overlong pages, and descriptions that must be refused.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "image/RaViru.h"
#include "services/ScanPage.h"

using namespace quillet;

namespace {

ScanFrameParameters Frame(ScanFrameFormat format, int width, int lines, int depth, int pad = 0) {
    const int samples = format == ScanFrameFormat::Rgb ? 3 : 1;
    return {int(format),
            format != ScanFrameFormat::Red && format != ScanFrameFormat::Green,
            (width * depth * samples + 7) / 8 + pad,
            width,
            lines,
            depth};
}

std::vector<uint8_t> Bytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    for (uint8_t& b : v) b = uint8_t(rng());
    return v;
}

// Feeds the stream in pieces of the given sizes, cycling.
void Feed(ScanPage& page, const std::vector<uint8_t>& data, std::vector<size_t> pieces) {
    size_t at = 0, i = 0;
    while (at < data.size()) {
        const size_t n = std::min(pieces[i++ % pieces.size()], data.size() - at);
        ASSERT_TRUE(page.Add(data.data() + at, n));
        at += n;
    }
}

// The colour the picture shows at (x, y counted from the top), as 0xRRGGBB.
uint32_t At(const RaViru& r, int x, int y) {
    return r.PixelColorAt(x, r.Height() - 1 - y) & 0xFFFFFF;
}

}  // namespace

TEST(ScanPage, RowsSplitAnywhereGiveTheSamePicture) {
    const int w = 37, h = 23, pad = 5;
    const ScanFrameParameters f = Frame(ScanFrameFormat::Rgb, w, h, 8, pad);
    const std::vector<uint8_t> data = Bytes(size_t(f.bytesPerLine) * h, 1);
    for (const std::vector<size_t>& pieces :
         {std::vector<size_t>{data.size()}, {1}, {7, 300, 2}, {size_t(f.bytesPerLine)}}) {
        ScanPage page;
        ASSERT_TRUE(page.BeginFrame(f));
        Feed(page, data, pieces);
        page.EndFrame();
        EXPECT_EQ(page.ReceivedBytes(), data.size());
        EXPECT_EQ(page.ExpectedBytes(), data.size());
        RaViru out;
        ASSERT_TRUE(page.Finish(out, 300, 150));
        ASSERT_EQ(out.Width(), w);
        ASSERT_EQ(out.Height(), h);
        EXPECT_EQ(out.BitCount(), 24);
        EXPECT_EQ(out.dpiX, 300);
        EXPECT_EQ(out.dpiY, 150);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* s = &data[size_t(y) * size_t(f.bytesPerLine) + size_t(x) * 3];
                ASSERT_EQ(At(out, x, y), uint32_t(s[0]) << 16 | uint32_t(s[1]) << 8 | s[2]);
            }
    }
}

TEST(ScanPage, SampleDepths) {
    // 16-bit grey: the high byte of each sample in the machine's order.
    {
        ScanPage page;
        ASSERT_TRUE(page.BeginFrame(Frame(ScanFrameFormat::Gray, 2, 1, 16)));
        const uint16_t samples[2] = {0x12FF, 0xAB01};
        ASSERT_TRUE(page.Add(reinterpret_cast<const uint8_t*>(samples), 4));
        page.EndFrame();
        RaViru out;
        ASSERT_TRUE(page.Finish(out));
        EXPECT_EQ(out.BitCount(), 8);
        EXPECT_EQ(At(out, 0, 0), 0x121212u);
        EXPECT_EQ(At(out, 1, 0), 0xABABABu);
    }
    // Line art: a set bit is black.
    {
        ScanPage page;
        ASSERT_TRUE(page.BeginFrame(Frame(ScanFrameFormat::Gray, 10, 1, 1)));
        const uint8_t bits[2] = {0b10100000, 0b01000000};
        ASSERT_TRUE(page.Add(bits, 2));
        page.EndFrame();
        RaViru out;
        ASSERT_TRUE(page.Finish(out));
        const uint32_t expect[10] = {0,        0xFFFFFF, 0,        0xFFFFFF, 0xFFFFFF,
                                     0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0};
        for (int x = 0; x < 10; ++x) EXPECT_EQ(At(out, x, 0), expect[x]) << x;
    }
}

TEST(ScanPage, ThreeFramesMakeOneColourPage) {
    const int w = 5, h = 3;
    ScanPage page;
    const std::vector<uint8_t> red = Bytes(w * h, 2), green = Bytes(w * h, 3),
                               blue = Bytes(w * h, 4);
    // Frames may come in any order; the last one says so.
    for (auto [format, data] :
         {std::pair{ScanFrameFormat::Green, &green}, std::pair{ScanFrameFormat::Blue, &blue},
          std::pair{ScanFrameFormat::Red, &red}}) {
        ScanFrameParameters f = Frame(format, w, h, 8);
        f.lastFrame = format == ScanFrameFormat::Red;
        ASSERT_TRUE(page.BeginFrame(f));
        Feed(page, *data, {4});
        page.EndFrame();
    }
    EXPECT_EQ(page.ExpectedBytes(), uint64_t(3 * w * h));
    RaViru out;
    ASSERT_TRUE(page.Finish(out));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y * w + x);
            EXPECT_EQ(At(out, x, y), uint32_t(red[i]) << 16 | uint32_t(green[i]) << 8 | blue[i]);
        }
    // A fourth frame, or a grey frame in between, is not part of one page.
    EXPECT_FALSE(page.BeginFrame(Frame(ScanFrameFormat::Red, w, h, 8)));
    ScanPage mixed;
    ASSERT_TRUE(mixed.BeginFrame(Frame(ScanFrameFormat::Red, w, h, 8)));
    EXPECT_FALSE(mixed.BeginFrame(Frame(ScanFrameFormat::Gray, w, h, 8)));
    EXPECT_FALSE(mixed.BeginFrame(Frame(ScanFrameFormat::Green, w + 1, h, 8)));
}

TEST(ScanPage, ShortLongAndUnknownHeights) {
    const int w = 4;
    const ScanFrameParameters f = Frame(ScanFrameFormat::Gray, w, 10, 8);
    const std::vector<uint8_t> data = Bytes(size_t(w) * 12 + 3, 5);
    // Too much: the rows past the announced ten are dropped.
    {
        ScanPage page;
        ASSERT_TRUE(page.BeginFrame(f));
        Feed(page, data, {9});
        page.EndFrame();
        RaViru out;
        ASSERT_TRUE(page.Finish(out));
        EXPECT_EQ(out.Height(), 10);
    }
    // Too little: the complete rows are the page; half a row is not a row.
    {
        ScanPage page;
        ASSERT_TRUE(page.BeginFrame(f));
        ASSERT_TRUE(page.Add(data.data(), size_t(w) * 3 + 2));
        page.EndFrame();
        RaViru out;
        ASSERT_TRUE(page.Finish(out));
        EXPECT_EQ(out.Height(), 3);
        EXPECT_EQ(At(out, 1, 2), uint32_t(data[9]) * 0x010101u);
    }
    {
        ScanPage page;
        ASSERT_TRUE(page.BeginFrame(f));
        ASSERT_TRUE(page.Add(data.data(), size_t(w) - 1));
        page.EndFrame();
        RaViru out;
        EXPECT_FALSE(page.Finish(out));
        EXPECT_FALSE(out.HasBlock());
    }
    // A hand scanner tells the height at the end.
    {
        ScanPage page;
        ASSERT_TRUE(page.BeginFrame(Frame(ScanFrameFormat::Gray, w, -1, 8)));
        EXPECT_EQ(page.ExpectedBytes(), 0u);
        Feed(page, data, {5});
        page.EndFrame();
        RaViru out;
        ASSERT_TRUE(page.Finish(out));
        EXPECT_EQ(out.Height(), 12);
    }
}

TEST(ScanPage, RefusesDescriptionsItCannotTrust) {
    struct Bad {
        const char* why;
        ScanFrameParameters p;
    };
    const Bad cases[] = {
        {"unknown format", {9, true, 10, 10, 10, 8}},
        {"negative format", {-1, true, 10, 10, 10, 8}},
        {"4-bit samples", {0, true, 10, 20, 10, 4}},
        {"no pixels", {0, true, 10, 0, 10, 8}},
        {"no lines", {0, true, 10, 10, 0, 8}},
        {"lines below -1", {0, true, 10, 10, -5, 8}},
        {"lines shorter than their pixels", {1, true, 29, 10, 10, 8}},
        {"lines far longer than their pixels", {0, true, 1 << 30, 10, 10, 8}},
        {"negative line length", {0, true, -3, 10, 10, 8}},
        {"beyond the pixel limit", {0, true, 65536, 65536, 65536, 8}},
    };
    for (const Bad& c : cases) {
        ScanPage page;
        EXPECT_FALSE(page.BeginFrame(c.p)) << c.why;
        EXPECT_FALSE(page.error().empty()) << c.why;
        const uint8_t byte = 0;
        EXPECT_FALSE(page.Add(&byte, 1)) << c.why;
        RaViru out;
        EXPECT_FALSE(page.Finish(out)) << c.why;
    }
}
