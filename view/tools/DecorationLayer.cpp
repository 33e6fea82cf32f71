#include "view/tools/DecorationLayer.h"

#include <algorithm>
#include <cstring>

#include "document/CBrevDoc.h"
#include "document/LayerOps.h"

namespace quillet {

int FindLayerNamed(const LayerTable& t, std::u16string_view name) {
    for (int slot : t.Order())
        if (t.layer(slot).Name() == name) return slot;
    return -1;
}

DecorationLayer::DecorationLayer(CBrevDoc& doc, std::u16string_view name)
    : doc_(doc), name_(name) {}

int DecorationLayer::Prepare() {
    LayerTable& t = doc_.Layers();
    if (doc_.Busy() || t.header.canvasWidth < 1 || t.header.canvasHeight < 1) return -1;
    if (slot_ < 0 || !t.InList(slot_)) {
        slot_ = FindLayerNamed(t, name_);
        created_ = false;
    }
    if (slot_ < 0) {
        const int current = doc_.CurrentLayer();
        slot_ = InsertLayerAbove(doc_, t.InList(current) ? current : t.Top(), name_);
        created_ = slot_ >= 0;
        if (created_) doc_.NotifyLayerListChanged();
        return slot_;
    }
    // Made again at canvas size: whatever the layer held, or wherever it was moved, goes.
    if (!doc_.CreateLayer(CanvasLayerArgs(t, slot_, LayerKind::Raster))) return -1;
    return slot_;
}

bool DecorationLayer::Commit(std::u16string_view label) {
    if (slot_ < 0 || !doc_.Layers().InList(slot_)) return false;
    doc_.Layers().Touch(slot_);
    const bool recorded =
        doc_.RecordStep(label, created_ ? StepKind::AddLayer : StepKind::PixelEdit, slot_);
    doc_.NotifyLayerListChanged();
    doc_.NotifyViewsUpdate();
    slot_ = -1;
    return recorded;
}

void DecorationLayer::Cancel() {
    if (slot_ < 0 || !doc_.Layers().InList(slot_)) return;
    if (created_) {
        RemoveUnrecordedLayer(doc_, slot_);
    } else if (doc_.Snapshot().layer(slot_).used) {
        doc_.RestoreFromSnapshot(slot_);
    }
    slot_ = -1;
    doc_.NotifyViewsUpdate();
}

OpaqueWriter::OpaqueWriter(LayerTable& t, int slot) : t_(t), slot_(slot) {
    const Layer& l = t.layer(slot);
    LayerPlanes& p = t.planesOf(slot);
    if (p.pixels.size() != l.pixelSize || p.alpha.size() != l.planeSize) return;
    width_ = l.width;
    height_ = l.height;
    const int bits = t.LayerBits(slot);
    bytes_ = bits == 24 ? 3 : bits == 32 ? 4 : 0;
    pixels_ = p.pixels.data();
    alpha_ = p.alpha.data();
    stride_ = l.stride;
}

void OpaqueWriter::PutIndexed(int x, int stored, uint32_t colour) {
    t_.PutColor(slot_, x, stored, colour);
}

void OpaqueWriter::Span(int y, int x0, int x1, uint32_t colour) {
    if (y < 0 || y >= height_) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, width_);
    if (x0 >= x1) return;
    const size_t stored = size_t(height_ - 1 - y);
    std::memset(alpha_ + stored * size_t(width_) + size_t(x0), 255, size_t(x1 - x0));
    if (bytes_ == 0) {
        for (int x = x0; x < x1; ++x) PutIndexed(x, int(stored), colour);
        return;
    }
    uint8_t* px = pixels_ + stored * stride_ + size_t(x0) * size_t(bytes_);
    for (int x = x0; x < x1; ++x, px += bytes_) {
        px[0] = uint8_t(colour);
        px[1] = uint8_t(colour >> 8);
        px[2] = uint8_t(colour >> 16);
    }
}

}  // namespace quillet
