#pragma once
// From zoomed coordinates to the current layer's coordinates, growing the layer when a point
// falls outside it.
#include <string_view>

#include "view/ViewTypes.h"

namespace quillet {

class CBrevDoc;
struct Layer;

struct LayerPoint {
    int x = 0;    // column in the layer
    int y = 0;    // row counted from the layer's top
    int row = 0;  // the same row in storage order (bottom row first)
    bool inside = false;
};

// trunc(zoomed / zoom) in each direction.
ViewPoint CanvasOf(ViewPoint zoomed, double zoom);
LayerPoint ToLayer(const Layer& layer, ViewPoint canvas);

// Grows `slot` so that the canvas point lies inside it: in each direction where it lies
// outside, the size grows by the overshoot plus 15 and the origin moves back by the overshoot
// when the point lies before it. Pixels keep their canvas place; the new area is empty. The
// change is recorded under `label` and the snapshot stored. False when nothing had to grow or
// the layer cannot grow (no such layer, packed depths below 8 bits, the pixel limit).
bool GrowLayerToPoint(CBrevDoc& doc, int slot, ViewPoint canvas, std::u16string_view label);

// Conversion used by every tool operation: maps, grows the current layer when needed and maps
// again.
LayerPoint CurrentLayerPoint(CBrevDoc& doc, ViewPoint zoomed, std::u16string_view label);

}  // namespace quillet
