// Resampling: bilinear enlarging, area-average reduction, nearest-pixel planes.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "image/effects/Geometry.h"
#include "image/effects/RowThreads.h"

namespace quillet {

namespace {

// Bilinear taps of one axis: the two neighbours (clamped to the edge) and the fraction in 1/256.
struct LinearTap {
    int lo = 0, hi = 0;
    int frac = 0;
};

std::vector<LinearTap> linearTaps(int outSize, int inSize, double r) {
    std::vector<LinearTap> taps(size_t(std::max(0, outSize)));
    for (int u = 0; u < outSize; ++u) {
        const double X = r * (u + 0.5) - 0.5;
        const double x0 = std::floor(X);
        LinearTap& t = taps[size_t(u)];
        t.frac = int((X - x0) * 256);
        // Beyond the first and last pixel the edge pixel stands in: no line of another colour
        // along the borders of an enlarged picture.
        t.lo = std::clamp(int(x0), 0, inSize - 1);
        t.hi = std::clamp(int(x0) + 1, 0, inSize - 1);
    }
    return taps;
}

template <int Ch>
void bilinearRows(const ConstPlaneRef& src, const PlaneRef& dst, const std::vector<LinearTap>& tx,
                  const std::vector<LinearTap>& ty, int first, int last) {
    // Byte offsets of the two columns of every destination pixel.
    std::vector<int> off0(tx.size()), off1(tx.size());
    for (size_t u = 0; u < tx.size(); ++u) {
        off0[u] = tx[u].lo * Ch;
        off1[u] = tx[u].hi * Ch;
    }
    for (int v = first; v < last; ++v) {
        const LinearTap& y = ty[size_t(v)];
        const uint8_t* r0 = src.data + size_t(y.lo) * src.stride;
        const uint8_t* r1 = src.data + size_t(y.hi) * src.stride;
        uint8_t* out = dst.data + size_t(v) * dst.stride;
        const int fy = y.frac;
        for (int u = 0; u < dst.width; ++u, out += Ch) {
            const int fx = tx[size_t(u)].frac;
            const int q = (fx * fy) >> 8;
            const int w00 = 256 - fx - fy + q, w10 = fx - q, w01 = fy - q, w11 = q;
            const uint8_t* a = r0 + off0[size_t(u)];
            const uint8_t* b = r0 + off1[size_t(u)];
            const uint8_t* c = r1 + off0[size_t(u)];
            const uint8_t* d = r1 + off1[size_t(u)];
            for (int k = 0; k < Ch; ++k)
                out[k] = uint8_t((w00 * a[k] + w10 * b[k] + w01 * c[k] + w11 * d[k]) >> 8);
        }
    }
}

// Area taps of one axis: source pixels [first, first + count) with weights summing to 2^14.
constexpr int kAreaBits = 14;
constexpr int kAreaOne = 1 << kAreaBits;

struct AreaTaps {
    std::vector<int> first, count;
    std::vector<int> weights;  // count[u] weights per output pixel, one after another
    std::vector<int> start;    // where output pixel u's weights begin
};

AreaTaps areaTaps(int outSize, int inSize, double r) {
    AreaTaps t;
    t.first.resize(size_t(outSize));
    t.count.resize(size_t(outSize));
    t.start.resize(size_t(outSize));
    std::vector<double> overlap;
    for (int u = 0; u < outSize; ++u) {
        // The box X − r/2 .. X + r/2 in the frame where pixel k covers [k, k + 1).
        const double lo = std::max(0.0, r * u), hi = std::min(double(inSize), r * (u + 1));
        int k0 = std::clamp(int(std::floor(lo)), 0, inSize - 1);
        int k1 = std::clamp(int(std::ceil(hi)) - 1, k0, inSize - 1);
        overlap.clear();
        double total = 0;
        for (int k = k0; k <= k1; ++k) {
            const double o = std::max(0.0, std::min(hi, k + 1.0) - std::max(lo, double(k)));
            overlap.push_back(o);
            total += o;
        }
        t.start[size_t(u)] = int(t.weights.size());
        if (!(total > 0)) {
            // A box that misses the layer (a layer smaller than the picture's scale implies)
            // takes the nearest edge pixel.
            k0 = k1 = lo >= inSize ? inSize - 1 : 0;
            overlap.assign(1, 1.0);
            total = 1;
        }
        int sum = 0, biggest = 0;
        for (size_t i = 0; i < overlap.size(); ++i) {
            const int w = int(std::lround(overlap[i] / total * kAreaOne));
            t.weights.push_back(w);
            sum += w;
            if (w > t.weights[size_t(t.start[size_t(u)]) + size_t(biggest)]) biggest = int(i);
        }
        t.weights[size_t(t.start[size_t(u)]) + size_t(biggest)] += kAreaOne - sum;
        t.first[size_t(u)] = k0;
        t.count[size_t(u)] = k1 - k0 + 1;
    }
    return t;
}

// Rows [first, last): every contributing source row is filtered across into 8.8 fixed point,
// then summed down with its vertical weight; the sum is rounded to the nearest value.
template <int Ch>
void areaRows(const ConstPlaneRef& src, const PlaneRef& dst, const AreaTaps& tx, const AreaTaps& ty,
              int first, int last) {
    std::vector<uint32_t> acc(size_t(dst.width) * Ch);
    for (int v = first; v < last; ++v) {
        std::fill(acc.begin(), acc.end(), 0u);
        const int* wy = ty.weights.data() + ty.start[size_t(v)];
        for (int j = 0; j < ty.count[size_t(v)]; ++j) {
            const uint8_t* row = src.data + size_t(ty.first[size_t(v)] + j) * src.stride;
            const uint32_t wv = uint32_t(wy[j]);
            uint32_t* a = acc.data();
            for (int u = 0; u < dst.width; ++u, a += Ch) {
                const int* wx = tx.weights.data() + tx.start[size_t(u)];
                const uint8_t* p = row + size_t(tx.first[size_t(u)]) * Ch;
                uint32_t s[Ch] = {};
                for (int i = 0; i < tx.count[size_t(u)]; ++i, p += Ch)
                    for (int k = 0; k < Ch; ++k) s[k] += uint32_t(wx[i]) * p[k];
                for (int k = 0; k < Ch; ++k) a[k] += wv * ((s[k] + 32) >> 6);
            }
        }
        uint8_t* out = dst.data + size_t(v) * dst.stride;
        // The sums carry the value times 2^8 (across) times 2^14 (down).
        constexpr int kShift = 2 * kAreaBits - 6;
        constexpr uint32_t kHalf = 1u << (kShift - 1);
        for (size_t i = 0; i < acc.size(); ++i)
            out[i] = uint8_t(std::min<uint32_t>(255, (acc[i] + kHalf) >> kShift));
    }
}

template <int Ch>
void resampleRows(const ConstPlaneRef& src, const PlaneRef& dst, ResampleScale scale, int threads,
                  RowProgress progress) {
    if (scale.Enlarging()) {
        const auto tx = linearTaps(dst.width, src.width, scale.rx);
        const auto ty = linearTaps(dst.height, src.height, scale.ry);
        ForRowBands(dst.height, threads, progress,
                    [&](int a, int b) { bilinearRows<Ch>(src, dst, tx, ty, a, b); });
    } else {
        const AreaTaps tx = areaTaps(dst.width, src.width, scale.rx);
        const AreaTaps ty = areaTaps(dst.height, src.height, scale.ry);
        ForRowBands(dst.height, threads, progress,
                    [&](int a, int b) { areaRows<Ch>(src, dst, tx, ty, a, b); });
    }
}

int nearestIndex(int u, double r, int size) {
    return std::clamp(int(std::floor(r * (u + 0.5))), 0, size - 1);
}

}  // namespace

void ResamplePlane(const ConstPlaneRef& src, const PlaneRef& dst, ResampleScale scale, int threads,
                   RowProgress progress) {
    if (!src.data || !dst.data || src.width < 1 || src.height < 1) return;
    switch (src.bits) {
        case 8:
            resampleRows<1>(src, dst, scale, threads, progress);
            break;
        case 24:
            resampleRows<3>(src, dst, scale, threads, progress);
            break;
        case 32:
            resampleRows<4>(src, dst, scale, threads, progress);
            break;
        default:
            break;
    }
}

void ResampleNearest(const ConstPlaneRef& src, const PlaneRef& dst, ResampleScale scale,
                     int threads) {
    if (!src.data || !dst.data || src.width < 1 || src.height < 1) return;
    std::vector<int> xs(size_t(dst.width));
    for (int u = 0; u < dst.width; ++u) xs[size_t(u)] = nearestIndex(u, scale.rx, src.width);
    ForRowBands(dst.height, threads, {}, [&](int first, int last) {
        for (int v = first; v < last; ++v) {
            const uint8_t* in =
                src.data + size_t(nearestIndex(v, scale.ry, src.height)) * src.stride;
            uint8_t* out = dst.data + size_t(v) * dst.stride;
            for (int u = 0; u < dst.width; ++u) out[u] = in[xs[size_t(u)]];
        }
    });
}

}  // namespace quillet
