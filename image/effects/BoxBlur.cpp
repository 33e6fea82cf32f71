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
    uint64_t Of(int d) const { return m_[size_t(d)]; }

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

// The column sums moved down one row: row `in` joins (when ≥ 0), row `out` leaves (when ≥ 0).
// Transparent pixels count 0 through a mask, so the loop has no branch.
void MoveDown(const LayerPixels& l, int in, int out, std::vector<Column>& cols) {
    if (in < 0 || out < 0) {
        if (in >= 0) AddRow(l, in, cols, 1);
        if (out >= 0) AddRow(l, out, cols, -1);
        return;
    }
    const uint8_t* p = l.Row(in);
    const uint8_t* a = l.AlphaRow(in);
    const uint8_t* q = l.Row(out);
    const uint8_t* b = l.AlphaRow(out);
    const int bpp = l.bytesPerPixel;
    Column* c = cols.data();
    for (int x = 0; x < l.width; ++x, p += bpp, q += bpp) {
        const uint32_t m = a[x] != 0, k = b[x] != 0;
        c[x].sum[0] += m * p[0] - k * q[0];
        c[x].sum[1] += m * p[1] - k * q[1];
        c[x].sum[2] += m * p[2] - k * q[2];
        c[x].count += m - k;
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
    RowCounter rows(progress, h);
    ForRowBands(h, threads, [&](int y0, int y1) {
        std::vector<Column> cols(static_cast<size_t>(w));
        std::vector<Column> padded(static_cast<size_t>(w + n + 2));
        for (int y = std::max(0, y0 + lo); y <= std::min(h - 1, y0 + hi); ++y)
            AddRow(from, y, cols, 1);
        for (int y = y0; y < y1; ++y) {
            if (y > y0) MoveDown(from, y + hi < h ? y + hi : -1, y + lo - 1, cols);
            // Zero columns on both sides let the window slide without looking at the edges.
            std::copy(cols.begin(), cols.end(), padded.begin() + (1 - lo));
            Column win;
            for (int x = lo; x <= hi; ++x) {
                const Column& c = padded[size_t(x - lo + 1)];
                for (int ch = 0; ch < 3; ++ch) win.sum[ch] += c.sum[ch];
                win.count += c.count;
            }
            const uint8_t* a = from.AlphaRow(y);
            const uint8_t* s = to.SelectionRow(y);
            const uint8_t* src = from.Row(y);
            uint8_t* dst = to.Row(y);
            const Column* enter = padded.data() + (1 - lo) + hi;      // column x + hi
            const Column* leave = padded.data() + (1 - lo) + lo - 1;  // column x + lo − 1
            for (int x = 0; x < w; ++x) {
                if (x > 0) {
                    for (int ch = 0; ch < 3; ++ch)
                        win.sum[ch] += enter[x].sum[ch] - leave[x].sum[ch];
                    win.count += enter[x].count - leave[x].count;
                }
                if (!a[x] || (s && !s[x])) continue;
                const size_t i = size_t(x) * size_t(bpp);
                const uint64_t m = reciprocal.Of(int(win.count) + extra);
                for (int ch = 0; ch < 3; ++ch) {
                    const uint64_t v = win.sum[ch] + uint32_t(extra) * src[i + size_t(ch)];
                    dst[i + size_t(ch)] = uint8_t(std::min<uint64_t>(255, (v * m) >> 32));
                }
            }
            rows.RowDone();
        }
    });
}

}  // namespace quillet
