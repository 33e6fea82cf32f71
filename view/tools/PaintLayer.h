#pragma once
// The current layer as the painting tools write it: its planes with the selection (and the
// palette of an indexed picture) as a stamp target, and the area primitives of a stroke step.
// A stroke writes straight into the layer and keeps the snapshot in step area by area, which
// gives the same layer and snapshot as restoring, drawing and storing the whole layer each step
// while costing only the pixels the step touched.
#include <memory>
#include <vector>

#include "view/tools/BrushStamp.h"

namespace quillet {

class CBrevDoc;

class PaintLayer {
public:
    PaintLayer();
    ~PaintLayer();
    PaintLayer(const PaintLayer&) = delete;
    PaintLayer& operator=(const PaintLayer&) = delete;

    // Takes the document's current layer: refused (-1) while the document is busy, without a
    // raster current layer, or for depths the stamp does not write (packed 1 and 4 bits); a
    // text layer is refused with the document's message. Gives the slot.
    int Open(CBrevDoc& doc);
    // The planes again after something replaced them (a restore, the layer growing).
    bool Reopen(CBrevDoc& doc);

    int Slot() const { return slot_; }
    const StampTarget& Target() const { return target_; }
    const LayerPixels& Pixels() const { return target_.layer; }

private:
    bool Bind(CBrevDoc& doc);

    int slot_ = -1;
    StampTarget target_;
    std::vector<uint8_t> selection_;
    std::unique_ptr<NearestPalette> nearest_;
};

// Whether the layer and its snapshot have the same geometry, so that areas copy between them.
bool SnapshotMatches(const CBrevDoc& doc, int slot);
// Copies an area of the slot's planes from the snapshot into the layer (restore) or from the
// layer into the snapshot (store); the whole layer when the geometry differs.
void RestoreArea(CBrevDoc& doc, int slot, const PixelArea& area);
void StoreArea(CBrevDoc& doc, int slot, const PixelArea& area);
// Marks the slot changed and tells the views the canvas area an area of the layer covers.
void ShowArea(CBrevDoc& doc, int slot, const PixelArea& area);

}  // namespace quillet
