#pragma once
// Measures and draws one line of text into a 32-bit (blue, green, red, alpha) buffer.
#include <cstdint>
#include <string>

namespace quillet {

struct FontSpec {
    std::u16string face;  // "굴림" maps to a Korean sans font in the Qt implementation
    int pixelHeight = 12;
    int weight = 400;  // 400 normal, 700 bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

struct TextExtent {
    int width = 0;
    int height = 0;
};

// A 32-bit top-down buffer the rasterizer draws into.
struct Buffer32 {
    uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;  // bytes per row
};

class TextRasterizer {
public:
    virtual ~TextRasterizer() = default;
    virtual TextExtent measure(const std::u16string& line, const FontSpec& font) const = 0;
    // Draws `line` with its top-left at (x, y). Colours are 0x00RRGGBB; a background of -1
    // leaves the buffer's pixels under the text untouched. Drawn pixels get alpha 255.
    virtual void draw(const std::u16string& line, const FontSpec& font, uint32_t colour,
                      int64_t background, Buffer32 target, int x, int y) const = 0;
};

// Deterministic headless rasterizer: every character is a cell of height × height/2 pixels
// with a pattern derived from its code point, so tests get stable pixels without fonts.
class FixedTextRasterizer : public TextRasterizer {
public:
    TextExtent measure(const std::u16string& line, const FontSpec& font) const override;
    void draw(const std::u16string& line, const FontSpec& font, uint32_t colour, int64_t background,
              Buffer32 target, int x, int y) const override;
};

}  // namespace quillet
