#include "view/tools/OutlineFill.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "view/tools/SpanFill.h"

namespace quillet {

void DrawOutlineLine(SelectionMask& mask, int x0, int y0, int x1, int y1, uint8_t value) {
    if (!mask.Consistent()) return;
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        if (mask.Contains(x0, y0)) mask.RowFromTop(y0)[x0] = value;
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

std::optional<MaskPoint> FindOutlineSeed(const SelectionMask& mask) {
    if (!mask.Consistent() || mask.width < 1 || mask.height < 1) return std::nullopt;
    const int w = mask.width, h = mask.height;
    // The first and last outline row of every column, for the test of a proposed seed.
    std::vector<int> firstRow(size_t(w), h), lastRow(size_t(w), -1);
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = mask.RowFromTop(y);
        for (int x = 0; x < w; ++x)
            if (row[x] == MaskValue::Outline) {
                firstRow[size_t(x)] = std::min(firstRow[size_t(x)], y);
                lastRow[size_t(x)] = y;
            }
    }
    std::optional<MaskPoint> proposed;
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = mask.RowFromTop(y);
        int first = -1;
        for (int x = 0; x < w; ++x) {
            if (row[x] != MaskValue::Outline) continue;
            if (first >= 0 && x - first > 3) {
                const int mid = first + (x - first) / 2;
                proposed = MaskPoint{mid, y};
                if (row[mid] != MaskValue::Outline && firstRow[size_t(mid)] < y &&
                    lastRow[size_t(mid)] > y)
                    return proposed;
            }
            first = x;
        }
    }
    return proposed;
}

bool FillClosedOutline(SelectionMask& mask) {
    if (!mask.Consistent()) return false;
    const std::optional<MaskPoint> seed = FindOutlineSeed(mask);
    for (uint8_t& b : mask.bytes)
        if (b != MaskValue::Outline) b = MaskValue::Unselected;
    if (!seed || mask.RowFromTop(seed->y)[seed->x] == MaskValue::Outline) return false;
    FillSpansFrom(mask, seed->x, seed->y, MaskValue::Selected,
                  [&mask](int x, int y) { return mask.RowFromTop(y)[x] == MaskValue::Unselected; });
    return true;
}

}  // namespace quillet
