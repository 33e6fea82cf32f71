// The warp onto a quadrilateral: each destination pixel centre is taken back through the
// inverse of the bilinear mapping (a quadratic in the vertical fraction) and sampled there.
#include "image/effects/QuadWarp.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "image/effects/RowThreads.h"

namespace quillet {

namespace {

constexpr double kParallel = 1e-9;
// Pixel centres this close to a cell edge belong to the cell (rounding of the inverse).
constexpr double kEdge = 1e-9;

double cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

// Q(u, v) = A + u E + v F + u v G, u along the source rows, v from the top down.
struct Mapping {
    double ax, ay, ex, ey, fx, fy, gx, gy;
    double k2, kef;  // cross(G, F) and cross(E, F): the parts of the quadratic that stay

    explicit Mapping(const WarpQuad& q)
        : ax(q.x[3]),
          ay(q.y[3]),
          ex(q.x[2] - q.x[3]),
          ey(q.y[2] - q.y[3]),
          fx(q.x[0] - q.x[3]),
          fy(q.y[0] - q.y[3]),
          gx(q.x[1] - q.x[0] - q.x[2] + q.x[3]),
          gy(q.y[1] - q.y[0] - q.y[2] + q.y[3]),
          k2(cross(gx, gy, fx, fy)),
          kef(cross(ex, ey, fx, fy)) {}

    static bool inUnit(double t) { return t >= -kEdge && t <= 1 + kEdge; }

    double uFor(double hx, double hy, double v) const {
        const double dx = ex + gx * v, dy = ey + gy * v;
        if (std::fabs(dx) >= std::fabs(dy)) return dx == 0 ? -1 : (hx - fx * v) / dx;
        return (hy - fy * v) / dy;
    }

