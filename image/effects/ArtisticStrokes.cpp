// The stroke filters ("유화", "선효과채색", "찍어붙이기", "색종이뿌리기") and the slope map and
// edge mask they follow.
#include <algorithm>
#include <cmath>
#include <vector>

#include "image/effects/Artistic.h"
#include "image/effects/Convolution.h"

namespace quillet {

namespace {

inline bool Inside(const LayerPixels& l, int x, int y) {
    return x >= 0 && y >= 0 && x < l.width && y < l.height;
}
inline bool Visible(const LayerPixels& l, int x, int y) { return l.AlphaRow(y)[x] != 0; }
inline const uint8_t* At(const LayerPixels& l, int x, int y) {
    return l.Row(y) + size_t(x) * size_t(l.bytesPerPixel);
}

// One pixel written if the layer shows it there and the selection allows it.
inline void Paint(const LayerPixels& to, int x, int y, const uint8_t* colour) {
    if (!Inside(to, x, y) || !to.AlphaRow(y)[x]) return;
    const uint8_t* s = to.SelectionRow(y);
    if (s && !s[x]) return;
    uint8_t* p = to.Row(y) + size_t(x) * size_t(to.bytesPerPixel);
    p[0] = colour[0];
    p[1] = colour[1];
    p[2] = colour[2];
}

// A round brush: the disc of the given radius around (x, y).
void Stamp(const LayerPixels& to, int x, int y, int radius, const uint8_t* colour) {
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (dx * dx + dy * dy <= radius * radius) Paint(to, x + dx, y + dy, colour);
}

// The edge mask of a first pass with L(centre). Beyond 8 the kernel also brightens flat areas by
// (centre − 8) × their value; the threshold rises by as much, so only edges stop a stroke.
std::vector<uint8_t> EdgesOf(const LayerPixels& from, int centre, int threshold) {
    threshold += 3 * 255 * std::max(0, centre - 8);
    std::vector<uint32_t> edges(size_t(from.width) * size_t(from.height), 0);
    Convolution c;
    c.kernel = Laplacian(centre);
    ConvolveToBuffer(from, c, edges.data(), 2);
    return EdgeMask(from, edges.data(), threshold);
}

void Copy3(uint8_t* d, const uint8_t* s) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
}

}  // namespace

std::vector<float> SlopeMap(const LayerPixels& layer, int threads) {
    const size_t n = size_t(layer.width) * size_t(layer.height);
    std::vector<uint32_t> across(n, 0), down(n, 0);
    Convolution c;
    c.divisor = 0;  // the gradients are only clamped
    c.kernel = HorizontalGradient();
    ConvolveToBuffer(layer, c, across.data(), threads);
    c.kernel = VerticalGradient();
    ConvolveToBuffer(layer, c, down.data(), threads);
    std::vector<float> slope(n, 0.0f);
    for (size_t i = 0; i < n; ++i) {
        const int h = int((across[i] >> 8) & 0xFF), v = int((down[i] >> 8) & 0xFF);
        slope[i] = h ? float(v) / float(h) : 0.0f;
    }
    return slope;
}

std::vector<uint8_t> EdgeMask(const LayerPixels& layer, const uint32_t* colours, int threshold) {
    std::vector<uint8_t> mask(size_t(layer.width) * size_t(layer.height), 0);
    for (int y = 0; y < layer.height; ++y)
        for (int x = 0; x < layer.width; ++x) {
            const size_t i = size_t(y) * size_t(layer.width) + size_t(x);
            const uint32_t c = colours[i];
            const int sum = int(c & 0xFF) + int((c >> 8) & 0xFF) + int((c >> 16) & 0xFF);
            mask[i] = Visible(layer, x, y) && sum > threshold;
        }
    return mask;
}

