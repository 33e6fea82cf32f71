#include <algorithm>

#include "platform/TextRasterizer.h"

namespace quillet {

namespace {
int cellWidth(const FontSpec& font) { return std::max(1, font.pixelHeight / 2); }
int cellHeight(const FontSpec& font) { return std::max(1, font.pixelHeight); }

// A 4 × 4 on/off pattern per character, stretched over its cell; spaces stay empty.
bool glyphBit(char16_t c, int gx, int gy) {
    if (c == u' ') return false;
    const uint32_t h = (uint32_t(c) * 2654435761u) >> 16;
    return ((h >> (gy * 4 + gx)) & 1) != 0;
}

void putPixel(Buffer32 t, int x, int y, uint32_t colour) {
    if (x < 0 || y < 0 || x >= t.width || y >= t.height) return;
    uint8_t* p = t.pixels + size_t(y) * t.stride + size_t(x) * 4;
    p[0] = uint8_t(colour);
    p[1] = uint8_t(colour >> 8);
    p[2] = uint8_t(colour >> 16);
    p[3] = 255;
}
}  // namespace

TextExtent FixedTextRasterizer::measure(const std::u16string& line, const FontSpec& font) const {
    return {int(line.size()) * cellWidth(font), cellHeight(font)};
}

void FixedTextRasterizer::draw(const std::u16string& line, const FontSpec& font, uint32_t colour,
                               int64_t background, Buffer32 target, int x, int y) const {
    const int cw = cellWidth(font), ch = cellHeight(font);
    for (size_t i = 0; i < line.size(); ++i) {
        const int left = x + int(i) * cw;
        for (int py = 0; py < ch; ++py) {
            for (int px = 0; px < cw; ++px) {
                if (glyphBit(line[i], px * 4 / cw, py * 4 / ch)) {
                    putPixel(target, left + px, y + py, colour);
                } else if (background >= 0) {
                    putPixel(target, left + px, y + py, uint32_t(background));
                }
            }
        }
    }
}

}  // namespace quillet
