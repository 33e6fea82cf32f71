// TIFF reader: the client procedures, the page's layout, and indexed pictures.
#include "image/codecs/RaViruTIF.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "image/ByteStream.h"
#include "image/codecs/TiffClient.h"

namespace quillet {

namespace {
constexpr const char* kCorrupted = "Corrupted TIFF file!";

tmsize_t clientRead(thandle_t h, void* buffer, tmsize_t size) {
    auto* c = static_cast<TiffClient*>(h);
    return size <= 0 ? 0 : tmsize_t(c->stream->Read(buffer, 1, size_t(size)));
}

tmsize_t clientWrite(thandle_t h, void* buffer, tmsize_t size) {
    auto* c = static_cast<TiffClient*>(h);
    return size <= 0 ? 0 : tmsize_t(c->stream->Write(buffer, 1, size_t(size)));
}

toff_t clientSeek(thandle_t h, toff_t offset, int whence) {
    auto* c = static_cast<TiffClient*>(h);
    const int64_t off = int64_t(offset);
    const bool ok = whence == SEEK_SET ? c->stream->Seek(c->base + off, SEEK_SET)
                                       : c->stream->Seek(off, whence);
    return ok ? toff_t(c->stream->Tell() - c->base) : toff_t(-1);
}

int clientClose(thandle_t) { return 0; }

toff_t clientSize(thandle_t h) {
    auto* c = static_cast<TiffClient*>(h);
    const int64_t size = c->stream->Size();
    return size < 0 ? 0 : toff_t(size - c->base);
}

int clientMap(thandle_t, void**, toff_t*) { return 0; }
void clientUnmap(thandle_t, void*, toff_t) {}

int onError(TIFF*, void* data, const char* module, const char* format, va_list args) {
    auto* c = static_cast<TiffClient*>(data);
    if (c->error.empty()) {
        char text[256];
        std::vsnprintf(text, sizeof text, format, args);
        c->error = std::string(module ? module : "TIFF") + ": " + text;
    }
    return 1;  // handled: nothing goes to stderr
}

int onWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

inline unsigned getIndex(const uint8_t* row, int x, int depth) {
    switch (depth) {
        case 8:
            return row[x];
        case 4:
            return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
        default:
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
}

inline void setIndex(uint8_t* row, int x, int depth, unsigned v) {
    switch (depth) {
        case 8:
            row[x] = uint8_t(v);
            break;
        case 4: {
            const int shift = (x & 1) ? 0 : 4;
            row[x >> 1] = uint8_t((row[x >> 1] & ~(0x0F << shift)) | ((v & 0x0F) << shift));
            break;
        }
        default: {
            const uint8_t mask = uint8_t(0x80 >> (x & 7));
            row[x >> 3] = v ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask);
        }
    }
}

// Moves pixel `from` of row `src` to pixel `to` of row `dst`, at any depth.
inline void movePixel(const uint8_t* src, int from, uint8_t* dst, int to, int depth) {
    if (depth < 8) {
        setIndex(dst, to, depth, getIndex(src, from, depth));
        return;
    }
    const int n = depth / 8;
    std::memcpy(dst + size_t(to) * n, src + size_t(from) * n, size_t(n));
}

// Opens the stream and selects page `frameIndex`.
Status openPage(TiffClient& client, int frameIndex, TiffHandle& tif, int& pages) {
    uint8_t head[4] = {};
    const bool looksRight = client.stream->Read(head, 1, 4) == 4 && RaViruTIF::Sniff(head, 4);
    client.stream->Seek(client.base, SEEK_SET);
    tif = OpenTiffClient(client, "r");
    if (!tif) {
        return {looksRight ? StatusCode::Corrupt : StatusCode::UnknownFormat,
                "Error encountered while opening TIFF file"};
    }
    pages = int(TIFFNumberOfDirectories(tif.get()));
    if (frameIndex < 0 || frameIndex >= pages || !TIFFSetDirectory(tif.get(), tdir_t(frameIndex)))
        return {StatusCode::Failed, "Error: page not present in TIFF file"};
    return {};
}
}  // namespace

TiffHandle OpenTiffClient(TiffClient& client, const char* mode) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, onError, &client);
    TIFFOpenOptionsSetWarningHandlerExtR(options, onWarning, &client);
    TIFF* tif = TIFFClientOpenExt("stream", mode, &client, clientRead, clientWrite, clientSeek,
                                  clientClose, clientSize, clientMap, clientUnmap, options);
    TIFFOpenOptionsFree(options);
    return TiffHandle(tif);
}

