#pragma once
// A slow, literal composition: each layer is first placed into canvas-sized work images (colour
// and alpha, zero where the layer does not cover), then every destination pixel follows the
// per-pixel rules one by one. The fast compositor must give the same bytes.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "document/LayerTable.h"
#include "document/compositor/Compositor.h"

namespace reference {

using namespace quillet;

struct Placed {
    std::vector<uint8_t> colour;  // 3 bytes per canvas pixel, top row first
    std::vector<uint8_t> alpha;
};

inline Placed Place(const LayerTable& t, int slot) {
    const int W = t.header.canvasWidth, H = t.header.canvasHeight;
    Placed p{std::vector<uint8_t>(size_t(W) * H * 3, 0), std::vector<uint8_t>(size_t(W) * H, 0)};
    const Layer& l = t.layer(slot);
    const LayerPlanes& planes = t.planesOf(slot);
    const bool text = l.kind == LayerKind::Text;
    const int bits = text ? 8 : t.header.bitsPerPixel;
    for (int ly = 0; ly < l.height; ++ly) {
        for (int lx = 0; lx < l.width; ++lx) {
            const int64_t cx = int64_t(l.x) + lx, cy = int64_t(l.y) + ly;
            if (cx < 0 || cy < 0 || cx >= W || cy >= H) continue;
            const int stored = l.height - 1 - ly;
            const uint8_t* row = planes.pixels.data() + size_t(stored) * l.stride;
            uint8_t b, g, r;
            if (text) {
                b = uint8_t(l.textColour);
                g = uint8_t(l.textColour >> 8);
                r = uint8_t(l.textColour >> 16);
            } else if (bits >= 24) {
                const uint8_t* px = row + size_t(lx) * (bits / 8);
                b = px[0];
                g = px[1];
                r = px[2];
            } else {
                unsigned index = bits == 8   ? row[lx]
                                 : bits == 4 ? (row[lx / 2] >> (lx % 2 ? 0 : 4)) & 15
                                             : (row[lx / 8] >> (7 - lx % 8)) & 1;
                if (t.header.paletteSize == 0) {
                    b = g = r = uint8_t(index);
                } else if (index < t.palette.size() && int(index) < t.header.paletteSize) {
                    b = t.palette[index].blue;
                    g = t.palette[index].green;
                    r = t.palette[index].red;
                } else {
                    b = g = r = 0;
                }
            }
            const size_t at = size_t(cy) * W + cx;
            uint8_t alpha = planes.alpha[size_t(stored) * l.width + lx];
            // The shadow pass: a layer with a layer effect shows its effect plane in the
            // shadow colour, the effect value as alpha.
            if (l.effectValue1 != 0 && planes.effect.size() >= size_t(l.width) * l.height) {
                const uint8_t e = planes.effect[size_t(stored) * l.width + lx];
                if (e != 0) {
                    const uint32_t c = l.EffectColour();
                    b = uint8_t(c);
                    g = uint8_t(c >> 8);
                    r = uint8_t(c >> 16);
                    alpha = e;
                }
            }
            p.colour[at * 3] = b;
            p.colour[at * 3 + 1] = g;
            p.colour[at * 3 + 2] = r;
            p.alpha[at] = alpha;
        }
    }
    return p;
}

inline int Blend(int mode, int d, int s) {
    switch (mode) {
        case 2:
            return (d * s) >> 8;
        case 3:
            return 255 - (((255 - d) * (255 - s)) >> 8);
        case 4:
            return std::min(d, s);
        case 5:
            return std::max(d, s);
        case 6:
            return std::abs(d - s);
        case 7:
            return 255 - std::abs(255 - d - s);
        case 8:
            return ((d + s - ((d * s) >> 7)) % 256 + 256) % 256;
        case 9:
            return s < 128 ? (d * s) >> 7 : 255 - (((255 - d) * (255 - s)) >> 7);
    }
    return -1;
}

// Draws one placed layer into destination pixel `d` from canvas pixel `at`.
inline void DrawPixel(const LayerTable& t, int slot, const Placed& p, size_t at, uint8_t* d) {
    const Layer& l = t.layer(slot);
    const int R = p.alpha[at];
    if (R != 0) {
        const float a = (R == 255 ? 1 : R / 255.0f) * (255 - l.transparency) / 255.0f;
        for (int c = 0; c < 3; ++c) {
            const int s = p.colour[at * 3 + c];
            const int dv = d[c];
            if (slot == t.bottom)
                d[c] = uint8_t(std::trunc(a * s));
            else if (l.blendMode >= 2 && l.blendMode <= 9)
                d[c] = uint8_t(Blend(l.blendMode, dv, s));
            else
                d[c] = uint8_t(std::trunc(a * s + (1 - a) * dv));
        }
    }
    d[3] = d[3] == 0 ? uint8_t(R) : uint8_t(std::min(255, (R + 1) * d[3]));
}

inline std::vector<int> Walk(const LayerTable& t, int start, int count) {
    std::vector<int> out;
    int walked = 0;
    for (int s = start; s >= 0 && s < 40 && (count <= 0 || walked < count) && walked < 40;
         s = t.layer(s).next, ++walked)
        if (t.layer(s).visible == 1) out.push_back(s);
    return out;
}

inline Image32 Full(const LayerTable& t, int start, int count) {
    const int W = t.header.canvasWidth, H = t.header.canvasHeight;
    Image32 out;
    out.width = W;
    out.height = H;
    out.bottomUp = true;
    out.bytes.assign(size_t(W) * H * 4, 0);
    for (int slot : Walk(t, start, count)) {
        const Placed p = Place(t, slot);
        for (int cy = 0; cy < H; ++cy)
            for (int cx = 0; cx < W; ++cx)
                DrawPixel(t, slot, p, size_t(cy) * W + cx, out.Row(H - 1 - cy) + size_t(cx) * 4);
    }
    return out;
}

inline int Scaled(int size, double zoom) { return int(std::floor(size * zoom)); }

inline Image32 Display(const LayerTable& t, const DisplayRequest& q) {
    const int W = t.header.canvasWidth, H = t.header.canvasHeight;
    Image32 out;
    const int left = std::max(q.left, q.originX), top = std::max(q.top, q.originY);
    const int right = std::min(q.right, q.originX + Scaled(W, q.zoomX));
    const int bottom = std::min(q.bottom, q.originY + Scaled(H, q.zoomY));
    if (right <= left || bottom <= top) return out;
    out.x = left;
    out.y = top;
    out.width = right - left;
    out.height = bottom - top;
    out.bytes.assign(size_t(out.width) * out.height * 4, 0);
    for (int slot : Walk(t, t.bottom, 0)) {
        const Placed p = Place(t, slot);
        for (int dy = top; dy < bottom; ++dy) {
            const int sy = std::clamp(int(std::floor((dy - q.originY) / q.zoomY)), 0, H - 1);
            for (int dx = left; dx < right; ++dx) {
                const int sx = std::clamp(int(std::floor((dx - q.originX) / q.zoomX)), 0, W - 1);
                DrawPixel(t, slot, p, size_t(sy) * W + sx,
                          out.Row(dy - top) + size_t(dx - left) * 4);
            }
        }
    }
    return out;
}

}  // namespace reference
