// Colour adjustments against literal per-pixel references, on random layers of both depths,
// with transparent pixels and selections.
#include <gtest/gtest.h>

#include "image/effects/ColourTables.h"
#include "image/effects/Levels.h"
#include "image/effects/Tone.h"
#include "tests/image/TestLayer.h"

using namespace quillet;
using namespace quillet::testsupport;

namespace {

// --- Literal references ----------------------------------------------------------------------

void RefBrightnessContrast(TestLayer& l, int brightness, int contrast) {
    const double factor = (contrast + 255) / 255.0;
    auto f = [&](int v) { return Clamp(int((v - 128) * factor + 128 + brightness)); };
    for (int y = 0; y < l.height; ++y)
        for (int x = 0; x < l.width; ++x) {
            if (l.Alpha(x, y) == 0) continue;
            const uint32_t c = l.Colour(x, y);
            l.Put(x, y, Rgb(f(R(c)), f(G(c)), f(B(c))));
        }
}

void RefSaturation(TestLayer& l, int s) {
    int t[256];
    for (int i = 0; i < 256; ++i) t[i] = Clamp(int((s + 100) * (i - 128) / 100.0 + 128.5));
    for (int y = 0; y < l.height; ++y)
        for (int x = 0; x < l.width; ++x) {
            const uint32_t c = l.Colour(x, y);
            const int Y = Clamp(int(0.299 * R(c) + 0.587 * G(c) + 0.114 * B(c)));
            const int U = Clamp(int((B(c) - Y) * 0.565 + 128));
            const int V = Clamp(int((R(c) - Y) * 0.713 + 128));
            const int u = t[U] - 128, v = t[V] - 128;
            l.Put(x, y,
                  Rgb(Clamp(int(Y + 1.403 * v)), Clamp(int(Y - 0.344 * u - 0.714 * v)),
                      Clamp(int(Y + 1.77 * u))));
        }
}

// The levels routine as written: histogram, 1 % ends, tables, application.
void RefLevels(TestLayer& l, int c, int lo, int hi, bool normalise) {
    uint64_t hist[4][256] = {};
    for (int y = 0; y < l.height; ++y)
        for (int x = 0; x < l.width; ++x) {
            const uint32_t p = l.Colour(x, y);
            ++hist[0][(B(p) * 11 + G(p) * 59 + R(p) * 30) / 100];
            ++hist[1][R(p)];
            ++hist[2][G(p)];
            ++hist[3][B(p)];
        }
    int t[4][256];
    if (normalise) {
        uint64_t C[4][256];
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 256; ++k) C[j][k] = hist[j][k] + (k ? C[j][k - 1] : 0);
        if (C[c][0] == C[c][255]) return;
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 256; ++k)
                t[j][k] =
                    C[j][255] == C[j][0]
                        ? 0
                        : Clamp(int(double(C[j][k] - C[j][0]) * 255 / double(C[j][255] - C[j][0])));
    } else {
        int low[4], high[4];
        for (int j = 0; j < 4; ++j) {
            for (uint64_t h : {uint64_t(l.width) * uint64_t(l.height) / 100, uint64_t(0)}) {
                uint64_t sum = 0;
                low[j] = high[j] = -1;
                for (int k = 0; k < 256 && low[j] < 0; ++k)
                    if ((sum += hist[j][k]) > h) low[j] = k;
                sum = 0;
                for (int k = 255; k >= 0 && high[j] < 0; --k)
                    if ((sum += hist[j][k]) > h) high[j] = k;
                if (low[j] != high[j]) break;
            }
        }
        if (low[c] == high[c]) return;
        for (int j = 0; j < 4; ++j) {
            const int a = lo < 0 ? low[j] : lo, b = lo < 0 ? high[j] : hi;
            for (int k = 0; k < 256; ++k)
                t[j][k] = k < a ? 0 : k > b ? 255 : a == b ? 0 : (k - a) * 255 / (b - a);
        }
    }
    for (int y = 0; y < l.height; ++y)
        for (int x = 0; x < l.width; ++x) {
            if (l.Alpha(x, y) == 0) continue;
            const uint32_t p = l.Colour(x, y);
            l.Put(x, y,
                  Rgb(c == 0 || c == 1 ? t[1][R(p)] : R(p), c == 0 || c == 2 ? t[2][G(p)] : G(p),
                      c == 0 || c == 3 ? t[3][B(p)] : B(p)));
        }
}

