// The convolution engine and the window filters against literal references, on random layers
// with transparent pixels, selections, both depths and one or two threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "image/effects/Convolution.h"
#include "image/effects/Filters.h"
#include "image/effects/Neighbourhood.h"
#include "tests/image/TestLayer.h"

using namespace quillet;
using namespace quillet::testsupport;

namespace {

using Fast = std::function<void(const LayerPixels& from, const LayerPixels& to, int threads)>;
using Ref = std::function<void(TestLayer& before, TestLayer& out)>;

// The fast routine on one and two threads against the reference, for both depths, with and
// without a selection. The layer is tall enough for the rows to be split.
void ExpectSame(const Fast& fast, const Ref& ref, uint32_t seed, int w = 29, int h = 70,
                int transparentEvery = 6) {
    for (int bpp : {3, 4})
        for (bool selection : {false, true}) {
            TestLayer before(w, h, bpp);
            before.Randomise(seed + uint32_t(bpp * 2 + selection), transparentEvery, selection);
            TestLayer expected = before;
            ref(before, expected);
            for (int threads : {1, 2}) {
                TestLayer out = before;
                fast(before.View(), out.View(), threads);
                EXPECT_TRUE(out.SamePixels(expected))
                    << "bpp " << bpp << " selection " << selection << " threads " << threads;
            }
        }
}

// --- The convolution engine -------------------------------------------------------------------

void RefConvolve(TestLayer& in, TestLayer& out, const Convolution& c) {
    const int S = c.kernel.Sum();
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) {
            if (!in.Alpha(x, y)) continue;
            int sum[3] = {0, 0, 0}, W = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    if (!in.Inside(x + dx, y + dy)) continue;
                    const int k = c.kernel.At(dx, dy);
                    const uint32_t p = in.Colour(x + dx, y + dy);
                    sum[0] += k * R(p);
                    sum[1] += k * G(p);
                    sum[2] += k * B(p);
                    W += k;
                }
            int v[3];
            for (int i = 0; i < 3; ++i) {
                if (c.divisor == 0)
                    v[i] = Clamp(c.offset + sum[i]);
                else if (W == S || W == 0)  // a cut window weighing 0 cannot be scaled
                    v[i] = Clamp(c.offset + sum[i] / c.divisor);
                else
                    v[i] = Clamp(c.offset + sum[i] * S / (c.divisor * W));
                if (c.invert) v[i] = 255 - v[i];
            }
            out.Put(x, y, Rgb(v[0], v[1], v[2]));
        }
}

}  // namespace

TEST(Convolution, MatchesTheLiteralEngine) {
    std::vector<Convolution> cases;
    for (int offset : {0, -50, 37}) cases.push_back({Laplacian(15), 7, offset, false});
    for (int a : {0, 1, 5}) cases.push_back({Laplacian(8), a, -12, true});
    for (int a : {0, 3, 99}) cases.push_back({EmbossKernel(7), a, 0, false});
    cases.push_back({Kernel3{{3, -1, 2, 0, 5, -4, 1, 1, -2}}, 4, 9, false});
    cases.push_back({HorizontalGradient(), 0, 0, false});
    for (const Convolution& c : cases)
        ExpectSame([&](const LayerPixels& f, const LayerPixels& t,
                       int threads) { Convolve(f, t, c, threads); },
                   [&](TestLayer& in, TestLayer& out) { RefConvolve(in, out, c); },
                   uint32_t(c.divisor * 31 + c.offset + 500));
}

TEST(Convolution, BufferOutputAndNarrowLayers) {
    for (auto [w, h] : {std::pair{1, 1}, {2, 1}, {1, 5}, {3, 3}, {40, 2}}) {
        TestLayer in(w, h);
        in.Randomise(uint32_t(w * 10 + h));
        const Convolution c{Laplacian(8), 1, 0, false};
        std::vector<uint32_t> buffer(size_t(w * h), 0xABCDEF);
        ConvolveToBuffer(in.View(), c, buffer.data(), 2);
        TestLayer ref = in;
        RefConvolve(in, ref, c);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                EXPECT_EQ(buffer[size_t(y * w + x)], in.Alpha(x, y) ? ref.Colour(x, y) : 0xABCDEFu);
    }
}

TEST(Convolution, SharpenAndEdgesOnFlatAreas) {
    TestLayer flat(9, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) flat.Put(x, y, Rgb(120, 30, 200));
    // "강조" with 명암 0: 7 × value / 7, everywhere (the border scales by S / W).
    TestLayer out = flat;
    Convolve(flat.View(), out.View(), {Laplacian(15), 7, 0, false});
    EXPECT_TRUE(out.SamePixels(flat));
    // "윤곽선" with offset 0 and no divisor: a sum of 0, inverted: white.
    Convolve(flat.View(), out.View(), {Laplacian(8), 0, 0, true});
    for (int y = 1; y < 8; ++y)
        for (int x = 1; x < 8; ++x) EXPECT_EQ(out.Colour(x, y), 0xFFFFFFu);
}

