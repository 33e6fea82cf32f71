// "흐리게" and "부드럽게": window sums kept as running sums, first down each column, then
// along the row, so a pixel costs a few additions whatever the window size.
#include <algorithm>
#include <vector>

#include "image/effects/Neighbourhood.h"
#include "image/effects/RowThreads.h"

namespace quillet {

namespace {

// Exact n / d for n < 2^20 and d < 256: floor(n × m / 2^32) with m = floor(2^32 / d) + 1.
class Reciprocals {
public:
    explicit Reciprocals(int maxDivisor) : m_(size_t(maxDivisor) + 1) {
        for (int d = 1; d <= maxDivisor; ++d) m_[size_t(d)] = (uint64_t(1) << 32) / uint64_t(d) + 1;
    }
    uint32_t Divide(uint32_t n, int d) const { return uint32_t((n * m_[size_t(d)]) >> 32); }

private:
    std::vector<uint64_t> m_;
};

struct Column {
    uint32_t sum[3] = {0, 0, 0};
    uint32_t count = 0;
};

void AddRow(const LayerPixels& l, int y, std::vector<Column>& cols, int sign) {
    const uint8_t* p = l.Row(y);
    const uint8_t* a = l.AlphaRow(y);
    for (int x = 0; x < l.width; ++x, p += l.bytesPerPixel) {
        if (!a[x]) continue;
        Column& c = cols[size_t(x)];
        c.sum[0] += uint32_t(sign * p[0]);
        c.sum[1] += uint32_t(sign * p[1]);
        c.sum[2] += uint32_t(sign * p[2]);
        c.count += uint32_t(sign);
    }
}

}  // namespace

void BoxBlur(const LayerPixels& from, const LayerPixels& to, int n, bool soften, int threads,
             Progress* progress) {
    if (from.Empty() || !from.SameShape(to) || n < 1) return;
    const int lo = WindowLow(n), hi = WindowHigh(n);
    const int extra = soften ? n * n - 1 : 0;  // the centre's weight beyond 1
    const Reciprocals reciprocal(n * n + extra);
    const int w = from.width, h = from.height, bpp = from.bytesPerPixel;
    RowProgress rows(progress, h);
    ForRowBands(h, threads, [&](int y0, int y1) {
        std::vector<Column> cols(static_cast<size_t>(w));
        for (int y = std::max(0, y0 + lo); y <= std::min(h - 1, y0 + hi); ++y)
            AddRow(from, y, cols, 1);
        for (int y = y0; y < y1; ++y) {
            if (y > y0) {
                if (y + hi < h) AddRow(from, y + hi, cols, 1);
                if (y + lo - 1 >= 0) AddRow(from, y + lo - 1, cols, -1);
            }
            Column win;
            for (int x = std::max(0, lo); x <= std::min(w - 1, hi); ++x) {
                for (int ch = 0; ch < 3; ++ch) win.sum[ch] += cols[size_t(x)].sum[ch];
                win.count += cols[size_t(x)].count;
            }
            const uint8_t* a = from.AlphaRow(y);
            const uint8_t* s = to.SelectionRow(y);
            const uint8_t* src = from.Row(y);
            uint8_t* dst = to.Row(y);
            for (int x = 0; x < w; ++x) {
                if (x > 0) {
                    if (x + hi < w) {
                        const Column& c = cols[size_t(x + hi)];
                        for (int ch = 0; ch < 3; ++ch) win.sum[ch] += c.sum[ch];
                        win.count += c.count;
                    }
                    if (x + lo - 1 >= 0) {
                        const Column& c = cols[size_t(x + lo - 1)];
                        for (int ch = 0; ch < 3; ++ch) win.sum[ch] -= c.sum[ch];
                        win.count -= c.count;
                    }
                }
                if (!a[x] || (s && !s[x])) continue;
                const size_t i = size_t(x) * size_t(bpp);
                const int weights = int(win.count) + extra;
                for (int ch = 0; ch < 3; ++ch) {
                    const uint32_t v = win.sum[ch] + uint32_t(extra) * src[i + size_t(ch)];
                    dst[i + size_t(ch)] = uint8_t(std::min(255u, reciprocal.Divide(v, weights)));
                }
            }
            rows.RowDone();
        }
    });
}

}  // namespace quillet