int Grey(uint32_t c) { return (R(c) + G(c) + B(c)) / 3; }

void RefFloydSteinberg(TestLayer& l, int T) {
    for (int y = 0; y < l.height; ++y)
        for (int x = 0; x < l.width; ++x) {
            const int g = Grey(l.Colour(x, y));
            const int e = g > T ? g - 255 : g;
            l.Put(x, y, g > T ? 0xFFFFFF : 0);
            const int nx[4] = {x + 1, x - 1, x, x + 1}, ny[4] = {y, y + 1, y + 1, y + 1},
                      w[4] = {7, 3, 5, 1};
            for (int i = 0; i < 4; ++i) {
                if (!l.Inside(nx[i], ny[i])) continue;
                const int n = Clamp(Grey(l.Colour(nx[i], ny[i])) + e * w[i] / 16);
                l.Put(nx[i], ny[i], Rgb(n, n, n));
            }
        }
}

void RefOrdered(TestLayer& l, int d) {
    const int m[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const int table[4] = {0, 1, 0, 0};
    for (int y = 0; y < l.height; ++y)
        for (int x = 0; x < l.width; ++x) {
            const int e = Grey(l.Colour(x, y)) * 16 / (2 * d + 100);
            const int level = e / 16, fraction = e % 16;
            const int entry = m[y % 4][x % 4] < fraction ? table[level + 1] : table[level];
            l.Put(x, y, entry == 1 ? 0 : 0xFFFFFF);
        }
}

struct Case {
    int bpp;
    bool selection;
};
const Case kCases[] = {{3, false}, {3, true}, {4, false}, {4, true}};

// Runs `fast` both in place and from a copy into a stale target, and `ref` on a third copy.
template <class Fast, class Ref>
void ExpectSame(Fast fast, Ref ref, uint32_t seed, int w = 37, int h = 23) {
    for (const Case& c : kCases) {
        TestLayer base(w, h, c.bpp);
        base.Randomise(seed + uint32_t(c.bpp), 7, c.selection);
        TestLayer expected = base, inPlace = base, target = base;
        ref(expected);
        fast(inPlace.View(), inPlace.View());
        for (auto& b : target.pixels) b ^= 0x5A;  // whatever was there must not show through
        fast(base.View(), target.View());
        EXPECT_TRUE(inPlace.SamePixels(expected)) << "bpp " << c.bpp << " sel " << c.selection;
        EXPECT_TRUE(target.SamePixels(expected)) << "bpp " << c.bpp << " sel " << c.selection;
    }
}

}  // namespace

TEST(ColourTables, BrightnessContrastAndChannelsMatchTheFormula) {
    for (auto [b, c] : {std::pair{0, 0}, {40, 30}, {-90, 200}, {255, -255}, {-255, 255}, {7, -13}})
        ExpectSame(
            [&](const LayerPixels& f, const LayerPixels& t) {
                ApplyChannelTables(f, t, BrightnessContrastTables(b, c),
                                   AlphaRule::SkipTransparent);
            },
            [&](TestLayer& l) { RefBrightnessContrast(l, b, c); }, uint32_t(b * 7 + c));

    ExpectSame(
        [](const LayerPixels& f, const LayerPixels& t) {
            ApplyChannelTables(f, t, ChannelShiftTables(255, -40, 17), AlphaRule::SkipTransparent);
        },
        [](TestLayer& l) {
            for (int y = 0; y < l.height; ++y)
                for (int x = 0; x < l.width; ++x) {
                    if (!l.Alpha(x, y)) continue;
                    const uint32_t c = l.Colour(x, y);
                    l.Put(x, y, Rgb(255, Clamp(G(c) - 40), Clamp(B(c) + 17)));
                }
        },
        5, 640, 420);  // large enough to be shared between two threads
}

TEST(ColourTables, BrightnessContrastEdges) {
    // Both 0 change nothing; contrast −255 gives factor 0: every channel 128 + brightness.
    const ChannelTables same = BrightnessContrastTables(0, 0),
                        flat = BrightnessContrastTables(20, -255);
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(same.red[size_t(v)], v);
        EXPECT_EQ(flat.green[size_t(v)], 148);
    }
    // Red +255 makes every visible pixel's red 255; transparent pixels keep theirs.
    TestLayer l(5, 4);
    l.Randomise(3, 2);
    TestLayer before = l;
    ApplyChannelTables(l.View(), l.View(), ChannelShiftTables(255, 0, 0),
                       AlphaRule::SkipTransparent);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(R(l.Colour(x, y)), l.Alpha(x, y) ? 255 : R(before.Colour(x, y)));
}

