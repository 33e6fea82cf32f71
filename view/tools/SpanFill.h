#pragma once
// 4-connected flood fill of the selection mask by horizontal spans. The pending spans wait on a
// stack on the heap, so a fill over a whole large layer never deepens the call stack.
#include <cstring>
#include <vector>

#include "document/SelectionMask.h"

namespace quillet {

// Marks with `mark` every pixel 4-connected to (x, y) through pixels for which
// `canJoin(x, y)` holds (rows from the top). `canJoin` must turn false for a pixel once it holds
// `mark`. The seed itself is marked whether or not it may join, as the magic wand marks its
// seed; its neighbours must join on their own.
template <class CanJoin>
void FillSpansFrom(SelectionMask& m, int x, int y, uint8_t mark, CanJoin&& canJoin) {
    if (!m.Contains(x, y)) return;
    struct Pending {
        int x, y;
    };
    std::vector<Pending> stack;
    const int w = m.width, h = m.height;
    auto span = [&](int sx, int sy, bool seed) {
        if (!seed && !canJoin(sx, sy)) return;  // taken since it was pushed
        int left = sx, right = sx;
        while (left > 0 && canJoin(left - 1, sy)) --left;
        while (right < w - 1 && canJoin(right + 1, sy)) ++right;
        std::memset(m.RowFromTop(sy) + left, mark, size_t(right - left + 1));
        for (int ny : {sy - 1, sy + 1}) {
            if (ny < 0 || ny >= h) continue;
            bool inRun = false;
            for (int nx = left; nx <= right; ++nx) {
                const bool join = canJoin(nx, ny);
                if (join && !inRun) stack.push_back({nx, ny});
                inRun = join;
            }
        }
    };
    span(x, y, true);
    while (!stack.empty()) {
        const Pending p = stack.back();
        stack.pop_back();
        span(p.x, p.y, false);
    }
}

}  // namespace quillet
