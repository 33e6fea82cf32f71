// Flips, quarter turns and free rotation.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

#include "image/RaViru.h"
#include "image/effects/Geometry.h"
#include "image/effects/PixelIndex.h"
#include "image/effects/RowThreads.h"

namespace quillet {

namespace {

template <int Bpp>
void reverseRow(uint8_t* row, int width) {
    uint8_t* a = row;
    uint8_t* b = row + size_t(width - 1) * Bpp;
    while (a < b) {
        uint8_t t[Bpp];
        std::memcpy(t, a, Bpp);
        std::memcpy(a, b, Bpp);
        std::memcpy(b, t, Bpp);
        a += Bpp;
        b -= Bpp;
    }
}

// Source position of destination pixel (u, v) for a turn of a w × h source.
struct TurnMap {
    QuarterTurn turn;
    int w, h;
    void at(int u, int v, int& x, int& y) const {
        switch (turn) {
            case QuarterTurn::Clockwise:
                x = w - 1 - v;
                y = u;
                return;
            case QuarterTurn::Anticlockwise:
                x = v;
                y = h - 1 - u;
                return;
            case QuarterTurn::Half:
                x = w - 1 - u;
                y = h - 1 - v;
                return;
        }
    }
};

// Destination rows [first, last) of a quarter turn, in square tiles so that the source rows a
// tile reads stay in the cache while its columns are gathered.
template <int Bpp>
void turnRowsBlocked(const ConstPlaneRef& src, const PlaneRef& dst, QuarterTurn turn, int first,
                     int last) {
    constexpr int kTile = Bpp == 1 ? 128 : 64;
    const ptrdiff_t sstride = ptrdiff_t(src.stride);
    for (int v0 = first; v0 < last; v0 += kTile) {
        const int v1 = std::min(last, v0 + kTile);
        for (int u0 = 0; u0 < dst.width; u0 += kTile) {
            const int u1 = std::min(dst.width, u0 + kTile);
            for (int v = v0; v < v1; ++v) {
                uint8_t* out = dst.data + size_t(v) * dst.stride + size_t(u0) * Bpp;
                // Clockwise: column w − 1 − v, rows u upwards; anticlockwise: column v, rows
                // h − 1 − u downwards.
                const uint8_t* in;
                ptrdiff_t step;
                if (turn == QuarterTurn::Clockwise) {
                    in = src.data + size_t(u0) * src.stride + size_t(src.width - 1 - v) * Bpp;
                    step = sstride;
                } else {
                    in = src.data + size_t(src.height - 1 - u0) * src.stride + size_t(v) * Bpp;
                    step = -sstride;
                }
                for (int u = u0; u < u1; ++u, out += Bpp, in += step) std::memcpy(out, in, Bpp);
            }
        }
    }
}

template <int Bpp>
void halfTurnRows(const ConstPlaneRef& src, const PlaneRef& dst, int first, int last) {
    for (int v = first; v < last; ++v) {
        const uint8_t* in = src.data + size_t(src.height - 1 - v) * src.stride;
        uint8_t* out = dst.data + size_t(v) * dst.stride;
        const uint8_t* p = in + size_t(src.width - 1) * Bpp;
        for (int u = 0; u < dst.width; ++u, out += Bpp, p -= Bpp) std::memcpy(out, p, Bpp);
    }
}

template <int Bpp>
void turnRows(const ConstPlaneRef& src, const PlaneRef& dst, QuarterTurn turn, int first,
              int last) {
    if (turn == QuarterTurn::Half)
        halfTurnRows<Bpp>(src, dst, first, last);
    else
        turnRowsBlocked<Bpp>(src, dst, turn, first, last);
}

void turnRowsIndexed(const ConstPlaneRef& src, const PlaneRef& dst, QuarterTurn turn, int first,
                     int last) {
    const TurnMap map{turn, src.width, src.height};
    for (int v = first; v < last; ++v) {
        uint8_t* out = dst.data + size_t(v) * dst.stride;
        for (int u = 0; u < dst.width; ++u) {
            int x = 0, y = 0;
            map.at(u, v, x, y);
            PutPixelIndex(out, u, dst.bits,
                          PixelIndex(src.data + size_t(y) * src.stride, x, src.bits));
        }
    }
}

}  // namespace

int GeometryThreads(uint64_t pixels) {
    if (pixels < (uint64_t(1) << 18)) return 1;
    return std::clamp(int(std::thread::hardware_concurrency()), 1, 2);
}

void FlipHorizontal(const PlaneRef& p) {
    if (!p.data || p.width < 2) return;
    for (int y = 0; y < p.height; ++y) {
        uint8_t* row = p.data + size_t(y) * p.stride;
        switch (p.bits) {
            case 8:
                std::reverse(row, row + p.width);
                break;
            case 24:
                reverseRow<3>(row, p.width);
                break;
            case 32:
                reverseRow<4>(row, p.width);
                break;
            default:
                for (int a = 0, b = p.width - 1; a < b; ++a, --b) {
                    const unsigned ia = PixelIndex(row, a, p.bits), ib = PixelIndex(row, b, p.bits);
                    PutPixelIndex(row, a, p.bits, ib);
                    PutPixelIndex(row, b, p.bits, ia);
                }
        }
    }
}

void FlipVertical(const PlaneRef& p) {
    if (!p.data) return;
    const size_t bytes = (size_t(p.width) * size_t(p.bits) + 7) / 8;
    std::vector<uint8_t> keep(bytes);
    for (int a = 0, b = p.height - 1; a < b; ++a, --b) {
        uint8_t* ra = p.data + size_t(a) * p.stride;
        uint8_t* rb = p.data + size_t(b) * p.stride;
        std::memcpy(keep.data(), ra, bytes);
        std::memcpy(ra, rb, bytes);
        std::memcpy(rb, keep.data(), bytes);
    }
}

void TurnPlane(const ConstPlaneRef& src, const PlaneRef& dst, QuarterTurn turn, int threads,
               RowProgress progress) {
    if (!src.data || !dst.data || src.width < 1 || src.height < 1) return;
    ForRowBands(dst.height, threads, progress, [&](int first, int last) {
        switch (src.bits) {
            case 8:
                turnRows<1>(src, dst, turn, first, last);
                break;
            case 24:
                turnRows<3>(src, dst, turn, first, last);
                break;
            case 32:
                turnRows<4>(src, dst, turn, first, last);
                break;
            default:
                turnRowsIndexed(src, dst, turn, first, last);
        }
    });
}

void CopyPlaneAt(const ConstPlaneRef& src, const PlaneRef& dst, int x, int y) {
    if (!src.data || !dst.data || src.bits != dst.bits) return;
    const int u0 = std::max(0, -x), u1 = std::min(src.width, dst.width - x);
    const int v0 = std::max(0, -y), v1 = std::min(src.height, dst.height - y);
    if (u0 >= u1) return;
    for (int v = v0; v < v1; ++v) {
        const uint8_t* in = src.data + size_t(v) * src.stride;
        uint8_t* out = dst.data + size_t(v + y) * dst.stride;
        if (src.bits >= 8) {
            const size_t bpp = size_t(src.bits / 8);
            std::memcpy(out + size_t(u0 + x) * bpp, in + size_t(u0) * bpp, size_t(u1 - u0) * bpp);
        } else {
            for (int u = u0; u < u1; ++u)
                PutPixelIndex(out, u + x, dst.bits, PixelIndex(in, u, src.bits));
        }
    }
}

RotationBox RotatedBox(int width, int height, double degrees) {
    const double pi = 2 * std::acos(0.0);
    const double theta = -degrees * pi / 180;
    const double c = std::cos(theta), s = std::sin(theta);
    int minX = 0, maxX = 0, minY = 0, maxY = 0;
    const int cx[4] = {0, width - 1, 0, width - 1};
    const int cy[4] = {0, 0, height - 1, height - 1};
    for (int k = 0; k < 4; ++k) {
        const int x = int(cx[k] * c - cy[k] * s);
        const int y = int(cx[k] * s + cy[k] * c);
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    return RotationBox{minX, minY, maxX - minX + 1, maxY - minY + 1};
}

void RotatePlane(const ConstPlaneRef& src, const uint8_t* srcAlpha, const PlaneRef& dst,
                 uint8_t* dstAlpha, double degrees, const uint8_t* outsidePixel) {
    const RotationBox box = RotatedBox(src.width, src.height, degrees);
    if (dst.width != box.width || dst.height != box.height || src.bits < 8) return;
    const double pi = 2 * std::acos(0.0);
    const double theta = -degrees * pi / 180;
    const double c = std::cos(theta), s = std::sin(theta);
    const size_t bpp = size_t(src.bits / 8);
    for (int i = box.minY; i < box.minY + box.height; ++i) {
        const int v = i - box.minY;
        uint8_t* out = dst.data + size_t(v) * dst.stride;
        uint8_t* outA = dstAlpha ? dstAlpha + size_t(v) * size_t(dst.width) : nullptr;
        for (int j = box.minX; j < box.minX + box.width; ++j, out += bpp) {
            const int sx = int(j * c + i * s - 0.5);
            const int sy = int(i * c - j * s - 0.5);
            const bool inside = sx >= 0 && sy >= 0 && sx < src.width && sy < src.height;
            const uint8_t* from =
                inside ? src.data + size_t(sy) * src.stride + size_t(sx) * bpp : outsidePixel;
            std::memcpy(out, from, bpp);
            if (outA)
                outA[j - box.minX] =
                    inside && srcAlpha ? srcAlpha[size_t(sy) * size_t(src.width) + size_t(sx)] : 0;
        }
    }
}

namespace {
template <class Flip>
void mirrorCopy(RaViru& image, Flip flip) {
    if (!image.HasBlock() || image.Width() < 1 || image.Height() < 1) return;
    RaViru copy(image, true);
    if (!copy.HasBlock()) return;
    flip(PlaneRef{copy.bits, copy.rowBytes, copy.Width(), copy.Height(), copy.BitCount()});
    image.AdoptFrom(copy);
}
}  // namespace

void MirrorImage(RaViru& image) { mirrorCopy(image, FlipHorizontal); }
void MirrorImageRows(RaViru& image) { mirrorCopy(image, FlipVertical); }

}  // namespace quillet