// --- Box blur and soften ------------------------------------------------------------------------

namespace {
void RefBlur(TestLayer& in, TestLayer& out, int n, bool soften) {
    const int lo = -(n / 2), hi = n - n / 2 - 1, c = soften ? n * n : 1;
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) {
            if (!in.Alpha(x, y)) continue;
            int sum[3] = {0, 0, 0}, weights = 0;
            for (int dy = lo; dy <= hi; ++dy)
                for (int dx = lo; dx <= hi; ++dx) {
                    if (!in.Inside(x + dx, y + dy) || !in.Alpha(x + dx, y + dy)) continue;
                    const int w = dx == 0 && dy == 0 ? c : 1;
                    const uint32_t p = in.Colour(x + dx, y + dy);
                    sum[0] += w * R(p);
                    sum[1] += w * G(p);
                    sum[2] += w * B(p);
                    weights += w;  // divided by the weights: flat areas stay as they are
                }
            out.Put(x, y,
                    Rgb(std::min(255, sum[0] / weights), std::min(255, sum[1] / weights),
                        std::min(255, sum[2] / weights)));
        }
}
}  // namespace

TEST(BoxBlur, MatchesTheLiteralWindowForEverySize) {
    for (int n = 1; n <= 9; ++n)
        for (bool soften : {false, true})
            ExpectSame([&](const LayerPixels& f, const LayerPixels& t,
                           int threads) { BoxBlur(f, t, n, soften, threads); },
                       [&](TestLayer& in, TestLayer& out) { RefBlur(in, out, n, soften); },
                       uint32_t(n * 3 + soften), 23, 66, 4);
}

TEST(BoxBlur, SizeOneAndFlatAreasStayAndTransparentPixelsAreNotWritten) {
    TestLayer l(12, 40);
    l.Randomise(77, 3);
    TestLayer out = l;
    BoxBlur(l.View(), out.View(), 1, false);
    EXPECT_TRUE(out.SamePixels(l));
    // "부드럽게" of a flat area: unchanged (dividing by the pixel count would nearly double it).
    TestLayer flat(10, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) flat.Put(x, y, Rgb(100, 140, 60));
    TestLayer soft = flat;
    BoxBlur(flat.View(), soft.View(), 9, true);
    EXPECT_TRUE(soft.SamePixels(flat));
    // Transparent pixels keep their bytes.
    TestLayer blurred = l;
    BoxBlur(l.View(), blurred.View(), 5, false);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 12; ++x)
            if (!l.Alpha(x, y)) {
                EXPECT_EQ(blurred.Colour(x, y), l.Colour(x, y));
            }
}

// --- Erode, dilate, median, edge emphasis --------------------------------------------------------

namespace {
void RefExtreme(TestLayer& in, TestLayer& out, int n, bool max, uint32_t background) {
    const int lo = -(n / 2), hi = n - n / 2 - 1;
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) {
            if (!in.Alpha(x, y)) continue;
            int v[3] = {max ? 0 : 255, max ? 0 : 255, max ? 0 : 255};
            for (int dy = lo; dy <= hi; ++dy)
                for (int dx = lo; dx <= hi; ++dx) {
                    uint32_t p;
                    if (in.Inside(x + dx, y + dy))
                        p = in.Colour(x + dx, y + dy);
                    else if (max)
                        p = background;
                    else
                        continue;
                    const int c[3] = {R(p), G(p), B(p)};
                    for (int i = 0; i < 3; ++i)
                        v[i] = max ? std::max(v[i], c[i]) : std::min(v[i], c[i]);
                }
            out.Put(x, y, Rgb(v[0], v[1], v[2]));
        }
}

int Lum(uint32_t c) { return (G(c) * 59 + R(c) * 30 + B(c) * 11) / 100; }

void RefMedian(TestLayer& in, TestLayer& out, int n) {
    const int lo = -(n / 2), hi = n - n / 2 - 1;
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) {
            if (!in.Alpha(x, y)) continue;
            std::vector<uint32_t> window;
            for (int dy = lo; dy <= hi; ++dy)
                for (int dx = lo; dx <= hi; ++dx)
                    if (in.Inside(x + dx, y + dy)) window.push_back(in.Colour(x + dx, y + dy));
            std::stable_sort(window.begin(), window.end(),
                             [](uint32_t a, uint32_t b) { return Lum(a) < Lum(b); });
            out.Put(x, y, window[window.size() / 2]);
        }
}
}  // namespace

