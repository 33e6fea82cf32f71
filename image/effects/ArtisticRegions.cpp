// "수채화", "유리성에" and "영역확장": filters that gather a window's colours into luminance
// bands, and the region fill.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "image/effects/Artistic.h"
#include "image/effects/RowThreads.h"

namespace quillet {

namespace {

inline uint8_t* At(const LayerPixels& l, int x, int y) {
    return l.Row(y) + size_t(x) * size_t(l.bytesPerPixel);
}
inline bool Writable(const LayerPixels& l, int x, int y) {
    const uint8_t* s = l.SelectionRow(y);
    return l.AlphaRow(y)[x] && (!s || s[x]);
}

// Per band: how many pixels and the sums of their channels, for a window that slides along a
// row a column at a time.
template <int Bands>
struct BandWindow {
    int count[Bands] = {};
    int sum[Bands][3] = {};
    int total = 0;

    void Column(const LayerPixels& l, const uint8_t* bands, int x, int ya, int yb, int sign) {
        if (x < 0 || x >= l.width) return;
        for (int y = ya; y <= yb; ++y) {
            const int b = bands[size_t(y) * size_t(l.width) + size_t(x)];
            const uint8_t* p = At(l, x, y);
            count[b] += sign;
            sum[b][0] += sign * p[0];
            sum[b][1] += sign * p[1];
            sum[b][2] += sign * p[2];
            total += sign;
        }
    }
    void Mean(int b, uint8_t* out) const {
        for (int ch = 0; ch < 3; ++ch) out[ch] = uint8_t(sum[b][ch] / count[b]);
    }
};

// For every row, the window of rows y − r .. y + r and columns x − r .. x + r, clipped to the
// layer, slid from left to right; `visit` sees it at each pixel.
template <int Bands, class Visit>
void SlideRows(const LayerPixels& l, const uint8_t* bands, int r, int y0, int y1, Visit visit) {
    for (int y = y0; y < y1; ++y) {
        const int ya = std::max(0, y - r), yb = std::min(l.height - 1, y + r);
        BandWindow<Bands> win;
        for (int x = -r; x < r; ++x) win.Column(l, bands, x, ya, yb, 1);
        for (int x = 0; x < l.width; ++x) {
            win.Column(l, bands, x + r, ya, yb, 1);
            visit(x, y, win);
            win.Column(l, bands, x - r, ya, yb, -1);
        }
    }
}

// Each pixel's band: trunc(0.59 G + 0.30 R + 0.11 B), scaled to 0..30 when there are 31 bands.
std::vector<uint8_t> LuminanceBands(const LayerPixels& l, int bands) {
    std::vector<uint8_t> out(size_t(l.width) * size_t(l.height));
    for (int y = 0; y < l.height; ++y)
        for (int x = 0; x < l.width; ++x) {
            const uint8_t* p = At(l, x, y);
            const int lum = int(0.59 * p[1] + 0.30 * p[2] + 0.11 * p[0]);
            out[size_t(y) * size_t(l.width) + size_t(x)] =
                uint8_t(bands == 256 ? lum : lum * (bands - 1) / 255);
        }
    return out;
}

}  // namespace

void Watercolour(const LayerPixels& from, const LayerPixels& to, int threads, Progress* progress) {
    if (from.Empty() || !from.SameShape(to)) return;
    const std::vector<uint8_t> bands = LuminanceBands(from, 31);
    RowCounter rows(progress, from.height);
    ForRowBands(from.height, threads, [&](int y0, int y1) {
        SlideRows<31>(from, bands.data(), 3, y0, y1, [&](int x, int y, const BandWindow<31>& win) {
            if (x == 0) rows.RowDone();
            if (!Writable(to, x, y)) return;
            int best = 0;
            for (int b = 1; b < 31; ++b)
                if (win.count[b] > win.count[best]) best = b;
            win.Mean(best, At(to, x, y));
        });
    });
}

void FrostedGlass(const LayerPixels& from, const LayerPixels& to, int radius, Rand15& random,
                  Progress* progress) {
    if (from.Empty() || !from.SameShape(to)) return;
    const std::vector<uint8_t> bands = LuminanceBands(from, 256);
    constexpr int kDraws = 10001;
    SlideRows<256>(
        from, bands.data(), radius, 0, from.height, [&](int x, int y, const BandWindow<256>& win) {
            if (x == 0) SetProgress(progress, y * 100 / from.height);
            if (!Writable(to, x, y)) return;
            // A draw v gives the target l = (v + 1) × N / 32768; l ≥ 1 stops the walk at the
            // first filled band whose running count reaches l, and the band before it is taken
            // when it is filled too. So the draws that succeed form a few spans of v, one for
            // each filled band whose lower neighbour is filled.
            struct Span {
                int lo, hi, band;
            };
            Span spans[256];
            int n = 0, before = 0, running = 0;
            for (int b = 0; b < 256; ++b) {
                if (!win.count[b]) continue;
                running += win.count[b];
                if (b > 0 && win.count[b - 1]) {
                    const int64_t first = int64_t(before) + 1, last = running;
                    const int lo = int((first * 32768 + win.total - 1) / win.total - 1);
                    const int hi = int(((last + 1) * 32768 + win.total - 1) / win.total - 2);
                    if (lo <= std::min(hi, 32767)) spans[n++] = {lo, std::min(hi, 32767), b - 1};
                }
                before = running;
            }
            // Without such a span every draw fails: they are skipped in one step.
            if (n == 0) {
                random.Discard(kDraws);
                return;
            }
            for (int draw = 0; draw < kDraws; ++draw) {
                const int v = random.Next();
                for (int i = 0; i < n; ++i)
                    if (v >= spans[i].lo && v <= spans[i].hi) {
                        win.Mean(spans[i].band, At(to, x, y));
                        return;
                    }
            }
        });
}

void RegionGrowing(const LayerPixels& from, const LayerPixels& to, int tolerance) {
    if (from.Empty() || !from.SameShape(to)) return;
    const int w = from.width, h = from.height;
    std::vector<uint8_t> visited(size_t(w) * size_t(h), 0);
    std::vector<std::pair<int, int>> stack;
    static constexpr int kDx[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
    static constexpr int kDy[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) {
            if (!from.AlphaRow(y)[x] || visited[size_t(y) * size_t(w) + size_t(x)]) continue;
            const uint8_t* c = At(from, x, y);
            const uint8_t seed[3] = {c[0], c[1], c[2]};
            visited[size_t(y) * size_t(w) + size_t(x)] = 1;
            stack.assign(1, {x, y});
            while (!stack.empty()) {
                const auto [px, py] = stack.back();
                stack.pop_back();
                const uint8_t* s = to.SelectionRow(py);
                if (!s || s[px]) std::copy_n(seed, 3, At(to, px, py));
                for (int k = 0; k < 8; ++k) {
                    const int nx = px + kDx[k], ny = py + kDy[k];
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                    uint8_t& mark = visited[size_t(ny) * size_t(w) + size_t(nx)];
                    if (mark) continue;
                    const uint8_t* q = At(from, nx, ny);
                    const int d = std::abs(q[0] - seed[0]) + std::abs(q[1] - seed[1]) +
                                  std::abs(q[2] - seed[2]);
                    if (d > tolerance) continue;
                    mark = 1;
                    stack.push_back({nx, ny});
                }
            }
        }
}

}  // namespace quillet
