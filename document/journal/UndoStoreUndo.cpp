// Undo, redo and the rebuilding of layers from step entries and their files.
#include <algorithm>

#include "document/CBrevDoc.h"
#include "document/journal/UndoStore.h"

namespace quillet {

namespace {
constexpr int kOutlineMs = 400;
}

// The latest step at or below `atOrBelow` that saved the slot; its file holds the slot's planes
// as they were at `atOrBelow` (a layer changes only through steps that save it).
int UndoStore::SourceStep(int slot, int atOrBelow) const {
    for (int j = atOrBelow; j >= 0; --j)
        if (entries_[size_t(j)].slotFields[size_t(slot)].stored) return j;
    return atOrBelow;
}

// Creates the slot again from the fields saved at `fileStep` and reads its layer file; the
// picture values and view state come from `stateStep`, the step being returned to.
bool UndoStore::Rebuild(int slot, int fileStep, int stateStep) {
    LayerTable& t = doc_.Layers();
    if (!t.InList(slot)) return false;
    const StepEntry& e = entries_[size_t(stateStep)];
    const StepSlotFields& f = entries_[size_t(fileStep)].slotFields[size_t(slot)];
    // Nothing was ever saved for this slot: what it holds is the best there is.
    if (!f.stored) return true;

    const int16_t previous = t.layer(slot).previous;
    const int16_t next = t.layer(slot).next;
    const bool text = f.kind == LayerKind::Text;
    LayerPlanes& p = t.planesOf(slot);
    auto prepare = [&] {
        // The mask is read back at the geometry its file was written with.
        if (t.mask.x != f.maskX || t.mask.y != f.maskY || t.mask.width != f.maskWidth ||
            t.mask.height != f.maskHeight)
            t.mask.Reset(f.maskX, f.maskY, std::max(0, f.maskWidth), std::max(0, f.maskHeight), 1);
        p.text.assign(f.textLength > 0 ? size_t(f.textLength) + 1 : 0, 0);
    };

    // A slot that already has this shape on this canvas takes the file straight into its
    // planes: the result is what creating it and reading the file gives, without allocating
    // and filling planes the file overwrites.
    const uint64_t stride = text ? uint64_t(f.width) : StrideFor(e.picture.bitsPerPixel, f.width);
    const uint64_t pixelSize = stride * uint64_t(std::max(0, f.height));
    const uint64_t planeSize = uint64_t(std::max(0, f.width)) * uint64_t(std::max(0, f.height));
    const bool sameShape = f.width >= 1 && f.height >= 1 && pixelSize == f.pixelSize &&
                           planeSize == f.planeSize && p.pixels.size() == pixelSize &&
                           p.alpha.size() == planeSize && p.effect.size() == planeSize &&
                           t.header.canvasWidth == e.picture.canvasWidth &&
                           t.header.canvasHeight == e.picture.canvasHeight &&
                           t.header.bitsPerPixel == e.picture.bitsPerPixel &&
                           t.header.paletteSize == e.picture.paletteSize;
    bool loaded = false;
    if (sameShape) {
        prepare();
        loaded = ReadLayerFile(fileStep, slot, f);
        // A text layer's file has no pixels: they are as created, for the text tools to draw.
        if (loaded && text) std::fill(p.pixels.begin(), p.pixels.end(), uint8_t(255));
    }
    if (!loaded) {
        CreateLayerArgs a;
        a.imageKind = t.header.imageKind;
        a.bitsPerPixel = e.picture.bitsPerPixel;
        a.paletteSize = e.picture.paletteSize;
        a.initialAlpha = 0;
        a.slot = slot;
        a.x = e.x[size_t(slot)];
        a.y = e.y[size_t(slot)];
        a.width = f.width;
        a.height = f.height;
        a.paletteMode = PaletteMode::Keep;
        a.canvasWidth = e.picture.canvasWidth;
        a.canvasHeight = e.picture.canvasHeight;
        a.background = f.record.background != 0;
        a.kind = f.kind;
        a.creationTag = -1;
        // The file fills the planes; only when it cannot are they filled as created.
        a.fillPlanes = false;
        // The table's routine, not the document's: replay must not resize the working copy.
        if (!t.CreateLayer(a, doc_.Image().PaletteBase(), doc_.Image().PaletteCount(),
                           doc_.SelectionActive())) {
            lastError_ = "journal step holds a layer size that cannot be created";
            return false;
        }
        prepare();
        // A missing or damaged file leaves the planes as created; the rebuild still succeeds.
        if (!ReadLayerFile(fileStep, slot, f)) {
            p.pixels.assign(p.pixels.size(), 255);
            p.alpha.assign(p.alpha.size(), 0);
            p.effect.assign(p.effect.size(), 0);
        } else if (text) {
            p.pixels.assign(p.pixels.size(), 255);
        }
    }

    Layer& l = t.layer(slot);
    l = f.record;
    l.used = 1;
    l.previous = previous;
    l.next = next;
    l.x = e.x[size_t(slot)];
    l.y = e.y[size_t(slot)];
    l.kind = f.kind;
    l.width = f.width;
    l.height = f.height;
    l.stride = uint32_t(stride);
    l.planeSize = uint32_t(planeSize);
    l.pixelSize = uint32_t(pixelSize);
    l.textLength = f.textLength;
    l.textColour = f.textColour;
    l.textX = f.textX;
    l.textY = f.textY;
    t.Touch(slot);

    t.header.originX = e.picture.originX;
    t.header.originY = e.picture.originY;
    t.palette = e.palette;
    t.palette.resize(size_t(std::max(0, e.picture.paletteSize)));

    doc_.SetSelectionActive(e.picture.selectionActive);
    // Undo and redo copy every layer into the snapshot once they are done.
    if (!replaying_) doc_.CopyToSnapshot(slot);
    viewState_ = e.view;
    if (e.view.zoom > 0 && e.view.zoom != doc_.Zoom()) doc_.SetZoom(e.view.zoom);
    return true;
}

// Bottom index and every slot's used flag and links, in the table and the snapshot. Slots that
// leave the list give up their planes.
void UndoStore::RestoreStructure(const StepEntry& e) {
    for (LayerTable* t : {&doc_.Layers(), &doc_.Snapshot()}) {
        t->bottom = e.bottom;
        for (int s = 0; s < kLayerSlots; ++s) {
            Layer& l = t->layer(s);
            l.used = e.used[size_t(s)];
            l.previous = e.previous[size_t(s)];
            l.next = e.next[size_t(s)];
        }
        for (int s = 0; s < kLayerSlots; ++s)
            if (!t->InList(s)) t->planesOf(s).Release();
    }
}

// Layers in the list whose planes do not match their record (released by a delete, or never
// read) are rebuilt from their latest saved planes.
bool UndoStore::RebuildUnsizedLayers(int stateStep) {
    LayerTable& t = doc_.Layers();
    for (int s : t.Order()) {
        const Layer& l = t.layer(s);
        const LayerPlanes& p = t.planesOf(s);
        if (p.pixels.size() == l.pixelSize && p.alpha.size() == l.planeSize &&
            p.effect.size() == l.planeSize)
            continue;
        if (!Rebuild(s, SourceStep(s, stateStep), stateStep)) return false;
    }
    return true;
}

void UndoStore::KeepCurrentLayerListed(int preferred) {
    const LayerTable& t = doc_.Layers();
    if (t.InList(doc_.CurrentLayer())) return;
    doc_.SetCurrentLayerIndex(t.InList(preferred) ? preferred : t.Top());
}

void UndoStore::EndReplay() {
    replaying_ = false;
    doc_.SetBusy(false);
}

void UndoStore::FinishReplay() {
    doc_.CopyAllToSnapshot();
    doc_.NotifyLayerListChanged();
    doc_.NotifyViewsUpdate();
    if (doc_.SelectionActive()) doc_.NotifySelectionOutlineTimer(kOutlineMs);
    EndReplay();
}

bool UndoStore::Undo() {
    // At step 0 there is nothing older; with no history at all the index stays -1.
    if (stepIndex_ - 1 < 0) return false;
    const int undone = stepIndex_;
    const int k = --stepIndex_;
    doc_.SetBusy(true);
    replaying_ = true;
    doc_.NotifySelectionOutlineTimer(0);
    lastError_.clear();
    FinishWrites();
    if (k == 1) {
        // Redo to step 2 reads the whole list back from here.
        redoListBottom_ = doc_.Layers().bottom;
        WriteListFile(RedoListFileName());
    }
    if (k > 0) {
        // The list structure of the step returned to, for every kind: the undone step may have
        // added, deleted or moved layers, and after the 21st step it stands for two steps.
        const StepEntry& u = entries_[size_t(undone)];
        RestoreStructure(entries_[size_t(k)]);
        const LayerTable& t = doc_.Layers();
        for (int s = 0; s < kLayerSlots; ++s) {
            if (!u.slotFields[size_t(s)].stored || !t.InList(s)) continue;
            if (!Rebuild(s, SourceStep(s, k), k)) {
                EndReplay();
                return false;
            }
        }
        if (!RebuildUnsizedLayers(k)) {
            EndReplay();
            return false;
        }
        doc_.Layers().palette = entries_[size_t(k)].palette;
        KeepCurrentLayerListed(u.layer);
    } else {
        if (ReadListFile(InitialListFileName(), entries_[0].bottom)) viewState_ = entries_[0].view;
        KeepCurrentLayerListed(entries_[0].layer);
        doc_.NotifyViewsUpdate();
    }
    FinishReplay();
    ++serial_;
    WriteManifest(true);
    return true;
}

bool UndoStore::Redo() {
    if (stepIndex_ < 0 || redoLimit_ < stepIndex_ + 1) return false;
    const int k = ++stepIndex_;
    doc_.SetBusy(true);
    replaying_ = true;
    doc_.NotifySelectionOutlineTimer(0);
    lastError_.clear();
    FinishWrites();
    const StepEntry& e = entries_[size_t(k)];
    if (k == 2) ReadListFile(RedoListFileName(), redoListBottom_);

    // Deleting, moving in the stack, flattening and merging restore the step's list structure;
    // adding, pasting and text layers add the layer again at its slot with its links: both are
    // the structure saved with the step.
    RestoreStructure(e);
    LayerTable& t = doc_.Layers();
    for (int s = 0; s < kLayerSlots; ++s) {
        t.layer(s).x = e.x[size_t(s)];
        t.layer(s).y = e.y[size_t(s)];
    }
    // The step's layer, and for canvas-wide steps every layer, from this step's files.
    for (int s = 0; s < kLayerSlots; ++s) {
        if (!e.slotFields[size_t(s)].stored || !t.InList(s)) continue;
        if (!Rebuild(s, k, k)) {
            EndReplay();
            return false;
        }
    }
    if (!RebuildUnsizedLayers(k)) {
        EndReplay();
        return false;
    }
    t.palette = e.palette;
    KeepCurrentLayerListed(e.layer);
    lastRedoText_ = HistoryText();
    FinishReplay();
    ++serial_;
    WriteManifest(true);
    return true;
}

}  // namespace quillet
