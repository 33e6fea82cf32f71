#pragma once
// The Windows DIB structures, byte for byte: a RaViru block starts with a BitmapInfoHeader.
#include <bit>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace quillet {

static_assert(std::endian::native == std::endian::little,
              "DIB blocks are copied as little-endian memory");

struct Rgbquad {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;
    bool operator==(const Rgbquad&) const = default;
};
static_assert(sizeof(Rgbquad) == 4);

struct BitmapInfoHeader {
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 0;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40);
static_assert(offsetof(BitmapInfoHeader, biBitCount) == 14);
static_assert(offsetof(BitmapInfoHeader, biXPelsPerMeter) == 24);
static_assert(offsetof(BitmapInfoHeader, biClrImportant) == 36);

// Colour values crossing the pixel routines: blue in bits 0-7, green 8-15, red 16-23.
inline uint32_t packBgr(uint8_t red, uint8_t green, uint8_t blue) {
    return uint32_t(blue) | (uint32_t(green) << 8) | (uint32_t(red) << 16);
}
inline uint32_t packBgr(const Rgbquad& q) { return packBgr(q.red, q.green, q.blue); }
inline Rgbquad quadFromBgr(uint32_t colour) {
    return {uint8_t(colour), uint8_t(colour >> 8), uint8_t(colour >> 16), 0};
}
// Swaps red and blue of a 32-bit colour: COLORREF (red low) <-> DIB order (blue low).
inline uint32_t swapRedBlue(uint32_t c) {
    return (c & 0xFF00FF00u) | ((c & 0xFF) << 16) | ((c >> 16) & 0xFF);
}

// Resolution conversions: floor(x + 0.5) of the exact ratio.
// Results are clamped to the 32-bit range: a file may claim any resolution.
inline int32_t roundClamped(double v) {
    v = std::floor(v + 0.5);
    return v >= 2147483647.0 ? INT32_MAX : v <= -2147483648.0 ? INT32_MIN : static_cast<int32_t>(v);
}
inline int32_t dpiToPelsPerMeter(int32_t dpi) { return roundClamped(dpi * 10000.0 / 254.0); }
inline int32_t pelsPerMeterToDpi(int32_t ppm) { return roundClamped(ppm * 254.0 / 10000.0); }

}  // namespace quillet