TEST(ColourTables, SaturationMatchesTheYuvRoundTrip) {
    for (int s : {0, -100, -255, 255, 37, -63})
        ExpectSame([&](const LayerPixels& f, const LayerPixels& t) { ApplySaturation(f, t, s); },
                   [&](TestLayer& l) { RefSaturation(l, s); }, uint32_t(s + 1000), 61, 41);
    // −100 removes colour: U = V = 128.
    const ByteTable t = SaturationTable(-100);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(t[size_t(i)], 128);
    Rgbquad pal[3] = {{10, 200, 30, 0}, {255, 0, 0, 0}, {0, 0, 255, 0}};
    ApplySaturation(pal, 3, -100);
    for (const Rgbquad& q : pal) {
        const Yuv c = ToYuv(q.red, q.green, q.blue);
        EXPECT_NEAR(c.u, 128, 1);
        EXPECT_NEAR(c.v, 128, 1);
    }
}

TEST(ColourTables, YuvOfExtremeColours) {
    EXPECT_EQ((ToYuv(0, 0, 0)), (Yuv{0, 128, 128}));
    EXPECT_EQ((ToYuv(255, 255, 255)).y, 255);
    const Yuv red = ToYuv(255, 0, 0);  // Y 76, U trunc(−76 × .565 + 128) = 85, V 255 (clamped)
    EXPECT_EQ(red.y, 76);
    EXPECT_EQ(red.u, 85);
    EXPECT_EQ(red.v, 255);
    const Yuv blue = ToYuv(0, 0, 255);
    EXPECT_EQ(blue.y, 29);
    EXPECT_EQ(blue.u, 255);
    const Rgbquad back = FromYuv(76, 85, 255);
    EXPECT_EQ(back.red, 254);  // trunc(76 + 1.403 × 127)
    EXPECT_EQ(back.green, 0);
}

TEST(Levels, MatchesTheLiteralRoutine) {
    const LevelsRequest requests[] = {AutomaticLevels(),
                                      NormalisingLevels(),
                                      LevelsRequest{HistogramChannel::Luminance, 50, 100},
                                      LevelsRequest{HistogramChannel::Red, 10, 200},
                                      LevelsRequest{HistogramChannel::Blue, 0, 255},
                                      LevelsRequest{HistogramChannel::Green, -1, -1, true}};
    for (const LevelsRequest& r : requests)
        ExpectSame(
            [&](const LayerPixels& f, const LayerPixels& t) {
                ChannelTables tables;
                const Histogram h = ComputeHistogram(f, 2);
                if (LevelsTables(h, r, tables))
                    ApplyChannelTables(f, t, tables, AlphaRule::SkipTransparent);
                else
                    ApplyChannelTables(f, t, ChannelTables::Identity(), AlphaRule::Every);
            },
            [&](TestLayer& l) { RefLevels(l, int(r.channel), r.black, r.white, r.normalise); },
            uint32_t(r.black + 7), 45, 90);
}

TEST(Levels, GivenPointsAndFlatLayers) {
    Histogram h;
    h.counts[0][10] = h.counts[0][200] = 50;  // low 10, high 200: something to do
    h.pixels = 100;
    ChannelTables t;
    ASSERT_TRUE(LevelsTables(h, LevelsRequest{HistogramChannel::Luminance, 50, 100}, t));
    EXPECT_EQ(t.red[50], 0);
    EXPECT_EQ(t.red[75], 127);
    EXPECT_EQ(t.green[100], 255);
    EXPECT_EQ(t.blue[101], 255);
    EXPECT_EQ(t.blue[49], 0);
    // A single-colour layer: low equals high for luminance, nothing to do, either mode.
    TestLayer flat(20, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) flat.Put(x, y, Rgb(90, 120, 30));
    const Histogram fh = ComputeHistogram(flat.View());
    EXPECT_FALSE(LevelsTables(fh, AutomaticLevels(), t));
    // Normalising does nothing only when every pixel sits at level 0 of the chosen channel.
    EXPECT_TRUE(LevelsTables(fh, NormalisingLevels(), t));
    TestLayer black(20, 10);
    EXPECT_FALSE(LevelsTables(ComputeHistogram(black.View()), NormalisingLevels(), t));
}

