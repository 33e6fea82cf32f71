#pragma once
// Image kinds, what a codec learns from a file's header, and the one pixel-limit gate.
#include <cstdint>

namespace quillet {

// How a picture is (or was) coded. The values are stored in document files.
enum class ImageKind : int8_t {
    Unknown = -1,  // reading tries every codec in turn
    Jpeg = 0,
    Bmp = 1,
    Gif = 2,
    Tiff = 3,
    Pcx = 4,
    // The layered document format: its reader and writer belong to the document, so the image
    // core reads and writes nothing for it and reports success.
    Vlr = 5,
    // Named by ".sco" files, coded by nothing: read and write succeed and change nothing.
    Sco = 6,
    // Photoshop files, read only; the picture read carries kind Jpeg like any plain bitmap.
    Psd = 7,
};

// No image may hold more pixels than this, whatever its header claims or a caller allows.
constexpr uint64_t kMaxImagePixels = uint64_t(1) << 28;

// The pixel-limit gate every reader and buffer uses: true when a width × height picture holds
// at most `limit` pixels (and never more than kMaxImagePixels). An empty shape fits; callers
// that need pixels check for zero themselves. Negative sizes never fit.
constexpr bool FitsPixelLimit(int64_t width, int64_t height, uint64_t limit = kMaxImagePixels) {
    if (width < 0 || height < 0) return false;
    const uint64_t cap = limit < kMaxImagePixels ? limit : kMaxImagePixels;
    const uint64_t w = uint64_t(width), h = uint64_t(height);
    return w <= kMaxImagePixels && h <= kMaxImagePixels && w * h <= cap;
}

// What a codec reads from the header, before any pixel is decoded.
struct ImageInfo {
    ImageKind kind = ImageKind::Unknown;  // the codec that recognised the data
    int width = 0;
    int height = 0;
    // Of the picture a decode gives (1, 4, 8, 24 or 32); a TIFF with an alpha sample says 32
    // and gives 24 when its alpha turns out opaque everywhere.
    int bitCount = 0;
    int frameCount = 1;  // pages (TIFF) or images (GIF)
    // Memory the decoder holds beside the picture while it decodes (raster, coefficient and
    // run-length buffers), in bytes.
    uint64_t workBytes = 0;

    uint64_t Pixels() const { return uint64_t(width) * uint64_t(height); }
    // The decoded picture's block: rows padded to 4 bytes, palette and header.
    uint64_t PictureBytes() const {
        const uint64_t row = (uint64_t(bitCount) * uint64_t(width) + 31) / 32 * 4;
        const uint64_t palette = bitCount <= 8 ? (uint64_t(4) << bitCount) : 0;
        return row * uint64_t(height) + palette + 40;
    }
};

}  // namespace quillet
