// Recording steps: the entry in memory and the changed layers' files.
#include <algorithm>
#include <cstdio>

#include "document/CBrevDoc.h"
#include "document/journal/UndoStore.h"

namespace quillet {

UndoStore::UndoStore(CBrevDoc& doc) : doc_(doc), entries_(size_t(kSteps)) {}

UndoStore::~UndoStore() { DeleteAllFiles(); }

void UndoStore::StoreStructure(StepEntry& e) const {
    const LayerTable& t = doc_.Layers();
    e.bottom = t.bottom;
    for (int s = 0; s < kLayerSlots; ++s) {
        const Layer& l = t.layer(s);
        e.used[size_t(s)] = l.used;
        e.previous[size_t(s)] = l.previous;
        e.next[size_t(s)] = l.next;
    }
}

// Writes the slot's layer file and keeps the fields that describe it.
void UndoStore::StoreSlot(StepEntry& e, int step, int slot) {
    const LayerTable& t = doc_.Layers();
    const Layer& l = t.layer(slot);
    StepSlotFields& f = e.slotFields[size_t(slot)];
    f.stored = true;
    f.width = l.width;
    f.height = l.height;
    f.planeSize = l.planeSize;
    f.pixelSize = l.pixelSize;
    f.stride = l.stride;
    f.kind = l.kind;
    f.textLength = std::clamp(l.textLength, 0, kMaxTextChars);
    f.textColour = l.textColour;
    f.textX = l.textX;
    f.textY = l.textY;
    f.maskX = t.mask.x;
    f.maskY = t.mask.y;
    f.maskWidth = t.mask.width;
    f.maskHeight = t.mask.height;
    f.record = l;
    const LayerPlanes& p = t.planesOf(slot);
    f.pixelsStamp = p.pixels.Stamp();
    f.alphaStamp = p.alpha.Stamp();
    f.effectStamp = p.effect.Stamp();
    f.maskHash = MaskHash(t.mask.bytes);
    if (!LinkUnchangedLayerFile(step, slot)) WriteLayerFile(step, slot);
    // Whatever changed the layer before this step, its pictures in the panels are old now.
    doc_.Layers().Touch(slot);
}

void UndoStore::StorePictureValues(StepEntry& e, int layer) {
    const LayerTable& t = doc_.Layers();
    for (int s = 0; s < kLayerSlots; ++s) {
        e.x[size_t(s)] = t.layer(s).x;
        e.y[size_t(s)] = t.layer(s).y;
    }
    const Layer& l = t.layer(layer);
    e.transparency = l.transparency;
    e.effectValue1 = l.effectValue1;
    e.effectValue2 = l.effectValue2;
    e.effectValue3 = l.effectValue3;
    e.effectColour = l.EffectColour();
    e.effectParameter = l.effectParameter;
    StepPictureValues& v = e.picture;
    v.paletteSize = t.header.paletteSize;
    v.bitsPerPixel = t.header.bitsPerPixel;
    v.canvasWidth = t.header.canvasWidth;
    v.canvasHeight = t.header.canvasHeight;
    v.canvasImageSize = t.header.canvasImageSize;
    v.canvasPixelCount = t.header.canvasPixelCount;
    v.originX = t.header.originX;
    v.originY = t.header.originY;
    v.selectionActive = doc_.SelectionActive();
    v.maskX = t.mask.x;
    v.maskY = t.mask.y;
    v.maskWidth = t.mask.width;
    v.maskHeight = t.mask.height;
    e.palette = t.palette;
    e.palette.resize(size_t(std::max(0, v.paletteSize)));
    e.view = viewState_;
    e.view.zoom = doc_.Zoom();
    e.imageDescription = doc_.Image().header;
}

// The 21st step: entry 2 goes, entries 3..19 move down one place with their files. A slot that
// only the discarded step saved is handed to the step after it (file kept, fields copied), so
// undoing to any kept step still finds that layer's latest planes.
void UndoStore::ShiftOut() {
    StepEntry& gone = entries_[2];
    StepEntry& after = entries_[3];
    for (int s = 0; s < kLayerSlots; ++s) {
        if (gone.slotFields[size_t(s)].stored && !after.slotFields[size_t(s)].stored) {
            after.slotFields[size_t(s)] = gone.slotFields[size_t(s)];
            // Renamed below as if it were step 3's own file: step 3 has none for this slot.
            if (!folder_.empty())
                std::rename(LayerFileName(2, s).c_str(), LayerFileName(3, s).c_str());
        } else if (!folder_.empty() && gone.slotFields[size_t(s)].stored) {
            RetireFile(LayerFileName(2, s));
        }
    }
    for (int i = 3; i < kSteps; ++i) {
        entries_[size_t(i - 1)] = std::move(entries_[size_t(i)]);
        if (folder_.empty()) continue;
        // Only the files the entry wrote exist: renaming the other slots would do nothing.
        for (int s = 0; s < kLayerSlots; ++s)
            if (entries_[size_t(i - 1)].slotFields[size_t(s)].stored)
                std::rename(LayerFileName(i, s).c_str(), LayerFileName(i - 1, s).c_str());
    }
    entries_[size_t(kSteps - 1)] = StepEntry{};
}

bool UndoStore::RecordStep(std::u16string_view label, StepKind kind, int layer,
                           const StepExtras& extras) {
    if (doc_.CurrentLayer() == -1) return false;
    if (label == u"Opening...." || label == u"initial state") stepIndex_ = -1;
    if (layer == -1) layer = doc_.CurrentLayer();
    if (!LayerTable::IsValidIndex(layer)) return false;
    doc_.SetBusy(true);
    lastError_.clear();

    int n = stepIndex_ + 1;
    if (n > 0) doc_.SetModified(true);
    if (n == 0) {
        stepIndex_ = 0;
        WriteListFile(InitialListFileName());
    }
    if (n >= kSteps) {
        ShiftOut();
        n = kSteps - 1;
    }
    stepIndex_ = n;
    redoLimit_ = n;
    DeleteStepFiles(n);

    StepEntry& e = entries_[size_t(n)];
    e = StepEntry{};
    e.label.assign(label.substr(0, std::min<size_t>(label.size(), kMaxNameChars)));
    e.kind = kind;
    e.layer = layer;
    StoreStructure(e);
    e.extras = extras;
    // Canvas-wide steps, and the first step of a history, save every layer: a later undo must
    // find each layer's planes at or below the step it returns to.
    const LayerTable& t = doc_.Layers();
    if (kind == StepKind::CanvasResize || kind == StepKind::Rotate || n == 0)
        for (int s = 0; s < kLayerSlots; ++s)
            if (t.layer(s).used && s != layer) StoreSlot(e, n, s);
    StoreSlot(e, n, layer);
    StorePictureValues(e, layer);

    doc_.CopyAllToSnapshot();
    doc_.NotifyLayerListChanged();
    if (kind == StepKind::DeleteLayer && !doc_.Layers().InList(layer)) {
        doc_.Layers().planesOf(layer).Release();
        doc_.Snapshot().planesOf(layer).Release();
    }
    ++serial_;
    WriteManifest(false);
    doc_.SetBusy(false);
    lastError_ += writer_.TakeErrors();
    return lastError_.empty();
}

}  // namespace quillet