void OilPaint(const LayerPixels& from, const LayerPixels& to, int length, int detail,
              Rand15& random, Progress* progress) {
    if (from.Empty() || !from.SameShape(to)) return;
    const int w = from.width, h = from.height;
    // More detail stops the strokes at fainter edges.
    const std::vector<uint8_t> edges = EdgesOf(from, 8, (100 - detail) * 6);
    const std::vector<float> slope = SlopeMap(from, 2);
    const int64_t strokes = int64_t(w) * h;
    for (int64_t i = 0; i < strokes; ++i) {
        const int x = ScaledDraw(random, w), y = ScaledDraw(random, h);
        if (i % w == 0) SetProgress(progress, int(i * 100 / strokes));
        if (!Inside(from, x, y) || !Visible(from, x, y)) continue;
        const int steps = ScaledDraw(random, length) + 3;
        const float s = slope[size_t(y) * size_t(w) + size_t(x)];
        const uint8_t* colour = At(from, x, y);
        for (int k = 0; k < steps; ++k) {
            const int rise = int(s * float(k));
            const int px = x + k, py = y + rise;
            if (rise > 1 || rise < -1 || !Inside(from, px, py)) break;
            if (edges[size_t(py) * size_t(w) + size_t(px)]) break;
            if (Visible(from, px, py)) Stamp(to, px, py, 3, colour);
        }
    }
}

void LineColouring(const LayerPixels& from, const LayerPixels& to, int length, int passes,
                   Rand15& random, Progress* progress) {
    if (from.Empty() || !from.SameShape(to)) return;
    const int w = from.width, h = from.height;
    const std::vector<float> slope = SlopeMap(from, 2);
    const int64_t strokes = int64_t(w) * h;
    for (int pass = 0; pass < passes; ++pass)
        for (int64_t i = 0; i < strokes; ++i) {
            const int x = ScaledDraw(random, w), y = ScaledDraw(random, h);
            if (i % w == 0)
                SetProgress(progress, int((pass * strokes + i) * 100 / (passes * strokes)));
            if (!Inside(from, x, y) || !Visible(from, x, y)) continue;
            const int steps = ScaledDraw(random, length) + 3;
            const float s = slope[size_t(y) * size_t(w) + size_t(x)];
            const uint8_t* colour = At(from, x, y);
            for (int k = 1; k <= steps; ++k) {
                const int rise = int(s * float(k));
                if (rise > 1 || rise < -1) break;
                Paint(to, x + k, y + rise, colour);
            }
        }
}

void ColouredStrokes(const LayerPixels& from, const LayerPixels& to, int edgeCentre, int length,
                     int factor, Rand15& random, Progress* progress) {
    if (from.Empty() || !from.SameShape(to)) return;
    const int w = from.width, h = from.height;
    const std::vector<uint8_t> edges = EdgesOf(from, edgeCentre, 150);
    const int64_t strokes = int64_t(w) * h;
    for (int pass = 0; pass < 2; ++pass)
        for (int64_t i = 0; i < strokes; ++i) {
            const int x = ScaledDraw(random, w), y = ScaledDraw(random, h);
            if (i % w == 0) SetProgress(progress, int((pass * strokes + i) * 100 / (2 * strokes)));
            if (!Inside(from, x, y) || !Visible(from, x, y)) continue;
            const int steps = ScaledDraw(random, length) + 3;
            const int sx = x + steps / 2, sy = y + steps / 2;
            uint8_t colour[3];
            Copy3(colour, Inside(from, sx, sy) ? At(from, sx, sy) : At(from, x, y));
            switch (random.Next() % 3) {
                case 0:
                    for (uint8_t& c : colour) c = uint8_t(c * factor % 256);
                    break;
                case 1:
                    colour[0] = uint8_t(colour[0] * factor % 256);
                    break;
                default:
                    colour[1] = uint8_t(colour[1] * factor % 256);
                    break;
            }
            for (int k = 1; k <= steps; ++k) {
                const int px = x + k, py = y + k;
                if (!Inside(from, px, py) || edges[size_t(py) * size_t(w) + size_t(px)]) break;
                Stamp(to, px, py, 2, colour);
            }
        }
}

}  // namespace quillet
