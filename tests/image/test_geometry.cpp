// Flips, quarter turns, free rotation and resampling against literal references: pixel by
// pixel in screen coordinates, and the resampling formulas in floating point.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "image/RaViru.h"
#include "image/effects/Geometry.h"

using namespace quillet;

namespace {

// A plane with its own storage, rows bottom-up, padded to 4 bytes like the layers.
struct Plane {
    int width, height, bits;
    size_t stride;
    std::vector<uint8_t> bytes;
    Plane(int w, int h, int b)
        : width(w),
          height(h),
          bits(b),
          stride((size_t(b) * size_t(w) + 31) / 32 * 4),
          bytes(stride * size_t(h), 0) {}
    PlaneRef ref() { return PlaneRef{bytes.data(), stride, width, height, bits}; }
    ConstPlaneRef cref() const { return ConstPlaneRef{bytes.data(), stride, width, height, bits}; }

    // Pixel value at screen position (x, Y): Y counts from the top.
    uint32_t at(int x, int Y) const {
        const uint8_t* row = bytes.data() + size_t(height - 1 - Y) * stride;
        if (bits == 1) return (row[x / 8] >> (7 - x % 8)) & 1;
        if (bits == 4) return (row[x / 2] >> (x % 2 ? 0 : 4)) & 15;
        uint32_t v = 0;
        for (int k = 0; k < bits / 8; ++k)
            v |= uint32_t(row[size_t(x) * (bits / 8) + k]) << (8 * k);
        return v;
    }
    bool samePixels(const Plane& o) const {
        if (o.width != width || o.height != height) return false;
        for (int Y = 0; Y < height; ++Y)
            for (int x = 0; x < width; ++x)
                if (at(x, Y) != o.at(x, Y)) return false;
        return true;
    }
};

Plane randomPlane(int w, int h, int bits, unsigned seed) {
    Plane p(w, h, bits);
    std::mt19937 rng(seed);
    for (auto& b : p.bytes) b = uint8_t(rng());
    return p;
}

Plane turned(const Plane& src, QuarterTurn turn, int threads = 1) {
    int w, h;
    TurnedSize(turn, src.width, src.height, w, h);
    Plane dst(w, h, src.bits);
    TurnPlane(src.cref(), dst.ref(), turn, threads);
    return dst;
}

const int kDepths[] = {1, 4, 8, 24, 32};

}  // namespace

// Clockwise on screen, the top row becomes the right column: (x, Y) goes to (h − 1 − Y, x).
TEST(GeometryTurn, EveryPixelMovesToItsPlaceAtEveryDepthAndSize) {
    for (int bits : kDepths)
        for (auto [w, h] : {std::pair{1, 1}, {7, 5}, {8, 6}, {13, 70}, {130, 67}}) {
            SCOPED_TRACE(testing::Message() << bits << " bits " << w << "x" << h);
            const Plane src = randomPlane(w, h, bits, unsigned(w * 31 + h + bits));
            const Plane cw = turned(src, QuarterTurn::Clockwise);
            const Plane acw = turned(src, QuarterTurn::Anticlockwise);
            const Plane half = turned(src, QuarterTurn::Half);
            ASSERT_EQ(cw.width, h);
            ASSERT_EQ(cw.height, w);
            ASSERT_EQ(half.width, w);
            bool ok = true;
            for (int Y = 0; Y < h && ok; ++Y)
                for (int x = 0; x < w && ok; ++x) {
                    const uint32_t v = src.at(x, Y);
                    ok = cw.at(h - 1 - Y, x) == v && acw.at(Y, w - 1 - x) == v &&
                         half.at(w - 1 - x, h - 1 - Y) == v;
                }
            EXPECT_TRUE(ok);
        }
}

