#pragma once
// One byte per pixel over a rectangle of the canvas. The values' meaning belongs to the
// selection tools; the document only sizes and places the mask.
#include <cstdint>
#include <vector>

namespace quillet {

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
    void Release() {
        x = y = width = height = 0;
        bytes = {};
    }
};

}  // namespace quillet
