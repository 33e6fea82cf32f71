#pragma once
// Layers for documents made in tests, created the way the layer operations create them.
#include <cstdint>

#include "document/CBrevDoc.h"
#include "document/LayerTable.h"

namespace quillet::testsupport {

inline constexpr int kOnTop = -2;  // `below` for a layer that goes on top of the list

// Arguments for a layer joining the picture: depth and palette size from the picture header
// (24 bits while it has none), and the header's canvas (the layer's own size while it has none).
CreateLayerArgs LayerArgs(const LayerTable& t, int slot, int x, int y, int width, int height,
                          uint8_t kind = LayerKind::Raster);

// Creates the layer, links it above `below` (-1: as the new bottom; kOnTop: on top) and marks it
// used and visible. Returns the slot, or -1 when create layer refuses (nothing is linked then).
int AddLayer(LayerTable& t, const CreateLayerArgs& a, int below = kOnTop);
int AddLayer(CBrevDoc& doc, const CreateLayerArgs& a, int below = kOnTop);

}  // namespace quillet::testsupport
