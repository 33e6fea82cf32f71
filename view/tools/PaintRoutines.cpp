#include "view/tools/PaintRoutines.h"

#include <array>

#include "image/codecs/NearestPalette.h"

namespace quillet {

namespace {

struct Bgr {
    int b = 0, g = 0, r = 0;
};

Bgr Split(uint32_t rgb) {
    return {int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF)};
}

// A pixel's colour, through the palette on an indexed layer.
Bgr Read(const StampTarget& t, int x, int y) {
    const uint8_t* p = t.layer.Row(y) + size_t(x) * size_t(t.layer.bytesPerPixel);
    if (t.layer.bytesPerPixel == 1) {
        if (p[0] >= t.paletteCount) return {};
        const Rgbquad& q = t.palette[p[0]];
        return {q.blue, q.green, q.red};
    }
    return {p[0], p[1], p[2]};
}

// Writes a colour; an indexed layer takes the nearest palette entry.
void Write(const StampTarget& t, int x, int y, Bgr c) {
    uint8_t* p = t.layer.Row(y) + size_t(x) * size_t(t.layer.bytesPerPixel);
    if (t.layer.bytesPerPixel == 1) {
        p[0] = uint8_t(t.nearest->Find(uint8_t(c.r), uint8_t(c.g), uint8_t(c.b)));
        return;
    }
    p[0] = uint8_t(c.b);
    p[1] = uint8_t(c.g);
    p[2] = uint8_t(c.r);
}

bool Writable(const StampTarget& t) {
    return !t.layer.Empty() && (t.layer.bytesPerPixel != 1 || (t.palette && t.nearest));
}

bool Selected(const LayerPixels& l, int x, int y) {
    const uint8_t* sel = l.SelectionRow(y);
    return !sel || sel[x] != 0;
}

bool Inside(const LayerPixels& l, int x, int y) {
    return x >= 0 && y >= 0 && x < l.width && y < l.height;
}

PixelArea Clipped(const LayerPixels& l, int left, int top, int right, int bottom) {
    PixelArea a{std::max(left, 0), std::max(top, 0), std::min(right, l.width),
                std::min(bottom, l.height)};
    return a.Empty() ? PixelArea{} : a;
}

}  // namespace

PixelArea PaintCircle(const StampTarget& target, const BrushStamp& stamp, int cx, int cy, int r,
                      uint32_t colour) {
    PixelArea dirty;
    ForEachCirclePoint(cx, cy, r,
                       [&](int x, int y) { dirty.Unite(stamp.Paint(target, x, y, colour)); });
    return dirty;
}

PixelArea PaintDot(const StampTarget& t, int x, int row, int size, uint32_t colour) {
    if (!Writable(t) || size < 1) return {};
    const LayerPixels& l = t.layer;
    const PixelArea a = Clipped(l, x, row, x + size, row + size);
    const Bgr c = Split(colour);
    for (int y = a.top; y < a.bottom; ++y)
        for (int i = a.left; i < a.right; ++i) {
            if (!Selected(l, i, y)) continue;
            Write(t, i, y, c);
            // The dot covers what lay under it, as the brush's full-strength centre does.
            l.AlphaRow(y)[i] = 255;
        }
    return a;
}

PixelArea Spray(const StampTarget& t, int x, int row, uint32_t colour, Rand15& random) {
    constexpr int kRadius = 20, kGrid = 2 * kRadius;
    if (!Writable(t)) return {};
    const LayerPixels& l = t.layer;
    std::array<uint8_t, kGrid * kGrid> marked{};  // (row offset + 20) × 40 + column offset + 20
    const Bgr c = Split(colour);
    PixelArea dirty;
    for (int ring = 1; ring < kRadius; ++ring) {
        bool leaves = false;
        ForEachCirclePoint(x, row, ring, [&](int px, int py) { leaves |= !Inside(l, px, py); });
        if (leaves) break;
        ForEachCirclePoint(x, row, ring, [&](int px, int py) {
            const double u = double(random.Next()) / Rand15::kMax;
            const double g = std::max(0.0, ring / 20.0 + 0.1 * u - 0.2);
            marked[size_t(py - row + kRadius) * kGrid + size_t(px - x + kRadius)] = 1;
            if (!Selected(l, px, py)) return;
            uint8_t& alpha = l.AlphaRow(py)[px];
            const Bgr e = alpha ? Read(t, px, py) : c;
            // c − g × (c − e), truncated
            Write(t, px, py,
                  {int(c.b - g * (c.b - e.b)), int(c.g - g * (c.g - e.g)),
                   int(c.r - g * (c.r - e.r))});
            alpha = 255;
        });
        dirty.Unite(Clipped(l, x - ring, row - ring, x + ring + 1, row + ring + 1));
    }
    if (dirty.Empty()) return dirty;
    // Gaps the rings left: a pixel below two marked ones along a column takes the one above it.
    for (int i = 0; i < kGrid; ++i)
        for (int j = 2; j < kGrid; ++j) {
            const size_t k = size_t(j) * kGrid + size_t(i);
            if (marked[k] || !marked[k - kGrid] || !marked[k - 2 * kGrid]) continue;
            const int px = x + i - kRadius, py = row + j - kRadius;
            if (!Inside(l, px, py) || !Inside(l, px, py - 1) || !Selected(l, px, py)) continue;
            Write(t, px, py, Read(t, px, py - 1));
            l.AlphaRow(py)[px] = l.AlphaRow(py - 1)[px];
        }
    return dirty;
}

PixelArea WaterDrop(const StampTarget& t, int x, int row, int size) {
    const LayerPixels& l = t.layer;
    if (!Writable(t) || size < 1 || !Inside(l, x, row) || l.AlphaRow(row)[x] == 0) return {};
    const int m = size > 25 ? 50 : size, R = 2 * m;
    const double norm = std::sqrt(double(R) * R + double(R) * R);
    const Bgr k = Read(t, x, row);
    const PixelArea a = Clipped(l, x - R, row - R, x + R + 1, row + R + 1);
    for (int y = a.top; y < a.bottom; ++y)
        for (int i = a.left; i < a.right; ++i) {
            if (!Selected(l, i, y)) continue;
            const double dx = i - x, dy = y - row;
            const double L = std::min(1.0, std::sqrt(dx * dx + dy * dy) * 1.5 / norm);
            if (L >= 1.0) continue;
            const Bgr o = Read(t, i, y);
            // trunc(old × L + k × (1 − L)), as k + (old − k) × L so that k stays k.
            Write(t, i, y,
                  {int(k.b + (o.b - k.b) * L), int(k.g + (o.g - k.g) * L),
                   int(k.r + (o.r - k.r) * L)});
        }
    return a;
}

}  // namespace quillet