TEST(Levels, HistogramCountsEveryPixelOnOneOrTwoThreads) {
    TestLayer l(301, 257, 4);
    l.Randomise(11);
    const Histogram one = ComputeHistogram(l.View(), 1), two = ComputeHistogram(l.View(), 2);
    EXPECT_EQ(one.counts, two.counts);
    EXPECT_EQ(one.pixels, 301u * 257u);
    uint64_t lum = 0;
    for (uint32_t n : one.counts[0]) lum += n;
    EXPECT_EQ(lum, 301u * 257u);
    const uint32_t c = l.Colour(5, 6);
    EXPECT_GT(one.counts[1][size_t(R(c))], 0u);
}

TEST(Tone, InvertDesaturateAndThresholds) {
    ExpectSame([](const LayerPixels& f, const LayerPixels& t) { InvertPixels(f, t); },
               [](TestLayer& l) {
                   for (int y = 0; y < l.height; ++y)
                       for (int x = 0; x < l.width; ++x)
                           if (l.Selected(x, y))
                               for (int b = 0; b < l.bpp; ++b) l.At(x, y)[b] ^= 0xFF;
               },
               21);
    ExpectSame([](const LayerPixels& f, const LayerPixels& t) { DesaturatePixels(f, t); },
               [](TestLayer& l) {
                   for (int y = 0; y < l.height; ++y)
                       for (int x = 0; x < l.width; ++x) {
                           const int g = Grey(l.Colour(x, y));
                           l.Put(x, y, Rgb(g, g, g));
                       }
               },
               22);
    for (int v : {0, 90, 128, 255}) {
        auto inPlace = [&](ThresholdMode m) {
            return [=](const LayerPixels& f, const LayerPixels& t) {
                if (f.pixels != t.pixels)
                    for (int y = 0; y < t.height; ++y)
                        std::copy_n(f.Row(y), size_t(t.width) * size_t(t.bytesPerPixel), t.Row(y));
                ThresholdPixels(t, m, v);
            };
        };
        ExpectSame(
            inPlace(ThresholdMode::Absolute),
            [&](TestLayer& l) {
                for (int y = 0; y < l.height; ++y)
                    for (int x = 0; x < l.width; ++x)
                        l.Put(x, y, Grey(l.Colour(x, y)) > v ? 0 : 0xFFFFFF);
            },
            uint32_t(v + 1));
        ExpectSame(
            inPlace(ThresholdMode::FloydSteinberg), [&](TestLayer& l) { RefFloydSteinberg(l, v); },
            uint32_t(v + 2));
        ExpectSame(
            inPlace(ThresholdMode::Ordered), [&](TestLayer& l) { RefOrdered(l, v); },
            uint32_t(v + 3));
    }
}

TEST(Tone, ThresholdEdges) {
    // Threshold 128: grey 200 becomes black, grey 100 white; alpha stays.
    TestLayer l(2, 1);
    l.Put(0, 0, Rgb(200, 200, 200));
    l.Put(1, 0, Rgb(100, 100, 100));
    l.alpha = {7, 9};
    ThresholdPixels(l.View(), ThresholdMode::Absolute, 128);
    EXPECT_EQ(l.Colour(0, 0), 0u);
    EXPECT_EQ(l.Colour(1, 0), 0xFFFFFFu);
    EXPECT_EQ(l.alpha, (std::vector<uint8_t>{7, 9}));
    // Floyd–Steinberg: grey 100 is black and its right neighbour gains 100 × 7 / 16 = 43.
    TestLayer f(2, 1);
    f.Put(0, 0, Rgb(100, 100, 100));
    f.Put(1, 0, Rgb(10, 10, 10));
    ThresholdPixels(f.View(), ThresholdMode::FloydSteinberg, 128);
    EXPECT_EQ(f.Colour(0, 0), 0u);
    EXPECT_EQ(f.Colour(1, 0), 0u);  // 53 then itself black
    TestLayer g(3, 1);
    g.Put(0, 0, Rgb(100, 100, 100));
    g.Put(1, 0, Rgb(100, 100, 100));
    g.selection = {1, 0, 1};  // the neighbour is not selected: it keeps its colour
    ThresholdPixels(g.View(), ThresholdMode::FloydSteinberg, 128);
    EXPECT_EQ(g.Colour(1, 0), Rgb(100, 100, 100));
}
