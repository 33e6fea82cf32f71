#pragma once
// The one brush stamp of the painting tools (and of the path stroke and the undo brush): paints
// or erases a square of 2m × 2m pixels around a position, soft (radial falloff) or hard (the
// whole square). Coordinates are layer columns and rows in storage order (bottom row first),
// like LayerPixels.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "image/BitmapInfo.h"
#include "image/effects/LayerPixels.h"

namespace quillet {

class NearestPalette;

// Pixels x left..right−1, rows top..bottom−1 (storage rows); empty when right ≤ left.
struct PixelArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    void Unite(const PixelArea& o) {
        if (o.Empty()) return;
        if (Empty()) {
            *this = o;
            return;
        }
        left = std::min(left, o.left);
        top = std::min(top, o.top);
        right = std::max(right, o.right);
        bottom = std::max(bottom, o.bottom);
    }
    bool operator==(const PixelArea&) const = default;
};

// Where a stamp writes: the layer's planes (with their selection) and, for an 8-bit indexed
// layer, its palette and a nearest-entry finder (the nearest entry is written).
struct StampTarget {
    LayerPixels layer;
    const Rgbquad* palette = nullptr;
    int paletteCount = 0;
    NearestPalette* nearest = nullptr;
};

class BrushStamp {
public:
    static constexpr int kMaxSize = 30;
    static constexpr int kMaxRadius = 25;  // sizes 26 to 30 paint like 25
    static constexpr int kEraseStep = 50;  // alpha taken off by one size-1 erase

    // Size 0 (or less) draws nothing; size 1 works on the single pixel.
    BrushStamp(int size, bool soft);

    int Size() const { return size_; }
    int Radius() const { return radius_; }
    bool Soft() const { return soft_; }

    // The square a stamp at (px, py) covers, clipped to a layer of width × height.
    PixelArea Footprint(int px, int py, int width, int height) const;

    // Calls f(x, y, L) for every pixel of the square inside width × height whose weight L is
    // below 1 (L = 0 at full strength). Size 1 gives its one pixel with L = 0.
    template <class F>
    void ForEach(int px, int py, int width, int height, F&& f) const {
        const PixelArea a = Footprint(px, py, width, height);
        if (size_ == 1) {
            if (!a.Empty()) f(px, py, 0.0);
            return;
        }
        const int side = 2 * radius_;
        const double den = double(den_);
        for (int y = a.top; y < a.bottom; ++y) {
            const int32_t* w = weights_.data() + size_t(y - py + radius_) * size_t(side);
            for (int x = a.left; x < a.right; ++x) {
                const int32_t n = w[x - px + radius_];
                if (n < den_) f(x, y, n / den);
            }
        }
    }

    // Paints `colour` (0x00RRGGBB) at (px, py); gives the pixels that may have changed.
    PixelArea Paint(const StampTarget& target, int px, int py, uint32_t colour) const;
    // Erases at (px, py): alpha × L, and −50 for size 1; colours stay.
    PixelArea Erase(const LayerPixels& layer, int px, int py) const;

private:
    int size_;
    int radius_;
    bool soft_;
    // L = d² / R² with R² = m² / 2 is kept exactly as weights_ / den_ (2d² / m², at most 1),
    // so that every truncation of the rule is taken on the exact value.
    int32_t den_ = 1;
    std::vector<int32_t> weights_;  // (2m)², rows of 2m: L × den_ for each offset
    std::vector<uint8_t> alphas_;   // min(255, 2 × trunc((1 − L) × 255)) for the same offsets
};

// Stamps along the line from (x0, y0) to (x1, y1) with the line walker (scale as there); both
// end points get a stamp. Gives the pixels that may have changed.
PixelArea PaintLine(const StampTarget& target, const BrushStamp& stamp, int x0, int y0, int x1,
                    int y1, uint32_t colour, double scale = 1.0);
PixelArea EraseLine(const LayerPixels& layer, const BrushStamp& stamp, int x0, int y0, int x1,
                    int y1, double scale = 1.0);

}  // namespace quillet