void ReadTiffLayout(TIFF* t, TiffLayout& L) {
    TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &L.width);
    TIFFGetField(t, TIFFTAG_IMAGELENGTH, &L.height);
    TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &L.samples);
    TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &L.bitsPerSample);
    TIFFGetFieldDefaulted(t, TIFFTAG_ROWSPERSTRIP, &L.rowsPerStrip);
    TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &L.photometric);
    TIFFGetFieldDefaulted(t, TIFFTAG_ORIENTATION, &L.orientation);
    TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &L.planar);
    TIFFGetFieldDefaulted(t, TIFFTAG_COMPRESSION, &L.compression);
    L.hasXres = TIFFGetField(t, TIFFTAG_XRESOLUTION, &L.xres);
    L.hasYres = TIFFGetField(t, TIFFTAG_YRESOLUTION, &L.yres);
    TIFFGetField(t, TIFFTAG_XPOSITION, &L.xpos);
    TIFFGetField(t, TIFFTAG_YPOSITION, &L.ypos);
    L.tiled = TIFFIsTiled(t);

    // The library's RGBA reader takes every layout the index path below cannot lay out
    // as indices: RGB at any depth, several samples and unusual sample sizes.
    const uint16_t bps = L.bitsPerSample, photometric = L.photometric;
    const bool indexedBits = bps == 1 || bps == 2 || bps == 4 || bps == 8 || bps == 16;
    const bool indexedPhotometric = photometric == PHOTOMETRIC_MINISWHITE ||
                                    photometric == PHOTOMETRIC_MINISBLACK ||
                                    photometric == PHOTOMETRIC_PALETTE;
    const bool rgba = !indexedPhotometric || L.samples != 1 || !indexedBits;
    if (!rgba) {
        L.path = TiffPath::Indexed;
        const bool grey = photometric != PHOTOMETRIC_PALETTE;
        L.depth = (grey && bps == 1) ? 1 : bps == 4 ? 4 : 8;
        return;
    }
    L.depth = 24;
    uint16_t extraCount = 0, *extra = nullptr;
    TIFFGetFieldDefaulted(t, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
    uint16_t inkSet = INKSET_CMYK;
    TIFFGetFieldDefaulted(t, TIFFTAG_INKSET, &inkSet);
    const bool jpegYcc = photometric == PHOTOMETRIC_YCBCR && L.compression == COMPRESSION_JPEG;
    if (photometric == PHOTOMETRIC_SEPARATED && bps == 16 && L.samples >= 4 &&
        inkSet == INKSET_CMYK) {
        L.path = TiffPath::Cmyk16;
    } else if ((photometric == PHOTOMETRIC_RGB || jpegYcc) && L.samples == 3 && bps == 8 &&
               L.planar == PLANARCONFIG_CONTIG && L.orientation == ORIENTATION_TOPLEFT &&
               !L.tiled) {
        // Plain 8-bit RGB strips give the RGBA reader's pixels without its packed raster.
        L.path = TiffPath::RgbStrips;
    } else if (extraCount >= 1 && extra && extra[0] == EXTRASAMPLE_UNASSALPHA &&
               (photometric == PHOTOMETRIC_RGB || photometric == PHOTOMETRIC_MINISBLACK ||
                photometric == PHOTOMETRIC_MINISWHITE)) {
        L.path = TiffPath::RgbaAlpha;
        L.depth = 32;
    } else {
        L.path = TiffPath::Rgba;
    }
}

