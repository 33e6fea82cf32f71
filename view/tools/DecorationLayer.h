#pragma once
// Decorations that live on a layer of their own, found again by its name ("[LinePattern]",
// "[ImgFrame]"): a dialog session draws into the layer at every change and records it on OK.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillet {

class CBrevDoc;
class LayerTable;

// The first listed layer called `name` from the bottom, or -1.
int FindLayerNamed(const LayerTable& t, std::u16string_view name);

class DecorationLayer {
public:
    DecorationLayer(CBrevDoc& doc, std::u16string_view name);

    // The layer to draw into, empty (transparent, canvas-sized at (0, 0)): the layer called by
    // the name, or a new one above the current layer, which stays current. -1 when there is no
    // picture, the document is busy or all 40 slots are used (the user told).
    int Prepare();
    // OK: a layer this session made is recorded as added, one it reused as a pixel edit (undo
    // then gives back the decoration it held before).
    bool Commit(std::u16string_view label);
    // Cancel: a layer this session made goes; one it reused gets back what its last step held.
    void Cancel();

private:
    CBrevDoc& doc_;
    std::u16string name_;
    int slot_ = -1;
    bool created_ = false;
};

// Writes opaque pixels into a layer, rows counted from the top; points outside are skipped.
// True-colour rows are written in place, indexed ones through the palette.
class OpaqueWriter {
public:
    OpaqueWriter(LayerTable& t, int slot);
    void Put(int x, int y, uint32_t colour) {  // 0x00RRGGBB
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        const size_t stored = size_t(height_ - 1 - y);  // layers keep the bottom row first
        alpha_[stored * size_t(width_) + size_t(x)] = 255;
        if (bytes_ == 0) return PutIndexed(x, int(stored), colour);
        uint8_t* px = pixels_ + stored * stride_ + size_t(x) * size_t(bytes_);
        px[0] = uint8_t(colour);
        px[1] = uint8_t(colour >> 8);
        px[2] = uint8_t(colour >> 16);
    }
    // Columns [x0, x1) of row y.
    void Span(int y, int x0, int x1, uint32_t colour);
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    void PutIndexed(int x, int stored, uint32_t colour);

    LayerTable& t_;
    int slot_;
    int width_ = 0, height_ = 0;
    int bytes_ = 0;  // 3 or 4 per pixel in place; 0 through the palette
    uint8_t* pixels_ = nullptr;
    uint8_t* alpha_ = nullptr;
    size_t stride_ = 0;
};

}  // namespace quillet
