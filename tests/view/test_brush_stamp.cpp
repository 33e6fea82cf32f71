// The brush stamp against a literal per-pixel reference, its sizes, alpha and selection rules,
// and the line walker over every octant.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <utility>

#include "image/codecs/NearestPalette.h"
#include "view/tools/BrushStamp.h"
#include "view/tools/LineWalker.h"

using namespace quillet;

namespace {

struct Plane {
    int width, height, bpp;
    std::vector<uint8_t> pixels, alpha, selection;
    Plane(int w, int h, int bytes = 3, uint32_t seed = 7) : width(w), height(h), bpp(bytes) {
        std::mt19937 rng(seed);
        pixels.resize(size_t(w) * h * bytes);
        alpha.resize(size_t(w) * h);
        for (auto& b : pixels) b = uint8_t(rng());
        for (auto& a : alpha) a = uint8_t(rng());
    }
    LayerPixels View() {
        LayerPixels p;
        p.pixels = pixels.data();
        p.stride = size_t(width) * bpp;
        p.alpha = alpha.data();
        p.width = width;
        p.height = height;
        p.bytesPerPixel = bpp;
        p.selection = selection.empty() ? nullptr : selection.data();
        return p;
    }
    StampTarget Target() { return {View()}; }
};

// The stamp as the rule reads, pixel by pixel, with L = d² / R² and R² = m² / 2 kept as exact
// fractions, so that each trunc() is taken of the true value.
struct Weight {
    int64_t num, den;  // L = num / den
};
Weight WeightAt(int size, bool soft, int dx, int dy) {
    const int m = std::min(size, 25);
    if (!soft) return {0, 1};
    const int64_t d2 = int64_t(dx) * dx + int64_t(dy) * dy, r2twice = int64_t(m) * m;
    return 2 * d2 >= r2twice ? Weight{1, 1} : Weight{2 * d2, r2twice};  // min(d² / R², 1)
}

void ReferencePaint(Plane& pl, int size, bool soft, int px, int py, uint32_t c) {
    const int m = std::min(size, 25);
    for (int y = py - m; y < py + m; ++y)
        for (int x = px - m; x < px + m; ++x) {
            if (x < 0 || y < 0 || x >= pl.width || y >= pl.height) continue;
            if (!pl.selection.empty() && pl.selection[size_t(y) * pl.width + x] == 0) continue;
            const Weight L = WeightAt(size, soft, x - px, y - py);
            if (L.num == L.den) continue;  // L = 1: untouched
            uint8_t* p = pl.pixels.data() + (size_t(y) * pl.width + x) * pl.bpp;
            const int64_t ch[3] = {c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF};
            // old × L + c × (1 − L)
            for (int k = 0; k < 3; ++k)
                p[k] = uint8_t((p[k] * L.num + ch[k] * (L.den - L.num)) / L.den);
            uint8_t& a = pl.alpha[size_t(y) * pl.width + x];
            const int64_t rest = 255 * (L.den - L.num) / L.den;  // trunc((1 − L) × 255)
            a = uint8_t(std::max<int64_t>(a, std::min<int64_t>(255, 2 * rest)));
        }
}

void ReferenceErase(Plane& pl, int size, bool soft, int px, int py) {
    const int m = std::min(size, 25);
    for (int y = py - m; y < py + m; ++y)
        for (int x = px - m; x < px + m; ++x) {
            if (x < 0 || y < 0 || x >= pl.width || y >= pl.height) continue;
            const Weight L = WeightAt(size, soft, x - px, y - py);
            uint8_t& a = pl.alpha[size_t(y) * pl.width + x];
            a = uint8_t(L.num * 255 * a / 255 / L.den);  // trunc(L × 255 × a / 255)
        }
}

}  // namespace

TEST(BrushStamp, MatchesTheReferenceAtEverySizeAndAtTheEdges) {
    std::mt19937 rng(3);
    for (int size = 2; size <= 30; ++size)
        for (bool soft : {true, false}) {
            Plane fast(40, 30, 3, uint32_t(size)), slow = fast;
            const BrushStamp stamp(size, soft);
            for (int k = 0; k < 4; ++k) {
                // Positions near and beyond the edges too: the square is clipped per pixel.
                const int px = int(rng() % 60) - 10, py = int(rng() % 50) - 10;
                const uint32_t c = rng() & 0xFFFFFF;
                stamp.Paint(fast.Target(), px, py, c);
                ReferencePaint(slow, size, soft, px, py, c);
                ASSERT_EQ(fast.pixels, slow.pixels) << size << soft;
                ASSERT_EQ(fast.alpha, slow.alpha) << size << soft;
                stamp.Erase(fast.View(), px + 3, py);
                ReferenceErase(slow, size, soft, px + 3, py);
                ASSERT_EQ(fast.alpha, slow.alpha) << size << soft;
            }
        }
}

