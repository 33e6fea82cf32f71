// "부드럽게B", "달마시안", "방울채색", "한지효과" and "빗방울".
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "image/effects/Artistic.h"
#include "image/effects/ColourTables.h"
#include "image/effects/RowCopy.h"

namespace quillet {

namespace {

inline bool Inside(const LayerPixels& l, int x, int y) {
    return x >= 0 && y >= 0 && x < l.width && y < l.height;
}
inline uint8_t* At(const LayerPixels& l, int x, int y) {
    return l.Row(y) + size_t(x) * size_t(l.bytesPerPixel);
}
inline bool Selected(const LayerPixels& l, int x, int y) {
    const uint8_t* s = l.SelectionRow(y);
    return !s || s[x];
}
inline bool Visible(const LayerPixels& l, int x, int y) { return l.AlphaRow(y)[x] != 0; }

}  // namespace

void LuminanceCurve(const LayerPixels& from, const LayerPixels& to) {
    if (from.Empty() || !from.SameShape(to)) return;
    int brightest = 1;
    for (int y = 0; y < from.height; ++y) {
        const uint8_t* p = from.Row(y);
        for (int x = 0; x < from.width; ++x, p += from.bytesPerPixel)
            brightest = std::max(brightest, (p[1] * 59 + p[2] * 30 + p[0] * 11) / 100);
    }
    const double f = 128 / std::log(brightest + 1.0) * 0.8;
    ByteTable ty, same;
    for (int i = 0; i < 256; ++i) {
        ty[size_t(i)] = uint8_t(std::min(255.0, std::sqrt(double(i)) * f));
        same[size_t(i)] = uint8_t(i);
    }
    ApplyYuvTables(from, to, ty, same, same);
}

void Dalmatian(const LayerPixels& from, const LayerPixels& to, int spotSize, int count,
               Rand15& random) {
    if (from.Empty() || !from.SameShape(to)) return;
    const int w = from.width, h = from.height;
    std::vector<uint8_t> taken(size_t(w) * size_t(h), 0);
    static constexpr uint8_t kBlack[3] = {0, 0, 0};
    for (int spot = 0; spot < count; ++spot) {
        const int d = int(random.Next() * (spotSize - 5) / 32767.0 + 5);
        const double reach = 1.1 * d / 2;
        for (int attempt = 0; attempt < 10000; ++attempt) {
            const int cx = ScaledDraw(random, w), cy = ScaledDraw(random, h);
            bool free = true;
            for (int y = std::max(0, cy - d / 2); y <= std::min(h - 1, cy + d / 2) && free; ++y)
                for (int x = std::max(0, cx - d / 2); x <= std::min(w - 1, cx + d / 2) && free; ++x)
                    free = !taken[size_t(y) * size_t(w) + size_t(x)];
            if (!free) continue;
            const int r = int(reach) + 1;
            for (int y = cy - r; y <= cy + r; ++y)
                for (int x = cx - r; x <= cx + r; ++x) {
                    if (!Inside(to, x, y)) continue;
                    const double dx = x - cx, dy = y - cy;
                    if (dx * dx + dy * dy > reach * reach) continue;
                    taken[size_t(y) * size_t(w) + size_t(x)] = 1;
                    if (Selected(to, x, y)) std::copy_n(kBlack, 3, At(to, x, y));
                }
            break;
        }
    }
    // Everything that is not dark is lightened.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = At(to, x, y);
            if (p[0] + p[1] + p[2] <= 120 || !Selected(to, x, y)) continue;
            p[0] = uint8_t(std::min(p[0] + 120, 255) - 50);
            p[1] = p[1] >= 136 ? 205 : uint8_t(p[1] + 70);
            p[2] = p[2] >= 136 ? 205 : uint8_t(p[2] + 70);
        }
}

