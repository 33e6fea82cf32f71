#include "image/effects/RedEye.h"

#include <algorithm>

#include "image/effects/ColourTables.h"

namespace quillet {

void RemoveRedEye(const LayerPixels& l, int strength) {
    if (l.Empty()) return;
    // The selection's bounding box: x0 ≤ x < x1, y0 ≤ y < y1.
    int x0 = l.width, x1 = 0, y0 = l.height, y1 = 0;
    for (int y = 0; y < l.height; ++y) {
        const uint8_t* s = l.SelectionRow(y);
        for (int x = 0; x < l.width; ++x)
            if (!s || s[x]) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x + 1);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y + 1);
            }
    }
    if (x0 >= x1 || y0 >= y1) return;
    const double s = std::clamp(strength / 10.0, 0.0, 1.0);
    const double area = double(y0 - y1) * double(x0 - x1);
    const int cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    for (int y = y0; y < y1; ++y) {
        const uint8_t* sel = l.SelectionRow(y);
        uint8_t* p = l.Row(y) + size_t(x0) * size_t(l.bytesPerPixel);
        for (int x = x0; x < x1; ++x, p += l.bytesPerPixel) {
            if (sel && !sel[x]) continue;
            const double d2 = double(x - cx) * (x - cx) + double(y - cy) * (y - cy);
            const double w = std::max(0.0, 1 - 5 * d2 / area);
            const double k = std::min(1.0, w * s);
            p[2] = uint8_t(int(k * std::min(p[1], p[0]) + (1 - k) * p[2]));
        }
    }
}

Hsl ToHsl(int r, int g, int b) {
    const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const int l = ((mx + mn) * 255 + 255) / 510;
    if (mx == mn) return {170, 0, uint8_t(l)};
    const int q = l <= 127 ? mx + mn : 510 - mx - mn;
    const int s = ((mx - mn) * 255 + q / 2) / q;
    const int delta = mx - mn;
    const int dr = ((mx - r) * 42 + delta / 2) / delta;
    const int dg = ((mx - g) * 42 + delta / 2) / delta;
    const int db = ((mx - b) * 42 + delta / 2) / delta;
    const int h = r == mx ? db - dg : g == mx ? 85 + dr - db : 170 + dg - dr;
    return {uint8_t(((h % 256) + 256) % 256), uint8_t(s), uint8_t(l)};
}

std::array<std::vector<uint8_t>, 3> SplitChannels(const LayerPixels& l, ChannelSpace space) {
    std::array<std::vector<uint8_t>, 3> planes;
    const size_t n = size_t(std::max(0, l.width)) * size_t(std::max(0, l.height));
    for (auto& p : planes) p.assign(n, 0);
    if (l.Empty()) return planes;
    size_t i = 0;
    for (int y = 0; y < l.height; ++y) {
        const uint8_t* p = l.Row(y);
        for (int x = 0; x < l.width; ++x, p += l.bytesPerPixel, ++i) {
            uint8_t c[3] = {p[2], p[1], p[0]};
            if (space == ChannelSpace::Yuv) {
                const Yuv v = ToYuv(p[2], p[1], p[0]);
                c[0] = v.y;
                c[1] = v.u;
                c[2] = v.v;
            } else if (space == ChannelSpace::Hsl) {
                const Hsl v = ToHsl(p[2], p[1], p[0]);
                c[0] = v.h;
                c[1] = v.s;
                c[2] = v.l;
            }
            for (int k = 0; k < 3; ++k) planes[size_t(k)][i] = c[k];
        }
    }
    return planes;
}

}  // namespace quillet