TEST(GeometryTurn, FourQuarterTurnsAndHalfTurnsGiveBackTheBytes) {
    for (int bits : kDepths) {
        SCOPED_TRACE(bits);
        const Plane src = randomPlane(93, 41, bits, 7u + unsigned(bits));
        Plane p = src;
        for (int i = 0; i < 4; ++i) p = turned(p, QuarterTurn::Clockwise);
        EXPECT_TRUE(p.samePixels(src));
        EXPECT_TRUE(turned(turned(src, QuarterTurn::Anticlockwise), QuarterTurn::Clockwise)
                        .samePixels(src));
        // 180 equals both flips.
        Plane flipped = src;
        FlipHorizontal(flipped.ref());
        FlipVertical(flipped.ref());
        EXPECT_TRUE(turned(src, QuarterTurn::Half).samePixels(flipped));
    }
}

TEST(GeometryTurn, TwoThreadsGiveTheOutputOfOne) {
    for (int bits : {8, 24, 32}) {
        const Plane src = randomPlane(700, 520, bits, 3u);
        for (QuarterTurn t :
             {QuarterTurn::Clockwise, QuarterTurn::Anticlockwise, QuarterTurn::Half})
            EXPECT_EQ(turned(src, t, 1).bytes, turned(src, t, 2).bytes);
    }
}

TEST(GeometryFlip, MirrorsInPlaceAtEveryDepth) {
    for (int bits : kDepths)
        for (int w : {1, 2, 9, 33}) {
            const Plane src = randomPlane(w, 5, bits, unsigned(w + bits));
            Plane h = src, v = src;
            FlipHorizontal(h.ref());
            FlipVertical(v.ref());
            for (int Y = 0; Y < 5; ++Y)
                for (int x = 0; x < w; ++x) {
                    ASSERT_EQ(h.at(x, Y), src.at(w - 1 - x, Y)) << bits << " bits";
                    ASSERT_EQ(v.at(x, Y), src.at(x, 4 - Y)) << bits << " bits";
                }
        }
}

TEST(GeometryCopy, PlacesAndClipsAtEveryDepth) {
    for (int bits : kDepths) {
        const Plane src = randomPlane(11, 7, bits, 5u);
        Plane dst(9, 6, bits);
        CopyPlaneAt(src.cref(), dst.ref(), -3, 2);  // stored rows: 2 up from the bottom
        for (int Y = 0; Y < 6; ++Y)
            for (int x = 0; x < 9; ++x) {
                const int sx = x + 3, storedRow = (5 - Y) - 2;
                const uint32_t want =
                    storedRow >= 0 && storedRow < 7 && sx < 11 ? src.at(sx, 6 - storedRow) : 0;
                ASSERT_EQ(dst.at(x, Y), want) << bits << " bits at " << x << "," << Y;
            }
    }
}

// The general routine follows its formula; a quarter angle through it repeats index 0, which
// is why the commands turn quarter angles with TurnPlane instead.
TEST(GeometryRotate, FollowsTheNearestNeighbourFormula) {
    const Plane src = randomPlane(23, 17, 24, 9u);
    std::vector<uint8_t> alpha(23 * 17);  // rows of width bytes, as the layers keep them
    for (size_t i = 0; i < alpha.size(); ++i) alpha[i] = uint8_t(i % 251 + 1);
    for (double degrees : {30.0, -45.5, 90.0, 200.0}) {
        const RotationBox box = RotatedBox(23, 17, degrees);
        Plane dst(box.width, box.height, 24);
        std::vector<uint8_t> dstAlpha(size_t(box.width) * size_t(box.height));
        const uint8_t outside[3] = {1, 2, 3};
        RotatePlane(src.cref(), alpha.data(), dst.ref(), dstAlpha.data(), degrees, outside);
        const double th = -degrees * 2 * std::acos(0.0) / 180, c = std::cos(th), s = std::sin(th);
        for (int i = box.minY; i < box.minY + box.height; ++i)
            for (int j = box.minX; j < box.minX + box.width; ++j) {
                const int sx = int(j * c + i * s - 0.5), sy = int(i * c - j * s - 0.5);
                const bool in = sx >= 0 && sy >= 0 && sx < 23 && sy < 17;
                const uint8_t* got =
                    dst.bytes.data() + size_t(i - box.minY) * dst.stride + size_t(j - box.minX) * 3;
                const uint8_t* want =
                    in ? src.bytes.data() + size_t(sy) * src.stride + sx * 3 : outside;
                ASSERT_EQ(std::memcmp(got, want, 3), 0) << degrees;
                ASSERT_EQ(dstAlpha[size_t(i - box.minY) * box.width + size_t(j - box.minX)],
                          in ? alpha[size_t(sy) * 23 + sx] : 0);
            }
    }
    EXPECT_EQ(RotatedBox(64, 48, 90).width, 48);
    EXPECT_EQ(RotatedBox(64, 48, 90).height, 64);
}

