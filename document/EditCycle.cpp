#include "document/EditCycle.h"

#include <algorithm>

#include "document/CBrevDoc.h"
#include "platform/UserPort.h"

namespace quillet {

int EditableCurrentLayer(CBrevDoc& doc, TextLayerRule rule) {
    const int slot = doc.CurrentLayer();
    if (doc.Busy() || !LayerTable::IsValidIndex(slot) || !doc.Layers().InList(slot)) return -1;
    const Layer& l = doc.Layers().layer(slot);
    if (l.kind == LayerKind::Text) {
        if (rule == TextLayerRule::Refuse) {
            doc.User().showMessage(kTextLayerRefused, MessageIcon::Warning);
            return -1;
        }
        return slot;
    }
    const LayerPlanes& p = doc.Layers().planesOf(slot);
    if (p.pixels.size() != l.pixelSize || p.alpha.size() != l.planeSize) return -1;
    return slot;
}

bool IsIndexedPicture(const LayerTable& t) {
    return t.header.paletteSize != 0 && t.header.bitsPerPixel <= 8;
}

LayerPixels PixelsOf(LayerTable& t, int slot) {
    LayerPixels px;
    const Layer& l = t.layer(slot);
    LayerPlanes& p = t.planesOf(slot);
    if (p.pixels.size() != l.pixelSize || p.alpha.size() != l.planeSize) return px;
    px.pixels = p.pixels.data();
    px.stride = l.stride;
    px.alpha = p.alpha.data();
    px.width = l.width;
    px.height = l.height;
    px.bytesPerPixel = std::max(1, t.LayerBits(slot) / 8);
    return px;
}

const uint8_t* SelectionFor(const CBrevDoc& doc, int slot, std::vector<uint8_t>& storage) {
    if (!doc.SelectionActive()) return nullptr;
    const LayerTable& t = doc.Layers();
    const Layer& l = t.layer(slot);
    const SelectionMask& m = t.mask;
    const size_t w = size_t(std::max(0, l.width)), h = size_t(std::max(0, l.height));
    if (m.x == l.x && m.y == l.y && m.width == l.width && m.height == l.height &&
        m.bytes.size() == w * h)
        return m.bytes.data();
    // Both keep their bottom row first: a layer row's canvas row is y + height − 1 − row.
    storage.assign(w * h, 0);
    if (m.bytes.size() != size_t(std::max(0, m.width)) * size_t(std::max(0, m.height)))
        return storage.data();
    const int64_t left = std::max<int64_t>(l.x, m.x);
    const int64_t right = std::min<int64_t>(int64_t(l.x) + l.width, int64_t(m.x) + m.width);
    if (left >= right) return storage.data();
    for (int row = 0; row < l.height; ++row) {
        const int64_t canvasRow = int64_t(l.y) + l.height - 1 - row;
        const int64_t maskRow = int64_t(m.y) + m.height - 1 - canvasRow;
        if (maskRow < 0 || maskRow >= m.height) continue;
        std::copy_n(m.bytes.data() + size_t(maskRow) * size_t(m.width) + size_t(left - m.x),
                    size_t(right - left), storage.data() + size_t(row) * w + size_t(left - l.x));
    }
    return storage.data();
}

EditOutcome EditLayerPixels(CBrevDoc& doc, int slot, std::u16string_view label,
                            const PixelChange& change) {
    LayerPixels from = PixelsOf(doc.Layers(), slot);
    if (from.Empty() || !doc.PrepareWorkingCopy(slot)) return EditOutcome::Refused;
    doc.SetBusy(true);
    LayerPixels to = from;
    to.pixels = doc.WorkingPixels().data();
    to.alpha = doc.WorkingAlpha().data();
    std::vector<uint8_t> storage;
    to.selection = SelectionFor(doc, slot, storage);
    change(from, to);
    doc.SetBusy(false);
    if (!doc.CommitWorkingCopy(slot)) return EditOutcome::Refused;
    doc.RecordStep(label, StepKind::PixelEdit, slot);
    doc.NotifyViewsUpdate();
    return EditOutcome::Done;
}

EditOutcome EditPalette(CBrevDoc& doc, int slot, std::u16string_view label,
                        const PaletteChange& change) {
    LayerTable& t = doc.Layers();
    if (t.palette.empty()) return EditOutcome::Unchanged;
    if (!change(t.palette.data(), int(t.palette.size()))) return EditOutcome::Unchanged;
    RaViru& image = doc.Image();
    const int shared = std::min(image.PaletteCount(), int(t.palette.size()));
    for (int i = 0; i < shared; ++i) image.SetPaletteEntry(i, packBgr(t.palette[size_t(i)]));
    doc.RecordStep(label, StepKind::PixelEdit, slot);
    doc.NotifyViewsUpdate();
    return EditOutcome::Done;
}

EditOutcome RecordLayersChanged(CBrevDoc& doc, const std::vector<int>& changed,
                                std::u16string_view label) {
    if (changed.empty()) return EditOutcome::Unchanged;
    if (changed.size() == 1) {
        doc.RecordStep(label, StepKind::PixelEdit, changed.front());
    } else {
        int slot = doc.CurrentLayer();
        if (!doc.Layers().InList(slot)) slot = changed.front();
        doc.RecordStep(label, StepKind::CanvasResize, slot);
    }
    doc.NotifyViewsUpdate();
    return EditOutcome::Done;
}

}  // namespace quillet
