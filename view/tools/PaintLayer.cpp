#include "view/tools/PaintLayer.h"

#include <cstring>

#include "document/CBrevDoc.h"
#include "document/EditCycle.h"
#include "image/codecs/NearestPalette.h"

namespace quillet {

namespace {

int BytesPerPixel(const LayerTable& t, int slot) {
    const int bits = t.LayerBits(slot);
    return bits == 8 || bits == 24 || bits == 32 ? bits / 8 : 0;
}

PixelArea Clip(const PixelArea& a, const Layer& l) {
    PixelArea c{std::max(a.left, 0), std::max(a.top, 0), std::min(a.right, l.width),
                std::min(a.bottom, l.height)};
    return c.Empty() ? PixelArea{} : c;
}

// Copies an area of one slot's pixel and alpha planes between two tables of equal geometry.
void CopyArea(LayerTable& to, const LayerTable& from, int slot, const PixelArea& a, int bpp) {
    const Layer& l = to.layer(slot);
    const size_t x0 = size_t(a.left) * size_t(bpp), n = size_t(a.right - a.left) * size_t(bpp);
    uint8_t* pixels = to.planesOf(slot).pixels.data();
    uint8_t* alpha = to.planesOf(slot).alpha.data();
    const uint8_t* sp = from.planesOf(slot).pixels.data();
    const uint8_t* sa = from.planesOf(slot).alpha.data();
    for (int y = a.top; y < a.bottom; ++y) {
        std::memcpy(pixels + size_t(y) * l.stride + x0, sp + size_t(y) * l.stride + x0, n);
        std::memcpy(alpha + size_t(y) * size_t(l.width) + size_t(a.left),
                    sa + size_t(y) * size_t(l.width) + size_t(a.left), size_t(a.right - a.left));
    }
    to.Touch(slot);
}

}  // namespace

PaintLayer::PaintLayer() = default;
PaintLayer::~PaintLayer() = default;

int PaintLayer::Open(CBrevDoc& doc) {
    slot_ = EditableCurrentLayer(doc, TextLayerRule::Refuse);
    if (slot_ >= 0 && !Bind(doc)) slot_ = -1;
    return slot_;
}

bool PaintLayer::Reopen(CBrevDoc& doc) {
    if (slot_ < 0 || doc.CurrentLayer() != slot_ || !Bind(doc)) {
        slot_ = -1;
        return false;
    }
    return true;
}

bool PaintLayer::Bind(CBrevDoc& doc) {
    LayerTable& t = doc.Layers();
    const int bpp = BytesPerPixel(t, slot_);
    if (bpp == 0) return false;
    target_ = {};
    target_.layer = PixelsOf(t, slot_);
    if (target_.layer.Empty()) return false;
    target_.layer.bytesPerPixel = bpp;
    target_.layer.selection = SelectionFor(doc, slot_, selection_);
    if (bpp == 1) {
        if (t.palette.empty()) return false;
        if (!nearest_)
            nearest_ = std::make_unique<NearestPalette>(t.palette.data(), int(t.palette.size()));
        target_.palette = t.palette.data();
        target_.paletteCount = int(t.palette.size());
        target_.nearest = nearest_.get();
    }
    return true;
}

bool SnapshotMatches(const CBrevDoc& doc, int slot) {
    const Layer& a = doc.Layers().layer(slot);
    const Layer& b = doc.Snapshot().layer(slot);
    const LayerPlanes& pa = doc.Layers().planesOf(slot);
    const LayerPlanes& pb = doc.Snapshot().planesOf(slot);
    return a.used && b.used && a.width == b.width && a.height == b.height && a.stride == b.stride &&
           a.x == b.x && a.y == b.y && a.kind == b.kind && pa.pixels.size() == pb.pixels.size() &&
           pa.alpha.size() == pb.alpha.size() &&
           pa.pixels.size() >= size_t(a.stride) * size_t(a.height) &&
           pa.alpha.size() >= size_t(a.width) * size_t(a.height);
}

void RestoreArea(CBrevDoc& doc, int slot, const PixelArea& area) {
    if (!SnapshotMatches(doc, slot)) {
        doc.RestoreFromSnapshot(slot);
        return;
    }
    const PixelArea a = Clip(area, doc.Layers().layer(slot));
    const int bpp = BytesPerPixel(doc.Layers(), slot);
    if (!a.Empty() && bpp) CopyArea(doc.Layers(), doc.Snapshot(), slot, a, bpp);
}

void StoreArea(CBrevDoc& doc, int slot, const PixelArea& area) {
    if (!SnapshotMatches(doc, slot)) {
        doc.CopyToSnapshot(slot);
        return;
    }
    const PixelArea a = Clip(area, doc.Layers().layer(slot));
    const int bpp = BytesPerPixel(doc.Layers(), slot);
    if (!a.Empty() && bpp) CopyArea(doc.Snapshot(), doc.Layers(), slot, a, bpp);
}

void ShowArea(CBrevDoc& doc, int slot, const PixelArea& area) {
    const Layer& l = doc.Layers().layer(slot);
    const PixelArea a = Clip(area, l);
    if (a.Empty()) return;
    doc.Layers().Touch(slot);
    doc.SetModified(true);
    // Storage rows count from the layer's bottom: row r is canvas row y + height − 1 − r.
    doc.NotifyAreaChanged(l.x + a.left, l.y + l.height - a.bottom, l.x + a.right,
                          l.y + l.height - a.top);
}

}  // namespace quillet