TEST(BrushStamp, SizesAboveTwentyFivePaintLikeTwentyFive) {
    for (bool soft : {true, false}) {
        Plane a(80, 80), b = a;
        BrushStamp(30, soft).Paint(a.Target(), 40, 40, 0x123456);
        BrushStamp(25, soft).Paint(b.Target(), 40, 40, 0x123456);
        EXPECT_EQ(a.pixels, b.pixels);
        EXPECT_EQ(a.alpha, b.alpha);
    }
    EXPECT_EQ(BrushStamp(30, true).Radius(), 25);
}

TEST(BrushStamp, HardSquareSoftFalloffAndAlpha) {
    // A hard size 3 fills the 6 × 6 square px−3 ≤ x < px+3, nothing else.
    Plane hard(20, 20);
    hard.alpha.assign(hard.alpha.size(), 0);
    const Plane before = hard;
    EXPECT_EQ(BrushStamp(3, false).Paint(hard.Target(), 10, 10, 0xABCDEF),
              (PixelArea{7, 7, 13, 13}));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const size_t i = size_t(y) * 20 + x;
            const bool in = x >= 7 && x < 13 && y >= 7 && y < 13;
            EXPECT_EQ(hard.alpha[i], in ? 255 : 0) << x << "," << y;
            if (in) {
                EXPECT_EQ(hard.pixels[i * 3], 0xEF);
                EXPECT_EQ(hard.pixels[i * 3 + 2], 0xAB);
            } else {
                EXPECT_EQ(hard.pixels[i * 3], before.pixels[i * 3]);
            }
        }

    // A soft size 4 (R² = 8) leaves every pixel at squared distance 8 or more alone; over a
    // transparent pixel the centre becomes 255 and L = 0.5 (distance 2) 254.
    Plane soft(20, 20);
    soft.alpha.assign(soft.alpha.size(), 0);
    const Plane untouched = soft;
    BrushStamp(4, true).Paint(soft.Target(), 10, 10, 0x000000);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const size_t i = size_t(y) * 20 + x;
            if ((x - 10) * (x - 10) + (y - 10) * (y - 10) >= 8) {
                EXPECT_EQ(soft.alpha[i], 0);
                EXPECT_EQ(soft.pixels[i * 3 + 1], untouched.pixels[i * 3 + 1]);
            }
        }
    EXPECT_EQ(soft.alpha[10 * 20 + 10], 255);
    EXPECT_EQ(soft.alpha[10 * 20 + 12], 254);

    // Over an opaque pixel the alpha stays 255; a colour painted over itself stays itself.
    Plane opaque(20, 20);
    opaque.alpha.assign(opaque.alpha.size(), 255);
    for (size_t i = 0; i < opaque.pixels.size(); i += 3) {
        opaque.pixels[i] = 200;
        opaque.pixels[i + 1] = 100;
        opaque.pixels[i + 2] = 50;
    }
    const Plane same = opaque;
    BrushStamp(7, true).Paint(opaque.Target(), 9, 9, 0x3264C8);
    EXPECT_EQ(opaque.pixels, same.pixels);
    EXPECT_EQ(opaque.alpha, same.alpha);
}

TEST(BrushStamp, EraserAndSizeOne) {
    Plane p(20, 20);
    p.alpha.assign(p.alpha.size(), 255);
    const Plane before = p;
    BrushStamp(3, false).Erase(p.View(), 10, 10);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool in = x >= 7 && x < 13 && y >= 7 && y < 13;
            EXPECT_EQ(p.alpha[size_t(y) * 20 + x], in ? 0 : 255);
        }
    EXPECT_EQ(p.pixels, before.pixels);  // colours stay

    // Size 1 erases by 50 a stamp down to 0, and paints its one pixel opaque.
    Plane one(5, 5);
    one.alpha.assign(one.alpha.size(), 120);
    const BrushStamp tiny(1, true);
    EXPECT_EQ(tiny.Erase(one.View(), 2, 2), (PixelArea{2, 2, 3, 3}));
    EXPECT_EQ(one.alpha[12], 70);
    tiny.Erase(one.View(), 2, 2);
    EXPECT_EQ(one.alpha[12], 20);
    tiny.Erase(one.View(), 2, 2);
    EXPECT_EQ(one.alpha[12], 0);
    EXPECT_EQ(one.alpha[11], 120);
    tiny.Paint(one.Target(), 1, 2, 0x102030);
    EXPECT_EQ(one.alpha[11], 255);
    EXPECT_EQ(one.pixels[11 * 3], 0x30);
    EXPECT_TRUE(tiny.Paint(one.Target(), 5, 0, 0).Empty());  // outside

    // Size 0 draws nothing.
    const Plane still = one;
    EXPECT_TRUE(PaintLine(one.Target(), BrushStamp(0, true), 0, 0, 4, 4, 0).Empty());
    EXPECT_EQ(one.pixels, still.pixels);
}

