#pragma once
// What the layer window shows, as plain values: one row per layer from the bottom up, the
// canvas caption and the blend-mode list. The Qt panel only draws these.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/Layer.h"

namespace quillet {

class CBrevDoc;
class LayerTable;
struct Image32;

struct LayerRow {
    int slot = -1;
    int number = 0;            // 0 for the bottom layer
    std::u16string label;      // see LayerLabel
    std::u16string textStart;  // a text layer's first 5 characters
    bool visible = false;
    bool background = false;   // shown with its own icon
    bool text = false;         // double-clicking edits its text
    bool floating = false;     // a moved selection: no buttons
    bool highlighted = false;  // the current layer (the floating layer's source while it is)
};

// The first 6 characters of the name, with " [글]" for a text layer; the photo frame, the line
// pattern and the floating layer have labels of their own.
std::u16string LayerLabel(const Layer& layer);
std::vector<LayerRow> LayerRows(const CBrevDoc& doc);
// "(%d x %d)": the canvas width and height.
std::u16string CanvasCaption(const LayerTable& table);

struct BlendEntry {
    std::u16string_view name;
    BlendMode mode;
};
// The picture of a layer in its row: the canvas fitted into side × side pixels (centred), the
// layer drawn alone by the compositor with its transparency. `out` keeps its buffer between
// calls; out.x and out.y place the picture in the square.
void ComposeLayerThumbnail(const LayerTable& table, int slot, int side, Image32& out);
// What the picture depends on besides the planes: it is still right while this is unchanged.
struct ThumbnailKey {
    uint64_t revision = 0;
    uint8_t transparency = 0;
    uint8_t kind = 0;
    uint32_t textColour = 0;
    int32_t x = 0, y = 0, canvasWidth = 0, canvasHeight = 0, side = 0;
    uint64_t paletteSum = 0;
    bool operator==(const ThumbnailKey&) const = default;
};
ThumbnailKey ThumbnailKeyOf(const LayerTable& table, int slot, int side);

// The blend-mode list: normal first, then the other modes by their names.
std::span<const BlendEntry> BlendEntries();
// The list row of a mode.
int BlendEntryIndex(BlendMode mode);

}  // namespace quillet
