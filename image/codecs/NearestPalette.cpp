#include "image/codecs/NearestPalette.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace quillet {

namespace {
inline uint32_t colourHash(uint32_t colour) { return (colour * 2654435761u) >> 16; }
// Distance from v to the span lo..lo+7, and the greatest distance to it.
int axisMin(int v, int lo) { return v < lo ? lo - v : v > lo + 7 ? v - (lo + 7) : 0; }
int axisMax(int v, int lo) { return std::max(std::abs(v - lo), std::abs(v - (lo + 7))); }
}  // namespace

NearestPalette::NearestPalette(const Rgbquad* palette, int count)
    : palette_(palette, palette + std::max(0, count)), cellStart_(kCells, -1), cellEnd_(kCells, 0) {
    cache_.assign(size_t(1) << 16, Slot{});
}

int NearestPalette::Find(uint8_t red, uint8_t green, uint8_t blue) {
    const uint32_t key = packBgr(red, green, blue);
    Slot& slot = cache_[colourHash(key)];
    if (slot.colour == key) return slot.index;
    slot.colour = key;
    slot.index = Search(red, green, blue);
    return slot.index;
}

void NearestPalette::Fill(int cell) {
    const int r0 = (cell >> 10) << 3, g0 = ((cell >> 5) & 31) << 3, b0 = (cell & 31) << 3;
    int bound = INT_MAX;
    for (const Rgbquad& q : palette_) {
        const int dr = axisMax(q.red, r0), dg = axisMax(q.green, g0), db = axisMax(q.blue, b0);
        bound = std::min(bound, dr * dr + dg * dg + db * db);
    }
    cellStart_[size_t(cell)] = int(candidates_.size());
    for (int i = 0; i < int(palette_.size()); ++i) {
        const Rgbquad& q = palette_[size_t(i)];
        const int dr = axisMin(q.red, r0), dg = axisMin(q.green, g0), db = axisMin(q.blue, b0);
        if (dr * dr + dg * dg + db * db <= bound) candidates_.push_back(i);
    }
    cellEnd_[size_t(cell)] = int(candidates_.size());
}

int NearestPalette::Search(int red, int green, int blue) {
    if (palette_.empty()) return 0;
    const int cell = ((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3);
    if (cellStart_[size_t(cell)] < 0) Fill(cell);
    int best = INT_MAX, bestIndex = 0;
    for (int k = cellStart_[size_t(cell)]; k < cellEnd_[size_t(cell)]; ++k) {
        const int i = candidates_[size_t(k)];
        const Rgbquad& q = palette_[size_t(i)];
        const int dr = q.red - red, dg = q.green - green, db = q.blue - blue;
        const int d = dr * dr + dg * dg + db * db;
        if (d < best) {
            best = d;
            bestIndex = i;
            if (d == 0) break;
        }
    }
    return bestIndex;
}

}  // namespace quillet