namespace {

// The literal bilinear rule with the edge pixel standing in outside the layer.
uint8_t bilinearReference(const Plane& src, int ch, int channels, int u, int v, double rx,
                          double ry) {
    const double X = rx * (u + 0.5) - 0.5, Y = ry * (v + 0.5) - 0.5;
    const double x0 = std::floor(X), y0 = std::floor(Y);
    const int fx = int((X - x0) * 256), fy = int((Y - y0) * 256);
    const int q = (fx * fy) >> 8;
    auto c = [&](int x, int y) {
        x = std::clamp(x, 0, src.width - 1);
        y = std::clamp(y, 0, src.height - 1);
        return int(src.bytes[size_t(y) * src.stride + size_t(x) * channels + ch]);
    };
    const int x = int(x0), y = int(y0);
    return uint8_t(((256 - fx - fy + q) * c(x, y) + (fx - q) * c(x + 1, y) +
                    (fy - q) * c(x, y + 1) + q * c(x + 1, y + 1)) >>
                   8);
}

// Each source pixel's unit square weighted by its overlap with the box around (X, Y).
double areaReference(const Plane& src, int ch, int channels, int u, int v, double rx, double ry) {
    const double X = rx * (u + 0.5) - 0.5, Y = ry * (v + 0.5) - 0.5;
    double sum = 0, area = 0;
    for (int y = 0; y < src.height; ++y) {
        const double oy = std::min(Y + ry / 2, y + 0.5) - std::max(Y - ry / 2, y - 0.5);
        if (oy <= 0) continue;
        for (int x = 0; x < src.width; ++x) {
            const double ox = std::min(X + rx / 2, x + 0.5) - std::max(X - rx / 2, x - 0.5);
            if (ox <= 0) continue;
            sum += ox * oy * src.bytes[size_t(y) * src.stride + size_t(x) * channels + ch];
            area += ox * oy;
        }
    }
    return sum / area;
}

Plane resampled(const Plane& src, int w, int h, int threads = 1) {
    Plane dst(w, h, src.bits);
    ResamplePlane(src.cref(), dst.ref(),
                  ResampleScale{double(src.width) / w, double(src.height) / h}, threads);
    return dst;
}

}  // namespace

TEST(GeometryResample, EnlargingIsTheBilinearRuleExactly) {
    for (int bits : {8, 24, 32}) {
        const int ch = bits / 8;
        const Plane src = randomPlane(17, 11, bits, 21u);
        for (auto [w, h] : {std::pair{40, 23}, {17, 30}, {51, 33}}) {
            const Plane dst = resampled(src, w, h);
            const double rx = 17.0 / w, ry = 11.0 / h;
            for (int v = 0; v < h; ++v)
                for (int u = 0; u < w; ++u)
                    for (int k = 0; k < ch; ++k)
                        ASSERT_EQ(dst.bytes[size_t(v) * dst.stride + size_t(u) * ch + k],
                                  bilinearReference(src, k, ch, u, v, rx, ry))
                            << bits << " bits " << w << "x" << h << " at " << u << "," << v;
        }
    }
}

TEST(GeometryResample, ReducingIsTheAreaAverageWithinOne) {
    for (int bits : {8, 24, 32}) {
        const int ch = bits / 8;
        const Plane src = randomPlane(37, 29, bits, 4u);
        for (auto [w, h] : {std::pair{10, 7}, {36, 5}, {19, 29}, {50, 13}}) {
            const Plane dst = resampled(src, w, h);
            const double rx = 37.0 / w, ry = 29.0 / h;
            for (int v = 0; v < h; ++v)
                for (int u = 0; u < w; ++u)
                    for (int k = 0; k < ch; ++k)
                        ASSERT_NEAR(dst.bytes[size_t(v) * dst.stride + size_t(u) * ch + k],
                                    areaReference(src, k, ch, u, v, rx, ry), 1.0)
                            << bits << " bits " << w << "x" << h << " at " << u << "," << v;
        }
    }
}

