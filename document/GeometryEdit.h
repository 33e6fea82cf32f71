#pragma once
// What the geometry commands share: the text-layer refusals, planes of a new shape, progress on
// the user port, and the end of an edit (mask, working copy, views).
#include <string_view>
#include <vector>

#include "document/CBrevDoc.h"
#include "document/LayerTable.h"
#include "image/effects/Geometry.h"

namespace quillet::geometry {

// True (and nothing said) when the picture holds no text layer.
bool CanvasAllowed(CBrevDoc& doc);
// The layer the command acts on (-1: the current one), or -1 when there is none or it is a
// text layer (the user is told).
int LayerAllowed(CBrevDoc& doc, int slot);

// Writable views of a slot's planes; bits of the pixel plane as the table keeps them.
PlaneRef PixelPlane(LayerTable& t, int slot);
ConstPlaneRef PixelPlane(const LayerTable& t, int slot);
PlaneRef BytePlane(std::vector<uint8_t>& bytes, int width, int height);
ConstPlaneRef BytePlane(const std::vector<uint8_t>& bytes, int width, int height);
PlaneRef BytePlane(PlaneBuffer& bytes, int width, int height);
ConstPlaneRef BytePlane(const PlaneBuffer& bytes, int width, int height);

// Planes for a layer of `width` × `height` at the slot's depth, zero (large planes come as
// untouched zero pages, so nothing is filled twice).
struct NewPlanes {
    int width = 0, height = 0;
    uint32_t stride = 0;
    PlaneBuffer pixels, alpha, effect;
};
NewPlanes AllocatePlanes(const LayerTable& t, int slot, int width, int height);
// The slot takes the new planes at (x, y); its text and other fields stay.
void AdoptPlanes(LayerTable& t, int slot, NewPlanes&& planes, int x, int y);

// Progress on the user port for pictures large enough to take a while: rows done × 100 / rows
// of each layer, then -1 at the end.
class LayerProgress {
public:
    LayerProgress(CBrevDoc& doc, uint64_t pixels);
    ~LayerProgress();
    LayerProgress(const LayerProgress&) = delete;
    LayerProgress& operator=(const LayerProgress&) = delete;
    RowProgress Rows();

private:
    static void Report(void* self, int percent);
    CBrevDoc& doc_;
    bool on_;
    int last_ = -1;
};

// The end of every geometry edit: the selection ends and the mask follows the current layer,
// the working copy goes (tools take it afresh), the step is recorded and the views follow.
void FinishEdit(CBrevDoc& doc, std::u16string_view label, StepKind kind, int layer,
                const StepExtras& extras = {});

}  // namespace quillet::geometry