TEST(Morphology, ErodeAndDilateMatchTheWindow) {
    for (int n : {2, 3, 4, 7, 20})
        for (bool max : {false, true})
            ExpectSame(
                [&](const LayerPixels& f, const LayerPixels& t, int threads) {
                    if (max)
                        Dilate(f, t, n, 0x123456, threads);
                    else
                        Erode(f, t, n, threads);
                },
                [&](TestLayer& in, TestLayer& out) { RefExtreme(in, out, n, max, 0x123456); },
                uint32_t(n * 5 + max), 31, 70);
}

TEST(Morphology, SizeTwoLooksBackOnly) {
    // Offsets −1..0: a bright pixel spreads to its right and upper neighbours only.
    TestLayer l(5, 5);
    l.Put(2, 2, 0xFFFFFF);
    TestLayer out = l;
    Dilate(l.View(), out.View(), 2, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(out.Colour(x, y), (x == 2 || x == 3) && (y == 2 || y == 3) ? 0xFFFFFFu : 0u)
                << x << ',' << y;
}

TEST(Median, MatchesAStableSortByLuminance) {
    for (int n = 2; n <= 7; ++n)
        ExpectSame([&](const LayerPixels& f, const LayerPixels& t,
                       int threads) { MedianFilter(f, t, n, threads); },
                   [&](TestLayer& in, TestLayer& out) { RefMedian(in, out, n); }, uint32_t(n), 27,
                   66);
    // Few colours: many ties, decided by window order.
    ExpectSame([&](const LayerPixels& f, const LayerPixels& t,
                   int threads) { MedianFilter(f, t, 3, threads); },
               [&](TestLayer& in, TestLayer& out) { RefMedian(in, out, 3); }, 99, 20, 64);
}

TEST(Median, AColourSurvivesWhenItsLuminanceIsTheMiddle) {
    TestLayer l(3, 3);
    const uint32_t greys[9] = {Rgb(10, 10, 10),    Rgb(20, 20, 20),    Rgb(30, 30, 30),
                               Rgb(40, 40, 40),    Rgb(0, 0, 0),       Rgb(200, 200, 200),
                               Rgb(210, 210, 210), Rgb(220, 220, 220), Rgb(230, 230, 230)};
    for (int i = 0; i < 9; ++i) l.Put(i % 3, i / 3, greys[i]);
    l.Put(1, 1, Rgb(0, 128, 0));  // luminance 75: the fifth of nine
    TestLayer out = l;
    MedianFilter(l.View(), out.View(), 3);
    EXPECT_EQ(out.Colour(1, 1), Rgb(0, 128, 0));
}

TEST(EdgeEmphasis, MatchesTheLiteralRule) {
    for (auto [a, b] : {std::pair{0, 0}, {1, 0}, {20, 5}, {60, 10}, {99, 3}})
        ExpectSame([&](const LayerPixels& f, const LayerPixels& t,
                       int threads) { EmphasiseEdges(f, t, a, b, threads); },
                   [&](TestLayer& in, TestLayer& out) {
                       for (int y = 0; y < in.height; ++y)
                           for (int x = 0; x < in.width; ++x) {
                               const int nx[4] = {x - 1, x + 1, x, x}, ny[4] = {y, y, y - 1, y + 1};
                               bool all = in.Alpha(x, y) != 0;
                               int d = 0;
                               const uint32_t p = in.Colour(x, y);
                               for (int i = 0; i < 4 && all; ++i) {
                                   all = in.Alpha(nx[i], ny[i]) != 0;
                                   const uint32_t q = in.Colour(nx[i], ny[i]);
                                   d += std::abs(R(p) - R(q)) + std::abs(G(p) - G(q)) +
                                        std::abs(B(p) - B(q));
                               }
                               if (!all || d / 4 < a) continue;
                               const int e = d / 4 - int(b / 10.0 * a);
                               out.Put(x, y,
                                       Rgb(std::max(0, R(p) - e), std::max(0, G(p) - e),
                                           std::max(0, B(p) - e)));
                           }
                   },
                   uint32_t(a + b), 25, 64, 9);
}

TEST(Filters, EveryFilterRunsOnTinyAndEmptySelectionsWithoutWritingOutside) {
    for (const FilterRecord& r : FilterTable())
        for (auto [w, h] : {std::pair{1, 1}, {2, 3}, {17, 5}}) {
            TestLayer before(w, h);
            before.Randomise(uint32_t(w + h), 3, true);
            std::fill(before.selection.begin(), before.selection.end(), uint8_t(0));
            TestLayer out = before;
            Rand15 random(5);
            FilterEnvironment env;
            env.random = &random;
            RunFilter(r.id, DefaultFilterValues(r.id), before.View(), out.View(), env);
            // Nothing selected: nothing changes (the warps may still make pixels opaque).
            EXPECT_TRUE(out.SamePixels(before)) << r.utf8Name;
        }
}
