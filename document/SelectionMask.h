#pragma once
// One byte per pixel over a rectangle of the canvas. The values' meaning belongs to the
// selection tools; the document only sizes and places the mask.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillet {

// What a mask byte holds.
namespace MaskValue {
constexpr uint8_t Unselected = 0;
constexpr uint8_t Selected = 1;
constexpr uint8_t Outline = 2;  // drawn by a selection tool; selected, and shown as outline
constexpr uint8_t Marker = 5;   // around a path guide point
}  // namespace MaskValue

struct SelectionMask {
    int32_t x = 0;  // canvas position of the top-left corner
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bytes;  // width × height, rows of width bytes

    size_t ByteSize() const { return bytes.size(); }
    void Reset(int32_t atX, int32_t atY, int32_t w, int32_t h, uint8_t value) {
        x = atX;
        y = atY;
        width = w;
        height = h;
        bytes.assign(size_t(w) * size_t(h), value);
    }
    // Rows are kept as the layer keeps its rows, the bottom row first; `y` counts from the top.
    uint8_t* RowFromTop(int y) { return bytes.data() + size_t(height - 1 - y) * size_t(width); }
    const uint8_t* RowFromTop(int y) const {
        return bytes.data() + size_t(height - 1 - y) * size_t(width);
    }
    bool Contains(int px, int py) const { return px >= 0 && py >= 0 && px < width && py < height; }
    // Whether the bytes match the geometry (a damaged or released mask does not).
    bool Consistent() const {
        return width >= 0 && height >= 0 && bytes.size() == size_t(width) * size_t(height);
    }
    void Release() {
        x = y = width = height = 0;
        bytes = {};
    }
};

}  // namespace quillet
