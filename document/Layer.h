#pragma once
// One layer slot: the 848-byte stored record (written verbatim to VLR and journal files) and,
// beside it, the buffers the record describes. The record never holds pointers.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "document/PictureHeader.h"
#include "document/PlaneBuffer.h"

namespace quillet {

constexpr int kMaxTextChars = 700;
constexpr int kFontFaceUnits = 25;

namespace LayerKind {
constexpr uint8_t Raster = 0;
constexpr uint8_t Picture = 1;
constexpr uint8_t Text = 2;
constexpr uint8_t Floating = 3;
}  // namespace LayerKind

// How a layer meets what lies below it; the values are the stored byte.
enum class BlendMode : uint8_t {
    Normal = 0,
    Multiply = 2,    // "곱셈혼합"
    Screen = 3,      // "화면혼합"
    Darken = 4,      // "어두운혼합"
    Lighten = 5,     // "밝은혼합"
    Difference = 6,  // "차이혼합"
    Negation = 7,    // "역차이혼합"
    Exclusion = 8,   // "제외혼합"
    Overlay = 9,     // "오버레이혼합"
};

// The mode a stored byte stands for; values without a mode of their own compose as Normal.
constexpr BlendMode BlendModeOf(uint8_t stored) {
    switch (const BlendMode mode = BlendMode(stored)) {
        case BlendMode::Normal:
        case BlendMode::Multiply:
        case BlendMode::Screen:
        case BlendMode::Darken:
        case BlendMode::Lighten:
        case BlendMode::Difference:
        case BlendMode::Negation:
        case BlendMode::Exclusion:
        case BlendMode::Overlay:
            return mode;
    }
    return BlendMode::Normal;
}

struct Layer {
    int32_t used;        // 1 while the slot holds a layer
    int32_t background;  // 1 for the layer made from an opened picture
    char16_t name[kMaxNameChars];
    uint8_t kind;          // LayerKind
    uint8_t blendMode;     // BlendMode, as stored; see Blend()
    int16_t previous;      // slot below, -1 at the bottom
    int16_t next;          // slot above, -1 at the top
    int16_t creationTag;   // floating layer: its source slot; -1 none
    uint8_t effectValue1;  // 0 = no layer effect
    uint8_t effectValue2;
    uint8_t effectColourBytes[4];  // unaligned 32-bit colour; see EffectColour()
    uint8_t reserved222[2];
    uint8_t effectValue3;
    uint8_t reserved225[3];
    uint32_t textColour;   // 0x00RRGGBB
    uint8_t transparency;  // 0 opaque .. 255 fully transparent
    uint8_t padding233[3];
    int32_t visible;  // 1 shown, anything else hidden
    int32_t x;
    int32_t y;
    int32_t height;
    int32_t width;
    uint32_t planeSize;  // width × height: alpha plane and effect plane bytes
    uint32_t pixelSize;  // stride × height
    uint32_t stride;
    int32_t textLength;  // 0..700
    int32_t textX;
    int32_t textY;
    int32_t fontSize;
    char16_t fontFace[kFontFaceUnits];
    uint8_t reserved334[50];
    int32_t textScale;  // ten times the value: 10 = 1.0
    int32_t textSettingB;
    int32_t textSettingC;
    int32_t effectParameter;
    uint8_t reserved400[448];

    uint32_t EffectColour() const {
        uint32_t v;
        std::memcpy(&v, effectColourBytes, 4);
        return v;
    }
    void SetEffectColour(uint32_t v) { std::memcpy(effectColourBytes, &v, 4); }
    bool IsVisible() const { return visible == 1; }
    bool IsText() const { return kind == LayerKind::Text; }
    BlendMode Blend() const { return BlendModeOf(blendMode); }
    void SetBlend(BlendMode mode) { blendMode = uint8_t(mode); }
    std::u16string Name() const;
    void SetName(std::u16string_view text);  // keeps the first 100 characters
};

constexpr size_t kLayerRecordBytes = 848;
static_assert(sizeof(Layer) == kLayerRecordBytes);
static_assert(std::is_trivially_copyable_v<Layer> && std::is_standard_layout_v<Layer>,
              "the record is copied to and from files as bytes");
static_assert(offsetof(Layer, background) == 4);
static_assert(offsetof(Layer, name) == 8);
static_assert(offsetof(Layer, kind) == 208);
static_assert(offsetof(Layer, blendMode) == 209);
static_assert(offsetof(Layer, previous) == 210);
static_assert(offsetof(Layer, next) == 212);
static_assert(offsetof(Layer, creationTag) == 214);
static_assert(offsetof(Layer, effectValue1) == 216);
static_assert(offsetof(Layer, effectValue2) == 217);
static_assert(offsetof(Layer, effectColourBytes) == 218);
static_assert(offsetof(Layer, effectValue3) == 224);
static_assert(offsetof(Layer, textColour) == 228);
static_assert(offsetof(Layer, transparency) == 232);
static_assert(offsetof(Layer, visible) == 236);
static_assert(offsetof(Layer, x) == 240);
static_assert(offsetof(Layer, y) == 244);
static_assert(offsetof(Layer, height) == 248);
static_assert(offsetof(Layer, width) == 252);
static_assert(offsetof(Layer, planeSize) == 256);
static_assert(offsetof(Layer, pixelSize) == 260);
static_assert(offsetof(Layer, stride) == 264);
static_assert(offsetof(Layer, textLength) == 268);
static_assert(offsetof(Layer, textX) == 272);
static_assert(offsetof(Layer, textY) == 276);
static_assert(offsetof(Layer, fontSize) == 280);
static_assert(offsetof(Layer, fontFace) == 284);
static_assert(offsetof(Layer, reserved334) == 334);
static_assert(offsetof(Layer, textScale) == 384);
static_assert(offsetof(Layer, textSettingB) == 388);
static_assert(offsetof(Layer, textSettingC) == 392);
static_assert(offsetof(Layer, effectParameter) == 396);
static_assert(offsetof(Layer, reserved400) == 400);

// The buffers a record describes, held by the table beside the record. Pixel and alpha rows
// are in the image object's row order (bottom row first). An empty plane is an absent buffer.
// Copying planes shares them until one side writes (see PlaneBuffer).
struct LayerPlanes {
    PlaneBuffer pixels;          // pixelSize bytes, rows of stride bytes
    PlaneBuffer alpha;           // planeSize bytes, rows of width bytes; 0 transparent
    PlaneBuffer effect;          // planeSize bytes; pixels touched by an effect or tool
    std::vector<char16_t> text;  // text layers: textLength units (+1 terminator)

    void Release() {
        pixels = {};
        alpha = {};
        effect = {};
        text = {};
    }
};

}  // namespace quillet
