// Artistic filters, the radial warp, red-eye and the channel conversions against literal
// references; random filters repeat from a seed.
#include <gtest/gtest.h>

#include <cmath>

#include "image/effects/Artistic.h"
#include "image/effects/ColourTables.h"
#include "image/effects/Filters.h"
#include "image/effects/RadialWarp.h"
#include "image/effects/RedEye.h"
#include "tests/image/TestLayer.h"

using namespace quillet;
using namespace quillet::testsupport;

namespace {

TestLayer Random(int w, int h, uint32_t seed, bool selection = false, int bpp = 3) {
    TestLayer l(w, h, bpp);
    l.Randomise(seed, 5, selection);
    return l;
}

// Smooth colours with noise: what the luminance bands of the window filters meet in pictures.
TestLayer Smooth(int w, int h, uint32_t seed) {
    TestLayer l(w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            l.Put(x, y,
                  Rgb(Clamp(x * 5 + int(rng() % 9)), Clamp(y * 4 + int(rng() % 9)),
                      Clamp(120 + int(rng() % 30))));
    return l;
}

}  // namespace

TEST(LuminanceCurve, MatchesTheFormula) {
    for (bool selection : {false, true}) {
        TestLayer in = Random(31, 17, 4, selection), out = in, ref = in;
        LuminanceCurve(in.View(), out.View());
        int M = 1;
        for (int y = 0; y < in.height; ++y)
            for (int x = 0; x < in.width; ++x) {
                const uint32_t c = in.Colour(x, y);
                M = std::max(M, (G(c) * 59 + R(c) * 30 + B(c) * 11) / 100);
            }
        const double f = 128 / std::log(M + 1.0) * 0.8;
        for (int y = 0; y < in.height; ++y)
            for (int x = 0; x < in.width; ++x) {
                const uint32_t c = in.Colour(x, y);
                const Yuv v = ToYuv(R(c), G(c), B(c));
                const Rgbquad q =
                    FromYuv(int(std::min(255.0, std::sqrt(double(v.y)) * f)), v.u, v.v);
                ref.Put(x, y, Rgb(q.red, q.green, q.blue));
            }
        EXPECT_TRUE(out.SamePixels(ref));
    }
}

TEST(Watercolour, TheMostFrequentBandOfTheWindow) {
    for (bool selection : {false, true}) {
        TestLayer in = selection ? Random(23, 70, 8, true) : Smooth(23, 70, 8);
        TestLayer ref = in;
        for (int y = 0; y < in.height; ++y)
            for (int x = 0; x < in.width; ++x) {
                if (!in.Alpha(x, y)) continue;
                int count[31] = {}, sum[31][3] = {};
                for (int dy = -3; dy <= 3; ++dy)
                    for (int dx = -3; dx <= 3; ++dx) {
                        if (!in.Inside(x + dx, y + dy)) continue;
                        const uint32_t c = in.Colour(x + dx, y + dy);
                        const int b = int(0.59 * G(c) + 0.30 * R(c) + 0.11 * B(c)) * 30 / 255;
                        ++count[b];
                        sum[b][0] += R(c);
                        sum[b][1] += G(c);
                        sum[b][2] += B(c);
                    }
                int best = 0;
                for (int b = 1; b < 31; ++b)
                    if (count[b] > count[best]) best = b;
                ref.Put(x, y,
                        Rgb(sum[best][0] / count[best], sum[best][1] / count[best],
                            sum[best][2] / count[best]));
            }
        for (int threads : {1, 2}) {
            TestLayer out = in;
            Watercolour(in.View(), out.View(), threads);
            EXPECT_TRUE(out.SamePixels(ref)) << threads;
        }
    }
}

TEST(RegionGrowing, FillsFromSeedsInColumnOrder) {
    for (int t : {20, 45, 70}) {
        TestLayer in = Smooth(19, 13, uint32_t(t)), out = in, ref = in;
        in.alpha[5] = 0;
        out.alpha[5] = ref.alpha[5] = 0;
        RegionGrowing(in.View(), out.View(), t);
        std::vector<int> visited(size_t(19 * 13), 0);
        const int dx[8] = {-1, 0, 1, -1, 1, -1, 0, 1}, dy[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
        for (int x = 0; x < 19; ++x)
            for (int y = 0; y < 13; ++y) {
                if (!in.Alpha(x, y) || visited[size_t(y * 19 + x)]) continue;
                const uint32_t c = in.Colour(x, y);
                visited[size_t(y * 19 + x)] = 1;
                std::vector<std::pair<int, int>> stack{{x, y}};
                while (!stack.empty()) {
                    auto [px, py] = stack.back();
                    stack.pop_back();
                    ref.Put(px, py, c);
                    for (int k = 0; k < 8; ++k) {
                        const int nx = px + dx[k], ny = py + dy[k];
                        if (!in.Inside(nx, ny) || visited[size_t(ny * 19 + nx)]) continue;
                        const uint32_t q = in.Colour(nx, ny);
                        if (std::abs(R(q) - R(c)) + std::abs(G(q) - G(c)) + std::abs(B(q) - B(c)) >
                            t)
                            continue;
                        visited[size_t(ny * 19 + nx)] = 1;
                        stack.push_back({nx, ny});
                    }
                }
            }
        EXPECT_TRUE(out.SamePixels(ref)) << t;
    }
}

TEST(RadialWarp, BathroomGlassShiftsColumnsWithinTheLayer) {
    for (bool selection : {false, true}) {
        TestLayer in = Random(70, 21, 12, selection, 4), out = in, ref = in;
        RadialWarp(out.View(), BathroomWarp(in.View(), 0x808080));
        const int cx = 35, cy = 10;
        const int R = int(std::sqrt(float(cy * cy + cx * cx)));
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 70; ++x) {
                if (!in.Alpha(x, y) || !in.Selected(x, y)) continue;
                const float dx = float(cx - x), dy = float(cy - y);
                if (!(std::sqrt(dx * dx + dy * dy) < float(R))) continue;
                const int sx = std::clamp(x + x % 32 - 16, 0, 69);
                std::copy_n(in.At(sx, y), 4, ref.At(x, y));
                ref.alpha[size_t(y * 70 + x)] = 255;
            }
        EXPECT_TRUE(out.SamePixels(ref));
        EXPECT_EQ(out.alpha, ref.alpha);
    }
}

TEST(RadialWarp, LensAndFalloffFollowTheFormulas) {
    TestLayer in = Random(41, 33, 3), out = in, ref = in;
    WarpRequest q = LensWarp(in.View(), 0);
    q.falloff = true;
    q.left = 3;
    q.right = 38;
    q.top = 2;
    q.bottom = 30;
    RadialWarp(out.View(), q);
    const int h = 17, m = 14, cx = 20, cy = 16;
    const float radius = float(int(std::sqrt(float(m * m + h * h))));
    for (int y = 2; y < 30; ++y)
        for (int x = 3; x < 38; ++x) {
            if (!in.Alpha(x, y)) continue;
            const float dx = float(cx - x), dy = float(cy - y);
            const float dist = std::sqrt(dx * dx + dy * dy);
            if (!(dist < radius)) continue;
            const float th = std::atan2(dy, dx), e = dist * dist / radius;
            const int sx = std::clamp(cx - int(std::cos(th) * e * 1.5f * (2.0f / 3.0f)), 3, 37);
            const int sy = std::clamp(cy - int(std::sin(th) * e * 2.0f), 2, 29);
            const int k = x - 3, j = y - 2, kk = k <= h ? k : 2 * h - k,
                      jj = j <= m ? j : 2 * m - j;
            const float w = std::max(
                0.0f, std::min({1.0f, 3.0f * float(kk) / float(h), 3.0f * float(jj) / float(m)}));
            const uint8_t* s = in.At(sx, sy);
            uint8_t* p = ref.At(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] = uint8_t(int(float(p[c]) * (1 - w) + float(s[c]) * w));
            ref.alpha[size_t(y * 41 + x)] = 255;
        }
    EXPECT_TRUE(out.SamePixels(ref));
    // Nothing happens for an empty rectangle.
    TestLayer same = in;
    q.bottom = q.top;
    RadialWarp(same.View(), q);
    EXPECT_TRUE(same.SamePixels(in));
}

TEST(RedEye, FormulaAndTheCentreAtFullStrength) {
    TestLayer l = Random(15, 11, 21, true);
    TestLayer ref = l;
    RemoveRedEye(l.View(), 7);
    int x0 = 99, x1 = 0, y0 = 99, y1 = 0;
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 15; ++x)
            if (ref.Selected(x, y)) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x + 1);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y + 1);
            }
    const double A = double(y0 - y1) * (x0 - x1);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const double d2 = std::pow(x - (x0 + x1) / 2, 2) + std::pow(y - (y0 + y1) / 2, 2);
            const double k = std::min(1.0, std::max(0.0, 1 - 5 * d2 / A) * 0.7);
            const uint32_t c = ref.Colour(x, y);
            ref.Put(x, y, Rgb(int(k * std::min(G(c), B(c)) + (1 - k) * R(c)), G(c), B(c)));
        }
    EXPECT_TRUE(l.SamePixels(ref));

    TestLayer eye(5, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) eye.Put(x, y, Rgb(230, 90, 60));
    RemoveRedEye(eye.View(), 10);
    EXPECT_EQ(eye.Colour(2, 2), Rgb(60, 90, 60));
    EXPECT_EQ(R(eye.Colour(0, 0)), 230);  // 5 d² / A ≥ 1 at the corner
}

