// Operations that compose layers into one: merge, dropping the floating layer, flatten, and
// turning a text layer into pixels.
#include <algorithm>
#include <cstring>

#include "document/CBrevDoc.h"
#include "document/LayerOps.h"
#include "document/LayerOpsShared.h"
#include "platform/UserPort.h"

namespace quillet {

using namespace layerops;

namespace {

// Composes `lower` and `upper` (directly above it) into `lower` and frees `upper`'s slot. Its
// record and planes stay until the slot is taken again, so that undo finds it as it was, with
// the settings the layer window changed without a step.
bool MergePair(CBrevDoc& doc, int lower, int upper, bool selectionMoved) {
    if (!doc.ComposeIntoLayer(lower, 2)) return false;
    RemoveFromList(doc, upper);
    MakeCurrent(doc, lower);
    if (selectionMoved) doc.RecordStep(u"선택영역 위치이동", StepKind::PixelEdit, lower);
    doc.RecordStep(u"레이어병합", StepKind::Merge, lower);
    doc.NotifyLayerListChanged();
    doc.NotifyViewsUpdate();
    return true;
}

bool EitherIsText(CBrevDoc& doc, int a, int b) {
    if (!doc.Layers().layer(a).IsText() && !doc.Layers().layer(b).IsText()) return false;
    doc.User().showMessage(LayerOpsText::MergeWithText, MessageIcon::Warning);
    return true;
}

}  // namespace

bool MergeWithLayerAbove(CBrevDoc& doc, int lowerSlot) {
    LayerTable& t = doc.Layers();
    if (doc.Busy() || !t.InList(lowerSlot)) return false;
    const int upper = t.layer(lowerSlot).next;
    if (!t.InList(upper) || EitherIsText(doc, lowerSlot, upper)) return false;
    return MergePair(doc, lowerSlot, upper, false);
}

bool MergeDown(CBrevDoc& doc) { return MergeWithLayerAbove(doc, ListedCurrentLayer(doc)); }

bool MergeUp(CBrevDoc& doc) {
    const int current = ListedCurrentLayer(doc);
    if (current < 0) return false;
    return MergeWithLayerAbove(doc, doc.Layers().layer(current).previous);
}

bool DropFloatingLayer(CBrevDoc& doc) {
    LayerTable& t = doc.Layers();
    const int floating = t.FirstFloatingLayer();
    if (doc.Busy() || floating < 0) return false;
    const int source = t.layer(floating).creationTag;
    if (!t.InList(source) || source == floating || EitherIsText(doc, source, floating))
        return false;
    // It floats directly above its source; a list edited in between is put right first.
    if (t.layer(source).next != floating) {
        t.Unlink(floating);
        t.LinkAbove(floating, source);
    }
    DocViewState& v = doc.ViewShared();
    const bool moved = v.selectionMovePending;
    v.selectionMovePending = false;
    v.selectionShown = false;
    doc.SetSelectionActive(false);
    doc.NotifySelectionOutlineTimer(0);
    return MergePair(doc, source, floating, moved);
}

namespace layerops {

// Every visible layer composed into the bottom layer; the layers above leave the list and their
// slots become free for new layers. Like a merged layer, each keeps its record and planes for
// undo until its slot is taken again.
bool FlattenInto(CBrevDoc& doc, bool record) {
    LayerTable& t = doc.Layers();
    const int bottom = t.bottom;
    if (doc.Busy() || !t.InList(bottom)) return false;
    const std::vector<int> order = t.Order();
    if (!doc.ComposeIntoLayer(bottom, 0)) return false;
    for (int slot : order)
        if (slot != bottom) RemoveFromList(doc, slot);
    t.layer(bottom).next = -1;
    MakeCurrent(doc, bottom);
    if (record) doc.RecordStep(u"떡이미지", StepKind::Flatten, bottom);
    doc.NotifyLayerListChanged();
    doc.NotifyViewsUpdate();
    return true;
}

}  // namespace layerops

bool FlattenLayers(CBrevDoc& doc) { return FlattenInto(doc, true); }

bool RasterizeCurrentLayer(CBrevDoc& doc) {
    LayerTable& t = doc.Layers();
    const int slot = ListedCurrentLayer(doc);
    if (doc.Busy() || slot < 0 || !t.layer(slot).IsText()) return false;
    const Layer before = t.layer(slot);
    std::vector<uint8_t> alpha = std::move(t.planesOf(slot).alpha);
    if (alpha.size() != before.planeSize) return false;

    // At the picture's own depth: a 24-bit layer in an indexed picture would change the depth
    // every other layer is read at.
    CreateLayerArgs a;
    a.imageKind = t.header.imageKind;
    a.bitsPerPixel = t.header.bitsPerPixel;
    a.paletteSize = t.header.paletteSize;
    a.initialAlpha = 0;
    a.slot = slot;
    a.x = before.x;
    a.y = before.y;
    a.width = before.width;
    a.height = before.height;
    a.paletteMode = PaletteMode::Keep;
    a.canvasWidth = t.header.canvasWidth;
    a.canvasHeight = t.header.canvasHeight;
    a.forceMaskReset = true;
    a.background = before.background != 0;
    a.kind = LayerKind::Raster;
    a.creationTag = -1;
    if (!doc.CreateLayer(a)) {
        t.planesOf(slot).alpha = std::move(alpha);
        return false;
    }
    const Layer& l = t.layer(slot);
    LayerPlanes& p = t.planesOf(slot);
    const uint32_t colour = before.textColour & 0xFFFFFF;
    if (t.header.bitsPerPixel == 24 || t.header.bitsPerPixel == 32) {
        const int step = t.header.bitsPerPixel / 8;
        const uint8_t bgr[4] = {uint8_t(colour), uint8_t(colour >> 8), uint8_t(colour >> 16), 0};
        uint8_t* row = p.pixels.data();
        for (int x = 0; x < l.width; ++x) std::memcpy(row + size_t(x) * step, bgr, size_t(step));
        for (int y = 1; y < l.height; ++y)
            std::memcpy(row + size_t(y) * l.stride, row, size_t(l.stride));
    } else {
        for (int y = 0; y < l.height; ++y)
            for (int x = 0; x < l.width; ++x) t.PutColor(slot, x, y, colour);
    }
    p.alpha = std::move(alpha);
    doc.CopyToSnapshot(slot);
    doc.CopyToPreview(slot);
    // No journal step, but a saved document keeps a raster layer now: closing must ask.
    doc.SetModified(true);
    doc.NotifyLayerListChanged();
    doc.NotifyViewsUpdate();
    return true;
}

}  // namespace quillet
