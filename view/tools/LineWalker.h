#pragma once
// The one line walker of the painting and selection tools: Bresenham stepping along the longer
// axis, both end points included, each pixel of the line visited exactly once. The painting
// tools put a brush stamp on every point; the selection tools write outline values instead.
#include <cstdlib>

namespace quillet {

// The step counts of a walk: |dx| × scale and |dy| × scale, truncated. A scale below 1 walks
// only the first part of the segment (the last edge of a path stroke).
struct WalkSteps {
    int x = 0;
    int y = 0;
};

inline WalkSteps StepsOf(int dx, int dy, double scale) {
    return {int(std::abs(dx) * scale), int(std::abs(dy) * scale)};
}

// Calls visit(x, y) for every point from (x0, y0) towards (x1, y1); a zero-length line visits
// its one point. The visitor is a template parameter so the walk inlines into its caller.
template <class Visit>
void WalkLine(int x0, int y0, int x1, int y1, Visit&& visit, double scale = 1.0) {
    const int sx = x1 >= x0 ? 1 : -1, sy = y1 >= y0 ? 1 : -1;
    const WalkSteps n = StepsOf(x1 - x0, y1 - y0, scale);
    int x = x0, y = y0;
    if (n.x >= n.y) {
        int err = 2 * n.y - n.x;
        for (int i = 0; i <= n.x; ++i) {
            visit(x, y);
            if (err > 0) {
                y += sy;
                err -= 2 * n.x;
            }
            err += 2 * n.y;
            x += sx;
        }
    } else {
        int err = 2 * n.x - n.y;
        for (int i = 0; i <= n.y; ++i) {
            visit(x, y);
            if (err > 0) {
                x += sx;
                err -= 2 * n.y;
            }
            err += 2 * n.x;
            y += sy;
        }
    }
}

}  // namespace quillet
