#pragma once
// The document's path: guide points on the current layer, in order, open or closed.
#include <algorithm>
#include <cstdint>
#include <vector>

namespace quillet {

struct GuidePoint {
    int32_t x = 0;  // current-layer coordinates, rows counted from the layer's top
    int32_t y = 0;
    bool operator==(const GuidePoint&) const = default;
};

struct GuidePath {
    static constexpr int kMaxPoints = 300;

    std::vector<GuidePoint> points;
    bool closed = false;

    bool Empty() const { return points.empty(); }
    int Count() const { return int(points.size()); }
    void Clear() {
        points.clear();
        closed = false;
    }
    // The layer's origin moved by (dx, dy) on the canvas: the points keep their canvas place,
    // clamped at 0.
    void OriginMoved(int dx, int dy) {
        for (GuidePoint& p : points) {
            p.x = std::max(0, p.x - dx);
            p.y = std::max(0, p.y - dy);
        }
    }
};

}  // namespace quillet
