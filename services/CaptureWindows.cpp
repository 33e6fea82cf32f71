#include "services/CaptureWindows.h"

#include <algorithm>
#include <cstdint>

namespace quillet {

std::vector<CaptureWindow> CaptureChoices(const std::vector<CaptureWindow>& windows,
                                          int screenWidth, int screenHeight) {
    std::vector<CaptureWindow> out;
    out.push_back({0, kDesktopEntry, 0, 0, screenWidth, screenHeight, true, false});
    for (const CaptureWindow& w : windows) {
        if (int(out.size()) > kMaxCaptureWindows) break;
        if (!w.visible || w.minimised || w.title.empty() || w.width <= 4 || w.height <= 4) continue;
        out.push_back(w);
    }
    return out;
}

CaptureArea ClipToScreen(const CaptureWindow& w, int screenWidth, int screenHeight) {
    // 64-bit edges: a window far off the screen must not wrap around into it.
    int64_t left = w.x, top = w.y;
    int64_t right = int64_t(w.x) + std::max(w.width, 0);
    int64_t bottom = int64_t(w.y) + std::max(w.height, 0);
    right = std::min<int64_t>(right, screenWidth);
    bottom = std::min<int64_t>(bottom, screenHeight);
    CaptureArea a;
    if (left < 0) {
        a.offsetX = int(std::min<int64_t>(-left, INT32_MAX));
        left = 0;
    }
    if (top < 0) {
        a.offsetY = int(std::min<int64_t>(-top, INT32_MAX));
        top = 0;
    }
    if (right <= left || bottom <= top) return CaptureArea{};
    a.screenX = int(left);
    a.screenY = int(top);
    a.width = int(right - left);
    a.height = int(bottom - top);
    return a;
}

}  // namespace quillet