TEST(BrushStamp, OnlyTheSelectionChanges) {
    Plane p(30, 30);
    p.selection.assign(900, 0);
    for (int y = 10; y < 20; ++y)
        for (int x = 10; x < 20; ++x) p.selection[size_t(y) * 30 + x] = (x + y) % 3 ? 1 : 2;
    const Plane before = p;
    PaintLine(p.Target(), BrushStamp(6, false), 0, 15, 29, 15, 0x00FF00);
    EraseLine(p.View(), BrushStamp(4, false), 15, 0, 15, 29);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
            const size_t i = size_t(y) * 30 + x;
            if (p.selection[i]) continue;
            ASSERT_EQ(p.alpha[i], before.alpha[i]);
            ASSERT_EQ(p.pixels[i * 3 + 1], before.pixels[i * 3 + 1]);
        }
    EXPECT_EQ(p.pixels[(15 * 30 + 12) * 3 + 1], 0xFF);
}

TEST(BrushStamp, IndexedLayersTakeTheNearestEntry) {
    std::vector<Rgbquad> palette = {{0, 0, 0, 0}, {0, 0, 250, 0}, {255, 255, 255, 0}};
    NearestPalette nearest(palette.data(), 3);
    Plane p(10, 10, 1);
    p.pixels.assign(100, 2);
    StampTarget t{p.View(), palette.data(), 3, &nearest};
    BrushStamp(2, false).Paint(t, 5, 5, 0xF01010);  // reddish: entry 1
    EXPECT_EQ(p.pixels[5 * 10 + 5], 1);
    EXPECT_EQ(p.pixels[3 * 10 + 3], 1);  // the square reaches 3..6
    EXPECT_EQ(p.pixels[2 * 10 + 2], 2);
}

TEST(LineWalker, EveryOctantVisitsEachPixelOnce) {
    std::mt19937 rng(11);
    std::vector<std::pair<int, int>> ends = {{7, 3},   {3, 7},  {-3, 7}, {-7, 3}, {-7, -3},
                                             {-3, -7}, {3, -7}, {7, -3}, {5, 5},  {-5, 5},
                                             {9, 0},   {0, -9}, {0, 0}};
    for (int i = 0; i < 400; ++i) ends.push_back({int(rng() % 81) - 40, int(rng() % 81) - 40});
    for (auto [dx, dy] : ends) {
        const int x0 = 100, y0 = 50;
        std::vector<std::pair<int, int>> pts;
        WalkLine(x0, y0, x0 + dx, y0 + dy, [&](int x, int y) { pts.push_back({x, y}); });
        const int major = std::max(std::abs(dx), std::abs(dy));
        ASSERT_EQ(int(pts.size()), major + 1) << dx << "," << dy;
        EXPECT_EQ(pts.front(), std::make_pair(x0, y0));
        EXPECT_EQ(pts.back(), std::make_pair(x0 + dx, y0 + dy));
        EXPECT_EQ(std::set(pts.begin(), pts.end()).size(), pts.size());
        for (size_t k = 0; k < pts.size(); ++k) {
            if (k) {  // 8-connected, one step along the major axis each time
                EXPECT_LE(std::abs(pts[k].first - pts[k - 1].first), 1);
                EXPECT_LE(std::abs(pts[k].second - pts[k - 1].second), 1);
            }
            // Each point lies within half a pixel of the true line along the minor axis.
            const double t = major ? double(k) / major : 0;
            EXPECT_LE(std::abs(pts[k].first - (x0 + t * dx)), 0.5 + 1e-9);
            EXPECT_LE(std::abs(pts[k].second - (y0 + t * dy)), 0.5 + 1e-9);
        }
    }
}

TEST(LineWalker, ScaleShortensTheWalk) {
    std::vector<std::pair<int, int>> pts;
    WalkLine(
        0, 0, -10, 5,
        [&](int x, int y) {
            pts.push_back({x, y});
        },
        0.55);
    ASSERT_EQ(pts.size(), 6u);  // trunc(10 × 0.55) = 5 steps, trunc(5 × 0.55) = 2
    EXPECT_EQ(pts.back(), std::make_pair(-5, 2));
}
