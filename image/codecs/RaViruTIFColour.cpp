// TIFF reader: colour pages (RGB strips, the library's RGBA reader, 16-bit CMYK).
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "image/codecs/RaViruTIF.h"
#include "image/codecs/TiffClient.h"

namespace quillet {

namespace {
constexpr const char* kCorrupted = "Corrupted TIFF file!";

// 16-bit to 8-bit as the library's RGBA reader rounds.
inline unsigned to8(uint16_t v) { return (unsigned(v) + 128) / 257; }
}  // namespace

bool RaViruTIF::ReadRgbStrips(TIFF* t) {
    const uint32_t width = uint32_t(Width()), height = uint32_t(Height());
    uint32_t rowsPerStrip = 0;
    TIFFGetFieldDefaulted(t, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    if (rowsPerStrip == 0 || rowsPerStrip > height) rowsPerStrip = height;
    const size_t lineBytes = size_t(width) * 3;
    const tmsize_t stripBytes = TIFFStripSize(t);
    if (stripBytes <= 0 || size_t(stripBytes) < lineBytes * rowsPerStrip) return false;
    std::unique_ptr<uint8_t[]> strip(new (std::nothrow) uint8_t[size_t(stripBytes)]);
    if (!strip) return false;
    for (uint32_t top = 0; top < height; top += rowsPerStrip) {
        const uint32_t rows = std::min(rowsPerStrip, height - top);
        if (TIFFReadEncodedStrip(t, TIFFComputeStrip(t, top, 0), strip.get(),
                                 tmsize_t(lineBytes * rows)) < 0) {
            return false;
        }
        for (uint32_t r = 0; r < rows; ++r) {
            const uint8_t* src = strip.get() + size_t(r) * lineBytes;
            uint8_t* dst = Row(int(height - 1 - (top + r)));
            for (uint32_t x = 0; x < width; ++x, src += 3, dst += 3) {
                dst[0] = src[2];
                dst[1] = src[1];
                dst[2] = src[0];
            }
        }
    }
    return true;
}

// The library's raster is bottom row first, like the picture. Its reader multiplies colours by
// an unassociated alpha; marking the alpha as associated keeps the colours as stored. A picture
// whose alpha is opaque everywhere stays a 24-bit picture.
Status RaViruTIF::ReadRgba(TIFF* t, const TiffLayout& L) {
    const uint32_t width = L.width, height = L.height;
    bool alpha = L.path == TiffPath::RgbaAlpha;
    if (alpha) {
        uint16_t extraCount = 0, *extra = nullptr;
        TIFFGetFieldDefaulted(t, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
        std::vector<uint16_t> marked(extra, extra + extraCount);
        marked[0] = EXTRASAMPLE_ASSOCALPHA;
        TIFFSetField(t, TIFFTAG_EXTRASAMPLES, extraCount, marked.data());
    }
    const size_t pixels = size_t(width) * height;
    std::unique_ptr<uint32_t[]> raster(new (std::nothrow) uint32_t[pixels]);
    if (!raster) return Fail(StatusCode::OutOfMemory, "No space for raster buffer");
    if (!TIFFReadRGBAImage(t, width, height, raster.get(), 1))
        return Fail(StatusCode::Corrupt, kCorrupted);
    if (alpha && std::all_of(raster.get(), raster.get() + pixels,
                             [](uint32_t v) { return (v >> 24) == 255; })) {
        alpha = false;
        if (Status status = AllocatePicture(int(width), int(height), 24, kind); !status)
            return status;
    }
    const int step = alpha ? 4 : 3;
    for (uint32_t r = 0; r < height; ++r) {
        const uint32_t* src = raster.get() + size_t(r) * width;
        uint8_t* dst = Row(int(r));
        for (uint32_t x = 0; x < width; ++x, dst += step) {
            const uint32_t v = src[x];
            dst[0] = uint8_t(v >> 16);
            dst[1] = uint8_t(v >> 8);
            dst[2] = uint8_t(v);
            if (alpha) dst[3] = uint8_t(v >> 24);
        }
    }
    return {};
}

// 16-bit CMYK, which the RGBA reader refuses: the samples of a band of rows (one strip, or one
// row of tiles) are gathered pixel by pixel, then turned into colour with the rule the library
// uses for 8-bit CMYK: red = (255 − K) × (255 − C) / 255.
Status RaViruTIF::ReadCmyk16(TIFF* t, const TiffLayout& L) {
    const uint32_t width = L.width, height = L.height;
    const size_t spp = L.samples;
    const bool separate = L.planar == PLANARCONFIG_SEPARATE;
    const size_t perChunkPixel = separate ? 1 : spp;  // samples per pixel within a strip or tile
    uint32_t tileWidth = width, bandRows = L.rowsPerStrip;
    if (L.tiled) {
        TIFFGetField(t, TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(t, TIFFTAG_TILELENGTH, &bandRows);
    }
    if (bandRows == 0 || bandRows > height) bandRows = height;
    if (tileWidth == 0) return Fail(StatusCode::Corrupt, kCorrupted);
    const size_t chunkWidth = L.tiled ? tileWidth : width;
    const tmsize_t chunkBytes = L.tiled ? TIFFTileSize(t) : TIFFStripSize(t);
    if (chunkBytes <= 0 || size_t(chunkBytes) < chunkWidth * bandRows * perChunkPixel * 2)
        return Fail(StatusCode::Corrupt, kCorrupted);
    std::vector<uint16_t> chunk, band;
    try {
        chunk.resize(size_t(chunkBytes) / 2 + 1);
        band.resize(size_t(width) * bandRows * spp);
    } catch (const std::bad_alloc&) {
        return Fail(StatusCode::OutOfMemory, "Not enough memory for the image");
    }
    const int planes = separate ? int(spp) : 1;
    for (uint32_t top = 0; top < height; top += bandRows) {
        const uint32_t rows = std::min(bandRows, height - top);
        for (int plane = 0; plane < planes; ++plane) {
            for (uint32_t left = 0; left < width; left += uint32_t(chunkWidth)) {
                const tmsize_t got =
                    L.tiled ? TIFFReadTile(t, chunk.data(), left, top, 0, uint16_t(plane))
                            : TIFFReadEncodedStrip(t, TIFFComputeStrip(t, top, uint16_t(plane)),
                                                   chunk.data(), chunkBytes);
                if (got < 0) return Fail(StatusCode::Corrupt, kCorrupted);
                const size_t columns = std::min<size_t>(chunkWidth, width - left);
                for (uint32_t r = 0; r < rows; ++r) {
                    const uint16_t* src = chunk.data() + size_t(r) * chunkWidth * perChunkPixel;
                    uint16_t* dst = band.data() + (size_t(r) * width + left) * spp;
                    if (separate) {
                        for (size_t x = 0; x < columns; ++x) dst[x * spp + size_t(plane)] = src[x];
                    } else {
                        std::memcpy(dst, src, columns * spp * 2);
                    }
                }
            }
        }
        for (uint32_t r = 0; r < rows; ++r) {
            const uint16_t* p = band.data() + size_t(r) * width * spp;
            uint8_t* dst = Row(int(height - 1 - (top + r)));
            for (uint32_t x = 0; x < width; ++x, p += spp, dst += 3) {
                const unsigned k = 255 - to8(p[3]);
                dst[0] = uint8_t(k * (255 - to8(p[2])) / 255);
                dst[1] = uint8_t(k * (255 - to8(p[1])) / 255);
                dst[2] = uint8_t(k * (255 - to8(p[0])) / 255);
            }
        }
    }
    return {};
}

}  // namespace quillet
