#include "view/LayerGrowth.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "document/CBrevDoc.h"
#include "image/RaViru.h"

namespace quillet {

namespace {
constexpr int kGrowthMargin = 15;

// How far a coordinate lies before (negative) or after (positive) the range 0..size-1.
int Overshoot(int v, int size) {
    if (v < 0) return v;
    if (v >= size) return v - size + 1;
    return 0;
}
}  // namespace

ViewPoint CanvasOf(ViewPoint zoomed, double zoom) {
    return {int(double(zoomed.x) / zoom), int(double(zoomed.y) / zoom)};
}

LayerPoint ToLayer(const Layer& l, ViewPoint canvas) {
    LayerPoint p;
    p.x = canvas.x - l.x;
    p.y = canvas.y - l.y;
    // Rows are counted from the layer's own bottom: a layer shorter than the canvas has its
    // bottom row at height − 1, not at canvas height − 1.
    p.row = l.height - 1 - p.y;
    p.inside = p.x >= 0 && p.x < l.width && p.y >= 0 && p.y < l.height;
    return p;
}

bool GrowLayerToPoint(CBrevDoc& doc, int slot, ViewPoint canvas, std::u16string_view label) {
    LayerTable& t = doc.Layers();
    if (!LayerTable::IsValidIndex(slot) || !t.layer(slot).used) return false;
    Layer& l = t.layer(slot);
    const LayerPoint p = ToLayer(l, canvas);
    if (p.inside) return false;
    const int bits = t.LayerBits(slot);
    if (bits % 8 != 0) return false;  // packed 1- and 4-bit rows are not shifted here
    const LayerPlanes& old = t.planesOf(slot);
    if (old.pixels.size() < l.pixelSize || old.alpha.size() < l.planeSize) return false;

    const int ox = Overshoot(p.x, l.width), oy = Overshoot(p.y, l.height);
    const int64_t newW = int64_t(l.width) + (ox ? std::abs(ox) + kGrowthMargin : 0);
    const int64_t newH = int64_t(l.height) + (oy ? std::abs(oy) + kGrowthMargin : 0);
    if (!FitsPixelLimit(newW, newH)) return false;  // also keeps both sides within 32 bits
    const int shiftX = ox < 0 ? -ox : 0;            // old column 0 lands here
    const int shiftY = oy < 0 ? -oy : 0;            // old top row lands here

    const int bpp = bits / 8;
    const bool text = l.IsText();
    const size_t stride = text ? size_t(newW) : size_t(StrideFor(bits, int(newW)));
    LayerPlanes grown;
    grown.pixels.assign(stride * size_t(newH), 255);
    grown.alpha.assign(size_t(newW) * size_t(newH), 0);
    grown.effect.assign(size_t(newW) * size_t(newH), 0);
    grown.text = old.text;
    const bool hasEffect = old.effect.size() >= l.planeSize;
    for (int y = 0; y < l.height; ++y) {
        // Storage rows count from the bottom; top-down row y is storage row height − 1 − y.
        const size_t oldRow = size_t(l.height - 1 - y);
        const size_t newRow = size_t(newH - 1 - (y + shiftY));
        std::memcpy(grown.pixels.data() + newRow * stride + size_t(shiftX) * bpp,
                    old.pixels.data() + oldRow * l.stride, size_t(l.width) * bpp);
        std::memcpy(grown.alpha.data() + newRow * size_t(newW) + shiftX,
                    old.alpha.data() + oldRow * size_t(l.width), size_t(l.width));
        if (hasEffect)
            std::memcpy(grown.effect.data() + newRow * size_t(newW) + shiftX,
                        old.effect.data() + oldRow * size_t(l.width), size_t(l.width));
    }
    l.x -= shiftX;
    l.y -= shiftY;
    l.width = int32_t(newW);
    l.height = int32_t(newH);
    l.stride = uint32_t(stride);
    l.planeSize = uint32_t(newW * newH);
    l.pixelSize = uint32_t(stride * size_t(newH));
    t.planesOf(slot) = std::move(grown);
    doc.PrepareWorkingCopy(slot);
    doc.RecordStep(label, StepKind::PixelEdit, slot);
    doc.CopyToSnapshot(slot);
    return true;
}

LayerPoint CurrentLayerPoint(CBrevDoc& doc, ViewPoint zoomed, std::u16string_view label) {
    const int slot = doc.CurrentLayer();
    if (!LayerTable::IsValidIndex(slot)) return {};
    const ViewPoint canvas = CanvasOf(zoomed, doc.Zoom());
    GrowLayerToPoint(doc, slot, canvas, label);
    return ToLayer(doc.Layers().layer(slot), canvas);
}

}  // namespace quillet