    // The fractions (u, v) of the point (px, py); false when it lies outside.
    bool invert(double px, double py, double& u, double& v) const {
        const double hx = px - ax, hy = py - ay;
        const double k1 = kef + cross(hx, hy, gx, gy);
        const double k0 = cross(hx, hy, ex, ey);
        if (std::fabs(k2) < 1e-12 * (std::fabs(k1) + 1)) {
            // The edges of one pair are parallel: the quadratic is linear.
            if (k1 == 0) return false;
            v = -k0 / k1;
            u = uFor(hx, hy, v);
            return inUnit(u) && inUnit(v);
        }
        double d = k1 * k1 - 4 * k0 * k2;
        if (d < 0) return false;
        d = std::sqrt(d);
        const double half = 0.5 / k2;
        v = (-k1 - d) * half;
        u = uFor(hx, hy, v);
        if (inUnit(u) && inUnit(v)) return true;
        v = (-k1 + d) * half;
        u = uFor(hx, hy, v);
        return inUnit(u) && inUnit(v);
    }
};

// A position in 1/256 pixel, snapped to the step when rounding left it a hair away.
int fixed256(double t) {
    const double s = t * 256;
    const double r = std::nearbyint(s);
    return int(std::fabs(s - r) < 1e-4 ? r : std::floor(s));
}

// Position and fraction on one axis, the edge pixel standing in beyond the last centres.
void tap(double t, int size, int& lo, int& hi, int& frac) {
    const int fx = fixed256(t);
    lo = fx >> 8;
    frac = fx & 255;
    if (lo < 0) {
        lo = 0;
        frac = 0;
    } else if (lo >= size - 1) {
        lo = size - 1;
        frac = 0;
    }
    hi = frac ? lo + 1 : lo;
}

struct Context {
    const WarpSource& src;
    const WarpTarget& dst;
    Mapping map;
    WarpQuad quad;
    WarpSampling sampling;
    int bytes;  // per pixel
    size_t planeStride;
};

// Columns [first, last] whose centres on the row at centre height `py` may lie inside.
bool rowSpan(const WarpQuad& q, double py, int width, int& first, int& last) {
    double lo = 1e300, hi = -1e300;
    for (int k = 0; k < 4; ++k) {
        const int n = (k + 1) & 3;
        const double y0 = q.y[k], y1 = q.y[n];
        if ((py < y0 && py < y1) || (py > y0 && py > y1)) continue;
        double x;
        if (y0 == y1) {
            lo = std::min({lo, q.x[k], q.x[n]});
            hi = std::max({hi, q.x[k], q.x[n]});
            continue;
        }
        x = q.x[k] + (py - y0) * (q.x[n] - q.x[k]) / (y1 - y0);
        lo = std::min(lo, x);
        hi = std::max(hi, x);
    }
    if (lo > hi) return false;
    first = std::max(0, int(std::floor(lo - 0.5)));
    last = std::min(width - 1, int(std::ceil(hi - 0.5)));
    return first <= last;
}

void putOutside(const Context& c, uint8_t* px, uint8_t* alpha, uint8_t* effect) {
    if (c.dst.outsidePixel)
        std::memcpy(px, c.dst.outsidePixel, size_t(c.bytes));
    else
        std::memset(px, 0, size_t(c.bytes));
    *alpha = 0;
    if (effect) *effect = 0;
}

// One destination pixel at top-down column x of a row at centre height `py`.
template <int Ch, bool Linear>
void warpPixel(const Context& c, double px, double py, uint8_t* out, uint8_t* alpha,
               uint8_t* effect) {
    double u, v;
    if (!c.map.invert(px, py, u, v)) {
        putOutside(c, out, alpha, effect);
        return;
    }
    const ConstPlaneRef& s = c.src.pixels;
    const int w = s.width, h = s.height;
    // Source position in pixels: x from the left, y in storage rows from the bottom.
    const double X = u * w - 0.5, Y = (1 - v) * h - 0.5;
    const int nx = std::clamp(int(std::floor(u * w)), 0, w - 1);
    const int ny = std::clamp(int(std::floor((1 - v) * h)), 0, h - 1);
    const size_t ps = c.planeStride;
    if (effect) *effect = c.src.effect ? c.src.effect[size_t(ny) * ps + size_t(nx)] : 0;
    if constexpr (!Linear) {
        std::memcpy(out, s.data + size_t(ny) * s.stride + size_t(nx) * Ch, Ch);
        *alpha = c.src.alpha ? c.src.alpha[size_t(ny) * ps + size_t(nx)] : 255;
        return;
    } else {
        int x0, x1, fx, y0, y1, fy;
        tap(X, w, x0, x1, fx);
        tap(Y, h, y0, y1, fy);
        const int q = (fx * fy) >> 8;
        const int w00 = 256 - fx - fy + q, w10 = fx - q, w01 = fy - q, w11 = q;
        const uint8_t* r0 = s.data + size_t(y0) * s.stride;
        const uint8_t* r1 = s.data + size_t(y1) * s.stride;
        const uint8_t* p00 = r0 + x0 * Ch;
        const uint8_t* p10 = r0 + x1 * Ch;
        const uint8_t* p01 = r1 + x0 * Ch;
        const uint8_t* p11 = r1 + x1 * Ch;
        int a00 = 255, a10 = 255, a01 = 255, a11 = 255;
        if (c.src.alpha) {
            const uint8_t* b0 = c.src.alpha + size_t(y0) * ps;
            const uint8_t* b1 = c.src.alpha + size_t(y1) * ps;
            a00 = b0[x0], a10 = b0[x1], a01 = b1[x0], a11 = b1[x1];
        }
        if (a00 == a10 && a00 == a01 && a00 == a11) {
            for (int k = 0; k < Ch; ++k)
                out[k] = uint8_t((w00 * p00[k] + w10 * p10[k] + w01 * p01[k] + w11 * p11[k]) >> 8);
            *alpha = uint8_t(a00);
            return;
        }
        // Mixed alpha: colour weighted by alpha, so a transparent neighbour's colour does not
        // bleed into the edge.
        const int b00 = w00 * a00, b10 = w10 * a10, b01 = w01 * a01, b11 = w11 * a11;
        const int sum = b00 + b10 + b01 + b11;
        *alpha = uint8_t(sum >> 8);
        if (sum == 0) {
            for (int k = 0; k < Ch; ++k)
                out[k] = uint8_t((w00 * p00[k] + w10 * p10[k] + w01 * p01[k] + w11 * p11[k]) >> 8);
            return;
        }
        for (int k = 0; k < Ch; ++k)
            out[k] = uint8_t((int64_t(b00) * p00[k] + int64_t(b10) * p10[k] +
                              int64_t(b01) * p01[k] + int64_t(b11) * p11[k] + sum / 2) /
                             sum);
    }
}

template <int Ch, bool Linear>
void warpRow(const Context& c, int topRow, const int* columns, int columnCount) {
    const PlaneRef& d = c.dst.pixels;
    const int storage = d.height - 1 - topRow;
    uint8_t* row = d.data + size_t(storage) * d.stride;
    uint8_t* alpha = c.dst.alpha + size_t(storage) * size_t(d.width);
    uint8_t* effect = c.dst.effect ? c.dst.effect + size_t(storage) * size_t(d.width) : nullptr;
    const double py = topRow + 0.5;
    int first = 0, last = -1;
    const bool any = rowSpan(c.quad, py, d.width, first, last);
    auto one = [&](int x) {
        uint8_t* e = effect ? effect + x : nullptr;
        if (!any || x < first || x > last)
            putOutside(c, row + size_t(x) * Ch, alpha + x, e);
        else
            warpPixel<Ch, Linear>(c, x + 0.5, py, row + size_t(x) * Ch, alpha + x, e);
    };
    if (columns)
        for (int i = 0; i < columnCount; ++i) one(columns[i]);
    else
        for (int x = 0; x < d.width; ++x) one(x);
}

template <int Ch, bool Linear>
void warpRows(const Context& c, const int* columns, int columnCount, const int* rows, int rowCount,
              int threads, RowProgress progress) {
    ForRowBands(rowCount, threads, progress, [&](int first, int last) {
        for (int i = first; i < last; ++i)
            warpRow<Ch, Linear>(c, rows ? rows[i] : i, columns, columnCount);
    });
}

template <bool Linear>
void dispatchChannels(const Context& c, const int* columns, int columnCount, const int* rows,
                      int rowCount, int threads, RowProgress progress) {
    switch (c.bytes) {
        case 1:
            warpRows<1, Linear>(c, columns, columnCount, rows, rowCount, threads, progress);
            break;
        case 3:
            warpRows<3, Linear>(c, columns, columnCount, rows, rowCount, threads, progress);
            break;
        default:
            warpRows<4, Linear>(c, columns, columnCount, rows, rowCount, threads, progress);
    }
}

void run(const WarpSource& source, const WarpTarget& target, const WarpQuad& quad,
         WarpSampling sampling, const int* columns, int columnCount, const int* rows, int rowCount,
         int threads, RowProgress progress) {
    const int bits = source.pixels.bits;
    if (bits != 8 && bits != 24 && bits != 32) return;
    if (target.pixels.bits != bits || !target.alpha) return;
    if (source.pixels.width < 1 || source.pixels.height < 1) return;
    const size_t ps = source.planeStride ? source.planeStride : size_t(source.pixels.width);
    const Context c{source, target, Mapping(quad), quad, sampling, bits / 8, ps};
    if (sampling == WarpSampling::Bilinear)
        dispatchChannels<true>(c, columns, columnCount, rows, rowCount, threads, progress);
    else
        dispatchChannels<false>(c, columns, columnCount, rows, rowCount, threads, progress);
}

// The quadrilateral is the destination's whole rectangle, the source's way up.
bool uprightRectangle(const WarpQuad& q, int width, int height) {
    return q.x[3] == 0 && q.y[3] == 0 && q.x[0] == 0 && q.y[2] == 0 && q.x[1] == width &&
           q.x[2] == width && q.y[1] == height && q.y[0] == height;
}

}  // namespace

bool WarpGridValid(const WarpQuad& quad, int w, int h) {
    if (w < 1 || h < 1) return false;
    // The two lines' directions: F + u G (through the top and bottom edges) and E + v G
    // (through the left and right edges). Their determinant is affine in u and v, so along a
    // grid row its smallest magnitude lies at an end or at the columns beside its root.
    const Mapping m(quad);
    const double c0 = cross(m.fx, m.fy, m.ex, m.ey);
    const double cu = cross(m.gx, m.gy, m.ex, m.ey);
    const double cv = cross(m.fx, m.fy, m.gx, m.gy);
    auto parallelAt = [&](int i, double v) {
        const double u = double(i) / w;
        return std::fabs(c0 + cu * u + cv * v) < kParallel;
    };
    for (int j = 0; j <= h; ++j) {
        const double v = double(j) / h;
        if (parallelAt(0, v) || parallelAt(w, v)) return false;
        if (cu == 0) continue;
        const double root = -(c0 + cv * v) / cu * w;
        if (!(root > 0 && root < w)) continue;
        const int i = int(root);
        if (parallelAt(i, v) || parallelAt(std::min(w, i + 1), v)) return false;
    }
    return true;
}

void WarpPlane(const WarpSource& source, const WarpTarget& target, const WarpQuad& quad,
               WarpSampling sampling, int threads, RowProgress progress) {
    const PlaneRef& d = target.pixels;
    if (sampling == WarpSampling::Bilinear && uprightRectangle(quad, d.width, d.height) &&
        source.pixels.bits == d.bits && d.bits >= 8) {
        const ConstPlaneRef& s = source.pixels;
        const ResampleScale scale{double(s.width) / d.width, double(s.height) / d.height};
        ResamplePlane(s, d, scale, threads, progress);
        const size_t ps = source.planeStride ? source.planeStride : size_t(s.width);
        const auto byteplane = [ps](const uint8_t* p, int w, int h) {
            return ConstPlaneRef{p, ps, w, h, 8};
        };
        if (source.alpha)
            ResampleNearest(byteplane(source.alpha, s.width, s.height),
                            PlaneRef{target.alpha, size_t(d.width), d.width, d.height, 8}, scale,
                            threads);
        else
            std::memset(target.alpha, 255, size_t(d.width) * size_t(d.height));
        if (target.effect && source.effect)
            ResampleNearest(byteplane(source.effect, s.width, s.height),
                            PlaneRef{target.effect, size_t(d.width), d.width, d.height, 8}, scale,
                            threads);
        else if (target.effect)
            std::memset(target.effect, 0, size_t(d.width) * size_t(d.height));
        return;
    }
    run(source, target, quad, sampling, nullptr, d.width, nullptr, d.height, threads, progress);
}

void WarpPlaneAt(const WarpSource& source, const WarpTarget& target, const WarpQuad& quad,
                 WarpSampling sampling, const int* columns, int columnCount, const int* rows,
                 int rowCount, int threads) {
    if (!columns || !rows || columnCount <= 0 || rowCount <= 0) return;
    run(source, target, quad, sampling, columns, columnCount, rows, rowCount, threads, {});
}

}  // namespace quillet