bool RaViruTIF::Sniff(const uint8_t* head, size_t size) {
    if (size < 4) return false;
    const bool little =
        head[0] == 'I' && head[1] == 'I' && (head[2] == 42 || head[2] == 43) && head[3] == 0;
    const bool big =
        head[0] == 'M' && head[1] == 'M' && head[2] == 0 && (head[3] == 42 || head[3] == 43);
    return little || big;
}

Status RaViruTIF::Info(ByteStream& stream, int frameIndex, ImageInfo& info) {
    TiffClient client{&stream, stream.Tell(), {}};
    TiffHandle tif;
    int pages = 0;
    if (Status status = openPage(client, frameIndex, tif, pages); !status) return status;
    TiffLayout L;
    ReadTiffLayout(tif.get(), L);
    if (L.width == 0 || L.height == 0) return {StatusCode::Corrupt, kCorrupted};
    if (!FitsPixelLimit(L.width, L.height))
        return {StatusCode::TooLarge, "Image is larger than the pixel limit"};
    info.kind = ImageKind::Tiff;
    info.width = int(L.width);
    info.height = int(L.height);
    info.bitCount = L.depth;
    info.frameCount = pages;
    const uint64_t pixels = info.Pixels();
    switch (L.path) {
        case TiffPath::Rgba:
        case TiffPath::RgbaAlpha:
            info.workBytes = pixels * 4;  // the library's packed raster
            break;
        case TiffPath::Cmyk16:
            info.workBytes = uint64_t(std::max<int64_t>(TIFFStripSize(tif.get()), 0)) * 2;
            break;
        case TiffPath::Indexed:
            // Quarter turns rebuild the picture from a copy of its rows.
            info.workBytes = L.orientation >= 5 ? info.PictureBytes() : 0;
            break;
        case TiffPath::RgbStrips:
            break;
    }
    // One strip, or one tile and the band of rows it is gathered into.
    uint32_t tileLength = 0;
    if (L.tiled) TIFFGetField(tif.get(), TIFFTAG_TILELENGTH, &tileLength);
    const int64_t chunk = L.tiled ? int64_t(TIFFTileSize(tif.get())) +
                                        int64_t(TIFFScanlineSize(tif.get())) * tileLength
                                  : int64_t(TIFFStripSize(tif.get()));
    info.workBytes += uint64_t(std::max<int64_t>(chunk, 0));
    return {};
}

Status RaViruTIF::Read(ByteStream& stream) {
    TiffClient client{&stream, stream.Tell(), {}};
    TiffHandle tif;
    int pages = 0;
    Status opened = openPage(client, frameIndex, tif, pages);
    if (tif) frameCount = pages;
    if (!opened) return Fail(opened);
    TIFF* t = tif.get();
    TiffLayout L;
    ReadTiffLayout(t, L);
    transparentIndex = -1;
    header.biClrUsed = 0;
    if (L.width == 0 || L.height == 0) return Fail(StatusCode::Corrupt, kCorrupted);
    if (!FitsPixelLimit(L.width, L.height, pixelLimit))
        return Fail(StatusCode::TooLarge, "Image is larger than the pixel limit");
    if (Status status = AllocatePicture(int(L.width), int(L.height), L.depth, ImageKind::Tiff);
        !status) {
        return status;
    }
    SetHorizontalDpi(L.hasXres ? int(L.xres) : dpiX);
    SetVerticalDpi(L.hasYres ? int(L.yres) : dpiY);
    offsetX = int32_t(L.xpos);
    offsetY = int32_t(L.ypos);

    Status status;
    switch (L.path) {
        case TiffPath::RgbStrips:
            if (L.photometric == PHOTOMETRIC_YCBCR)
                TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
            if (!ReadRgbStrips(t)) status = Fail(StatusCode::Corrupt, kCorrupted);
            break;
        case TiffPath::Rgba:
        case TiffPath::RgbaAlpha:
            status = ReadRgba(t, L);
            break;
        case TiffPath::Cmyk16:
            status = ReadCmyk16(t, L);
            if (status) ApplyOrientation(L.orientation);
            break;
        case TiffPath::Indexed:
            status = ReadPalette(t, L);
            if (status) status = ReadIndexedRows(t, L);
            if (status) ApplyOrientation(L.orientation);
            break;
    }
    if (!status) Destroy();
    return status;
}

