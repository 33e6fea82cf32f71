// "노이즈제거(A)": the window's colours sorted by luminance, the middle one written. Each
// position gets the key luminance × 64 + its place in the window, so keys never tie and the
// middle key is the one a stable sort puts in the middle.
#include <algorithm>
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

// The fifth smallest of nine distinct values (a known 19-exchange network).
inline int MiddleOfNine(int p[9]) {
    Order(p[1], p[2]);
    Order(p[4], p[5]);
    Order(p[7], p[8]);
    Order(p[0], p[1]);
    Order(p[3], p[4]);
    Order(p[6], p[7]);
    Order(p[1], p[2]);
    Order(p[4], p[5]);
    Order(p[7], p[8]);
    Order(p[0], p[3]);
    Order(p[5], p[8]);
    Order(p[4], p[7]);
    Order(p[3], p[6]);
    Order(p[1], p[4]);
    Order(p[2], p[5]);
    Order(p[4], p[7]);
    Order(p[4], p[2]);
    Order(p[6], p[4]);
    Order(p[4], p[2]);
    return p[4];
}

}  // namespace

void MedianFilter(const LayerPixels& from, const LayerPixels& to, int n, int threads,
                  Progress* progress) {
    if (from.Empty() || !from.SameShape(to) || n < 1 || n > 7) return;
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
    RowProgress rows(progress, h);
    ForRowBands(h, threads, [&](int y0, int y1) {
        std::vector<int> keys(size_t(n) * size_t(n));
        for (int y = y0; y < y1; ++y) {
            const uint8_t* a = from.AlphaRow(y);
            const uint8_t* s = to.SelectionRow(y);
            uint8_t* dst = to.Row(y);
            const bool innerRow = y + lo >= 0 && y + hi < h;
            for (int x = 0; x < w; ++x) {
                if (!a[x] || (s && !s[x])) continue;
                int dx, dy;
                if (n == 3 && innerRow && x >= 1 && x + 1 < w) {
                    int k[9];
                    for (int j = 0; j < 3; ++j) {
                        const uint8_t* l =
                            lum.data() + size_t(y - 1 + j) * size_t(w) + size_t(x - 1);
                        k[j * 3] = l[0] * 64 + j * 3;
                        k[j * 3 + 1] = l[1] * 64 + j * 3 + 1;
                        k[j * 3 + 2] = l[2] * 64 + j * 3 + 2;
                    }
                    const int place = MiddleOfNine(k) & 63;
                    dx = place % 3 - 1;
                    dy = place / 3 - 1;
                } else {
                    size_t count = 0;
                    for (int j = lo; j <= hi; ++j) {
                        if (y + j < 0 || y + j >= h) continue;
                        for (int i = lo; i <= hi; ++i) {
                            if (x + i < 0 || x + i >= w) continue;
                            const int place = (j - lo) * n + (i - lo);
                            keys[count++] =
                                lum[size_t(y + j) * size_t(w) + size_t(x + i)] * 64 + place;
                        }
                    }
                    std::nth_element(keys.begin(), keys.begin() + ptrdiff_t(count / 2),
                                     keys.begin() + ptrdiff_t(count));
                    const int place = keys[count / 2] & 63;
                    dx = place % n + lo;
                    dy = place / n + lo;
                }
                const uint8_t* src = from.Row(y + dy) + size_t(x + dx) * size_t(bpp);
                uint8_t* d = dst + size_t(x) * size_t(bpp);
                d[0] = src[0];
                d[1] = src[1];
                d[2] = src[2];
            }
            rows.RowDone();
        }
    });
}

}  // namespace quillet
