// Resampling the picture and resizing its canvas.
#include <algorithm>
#include <cstring>

#include "document/GeometryCommands.h"
#include "document/GeometryEdit.h"
#include "image/RaViru.h"
#include "image/effects/PixelIndex.h"

namespace quillet {

using namespace geometry;

namespace {

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

bool fits(int width, int height) {
    return width >= 1 && height >= 1 && uint64_t(width) * uint64_t(height) <= kMaxImagePixels;
}

// Palette pictures are resampled in colour and each result mapped to its nearest entry.
void resampleIndexed(LayerTable& t, int slot, NewPlanes& out, ResampleScale scale) {
    const Layer& l = t.layer(slot);
    std::vector<uint8_t> colour(size_t(l.width) * size_t(l.height) * 3);
    for (int y = 0; y < l.height; ++y)
        for (int x = 0; x < l.width; ++x) {
            const uint32_t c = t.ColorAt(slot, x, y);
            uint8_t* p = colour.data() + (size_t(y) * size_t(l.width) + size_t(x)) * 3;
            p[0] = uint8_t(c);
            p[1] = uint8_t(c >> 8);
            p[2] = uint8_t(c >> 16);
        }
    std::vector<uint8_t> result(size_t(out.width) * size_t(out.height) * 3);
    ResamplePlane(ConstPlaneRef{colour.data(), size_t(l.width) * 3, l.width, l.height, 24},
                  PlaneRef{result.data(), size_t(out.width) * 3, out.width, out.height, 24}, scale);
    const int bits = t.header.bitsPerPixel;
    for (int y = 0; y < out.height; ++y) {
        uint8_t* row = out.pixels.data() + size_t(y) * out.stride;
        for (int x = 0; x < out.width; ++x) {
            const uint8_t* p = result.data() + (size_t(y) * size_t(out.width) + size_t(x)) * 3;
            const unsigned index = unsigned(
                t.NearestPaletteIndex(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16));
            PutPixelIndex(row, x, bits, index);
        }
    }
}

// The layer's rectangle after resampling: size and position scaled, rounded half up.
Rect scaledRect(const Layer& l, double sx, double sy) {
    return Rect{int(sx * l.x + 0.5), int(sy * l.y + 0.5), std::max(1, int(sx * l.width + 0.5)),
                std::max(1, int(sy * l.height + 0.5))};
}

// The layer's rectangle on the resized canvas: its old place moved by the anchor's offset,
// grown to cover the whole new canvas.
Rect canvasRect(const Layer& l, int dx, int dy, int width, int height) {
    const int left = std::min(l.x + dx, 0), top = std::min(l.y + dy, 0);
    const int right = std::max(l.x + dx + l.width, width);
    const int bottom = std::max(l.y + dy + l.height, height);
    return Rect{left, top, right - left, bottom - top};
}

}  // namespace

bool ResampleDocument(CBrevDoc& doc, int width, int height) {
    LayerTable& t = doc.Layers();
    const int W = t.header.canvasWidth, H = t.header.canvasHeight;
    if (t.bottom < 0 || W < 1 || H < 1 || !fits(width, height)) return false;
    if (width == W && height == H) return false;
    const double sx = double(width) / W, sy = double(height) / H;
    const ResampleScale scale{double(W) / width, double(H) / height};
    const std::vector<int> order = t.Order();
    uint64_t pixels = 0;
    for (int slot : order) {
        const Rect r = scaledRect(t.layer(slot), sx, sy);
        if (!fits(r.width, r.height)) return false;
        pixels += uint64_t(r.width) * uint64_t(r.height);
    }

    LayerProgress progress(doc, pixels);
    for (int slot : order) {
        Layer& l = t.layer(slot);
        const Rect r = scaledRect(l, sx, sy);
        NewPlanes out = AllocatePlanes(t, slot, r.width, r.height);
        const int threads = GeometryThreads(uint64_t(r.width) * uint64_t(r.height));
        const int bits = t.LayerBits(slot);
        if (bits >= 8)
            ResamplePlane(PixelPlane(t, slot),
                          PlaneRef{out.pixels.data(), out.stride, r.width, r.height, bits}, scale,
                          threads, progress.Rows());
        else
            resampleIndexed(t, slot, out, scale);
        const LayerPlanes& p = t.planesOf(slot);
        ResampleNearest(BytePlane(p.alpha, l.width, l.height),
                        BytePlane(out.alpha, r.width, r.height), scale, threads);
        ResampleNearest(BytePlane(p.effect, l.width, l.height),
                        BytePlane(out.effect, r.width, r.height), scale, threads);
        if (l.kind == LayerKind::Text) {
            // The text keeps its words; its box and size follow the picture.
            l.textX = int(sx * l.textX + 0.5);
            l.textY = int(sy * l.textY + 0.5);
            l.fontSize = std::max(1, int(l.fontSize * std::min(sx, sy)));
        }
        AdoptPlanes(t, slot, std::move(out), r.x, r.y);
    }
    t.header.canvasWidth = width;
    t.header.canvasHeight = height;
    t.header.RecomputeCanvasSizes();
    FinishEdit(doc, u"이미지크기", StepKind::CanvasResize, -1);
    return true;
}

void CanvasAnchorOffset(int anchor, int oldWidth, int oldHeight, int newWidth, int newHeight,
                        int& dx, int& dy) {
    const int addW = newWidth - oldWidth, addH = newHeight - oldHeight;
    switch (anchor % 3) {
        case 0:
            dx = 0;
            break;
        case 1:
            dx = addW / 2;
            break;
        default:
            dx = addW;
    }
    // The middle row's half is taken in stored rows, which count from the bottom: the odd
    // pixel goes above the picture.
    switch (anchor / 3) {
        case 0:
            dy = 0;
            break;
        case 1:
            dy = addH - addH / 2;
            break;
        default:
            dy = addH;
    }
}

bool ResizeCanvas(CBrevDoc& doc, int width, int height, int anchor) {
    if (anchor < 0 || anchor >= kAnchorCount || !fits(width, height)) return false;
    LayerTable& t = doc.Layers();
    const int W = t.header.canvasWidth, H = t.header.canvasHeight;
    if (t.bottom < 0 || (width == W && height == H)) return false;
    if (!CanvasAllowed(doc)) return false;
    int dx, dy;
    CanvasAnchorOffset(anchor, W, H, width, height, dx, dy);
    const std::vector<int> order = t.Order();
    for (int slot : order) {
        const Rect r = canvasRect(t.layer(slot), dx, dy, width, height);
        if (!fits(r.width, r.height)) return false;
    }

    for (int slot : order) {
        const Layer& l = t.layer(slot);
        const Rect r = canvasRect(l, dx, dy, width, height);
        NewPlanes out = AllocatePlanes(t, slot, r.width, r.height);
        // What the old layer does not cover is as a new layer holds it.
        std::fill(out.pixels.begin(), out.pixels.end(), uint8_t(255));
        const int x = l.x + dx - r.x;
        // Stored rows count from the bottom: the old bottom row lands this far up.
        const int y = (r.y + r.height) - (l.y + dy + l.height);
        const LayerPlanes& p = t.planesOf(slot);
        CopyPlaneAt(PixelPlane(t, slot),
                    PlaneRef{out.pixels.data(), out.stride, r.width, r.height, t.LayerBits(slot)},
                    x, y);
        CopyPlaneAt(BytePlane(p.alpha, l.width, l.height), BytePlane(out.alpha, r.width, r.height),
                    x, y);
        CopyPlaneAt(BytePlane(p.effect, l.width, l.height),
                    BytePlane(out.effect, r.width, r.height), x, y);
        AdoptPlanes(t, slot, std::move(out), r.x, r.y);
    }
    t.header.canvasWidth = width;
    t.header.canvasHeight = height;
    t.header.RecomputeCanvasSizes();
    FinishEdit(doc, u"캔버스크기조정", StepKind::CanvasResize, -1);
    return true;
}

}  // namespace quillet
