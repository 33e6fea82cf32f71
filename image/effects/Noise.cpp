// "노이즈제거(B)" and "경계강조".
#include <cstdlib>
#include <vector>

#include "image/effects/Neighbourhood.h"
#include "image/effects/RowCopy.h"
#include "image/effects/RowThreads.h"

namespace quillet {

namespace {

inline int Difference(const uint8_t* a, const uint8_t* b) {
    return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

inline bool Writable(const LayerPixels& l, int x, int y) {
    const uint8_t* s = l.SelectionRow(y);
    return l.AlphaRow(y)[x] && (!s || s[x]);
}

inline void Copy3(uint8_t* d, const uint8_t* s) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
}

}  // namespace

void RemoveSpeckles(const LayerPixels& from, const LayerPixels& to, int size, int absorb) {
    if (from.Empty() || !from.SameShape(to)) return;
    const int w = from.width, h = from.height, bpp = from.bytesPerPixel;
    const int tolerance = 12 * absorb;
    auto at = [&](const LayerPixels& l, int x, int y) {
        return l.Row(y) + size_t(x) * size_t(bpp);
    };
    // Rings of radius size − 1 down to 1: a ring whose pixels all match its first one while the
    // centre does not marks a speck; its inside takes the ring's colour.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!from.AlphaRow(y)[x]) continue;
            const uint8_t* centre = at(from, x, y);
            for (int r = size - 1; r >= 1; --r) {
                if (x - r < 0 || y - r < 0 || x + r >= w || y + r >= h) continue;
                const uint8_t* ring = at(from, x - r, y - r);
                if (Difference(ring, centre) <= tolerance) continue;
                bool uniform = true;
                for (int j = -r; j <= r && uniform; ++j)
                    for (int i = -r; i <= r && uniform; ++i)
                        if (std::abs(i) == r || std::abs(j) == r)
                            uniform = Difference(at(from, x + i, y + j), ring) <= tolerance;
                if (!uniform) continue;
                for (int j = 1 - r; j < r; ++j)
                    for (int i = 1 - r; i < r; ++i)
                        if (Writable(to, x + i, y + j)) Copy3(at(to, x + i, y + j), ring);
                break;
            }
        }
    // Single pixels unlike eight neighbours that match each other.
    std::vector<uint8_t> copy(to.stride * size_t(h));
    LayerPixels first = to;
    first.pixels = copy.data();
    first.selection = nullptr;
    CopyPlanes(to, first);
    for (int y = 1; y + 1 < h; ++y)
        for (int x = 1; x + 1 < w; ++x) {
            if (!Writable(to, x, y)) continue;
            const uint8_t* n0 = at(first, x - 1, y - 1);
            if (Difference(at(first, x, y), n0) <= tolerance) continue;
            bool same = true;
            for (int j = -1; j <= 1 && same; ++j)
                for (int i = -1; i <= 1 && same; ++i)
                    if (i || j) same = Difference(at(first, x + i, y + j), n0) <= tolerance;
            if (same) Copy3(at(to, x, y), n0);
        }
}

void EmphasiseEdges(const LayerPixels& from, const LayerPixels& to, int amount, int strength,
                    int threads) {
    if (from.Empty() || !from.SameShape(to)) return;
    const int w = from.width, h = from.height, bpp = from.bytesPerPixel;
    const int lift = int(strength / 10.0 * amount);
    ForRowBands(h, threads, [&](int y0, int y1) {
        for (int y = std::max(1, y0); y < std::min(h - 1, y1); ++y) {
            const uint8_t* a = from.AlphaRow(y);
            const uint8_t* up = from.AlphaRow(y - 1);
            const uint8_t* down = from.AlphaRow(y + 1);
            const uint8_t* s = to.SelectionRow(y);
            for (int x = 1; x + 1 < w; ++x) {
                if (!a[x] || !a[x - 1] || !a[x + 1] || !up[x] || !down[x] || (s && !s[x])) continue;
                const uint8_t* p = from.Row(y) + size_t(x) * size_t(bpp);
                const int d = Difference(p, p - bpp) + Difference(p, p + bpp) +
                              Difference(p, from.Row(y - 1) + size_t(x) * size_t(bpp)) +
                              Difference(p, from.Row(y + 1) + size_t(x) * size_t(bpp));
                if (d / 4 < amount) continue;
                const int e = d / 4 - lift;
                uint8_t* q = to.Row(y) + size_t(x) * size_t(bpp);
                for (int ch = 0; ch < 3; ++ch) q[ch] = Clamp255(p[ch] - e);
            }
        }
    });
}

}  // namespace quillet