// Black and white, a grey ramp over the sample range, or the colour map.
Status RaViruTIF::ReadPalette(TIFF* t, const TiffLayout& L) {
    const int entries = 1 << std::min<int>(L.bitsPerSample, 8);
    if (L.photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(t, TIFFTAG_COLORMAP, &red, &green, &blue))
            return Fail(StatusCode::Corrupt, "Unable to allocate TIFF palette");
        bool wide = false;
        for (int i = 0; i < entries; ++i)
            wide = wide || red[i] > 255 || green[i] > 255 || blue[i] > 255;
        for (int i = 0; i < entries && i < PaletteCount(); ++i) {
            auto c = [wide](uint16_t v) { return uint8_t(wide ? v * 255u / 65535u : v); };
            SetPaletteEntry(i, c(red[i]), c(green[i]), c(blue[i]));
        }
    } else {
        const bool minIsWhite = L.photometric == PHOTOMETRIC_MINISWHITE;
        const int step = 255 / (entries - 1);
        for (int i = 0; i < entries && i < PaletteCount(); ++i) {
            const uint8_t v = uint8_t(minIsWhite ? 255 - i * step : i * step);
            SetPaletteEntry(i, v, v, v);
        }
    }
    return {};
}

// Rows come in bands: a strip, or a row of tiles gathered side by side (tile widths are
// multiples of 16, so every tile starts on a whole byte). Picture row y goes to DIB row
// height − 1 − y; 16-bit samples keep their high byte.
Status RaViruTIF::ReadIndexedRows(TIFF* t, const TiffLayout& L) {
    const uint32_t width = L.width, height = L.height;
    const uint16_t bps = L.bitsPerSample;
    const size_t rowBytesIn = (size_t(bps) * width + 7) / 8;
    uint32_t tileWidth = width, bandRows = L.rowsPerStrip;
    if (L.tiled) {
        TIFFGetField(t, TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(t, TIFFTAG_TILELENGTH, &bandRows);
        if (tileWidth == 0 || tileWidth % 16 != 0) return Fail(StatusCode::Corrupt, kCorrupted);
    }
    if (bandRows == 0 || bandRows > height) bandRows = height;
    const size_t chunkRowBytes = L.tiled ? size_t(tileWidth) * bps / 8 : rowBytesIn;
    const tmsize_t chunkBytes = L.tiled ? TIFFTileSize(t) : TIFFStripSize(t);
    if (chunkBytes <= 0 || size_t(chunkBytes) < chunkRowBytes * bandRows)
        return Fail(StatusCode::Corrupt, kCorrupted);
    std::unique_ptr<uint8_t[]> chunk(new (std::nothrow) uint8_t[size_t(chunkBytes)]);
    std::unique_ptr<uint8_t[]> band(L.tiled ? new (std::nothrow) uint8_t[rowBytesIn * bandRows]
                                            : nullptr);
    if (!chunk || (L.tiled && !band))
        return Fail(StatusCode::OutOfMemory, "Not enough memory for the image");
    for (uint32_t top = 0; top < height; top += bandRows) {
        const uint32_t rows = std::min(bandRows, height - top);
        const uint8_t* rowsIn = chunk.get();
        if (L.tiled) {
            for (uint32_t left = 0; left < width; left += tileWidth) {
                if (TIFFReadTile(t, chunk.get(), left, top, 0, 0) < 0)
                    return Fail(StatusCode::Corrupt, kCorrupted);
                const size_t at = size_t(left) * bps / 8;
                const size_t bytes = std::min(chunkRowBytes, rowBytesIn - at);
                for (uint32_t r = 0; r < rows; ++r)
                    std::memcpy(band.get() + r * rowBytesIn + at, chunk.get() + r * chunkRowBytes,
                                bytes);
            }
            rowsIn = band.get();
        } else if (TIFFReadEncodedStrip(t, TIFFComputeStrip(t, top, 0), chunk.get(),
                                        tmsize_t(rowBytesIn * rows)) < 0) {
            return Fail(StatusCode::Corrupt, kCorrupted);
        }
        for (uint32_t r = 0; r < rows; ++r) {
            const uint8_t* src = rowsIn + size_t(r) * rowBytesIn;
            uint8_t* dst = Row(int(height - 1 - (top + r)));
            if (bps == 16) {
                const uint16_t* s16 = reinterpret_cast<const uint16_t*>(src);
                for (uint32_t x = 0; x < width; ++x) dst[x] = uint8_t(s16[x] >> 8);
            } else if (bps == 2) {
                for (uint32_t x = 0; x < width; ++x)
                    dst[x] = (src[x >> 2] >> (6 - 2 * (x & 3))) & 3;
            } else if (bps == 1 && L.depth == 8) {  // a two-colour palette
                for (uint32_t x = 0; x < width; ++x) dst[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
            } else {
                std::memcpy(dst, src, std::min<size_t>(rowBytesIn, rowBytes));
            }
        }
    }
    return {};
}

// Orientations 5 to 8 swap width and height; 6 and 8 are the plain quarter turns
// (6: stored rows are the picture's columns from the right, 8: from the left).
void RaViruTIF::ApplyOrientation(int orientation) {
    const int depth = BitCount();
    auto mirror = [&] {
        const int width = Width();
        std::vector<uint8_t> copy(rowBytes);
        for (int y = 0; y < Height(); ++y) {
            uint8_t* row = Row(y);
            std::memcpy(copy.data(), row, rowBytes);
            for (int x = 0; x < width; ++x) movePixel(copy.data(), width - 1 - x, row, x, depth);
        }
    };
    auto flip = [&] {
        std::vector<uint8_t> tmp(rowBytes);
        for (int a = 0, b = Height() - 1; a < b; ++a, --b) {
            std::memcpy(tmp.data(), Row(a), rowBytes);
            std::memcpy(Row(a), Row(b), rowBytes);
            std::memcpy(Row(b), tmp.data(), rowBytes);
        }
    };
    switch (orientation) {
        case 2:
            mirror();
            break;
        case 3:
            flip();
            mirror();
            break;
        case 4:
            flip();
            break;
        case 5:
            QuarterTurn(false);
            mirror();
            break;
        case 6:
            QuarterTurn(false);
            break;
        case 7:
            QuarterTurn(true);
            mirror();
            break;
        case 8:
            QuarterTurn(true);
            break;
        default:
            break;
    }
}

// Turn A: destination (x, y) from source (y, height − 1 − x); turn B: from (width − 1 − y, x).
void RaViruTIF::QuarterTurn(bool turnA) {
    const int width = Width(), height = Height(), depth = BitCount();
    const size_t oldRowBytes = rowBytes;
    std::vector<uint8_t> old(bits, bits + size_t(header.biSizeImage));
    std::vector<Rgbquad> palette(PaletteBase(), PaletteBase() + PaletteCount());
    if (!Allocate(height, width, depth, kind)) return;
    SetPaletteFromQuads(palette.data(), int(palette.size()));
    for (int y = 0; y < width; ++y) {
        uint8_t* row = Row(y);
        for (int x = 0; x < height; ++x) {
            const int sx = turnA ? y : width - 1 - y;
            const int sy = turnA ? height - 1 - x : x;
            movePixel(old.data() + size_t(sy) * oldRowBytes, sx, row, x, depth);
        }
    }
}

}  // namespace quillet
