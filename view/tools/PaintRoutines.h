#pragma once
// The pixel routines of the painting tools besides the brush stamp: the circle's outline
// points, the dot, the spray and the water drop. Coordinates are layer columns and rows in
// storage order (bottom row first); only pixels the selection allows change.
#include <cmath>

#include "image/effects/Rand15.h"
#include "view/tools/BrushStamp.h"

namespace quillet {

// The outline points of a circle of radius r about (cx, cy): the four axis points, then for
// i = 1 while i < h, h = trunc(sqrt(r² − i²) + 0.5), the eight symmetric points, and the four
// diagonal points where i reaches h. Radius 0 gives nothing.
template <class Visit>
void ForEachCirclePoint(int cx, int cy, int r, Visit&& visit);

// Circle (1380): one stamp of `stamp` (soft whatever the brush flag) on every outline point.
PixelArea PaintCircle(const StampTarget& target, const BrushStamp& stamp, int cx, int cy, int r,
                      uint32_t colour);

// The dot: a size × size square from (x, row) to the right and upwards in storage rows, in
// `colour` (0x00RRGGBB), opaque, inside the selection. Gives the area it painted.
PixelArea PaintDot(const StampTarget& target, int x, int row, int size, uint32_t colour);

// One spray of radius 20 about (x, row): rings 1 to 19 until one leaves the layer, each point
// pulled from `colour` towards the pixel it lands on by a random weight, then the gaps filled.
PixelArea Spray(const StampTarget& target, int x, int row, uint32_t colour, Rand15& random);

// One water drop of size `size` at (x, row): the colour there smeared over the square of
// radius 2m (m = size, 50 above 25). Nothing on a transparent pixel.
PixelArea WaterDrop(const StampTarget& target, int x, int row, int size);

// --- Templates ----------------------------------------------------------------------------

template <class Visit>
void ForEachCirclePoint(int cx, int cy, int r, Visit&& visit) {
    if (r <= 0) return;
    visit(cx + r, cy);
    visit(cx - r, cy);
    visit(cx, cy + r);
    visit(cx, cy - r);
    for (int i = 1;; ++i) {
        const int h = int(std::sqrt(double(r) * r - double(i) * i) + 0.5);
        if (i >= h) {
            if (i == h) {
                visit(cx + i, cy + h);
                visit(cx - i, cy + h);
                visit(cx + i, cy - h);
                visit(cx - i, cy - h);
            }
            return;
        }
        visit(cx + i, cy + h);
        visit(cx - i, cy + h);
        visit(cx + i, cy - h);
        visit(cx - i, cy - h);
        visit(cx + h, cy + i);
        visit(cx - h, cy + i);
        visit(cx + h, cy - i);
        visit(cx - h, cy - i);
    }
}

}  // namespace quillet