TEST(Channels, HslAndYuvOfExtremeColours) {
    EXPECT_EQ(ToHsl(255, 0, 0), (Hsl{0, 255, 128}));
    EXPECT_EQ(ToHsl(0, 255, 0), (Hsl{85, 255, 128}));
    EXPECT_EQ(ToHsl(0, 0, 255), (Hsl{170, 255, 128}));
    EXPECT_EQ(ToHsl(0, 0, 0), (Hsl{170, 0, 0}));
    EXPECT_EQ(ToHsl(255, 255, 255), (Hsl{170, 0, 255}));
    EXPECT_EQ(ToHsl(255, 0, 255), (Hsl{214, 255, 128}));  // dB − dG = −42, modulo 256
    EXPECT_EQ(ToHsl(255, 255, 0).h, 42);
    EXPECT_EQ(ToHsl(1, 0, 0), (Hsl{0, 255, 1}));
    TestLayer l(2, 1);
    l.Put(0, 0, Rgb(255, 0, 0));
    l.Put(1, 0, Rgb(0, 0, 255));
    const auto hsl = SplitChannels(l.View(), ChannelSpace::Hsl);
    EXPECT_EQ(hsl[0], (std::vector<uint8_t>{0, 170}));
    EXPECT_EQ(hsl[1], (std::vector<uint8_t>{255, 255}));
    const auto yuv = SplitChannels(l.View(), ChannelSpace::Yuv);
    EXPECT_EQ(yuv[0], (std::vector<uint8_t>{76, 29}));
    const auto rgb = SplitChannels(l.View(), ChannelSpace::Rgb);
    EXPECT_EQ(rgb[0], (std::vector<uint8_t>{255, 0}));
    EXPECT_EQ(rgb[2], (std::vector<uint8_t>{0, 255}));
}

