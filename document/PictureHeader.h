#pragma once
// The 256-byte picture header, stored verbatim in VLR documents and journal list files.
// The struct is its own little-endian byte image: copy it with memcpy, never field by field.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace quillet {

static_assert(std::endian::native == std::endian::little,
              "stored records are copied as little-endian memory");

constexpr int kMaxNameChars = 100;

struct PictureHeader {
    char16_t name[kMaxNameChars];  // zero-terminated unless all 100 units are used
    int32_t canvasHeight;
    int32_t canvasWidth;
    int32_t originX;  // canvas position the first layer got when built from an image
    int32_t originY;
    int8_t imageKind;  // kind code of the image the picture came from
    uint8_t padding217[3];
    int32_t paletteSize;
    int32_t bitsPerPixel;
    uint32_t canvasImageSize;   // canvas row stride × canvas height
    uint32_t canvasPixelCount;  // canvas width × canvas height
    // In-memory working values: readers ignore them (and clear the two references).
    uint32_t workingCopySize;
    uint32_t workingPixelsRef;
    uint32_t workingAlphaRef;
    uint32_t workingReserved[2];

    std::u16string Name() const;
    // Keeps the first 100 characters.
    void SetName(std::u16string_view text);
    // Recomputes canvas image size and pixel count from width, height and bits per pixel.
    void RecomputeCanvasSizes();
    // What every reader does with the in-memory part.
    void ClearWorkingReferences() { workingPixelsRef = workingAlphaRef = 0; }
};

static_assert(sizeof(PictureHeader) == 256);
static_assert(std::is_trivially_copyable_v<PictureHeader> &&
              std::is_standard_layout_v<PictureHeader>);
static_assert(offsetof(PictureHeader, canvasHeight) == 200);
static_assert(offsetof(PictureHeader, canvasWidth) == 204);
static_assert(offsetof(PictureHeader, originX) == 208);
static_assert(offsetof(PictureHeader, originY) == 212);
static_assert(offsetof(PictureHeader, imageKind) == 216);
static_assert(offsetof(PictureHeader, paletteSize) == 220);
static_assert(offsetof(PictureHeader, bitsPerPixel) == 224);
static_assert(offsetof(PictureHeader, canvasImageSize) == 228);
static_assert(offsetof(PictureHeader, canvasPixelCount) == 232);
static_assert(offsetof(PictureHeader, workingCopySize) == 236);

// Bytes per pixel row: (bits per pixel × width + 31) / 32 × 4, computed in 64 bits.
inline uint64_t StrideFor(int bitsPerPixel, int width) {
    if (bitsPerPixel <= 0 || width <= 0) return 0;
    return (uint64_t(bitsPerPixel) * uint64_t(width) + 31) / 32 * 4;
}

}  // namespace quillet
