// "물체축소" and "물체확장": the window's minimum or maximum per channel, taken along the rows
// and then down the columns (the window is a rectangle, so the two passes give the same
// answer as the whole window). Each pass runs over whole rows of bytes at once.
#include <algorithm>
#include <cstring>
#include <vector>

#include "image/effects/Neighbourhood.h"
#include "image/effects/RowThreads.h"

namespace quillet {

namespace {

template <bool Max>
inline uint8_t Pick(uint8_t a, uint8_t b) {
    return Max ? std::max(a, b) : std::min(a, b);
}

template <bool Max>
void Extreme(const LayerPixels& from, const LayerPixels& to, int n, uint32_t background,
             int threads) {
    if (from.Empty() || !from.SameShape(to) || n < 1) return;
    const int w = from.width, h = from.height, bpp = from.bytesPerPixel;
    const int lo = WindowLow(n), hi = WindowHigh(n);
    const size_t rowBytes = size_t(w) * size_t(bpp);
    // Pass 1: along each row, positions outside the layer left out.
    std::vector<uint8_t> across(rowBytes * size_t(h));
    ForRowBands(h, threads, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uint8_t* in = from.Row(y);
            uint8_t* out = across.data() + size_t(y) * rowBytes;
            std::memcpy(out, in, rowBytes);
            for (int k = lo; k <= hi; ++k) {
                if (k == 0) continue;
                const int x0 = std::max(0, -k), x1 = std::min(w, w - k);
                const ptrdiff_t shift = ptrdiff_t(k) * bpp;
                for (size_t i = size_t(x0) * size_t(bpp); i < size_t(x1) * size_t(bpp); ++i)
                    out[i] = Pick<Max>(out[i], in[ptrdiff_t(i) + shift]);
            }
        }
    });
    // Pass 2: down each column, then the pixels are written.
    const uint8_t bg[3] = {uint8_t(background), uint8_t(background >> 8),
                           uint8_t(background >> 16)};
    ForRowBands(h, threads, [&](int y0, int y1) {
        std::vector<uint8_t> column(rowBytes);
        for (int y = y0; y < y1; ++y) {
            const int ya = std::max(0, y + lo), yb = std::min(h - 1, y + hi);
            std::memcpy(column.data(), across.data() + size_t(ya) * rowBytes, rowBytes);
            for (int yy = ya + 1; yy <= yb; ++yy) {
                const uint8_t* in = across.data() + size_t(yy) * rowBytes;
                for (size_t i = 0; i < rowBytes; ++i) column[i] = Pick<Max>(column[i], in[i]);
            }
            const bool rowCut = y + lo < 0 || y + hi >= h;
            const uint8_t* a = from.AlphaRow(y);
            const uint8_t* s = to.SelectionRow(y);
            uint8_t* dst = to.Row(y);
            for (int x = 0; x < w; ++x) {
                if (!a[x] || (s && !s[x])) continue;
                const size_t i = size_t(x) * size_t(bpp);
                // The maximum reads positions outside the layer as the background colour.
                const bool cut = Max && (rowCut || x + lo < 0 || x + hi >= w);
                for (int ch = 0; ch < 3; ++ch)
                    dst[i + size_t(ch)] =
                        cut ? Pick<Max>(column[i + size_t(ch)], bg[ch]) : column[i + size_t(ch)];
            }
        }
    });
}

}  // namespace

void Erode(const LayerPixels& from, const LayerPixels& to, int n, int threads) {
    Extreme<false>(from, to, n, 0, threads);
}

void Dilate(const LayerPixels& from, const LayerPixels& to, int n, uint32_t background,
            int threads) {
    Extreme<true>(from, to, n, background, threads);
}

}  // namespace quillet
