// Edits of the layer list: add, delete, exchange places, rename, and the per-layer settings of
// the layer window.
#include <algorithm>

#include "document/CBrevDoc.h"
#include "document/LayerOps.h"
#include "document/LayerOpsShared.h"
#include "platform/UserPort.h"

namespace quillet {

namespace layerops {

std::u16string DefaultLayerName(int slot) {
    const std::string digits = std::to_string(slot);
    return u"레이어 " + std::u16string(digits.begin(), digits.end());
}

void StartNewRecord(LayerTable& t, int slot) { t.layer(slot) = Layer{}; }

void FinishNewRecord(LayerTable& t, int slot) {
    Layer& l = t.layer(slot);
    l.used = 1;
    l.visible = 1;
    l.transparency = 0;
    l.effectValue1 = 0;
    l.SetBlend(BlendMode::Normal);
    l.textScale = 10;
    l.textSettingB = 100;
    l.textSettingC = 0;
    l.SetName(DefaultLayerName(slot));
}

void RemoveFromList(CBrevDoc& doc, int slot) {
    LayerTable& t = doc.Layers();
    t.Unlink(slot);
    t.layer(slot).used = 0;
}

void MakeCurrent(CBrevDoc& doc, int slot) {
    const bool changed = doc.CurrentLayer() != slot;
    doc.SetCurrentLayerIndex(slot);
    if (changed) doc.NotifyLayerListChanged();
}

int ListedCurrentLayer(const CBrevDoc& doc) {
    const int slot = doc.CurrentLayer();
    return doc.Layers().InList(slot) ? slot : -1;
}

}  // namespace layerops

using namespace layerops;

namespace {
constexpr int kOutlineMs = 400;

// Tool changes not yet recorded are dropped: the layer is put back as the last step left it.
void RestoreCurrentFromSnapshot(CBrevDoc& doc, int slot) {
    const Layer& kept = doc.Snapshot().layer(slot);
    const Layer& now = doc.Layers().layer(slot);
    if (!kept.used || kept.previous != now.previous || kept.next != now.next) return;
    const LayerPlanes& p = doc.Snapshot().planesOf(slot);
    if (p.pixels.size() != kept.pixelSize || p.alpha.size() != kept.planeSize) return;
    doc.RestoreFromSnapshot(slot);
}
}  // namespace

int AddEmptyLayer(CBrevDoc& doc) {
    LayerTable& t = doc.Layers();
    const int current = ListedCurrentLayer(doc);
    const int canvasW = t.header.canvasWidth, canvasH = t.header.canvasHeight;
    if (doc.Busy() || canvasW < 1 || canvasH < 1) return -1;
    if (current >= 0) RestoreCurrentFromSnapshot(doc, current);
    const int slot = doc.FreeSlotForNewLayer();
    if (slot < 0) return -1;

    StartNewRecord(t, slot);
    CreateLayerArgs a;
    a.imageKind = t.header.imageKind;
    a.bitsPerPixel = t.header.bitsPerPixel;
    a.paletteSize = t.header.paletteSize;
    a.initialAlpha = 0;
    a.slot = slot;
    a.width = canvasW;
    a.height = canvasH;
    a.paletteMode = PaletteMode::Keep;
    a.canvasWidth = canvasW;
    a.canvasHeight = canvasH;
    a.kind = LayerKind::Raster;
    if (!doc.CreateLayer(a)) return -1;
    FinishNewRecord(t, slot);
    t.LinkAbove(slot, current);  // -1: the list was empty and it becomes the bottom
    MakeCurrent(doc, slot);
    doc.RecordStep(u"레이어추가", StepKind::AddLayer, slot);
    doc.NotifyViewsUpdate();
    return slot;
}

bool DeleteCurrentLayer(CBrevDoc& doc) {
    LayerTable& t = doc.Layers();
    const int slot = ListedCurrentLayer(doc);
    if (doc.Busy() || slot < 0 || t.bottom < 0) return false;
    if (t.Count() == 1) {
        doc.User().showMessage(LayerOpsText::OnlyOneLayer, MessageIcon::Warning);
        return false;
    }
    const bool selection = doc.SelectionActive();
    if (selection) doc.NotifySelectionOutlineTimer(0);
    const int above = t.layer(slot).next, below = t.layer(slot).previous;
    RemoveFromList(doc, slot);
    // The layer that becomes current keeps its own name.
    MakeCurrent(doc, LayerTable::IsValidIndex(above) ? above : below);
    if (!doc.ViewShared().selectionMovePending)
        doc.RecordStep(u"레이어삭제", StepKind::DeleteLayer, slot);  // lets its planes go
    if (selection) doc.NotifySelectionOutlineTimer(kOutlineMs);
    doc.NotifyLayerListChanged();
    doc.NotifyViewsUpdate();
    return true;
}

bool SwapLayerPlaces(CBrevDoc& doc, int slotA, int slotB) {
    LayerTable& t = doc.Layers();
    if (doc.Busy() || slotA == slotB || !t.InList(slotA) || !t.InList(slotB)) return false;
    std::vector<int> order = t.Order();
    std::iter_swap(std::find(order.begin(), order.end(), slotA),
                   std::find(order.begin(), order.end(), slotB));
    // Relinking the whole walk covers neighbours, adjacent pairs and the bottom at once.
    for (size_t i = 0; i < order.size(); ++i) {
        Layer& l = t.layer(order[i]);
        l.previous = int16_t(i == 0 ? -1 : order[i - 1]);
        l.next = int16_t(i + 1 == order.size() ? -1 : order[i + 1]);
    }
    t.bottom = order.front();
    const int current = ListedCurrentLayer(doc);
    doc.RecordStep(u"레이어 위치 이동", StepKind::MoveInStack,
                   current == slotA || current == slotB ? current : slotA);
    doc.NotifyViewsUpdate();
    return true;
}

namespace {
// Applies a change of a layer's name or settings, which record no journal step. The snapshot
// follows so that tools starting again from it keep the change, and the document counts as
// modified: the change is saved with it, so closing must ask about it.
template <class F>
bool ChangeSetting(CBrevDoc& doc, int slot, F&& change) {
    LayerTable& t = doc.Layers();
    if (!t.InList(slot)) return false;
    if (!change(t.layer(slot))) return true;
    if (doc.Snapshot().layer(slot).used) change(doc.Snapshot().layer(slot));
    doc.SetModified(true);
    doc.NotifyLayerListChanged();
    doc.NotifyViewsUpdate();
    return true;
}
}  // namespace

bool RenameCurrentLayer(CBrevDoc& doc, std::u16string_view name) {
    return ChangeSetting(doc, ListedCurrentLayer(doc), [&](Layer& l) {
        if (l.Name() == name.substr(0, std::min<size_t>(name.size(), kMaxNameChars))) return false;
        l.SetName(name);
        return true;
    });
}

bool SetLayerVisible(CBrevDoc& doc, int slot, bool visible) {
    return ChangeSetting(doc, slot, [&](Layer& l) {
        const int32_t v = visible ? 1 : 0;
        if (l.visible == v) return false;
        l.visible = v;
        return true;
    });
}

bool SetLayerTransparency(CBrevDoc& doc, int slot, int transparency) {
    const uint8_t v = uint8_t(std::clamp(transparency, 0, 255));
    return ChangeSetting(doc, slot, [&](Layer& l) {
        if (l.transparency == v) return false;
        l.transparency = v;
        return true;
    });
}

bool SetLayerBlendMode(CBrevDoc& doc, int slot, BlendMode mode) {
    return ChangeSetting(doc, slot, [&](Layer& l) {
        // A stored byte without a mode of its own already composes as normal: it becomes 0.
        if (l.blendMode == uint8_t(mode)) return false;
        l.SetBlend(mode);
        return true;
    });
}

bool GoToHistoryStep(CBrevDoc& doc, int step) {
    UndoStore& j = doc.Journal();
    if (step < 0 || doc.Busy()) return false;
    bool moved = false;
    while (j.StepIndex() > step && doc.Undo()) moved = true;
    while (j.StepIndex() < step && doc.Redo()) moved = true;
    return moved;
}

}  // namespace quillet