TEST(GeometryResample, HalvingAveragesTwoByTwoBlocksRounded) {
    const Plane src = randomPlane(100, 100, 24, 77u);
    const Plane dst = resampled(src, 50, 50);
    for (int v = 0; v < 50; ++v)
        for (int u = 0; u < 50; ++u)
            for (int k = 0; k < 3; ++k) {
                int sum = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        sum += src.bytes[size_t(2 * v + dy) * src.stride + (2 * u + dx) * 3 + k];
                ASSERT_EQ(dst.bytes[size_t(v) * dst.stride + u * 3 + k], (sum + 2) / 4);
            }
}

// An enlarged picture of one colour keeps that colour up to its edges: no line of white or of
// the background along the last row and column.
TEST(GeometryResample, EnlargedEdgesKeepTheEdgeColour) {
    Plane src(5, 4, 24);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            std::memcpy(&src.bytes[size_t(y) * src.stride + x * 3], "\x20\x40\x60", 3);
    const Plane dst = resampled(src, 23, 17);
    for (int v = 0; v < 17; ++v)
        for (int u = 0; u < 23; ++u)
            ASSERT_EQ(std::memcmp(&dst.bytes[size_t(v) * dst.stride + u * 3], "\x20\x40\x60", 3), 0)
                << u << "," << v;
}

TEST(GeometryResample, TwoThreadsGiveTheOutputOfOneAndAlphaTakesTheNearestPixel) {
    const Plane src = randomPlane(640, 480, 24, 12u);
    for (auto [w, h] : {std::pair{320, 240}, {1000, 700}, {333, 901}})
        EXPECT_EQ(resampled(src, w, h, 1).bytes, resampled(src, w, h, 2).bytes);

    Plane alpha(4, 4, 8);
    for (int i = 0; i < 16; ++i) alpha.bytes[size_t(i / 4) * alpha.stride + i % 4] = uint8_t(i);
    Plane big(8, 8, 8);
    ResampleNearest(alpha.cref(), big.ref(), ResampleScale{0.5, 0.5}, 2);
    for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u)
            EXPECT_EQ(big.bytes[size_t(v) * big.stride + u], (v / 2) * 4 + u / 2);
}

TEST(GeometryMirror, ImageObjectMirrorsAtEveryDepth) {
    for (int bits : {1, 4, 8, 24, 32}) {
        RaViru image(9, 4, bits, ImageKind::Bmp);
        ASSERT_TRUE(image.HasBlock());
        std::mt19937 rng{unsigned(bits)};
        for (int y = 0; y < 4; ++y)
            for (uint32_t i = 0; i < image.rowBytes; ++i) image.Row(y)[i] = uint8_t(rng());
        RaViru original(image, true);
        MirrorImage(image);
        Plane a(9, 4, bits), b(9, 4, bits);
        for (int y = 0; y < 4; ++y) {
            std::memcpy(&a.bytes[size_t(y) * a.stride], original.Row(y), a.stride);
            std::memcpy(&b.bytes[size_t(y) * b.stride], image.Row(y), b.stride);
        }
        for (int Y = 0; Y < 4; ++Y)
            for (int x = 0; x < 9; ++x) ASSERT_EQ(b.at(x, Y), a.at(8 - x, Y)) << bits;
        MirrorImageRows(image);
        for (int y = 0; y < 4; ++y)
            std::memcpy(&b.bytes[size_t(y) * b.stride], image.Row(y), b.stride);
        for (int Y = 0; Y < 4; ++Y)
            for (int x = 0; x < 9; ++x) ASSERT_EQ(b.at(x, Y), a.at(8 - x, 3 - Y)) << bits;
    }
}
