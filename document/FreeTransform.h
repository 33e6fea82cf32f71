#pragma once
// The warp of a layer onto four corner handles: the core of the free-transform modes, free
// rotation and `quillet-cli apply transform`.
#include <string_view>
#include <vector>

#include "document/FreeTransformState.h"
#include "image/effects/QuadWarp.h"

namespace quillet {

class CBrevDoc;
class LayerTable;

// Each handle stands for a canvas pixel; the quadrilateral runs along the outer edges of the
// four corner pixels, half a pixel out from their centres along the source's own axes. Its
// corners are given relative to (originX, originY).
WarpQuad QuadOfHandles(const CornerHandles& handles, int originX = 0, int originY = 0);

// The canvas rectangle the quadrilateral covers: the layer's place after the warp.
HandleBox BoxOfHandles(const CornerHandles& handles);

// The corners of a canvas rectangle, of a layer, and of a layer turned by `degrees`
// (clockwise on screen) about its centre, rounded to whole pixels.
CornerHandles BoxCornerHandles(const HandleBox& box);
CornerHandles LayerCornerHandles(const Layer& layer);
CornerHandles RotatedLayerHandles(const Layer& layer, double degrees);

// The canvas rectangle of the layer's pixels that are not fully transparent, clamped to the
// canvas: what the transform modes take hold of. The layer's own rectangle, clamped, when
// every pixel is transparent.
HandleBox ContentBox(const LayerTable& table, int slot);

// Replaces the layer by the warp of the part `from` (a canvas rectangle) of a layer (record
// and planes, usually the layer as it was) onto the handles; the layer takes the covered
// rectangle. No journal step. False, and the layer untouched, when the grid lines meet no more
// (a flat quadrilateral), the part is empty, the result would pass the pixel limit, or the
// pixels are below 8 bits.
bool WarpLayerFrom(LayerTable& table, int slot, const Layer& sourceRecord,
                   const LayerPlanes& sourcePlanes, const HandleBox& from,
                   const CornerHandles& handles);

// The same warp at the given canvas columns and rows only (increasing; a view's samples of the
// canvas), for a preview that follows the mouse: the slot's buffers are reused at the new
// size, every other pixel left transparent.
bool WarpLayerPreview(LayerTable& table, int slot, const Layer& sourceRecord,
                      const LayerPlanes& sourcePlanes, const HandleBox& from,
                      const CornerHandles& handles, const std::vector<int>& canvasColumns,
                      const std::vector<int>& canvasRows);

// "자유변환": the content of the current layer (or `slot`; ContentBox) warped onto the
// handles, recorded as one journal step under `label`. A text layer is refused with its
// message.
bool TransformLayer(CBrevDoc& doc, const CornerHandles& handles, int slot = -1,
                    std::u16string_view label = u"자유변환");

// Copies of one slot's record and planes, and back (the slot's revision moves on).
void SaveLayerCopy(const LayerTable& table, int slot, LayerCopy& copy);
void RestoreLayerCopy(LayerTable& table, int slot, const LayerCopy& copy);

}  // namespace quillet
