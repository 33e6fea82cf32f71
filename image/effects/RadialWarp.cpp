#include "image/effects/RadialWarp.h"

#include <algorithm>
#include <cmath>

namespace quillet {

namespace {

// The source point of (x, y), before clamping; false at or beyond the radius.
bool SourceOf(const WarpRequest& q, int x, int y, int cx, int cy, float radius, int& sx, int& sy) {
    const float dx = float(cx - x), dy = float(cy - y);
    const float dist = std::sqrt(dx * dx + dy * dy);
    if (!(dist < radius)) return false;
    const float theta = std::atan2(dy, dx);
    switch (q.mode) {
        case WarpMode::Lens: {
            const float e = dist * dist / radius;
            sx = cx - int(std::cos(theta) * e * 1.5f * q.strength);
            sy = cy - int(std::sin(theta) * e * 2.0f);
            break;
        }
        case WarpMode::Pinch: {
            const float e = std::sqrt(radius * dist);
            sx = cx - int(std::cos(theta) * e * 0.7f * q.strength);
            sy = cy - int(std::sin(theta) * e * 0.7f * q.strength);
            break;
        }
        case WarpMode::Twirl: {
            // Turned by up to a quarter turn times the strength at the centre, none at the rim.
            const float t = 1.0f - dist / radius;
            const float turn = theta + q.strength * t * t * 1.5707964f;
            sx = cx - int(std::cos(turn) * dist);
            sy = cy - int(std::sin(turn) * dist);
            break;
        }
        case WarpMode::Polar:
            sx = int(std::fabs(theta * float(q.right) / 6.2831852f));
            sy = int(std::fabs(float(q.bottom) * dist / radius));
            break;
        default:
            sx = x + x % 32 - 16;
            sy = y;
            break;
    }
    return true;
}

}  // namespace

void RadialWarp(const LayerPixels& l, const WarpRequest& q, Progress* progress) {
    if (l.Empty() || q.top == q.bottom || q.left >= q.right) return;
    const int h = (q.right - q.left) / 2, m = (q.bottom - q.top) / 2;
    const int cx = q.left + h, cy = q.top + m;
    float radius = float(q.radius);
    if (q.radius == 0) {
        const float a = float(q.top - cy), b = float(q.left - cx);
        radius = float(int(std::sqrt(a * a + b * b)));
    }
    const int bpp = l.bytesPerPixel;
    for (int y = q.top; y < q.bottom; ++y) {
        SetProgress(progress, (y - q.top) * 100 / (q.bottom - q.top));
        if (y < 0 || y >= l.height) continue;
        const uint8_t* sel = l.SelectionRow(y);
        for (int x = std::max(q.left, 0); x < std::min(q.right, l.width); ++x) {
            if (!l.AlphaRow(y)[x] || (sel && !sel[x])) continue;
            // Beyond the radius there is no source: the pixel stays as it is (a source of
            // (−1, −1) clamped into the rectangle would paint it with the corner's colour).
            int sx, sy;
            if (!SourceOf(q, x, y, cx, cy, radius, sx, sy)) continue;
            // Within the rectangle: its last column and row are right − 1 and bottom − 1.
            sx = std::clamp(sx, q.left, q.right - 1);
            sy = std::clamp(sy, q.top, q.bottom - 1);
            uint8_t source[4] = {uint8_t(q.background), uint8_t(q.background >> 8),
                                 uint8_t(q.background >> 16), 0};
            const LayerPixels& from = q.source ? *q.source : l;
            if (sx >= 0 && sy >= 0 && sx < l.width && sy < l.height)
                std::copy_n(from.Row(sy) + size_t(sx) * size_t(bpp), bpp, source);
            float w = 1.0f;
            if (q.falloff) {
                const int k = x - q.left, j = y - q.top;
                const int kk = k <= h ? k : 2 * h - k, jj = j <= m ? j : 2 * m - j;
                w = h == 0 || m == 0 ? 0.0f
                                     : std::min({1.0f, 3.0f * float(kk) / float(h),
                                                 3.0f * float(jj) / float(m)});
                if (w < 0) w = 0;
            }
            uint8_t* p = l.Row(y) + size_t(x) * size_t(bpp);
            for (int ch = 0; ch < 3; ++ch)
                p[ch] = uint8_t(int(float(p[ch]) * (1 - w) + float(source[ch]) * w));
            if (bpp == 4) p[3] = source[3];
            l.AlphaRow(y)[x] = 255;
        }
    }
}

WarpRequest BathroomWarp(const LayerPixels& before, uint32_t background) {
    WarpRequest q;
    q.mode = WarpMode::Ripple;
    q.right = before.width;
    q.bottom = before.height;
    q.background = background;
    q.source = before;
    return q;
}

WarpRequest LensWarp(const LayerPixels& before, uint32_t background) {
    WarpRequest q = BathroomWarp(before, background);
    q.mode = WarpMode::Lens;
    // A source column lies |dx| × dist / radius × 1.5 × strength from the centre: 2/3 keeps it
    // within the half width.
    q.strength = 2.0f / 3.0f;
    return q;
}

}  // namespace quillet
