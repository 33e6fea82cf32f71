#include "view/tools/BrushStamp.h"

#include "image/codecs/NearestPalette.h"
#include "view/tools/LineWalker.h"

namespace quillet {

namespace {

// trunc(old × L + c × (1 − L)) with L = n / den exactly: the value lies between old and c, so
// the integer division truncates it. A colour painted over itself stays itself.
inline uint8_t Mix(int old, int c, int32_t n, int32_t den) {
    return uint8_t((c * den + (old - c) * n) / den);
}

}  // namespace

BrushStamp::BrushStamp(int size, bool soft)
    : size_(std::max(0, std::min(size, kMaxSize))),
      radius_(std::min(size_, kMaxRadius)),
      soft_(soft) {
    if (size_ < 2) return;
    const int m = radius_, side = 2 * m;
    den_ = m * m;
    weights_.resize(size_t(side) * size_t(side));
    alphas_.resize(weights_.size());
    for (int j = 0; j < side; ++j)
        for (int i = 0; i < side; ++i) {
            const int dx = i - m, dy = j - m;
            const int32_t n = soft ? std::min(2 * (dx * dx + dy * dy), den_) : 0;
            const size_t k = size_t(j) * size_t(side) + size_t(i);
            weights_[k] = n;
            alphas_[k] = uint8_t(std::min(255, 2 * (255 * (den_ - n) / den_)));
        }
}

PixelArea BrushStamp::Footprint(int px, int py, int width, int height) const {
    if (size_ < 1) return {};
    if (size_ == 1) {
        if (px < 0 || py < 0 || px >= width || py >= height) return {};
        return {px, py, px + 1, py + 1};
    }
    PixelArea a{std::max(0, px - radius_), std::max(0, py - radius_), std::min(width, px + radius_),
                std::min(height, py + radius_)};
    return a.Empty() ? PixelArea{} : a;
}

PixelArea BrushStamp::Paint(const StampTarget& t, int px, int py, uint32_t colour) const {
    const LayerPixels& l = t.layer;
    if (l.Empty()) return {};
    const int bpp = l.bytesPerPixel;
    const bool indexed = bpp == 1;
    if (indexed && (!t.palette || t.paletteCount < 1 || !t.nearest)) return {};
    const int cr = int((colour >> 16) & 0xFF), cg = int((colour >> 8) & 0xFF),
              cb = int(colour & 0xFF);
    const PixelArea area = Footprint(px, py, l.width, l.height);
    if (area.Empty()) return {};
    if (size_ == 1) {
        const uint8_t* sel = l.SelectionRow(py);
        if (sel && sel[px] == 0) return area;
        uint8_t* p = l.Row(py) + size_t(px) * size_t(bpp);
        if (indexed) {
            p[0] = uint8_t(t.nearest->Find(uint8_t(cr), uint8_t(cg), uint8_t(cb)));
        } else {
            p[0] = uint8_t(cb);
            p[1] = uint8_t(cg);
            p[2] = uint8_t(cr);
        }
        l.AlphaRow(py)[px] = 255;
        return area;
    }
    const int side = 2 * radius_;
    for (int y = area.top; y < area.bottom; ++y) {
        // The stamp's row for this layer row; column x is offset x − px + m.
        const size_t k0 = size_t(y - py + radius_) * size_t(side);
        const int32_t* w = weights_.data() + k0;
        const uint8_t* strength = alphas_.data() + k0;
        const int shift = radius_ - px;
        const uint8_t* sel = l.SelectionRow(y);
        uint8_t* row = l.Row(y);
        uint8_t* alpha = l.AlphaRow(y);
        for (int x = area.left; x < area.right; ++x) {
            const int32_t n = w[x + shift];
            if (n >= den_ || (sel && sel[x] == 0)) continue;
            uint8_t* p = row + size_t(x) * size_t(bpp);
            if (indexed) {
                const Rgbquad old = p[0] < t.paletteCount ? t.palette[p[0]] : Rgbquad{};
                p[0] =
                    uint8_t(t.nearest->Find(Mix(old.red, cr, n, den_), Mix(old.green, cg, n, den_),
                                            Mix(old.blue, cb, n, den_)));
            } else {
                p[0] = Mix(p[0], cb, n, den_);
                p[1] = Mix(p[1], cg, n, den_);
                p[2] = Mix(p[2], cr, n, den_);
            }
            alpha[x] = std::max(alpha[x], strength[x + shift]);
        }
    }
    return area;
}

PixelArea BrushStamp::Erase(const LayerPixels& l, int px, int py) const {
    if (l.Empty()) return {};
    const PixelArea area = Footprint(px, py, l.width, l.height);
    if (area.Empty()) return {};
    if (size_ == 1) {
        const uint8_t* sel = l.SelectionRow(py);
        uint8_t& a = l.AlphaRow(py)[px];
        if (!sel || sel[px] != 0) a = uint8_t(std::max(0, a - kEraseStep));
        return area;
    }
    const int side = 2 * radius_;
    for (int y = area.top; y < area.bottom; ++y) {
        const int32_t* w = weights_.data() + size_t(y - py + radius_) * size_t(side);
        const int shift = radius_ - px;
        const uint8_t* sel = l.SelectionRow(y);
        uint8_t* alpha = l.AlphaRow(y);
        // trunc(L × 255 × a / 255) is trunc(L × a).
        for (int x = area.left; x < area.right; ++x)
            if (!sel || sel[x] != 0) alpha[x] = uint8_t(w[x + shift] * alpha[x] / den_);
    }
    return area;
}

PixelArea PaintLine(const StampTarget& target, const BrushStamp& stamp, int x0, int y0, int x1,
                    int y1, uint32_t colour, double scale) {
    PixelArea dirty;
    if (stamp.Size() < 1) return dirty;
    WalkLine(
        x0, y0, x1, y1, [&](int x, int y) { dirty.Unite(stamp.Paint(target, x, y, colour)); },
        scale);
    return dirty;
}

PixelArea EraseLine(const LayerPixels& layer, const BrushStamp& stamp, int x0, int y0, int x1,
                    int y1, double scale) {
    PixelArea dirty;
    if (stamp.Size() < 1) return dirty;
    WalkLine(
        x0, y0, x1, y1, [&](int x, int y) { dirty.Unite(stamp.Erase(layer, x, y)); }, scale);
    return dirty;
}

}  // namespace quillet