void Bubbles(const LayerPixels& from, const LayerPixels& to, int size, Rand15& random) {
    if (from.Empty() || !from.SameShape(to)) return;
    const int r = std::min(size, 25);
    const int64_t drops = int64_t(from.height) * 20;
    for (int64_t i = 0; i < drops; ++i) {
        const int x = ScaledDraw(random, from.width), y = ScaledDraw(random, from.height);
        if (!Inside(from, x, y) || !Visible(from, x, y)) continue;
        const uint8_t* colour = At(from, x, y);
        for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx) {
                const int px = x + dx, py = y + dy;
                if (dx * dx + dy * dy > r * r || !Inside(to, px, py)) continue;
                if (Visible(to, px, py) && Selected(to, px, py))
                    std::copy_n(colour, 3, At(to, px, py));
            }
    }
}

void PaperFibres(const LayerPixels& from, const LayerPixels& to, Rand15& random) {
    if (from.Empty() || !from.SameShape(to)) return;
    const int w = from.width, h = from.height;
    // The eight neighbours: the row before, the same row, the row after.
    static constexpr int kDx[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
    static constexpr int kDy[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
    for (int x = 0; x < w; ++x)
        for (int i = 0; i < h; ++i) {
            const int y = ScaledDraw(random, h);
            if (!Inside(from, x, y) || !Visible(from, x, y)) continue;
            const uint8_t* p = At(from, x, y);
            int most = -1, largest = 0;
            for (int k = 0; k < 8; ++k) {
                const int nx = x + kDx[k], ny = y + kDy[k];
                if (!Inside(from, nx, ny)) continue;
                const uint8_t* q = At(from, nx, ny);
                const int d = std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]);
                if (d > largest) {
                    largest = d;
                    most = k;
                }
            }
            if (most < 0) continue;  // every difference 0
            const int length = int(random.Next() / 32767.0 * 3 + 3);
            if (kDx[most] != 0 && kDy[most] != 0) continue;  // diagonals are not followed
            for (int step = 0; step < length; ++step) {
                const int px = x + kDx[most] * (step + 1), py = y + kDy[most] * (step + 1);
                if (!Inside(to, px, py) || !Visible(to, px, py) || !Selected(to, px, py)) continue;
                const double weight = double(step + 1) / length;
                uint8_t* q = At(to, px, py);
                for (int ch = 0; ch < 3; ++ch)
                    q[ch] = uint8_t(p[ch] * weight + q[ch] * (1 - weight));
            }
        }
}

void Raindrops(const LayerPixels& from, const LayerPixels& to, int size, int frequency,
               Rand15& random) {
    if (from.Empty() || !from.SameShape(to)) return;
    const int w = from.width, h = from.height;
    const int64_t drops = std::max<int64_t>(1, int64_t(w) * h * frequency / 100 / 1500);
    const int largest = 2 + size / 4;
    for (int64_t i = 0; i < drops; ++i) {
        const int cx = ScaledDraw(random, w), cy = ScaledDraw(random, h);
        const int r = 2 + random.Next() % (largest - 1);
        for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx) {
                const int x = cx + dx, y = cy + dy;
                const int d2 = dx * dx + dy * dy;
                if (d2 > r * r || !Inside(to, x, y) || !Visible(to, x, y) || !Selected(to, x, y))
                    continue;
                // The drop magnifies: it shows what lies half as far from its centre.
                const int sx = std::clamp(cx + dx / 2, 0, w - 1),
                          sy = std::clamp(cy + dy / 2, 0, h - 1);
                const uint8_t* s = At(from, sx, sy);
                // Light from the top left (rows are stored bottom first): brighter there,
                // darker towards the rim opposite, with a small highlight.
                const double edge = std::sqrt(double(d2)) / r;
                double shade = 1.0 + 0.25 * (-dx + dy) / (1.4 * r);
                if (edge > 0.85) shade *= 0.75;
                const int hx = dx + r / 3, hy = dy - r / 3;
                const bool highlight = hx * hx + hy * hy <= std::max(1, r / 4) * std::max(1, r / 4);
                uint8_t* q = At(to, x, y);
                for (int ch = 0; ch < 3; ++ch) {
                    const double v = std::min(255.0, s[ch] * shade);
                    q[ch] = uint8_t(highlight ? v * 0.4 + 255 * 0.6 : v);
                }
            }
    }
}

}  // namespace quillet