TEST(FrostedGlass, DrawsAsWrittenDown) {
    for (int r : {0, 1, 3}) {
        TestLayer in = r == 3 ? Random(17, 12, 2) : Smooth(17, 12, uint32_t(r)), out = in, ref = in;
        Rand15 fast(9), slow(9);
        FrostedGlass(in.View(), out.View(), r, fast);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 17; ++x) {
                if (!in.Alpha(x, y)) continue;
                int count[256] = {}, sum[256][3] = {}, N = 0;
                for (int dy = -r; dy <= r; ++dy)
                    for (int dx = -r; dx <= r; ++dx) {
                        if (!in.Inside(x + dx, y + dy)) continue;
                        const uint32_t c = in.Colour(x + dx, y + dy);
                        const int b = int(0.59 * G(c) + 0.30 * R(c) + 0.11 * B(c));
                        ++count[b];
                        sum[b][0] += R(c);
                        sum[b][1] += G(c);
                        sum[b][2] += B(c);
                        ++N;
                    }
                for (int draw = 0; draw < 10001; ++draw) {
                    const int l = std::min(10000, (slow.Next() + 1) * N / 32768);
                    int k = 0, cumulative = 0;
                    for (; k < 256; ++k)
                        if ((cumulative += count[k]) >= l) break;
                    const int chosen = k - 1;
                    if (chosen < 0 || count[chosen] == 0) continue;
                    ref.Put(x, y,
                            Rgb(sum[chosen][0] / count[chosen], sum[chosen][1] / count[chosen],
                                sum[chosen][2] / count[chosen]));
                    break;
                }
            }
        EXPECT_TRUE(out.SamePixels(ref)) << r;
        EXPECT_EQ(fast.State(), slow.State()) << r;
    }
}

TEST(RandomFilters, RepeatFromTheSameSeed) {
    Rand15 a(77), b(77);
    for (int i = 0; i < 12345; ++i) a.Next();
    b.Discard(12345);
    EXPECT_EQ(a.State(), b.State());
    for (int i = 0; i < 1000; ++i) {
        const int v = a.Next();
        ASSERT_TRUE(v >= 0 && v <= 32767);
    }
    for (const FilterRecord& r : FilterTable()) {
        if (!r.random) continue;
        const TestLayer in = Smooth(48, 36, 5);
        auto run = [&](uint32_t seed) {
            TestLayer out = in, from = in;
            Rand15 random(seed);
            FilterEnvironment env;
            env.random = &random;
            RunFilter(r.id, DefaultFilterValues(r.id), from.View(), out.View(), env);
            return out;
        };
        const TestLayer first = run(3), again = run(3), other = run(4);
        EXPECT_TRUE(first.SamePixels(again)) << r.utf8Name;
        EXPECT_FALSE(first.SamePixels(other)) << r.utf8Name;
    }
}
