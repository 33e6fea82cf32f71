// "노이즈제거(A)": the window's colours sorted by luminance, the middle one written. Ties keep
// window order (rows, then columns), as a stable sort leaves them.
#include <algorithm>
#include <array>
#include <vector>

#include "image/effects/Neighbourhood.h"
#include "image/effects/RowThreads.h"

namespace quillet {

namespace {

inline void Order(int& a, int& b) {
    const int lo = std::min(a, b);
    b = std::max(a, b);
    a = lo;
}
inline int Middle(int a, int b, int c) {
    return std::max(std::min(a, b), std::min(std::max(a, b), c));
}

// 3 × 3 inside the layer. Each position gets the key luminance × 16 + row × 4 + column, so no
// two keys tie and the middle key is what the stable sort puts in the middle. Every column's
// three keys are sorted once per row (without the column part, which is the same for the
// three); the middle of nine is then the middle of the largest of the smallest, the middle of
// the middles and the smallest of the largest.
void Median3Row(const uint8_t* lum, int w, int y, std::vector<std::array<int, 3>>& sorted,
                int* place) {
    const uint8_t* r0 = lum + size_t(y - 1) * size_t(w);
    const uint8_t* r1 = r0 + w;
    const uint8_t* r2 = r1 + w;
    for (int x = 0; x < w; ++x) {
        int a = r0[x] * 16, b = r1[x] * 16 + 4, c = r2[x] * 16 + 8;
        Order(a, b);
        Order(b, c);
        Order(a, b);
        sorted[size_t(x)] = {a, b, c};
    }
    for (int x = 1; x + 1 < w; ++x) {
        const auto& p = sorted[size_t(x - 1)];
        const auto& q = sorted[size_t(x)];
        const auto& r = sorted[size_t(x + 1)];
        const int low = std::max({p[0], q[0] + 1, r[0] + 2});
        const int mid = Middle(p[1], q[1] + 1, r[1] + 2);
        const int high = std::min({p[2], q[2] + 1, r[2] + 2});
        place[x] = Middle(low, mid, high) & 15;
    }
}

// Any window: the middle luminance from a histogram of the window, then the pixel of that
// luminance at the right rank in window order.
struct Window {
    int lo, hi;
    int count[256] = {};
    int total = 0;
    void Column(const uint8_t* lum, int w, int h, int x, int y, int sign) {
        if (x < 0 || x >= w) return;
        for (int j = std::max(0, y + lo); j <= std::min(h - 1, y + hi); ++j) {
            count[lum[size_t(j) * size_t(w) + size_t(x)]] += sign;
            total += sign;
        }
    }
    // The window position (dx, dy) of the colour at place total / 2 of the stable order.
    void Pick(const uint8_t* lum, int w, int h, int x, int y, int& dx, int& dy) const {
        int rank = total / 2, l = 0;
        while (rank >= count[l]) rank -= count[l++];
        for (int j = lo; j <= hi; ++j) {
            if (y + j < 0 || y + j >= h) continue;
            const uint8_t* row = lum + size_t(y + j) * size_t(w);
            for (int i = lo; i <= hi; ++i) {
                if (x + i < 0 || x + i >= w || row[x + i] != l) continue;
                if (rank-- == 0) {
                    dx = i;
                    dy = j;
                    return;
                }
            }
        }
    }
};

}  // namespace

void MedianFilter(const LayerPixels& from, const LayerPixels& to, int n, int threads,
                  Progress* progress) {
    if (from.Empty() || !from.SameShape(to) || n < 1) return;
    const int w = from.width, h = from.height, bpp = from.bytesPerPixel;
    const int lo = WindowLow(n), hi = WindowHigh(n);
    std::vector<uint8_t> lum(size_t(w) * size_t(h));
    ForRowBands(h, threads, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uint8_t* p = from.Row(y);
            uint8_t* l = lum.data() + size_t(y) * size_t(w);
            for (int x = 0; x < w; ++x, p += bpp)
                l[x] = uint8_t((p[1] * 59 + p[2] * 30 + p[0] * 11) / 100);
        }
    });
    RowCounter rows(progress, h);
    ForRowBands(h, threads, [&](int y0, int y1) {
        std::vector<std::array<int, 3>> sorted(static_cast<size_t>(w));
        std::vector<int> place(static_cast<size_t>(w), 0);
        auto write = [&](int x, int y, int dx, int dy) {
            const uint8_t* src = from.Row(y + dy) + size_t(x + dx) * size_t(bpp);
            uint8_t* d = to.Row(y) + size_t(x) * size_t(bpp);
            d[0] = src[0];
            d[1] = src[1];
            d[2] = src[2];
        };
        auto writable = [&](int x, int y) {
            const uint8_t* s = to.SelectionRow(y);
            return from.AlphaRow(y)[x] && (!s || s[x]);
        };
        // A window made afresh for one pixel.
        auto pickAlone = [&](int x, int y) {
            Window win{lo, hi};
            for (int i = lo; i <= hi; ++i) win.Column(lum.data(), w, h, x + i, y, 1);
            int dx = 0, dy = 0;
            win.Pick(lum.data(), w, h, x, y, dx, dy);
            write(x, y, dx, dy);
        };
        for (int y = y0; y < y1; ++y) {
            if (n == 3 && y >= 1 && y + 1 < h && w >= 3) {
                Median3Row(lum.data(), w, y, sorted, place.data());
                for (int x = 0; x < w; ++x) {
                    if (!writable(x, y)) continue;
                    if (x == 0 || x == w - 1)
                        pickAlone(x, y);
                    else
                        write(x, y, (place[size_t(x)] & 3) - 1, (place[size_t(x)] >> 2) - 1);
                }
            } else {
                Window win{lo, hi};
                for (int x = lo; x < hi; ++x) win.Column(lum.data(), w, h, x, y, 1);
                for (int x = 0; x < w; ++x) {
                    win.Column(lum.data(), w, h, x + hi, y, 1);
                    if (writable(x, y)) {
                        int dx = 0, dy = 0;
                        win.Pick(lum.data(), w, h, x, y, dx, dy);
                        write(x, y, dx, dy);
                    }
                    win.Column(lum.data(), w, h, x + lo, y, -1);
                }
            }
            rows.RowDone();
        }
    });
}

}  // namespace quillet
