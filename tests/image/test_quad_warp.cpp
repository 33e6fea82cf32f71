// The warp onto a quadrilateral against a slow literal reference: grid points as intersections
// of the lines through equal fractions of opposite edges, and each source pixel drawn into the
// cell its four grid points span.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "image/effects/QuadWarp.h"

using namespace quillet;

namespace {

struct P {
    double x, y;
};

P lerp(P a, P b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

P corner(const WarpQuad& q, int k) { return {q.x[k], q.y[k]}; }

// The grid point (i / w, j / h), j counted from the top; false when the lines are parallel.
bool gridPoint(const WarpQuad& q, int i, int j, int w, int h, P& out) {
    const double u = double(i) / w, v = double(j) / h;
    const P top = lerp(corner(q, 3), corner(q, 2), u), bottom = lerp(corner(q, 0), corner(q, 1), u);
    const P left = lerp(corner(q, 3), corner(q, 0), v), right = lerp(corner(q, 2), corner(q, 1), v);
    const double d1x = bottom.x - top.x, d1y = bottom.y - top.y;
    const double d2x = right.x - left.x, d2y = right.y - left.y;
    const double det = d1x * d2y - d1y * d2x;
    if (std::fabs(det) < 1e-9) return false;
    const double t = ((left.x - top.x) * d2y - (left.y - top.y) * d2x) / det;
    out = {top.x + t * d1x, top.y + t * d1y};
    return true;
}

double side(P a, P b, P p) { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); }

// Source pixel (top-down index) drawn at each destination pixel, -1 where none or on an edge.
std::vector<int> literalNearest(const WarpQuad& q, int w, int h, int dw, int dh) {
    std::vector<int> owner(size_t(dw) * size_t(dh), -1);
    std::vector<P> g(size_t(w + 1) * size_t(h + 1));
    for (int j = 0; j <= h; ++j)
        for (int i = 0; i <= w; ++i)
            EXPECT_TRUE(gridPoint(q, i, j, w, h, g[size_t(j) * (w + 1) + i]));
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const P c[4] = {g[size_t(j) * (w + 1) + i], g[size_t(j) * (w + 1) + i + 1],
                            g[size_t(j + 1) * (w + 1) + i + 1], g[size_t(j + 1) * (w + 1) + i]};
            double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9;
            for (const P& p : c)
                x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y),
                y1 = std::max(y1, p.y);
            for (int y = std::max(0, int(y0) - 1); y <= std::min(dh - 1, int(y1) + 1); ++y)
                for (int x = std::max(0, int(x0) - 1); x <= std::min(dw - 1, int(x1) + 1); ++x) {
                    const P p{x + 0.5, y + 0.5};
                    double s[4];
                    for (int k = 0; k < 4; ++k) s[k] = side(c[k], c[(k + 1) & 3], p);
                    const bool in = (s[0] > 1e-7 && s[1] > 1e-7 && s[2] > 1e-7 && s[3] > 1e-7) ||
                                    (s[0] < -1e-7 && s[1] < -1e-7 && s[2] < -1e-7 && s[3] < -1e-7);
                    if (in) owner[size_t(y) * dw + x] = j * w + i;
                }
        }
    return owner;
}

}  // namespace

TEST(QuadWarp, NearestSamplingDrawsEachSourcePixelIntoItsCell) {
    const int w = 13, h = 9, dw = 40, dh = 34;
    // One byte a pixel holding its own index, so the destination tells which pixel it took.
    std::vector<uint8_t> src(size_t(w) * h), alpha(size_t(w) * h, 255);
    for (int r = 0; r < h; ++r)
        for (int x = 0; x < w; ++x) src[size_t(r) * w + x] = uint8_t((h - 1 - r) * w + x);
    const WarpQuad quads[] = {
        {{2.3, 37.1, 30.4, 5.2}, {31.7, 28.2, 3.3, 6.6}},  // distorted
        {{8.5, 31.5, 36.2, 4.1}, {30.2, 30.2, 2.4, 2.4}},  // trapezoid
        {{36.6, 3.1, 7.7, 33.9}, {4.4, 9.8, 31.1, 26.3}},  // turned about half a turn
    };
    for (const WarpQuad& q : quads) {
        std::vector<uint8_t> dst(size_t(dw) * dh), da(size_t(dw) * dh);
        const uint8_t outside = 0;
        WarpPlane({ConstPlaneRef{src.data(), size_t(w), w, h, 8}, alpha.data(), nullptr},
                  {PlaneRef{dst.data(), size_t(dw), dw, dh, 8}, da.data(), nullptr, &outside}, q,
                  WarpSampling::Nearest);
        const std::vector<int> owner = literalNearest(q, w, h, dw, dh);
        int drawn = 0;
        for (int y = 0; y < dh; ++y)
            for (int x = 0; x < dw; ++x) {
                const int o = owner[size_t(y) * dw + x];
                if (o < 0) continue;
                const size_t at = size_t(dh - 1 - y) * dw + x;
                ASSERT_EQ(da[at], 255) << x << ',' << y;
                ASSERT_EQ(dst[at], o) << x << ',' << y;
                ++drawn;
            }
        EXPECT_GT(drawn, 200);
    }
}

TEST(QuadWarp, GridValidityFindsParallelLinesAnywhereOnTheGrid) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-6, 6);
    int invalid = 0;
    for (int n = 0; n < 3000; ++n) {
        WarpQuad q;
        for (int k = 0; k < 4; ++k) q.x[k] = coord(rng), q.y[k] = coord(rng);
        const int w = 1 + n % 5, h = 1 + n % 3;
        bool brute = true;
        P p;
        for (int j = 0; j <= h && brute; ++j)
            for (int i = 0; i <= w && brute; ++i) brute = gridPoint(q, i, j, w, h, p);
        ASSERT_EQ(WarpGridValid(q, w, h), brute) << n;
        invalid += !brute;
    }
    EXPECT_GT(invalid, 100);
}

// Smooth sampling blends neighbours by alpha: a transparent neighbour's colour never shows.
TEST(QuadWarp, BilinearEdgesKeepTheColourOfTheOpaquePixels) {
    const int w = 4, h = 4, dw = 12, dh = 12;
    std::vector<uint8_t> src(size_t(w) * h * 3, 0), alpha(size_t(w) * h, 255);
    for (int i = 0; i < w * h; ++i) {
        src[size_t(i) * 3 + 2] = 200;                                    // red
        if (i % w == 0) alpha[size_t(i)] = 0, src[size_t(i) * 3] = 255;  // a blue, clear column
    }
    std::vector<uint8_t> dst(size_t(dw) * dh * 3), da(size_t(dw) * dh);
    const uint8_t outside[3] = {255, 255, 255};
    const WarpQuad q{{0.5, 11.5, 11.0, 1.0}, {11.0, 11.5, 0.5, 1.5}};
    WarpPlane({ConstPlaneRef{src.data(), size_t(w) * 3, w, h, 24}, alpha.data(), nullptr},
              {PlaneRef{dst.data(), size_t(dw) * 3, dw, dh, 24}, da.data(), nullptr, outside}, q,
              WarpSampling::Bilinear, 2);
    for (size_t i = 0; i < da.size(); ++i)
        if (da[i] > 0) {
            ASSERT_EQ(dst[i * 3], 0);
            ASSERT_EQ(dst[i * 3 + 2], 200);
        }
}
