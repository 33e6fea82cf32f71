#pragma once
// The edit cycle every pixel command goes through: check that the document can be edited,
// refuse a text layer with the document's message, change the layer through the working copy
// (or the palette of an indexed picture), commit, record the journal step, update the views.
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "image/effects/LayerPixels.h"

namespace quillet {

class CBrevDoc;
class LayerTable;
struct Rgbquad;

// What became of an editing command.
enum class EditOutcome {
    Done,       // changed and recorded
    Unchanged,  // nothing to do (the routine found nothing to change)
    Refused,    // the document could not be edited, or the layer is a text layer
};

enum class TextLayerRule { Refuse, Allow };

// The current layer when the document is ready for an edit (not busy, a listed current layer);
// a text layer is refused with the document's message when `rule` says so. -1 otherwise.
int EditableCurrentLayer(CBrevDoc& doc, TextLayerRule rule);

// Whether the picture's raster layers hold palette indices.
bool IsIndexedPicture(const LayerTable& t);

// A raster layer's planes; no selection.
LayerPixels PixelsOf(LayerTable& t, int slot);

// The document's selection as a plane of the layer's size and row order, or null when no
// selection is active (every pixel may change). A mask placed elsewhere on the canvas is
// aligned into `storage`; pixels it does not cover are not selected.
const uint8_t* SelectionFor(const CBrevDoc& doc, int slot, std::vector<uint8_t>& storage);

// Changes a true-colour layer: `change` reads `from` (the layer as it was) and writes `to` (the
// working copy, starting as a copy of the layer, with the selection). Then the working copy is
// committed and `label` recorded as a pixel edit of the slot.
using PixelChange = std::function<void(const LayerPixels& from, const LayerPixels& to)>;
EditOutcome EditLayerPixels(CBrevDoc& doc, int slot, std::u16string_view label,
                            const PixelChange& change);

// Changes the palette of an indexed picture (the pixels stay) and the image object's palette
// with it; `change` returns false when it changed nothing.
using PaletteChange = std::function<bool(Rgbquad* palette, int count)>;
EditOutcome EditPalette(CBrevDoc& doc, int slot, std::u16string_view label,
                        const PaletteChange& change);

// After a change made directly in the planes of the `changed` layers: a pixel edit of the one
// layer, or one step that saves every layer when several changed.
EditOutcome RecordLayersChanged(CBrevDoc& doc, const std::vector<int>& changed,
                                std::u16string_view label);

}  // namespace quillet
