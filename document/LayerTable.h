#pragma once
// The document's 40 layer slots linked into a stacking order, with the picture header, the
// palette and the selection mask. Slot order means nothing: walks follow `next` from `bottom`.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "document/Layer.h"
#include "document/PictureHeader.h"
#include "document/SelectionMask.h"
#include "image/BitmapInfo.h"

namespace quillet {

constexpr int kLayerSlots = 40;

namespace PaletteMode {
constexpr int CopyImage = 0;  // copy the image object's palette
constexpr int Empty = 1;      // palette-size zeroed entries
constexpr int Keep = 2;       // leave the palette as it is
}  // namespace PaletteMode

// Arguments of create layer, in the order the callers think of them.
struct CreateLayerArgs {
    std::u16string_view pictureName;  // not empty: its first 100 characters become the name
    int imageKind = -1;
    int bitsPerPixel = 24;
    int paletteSize = 0;
    uint8_t initialAlpha = 0;
    int slot = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int paletteMode = PaletteMode::Keep;
    int canvasWidth = -1;  // -1: the layer's size becomes the canvas size
    int canvasHeight = -1;
    bool forceMaskReset = false;
    bool background = false;
    uint8_t kind = LayerKind::Raster;
    int16_t creationTag = -1;
    bool centre = false;
    // False leaves the three planes unset, for a caller that writes all of them at once (a
    // reader); true fills them as a new layer has them: pixels 255, alpha initialAlpha, effect 0.
    bool fillPlanes = true;
};

class LayerTable {
public:
    LayerTable();
    LayerTable(const LayerTable&) = delete;
    LayerTable& operator=(const LayerTable&) = delete;

    PictureHeader header;
    std::vector<Rgbquad> palette;  // paletteSize entries, empty for true colour
    SelectionMask mask;
    std::array<Layer, kLayerSlots> layers;
    std::array<LayerPlanes, kLayerSlots> planes;
    int bottom = -1;  // slot of the lowest layer, -1 when the list is empty

    static bool IsValidIndex(int index) { return index >= 0 && index < kLayerSlots; }

    Layer& layer(int slot) { return layers[size_t(slot)]; }
    const Layer& layer(int slot) const { return layers[size_t(slot)]; }
    LayerPlanes& planesOf(int slot) { return planes[size_t(slot)]; }
    const LayerPlanes& planesOf(int slot) const { return planes[size_t(slot)]; }

    // Walks: follow next from the bottom; stop at -1, at an index outside 0..39, or after 40
    // steps (a damaged list with a cycle must not hang a walk).
    bool InList(int index) const;
    int StepFrom(int slot, int steps) const;  // -1 when the walk leaves the list
    int Top() const;                          // -1 when the list is empty
    int Count() const;
    std::vector<int> Order() const;  // slots from the bottom up
    int LowestFreeSlot() const;      // -1 when all 40 are used
    int FirstFloatingLayer() const;  // first kind 3 layer from the bottom, -1 none

    // List primitives for the layer operations: link `slot` directly above `below`
    // (-1: as the new bottom), and take `slot` out of the list, joining its neighbours.
    void LinkAbove(int slot, int below);
    void Unlink(int slot);

    // The one routine through which every layer is made. `imagePalette` is the image object's
    // palette (for PaletteMode::CopyImage); `selectionActive` keeps the selection mask.
    bool CreateLayer(const CreateLayerArgs& args, const Rgbquad* imagePalette,
                     int imagePaletteCount, bool selectionActive);

    // Copies one layer from another table: the stored record, the picture values, the palette,
    // and duplicates of the planes and the text. Each table keeps owning its buffers.
    void CopyLayerFrom(const LayerTable& source, int slot);
    void CopyAllUsedFrom(const LayerTable& source);

    // Frees every buffer and empties the list.
    void Clear();

    // A number that changes whenever a slot's content may have changed (created, copied in,
    // composed into, committed, saved by a journal step, rebuilt). Numbers are never reused
    // within a table, so a picture made from a layer stays valid while its number holds.
    uint64_t Revision(int slot) const { return IsValidIndex(slot) ? revisions_[size_t(slot)] : 0; }
    void Touch(int slot) {
        if (IsValidIndex(slot)) revisions_[size_t(slot)] = ++revisionClock_;
    }

    // Layer pixel access; y counts rows in storage order (bottom row first). Colours are
    // 0x00RRGGBB. Reads outside the layer give `outside` (colour) or 0 (alpha); writes outside
    // do nothing. Indexed layers read through the palette and write the nearest index.
    uint32_t ColorAt(int slot, int x, int y, uint32_t outside = 0) const;
    uint8_t AlphaAt(int slot, int x, int y) const;
    void PutColor(int slot, int x, int y, uint32_t colour);
    void PutAlpha(int slot, int x, int y, uint8_t alpha);
    uint8_t* PixelRow(int slot, int y);
    const uint8_t* PixelRow(int slot, int y) const;
    uint8_t* AlphaRow(int slot, int y);
    const uint8_t* AlphaRow(int slot, int y) const;
    // Bits per pixel of a slot's pixel buffer: 8 (coverage) for text layers, else the picture's.
    int LayerBits(int slot) const;
    // Nearest palette index by the image object's rule (ties to the lower index).
    int NearestPaletteIndex(uint32_t colour) const;

private:
    bool HasPixel(int slot, int x, int y) const;

    std::array<uint64_t, kLayerSlots> revisions_{};
    uint64_t revisionClock_ = 0;
};

// A layer of the picture's own format covering the canvas at (0, 0), for `slot`.
inline CreateLayerArgs CanvasLayerArgs(const LayerTable& t, int slot, uint8_t kind) {
    CreateLayerArgs a;
    a.imageKind = t.header.imageKind;
    a.bitsPerPixel = t.header.bitsPerPixel;
    a.paletteSize = t.header.paletteSize;
    a.slot = slot;
    a.width = a.canvasWidth = t.header.canvasWidth;
    a.height = a.canvasHeight = t.header.canvasHeight;
    a.kind = kind;
    return a;
}

}  // namespace quillet
