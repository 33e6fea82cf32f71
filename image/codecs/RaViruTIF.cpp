#include "image/codecs/RaViruTIF.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "image/ByteStream.h"

namespace quillet {

namespace {
constexpr const char* kCorrupted = "Corrupted TIFF file!";

// What the library's client procedures work on; the first library error is kept here.
struct TiffClient {
    ByteStream* stream;
    int64_t base;  // the stream position where the TIFF data starts
    std::string error;
};

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

struct TiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

TiffHandle openClient(TiffClient& client, const char* mode) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, onError, &client);
    TIFFOpenOptionsSetWarningHandlerExtR(options, onWarning, &client);
    TIFF* tif = TIFFClientOpenExt("stream", mode, &client, clientRead, clientWrite, clientSeek,
                                  clientClose, clientSize, clientMap, clientUnmap, options);
    TIFFOpenOptionsFree(options);
    return TiffHandle(tif);
}

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
}  // namespace

bool RaViruTIF::Read(ByteStream& stream) {
    TiffClient client{&stream, stream.Tell(), {}};
    TiffHandle tif = openClient(client, "r");
    if (!tif) {
        SetError("Error encountered while opening TIFF file");
        return false;
    }
    frameCount = int(TIFFNumberOfDirectories(tif.get()));
    if (frameIndex < 0 || frameIndex >= frameCount ||
        !TIFFSetDirectory(tif.get(), tdir_t(frameIndex))) {
        SetError("Error: page not present in TIFF file");
        return false;
    }
    TIFF* t = tif.get();
    uint32_t width = 0, height = 0, rowsPerStrip = 0;
    uint16_t samples = 1, bitsPerSample = 1, photometric = PHOTOMETRIC_MINISBLACK, orientation = 1;
    uint16_t planar = PLANARCONFIG_CONTIG;
    float xres = 0, yres = 0, xpos = 0, ypos = 0;
    TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(t, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    TIFFGetFieldDefaulted(t, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(t, TIFFTAG_ORIENTATION, &orientation);
    TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &planar);
    const bool hasXres = TIFFGetField(t, TIFFTAG_XRESOLUTION, &xres);
    const bool hasYres = TIFFGetField(t, TIFFTAG_YRESOLUTION, &yres);
    TIFFGetField(t, TIFFTAG_XPOSITION, &xpos);
    TIFFGetField(t, TIFFTAG_YPOSITION, &ypos);
    transparentIndex = -1;
    header.biClrUsed = 0;
    if (width == 0 || height == 0 || uint64_t(width) * height > kMaxImagePixels) {
        SetError(width && height ? "Image is larger than the pixel limit" : kCorrupted);
        return false;
    }

    // The library's RGBA reader takes every layout the strip path below cannot lay out
    // as indices: RGB at any depth, several samples, tiles and unusual sample sizes.
    const bool indexedBits = bitsPerSample == 1 || bitsPerSample == 2 || bitsPerSample == 4 ||
                             bitsPerSample == 8 || bitsPerSample == 16;
    const bool indexedPhotometric = photometric == PHOTOMETRIC_MINISWHITE ||
                                    photometric == PHOTOMETRIC_MINISBLACK ||
                                    photometric == PHOTOMETRIC_PALETTE;
    const bool rgba = !indexedPhotometric || samples != 1 || !indexedBits || TIFFIsTiled(t);
    const bool grey = photometric != PHOTOMETRIC_PALETTE;
    const int depth = rgba ? 24 : (grey && bitsPerSample == 1) ? 1 : bitsPerSample == 4 ? 4 : 8;
    if (!Allocate(int(width), int(height), depth, ImageKind::Tiff)) return false;
    SetHorizontalDpi(hasXres ? int(xres) : dpiX);
    SetVerticalDpi(hasYres ? int(yres) : dpiY);
    offsetX = int32_t(xpos);
    offsetY = int32_t(ypos);

    // Plain 8-bit RGB strips give the RGBA reader's pixels without its packed raster.
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(t, TIFFTAG_COMPRESSION, &compression);
    const bool jpegYcc = photometric == PHOTOMETRIC_YCBCR && compression == COMPRESSION_JPEG;
    if (rgba && (photometric == PHOTOMETRIC_RGB || jpegYcc) && samples == 3 && bitsPerSample == 8 &&
        planar == PLANARCONFIG_CONTIG && orientation == ORIENTATION_TOPLEFT && !TIFFIsTiled(t)) {
        if (jpegYcc) TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        if (ReadRgbStrips(t)) return true;
        Destroy();
        SetError(kCorrupted);
        return false;
    }
    if (rgba) {
        std::unique_ptr<uint32_t[]> raster(new (std::nothrow) uint32_t[size_t(width) * height]);
        if (!raster) {
            Destroy();
            SetError("No space for raster buffer");
            return false;
        }
        if (!TIFFReadRGBAImage(t, width, height, raster.get(), 1)) {
            Destroy();
            SetError(kCorrupted);
            return false;
        }
        for (uint32_t r = 0; r < height; ++r) {
            const uint32_t* src = raster.get() + size_t(r) * width;
            uint8_t* dst = Row(int(r));
            for (uint32_t x = 0; x < width; ++x, dst += 3) {
                const uint32_t v = src[x];
                dst[0] = uint8_t(v >> 16);
                dst[1] = uint8_t(v >> 8);
                dst[2] = uint8_t(v);
            }
        }
        return true;
    }

    // Palette: black and white, a grey ramp over the sample range, or the colour map.
    const int entries = 1 << std::min<int>(bitsPerSample, 8);
    if (photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(t, TIFFTAG_COLORMAP, &red, &green, &blue)) {
            Destroy();
            SetError("Unable to allocate TIFF palette");
            return false;
        }
        bool wide = false;
        for (int i = 0; i < entries; ++i)
            wide = wide || red[i] > 255 || green[i] > 255 || blue[i] > 255;
        for (int i = 0; i < entries && i < PaletteCount(); ++i) {
            auto c = [wide](uint16_t v) { return uint8_t(wide ? v * 255u / 65535u : v); };
            SetPaletteEntry(i, c(red[i]), c(green[i]), c(blue[i]));
        }
    } else {
        const bool minIsWhite = photometric == PHOTOMETRIC_MINISWHITE;
        const int step = 255 / (entries - 1);
        for (int i = 0; i < entries && i < PaletteCount(); ++i) {
            const uint8_t v = uint8_t(minIsWhite ? 255 - i * step : i * step);
            SetPaletteEntry(i, v, v, v);
        }
    }

    const size_t rowBytesIn = (size_t(bitsPerSample) * width + 7) / 8;
    if (rowsPerStrip == 0 || rowsPerStrip > height) rowsPerStrip = height;
    const tmsize_t stripBytes = TIFFStripSize(t);
    if (stripBytes <= 0 || size_t(stripBytes) < rowBytesIn * rowsPerStrip) {
        Destroy();
        SetError(kCorrupted);
        return false;
    }
    std::unique_ptr<uint8_t[]> strip(new (std::nothrow) uint8_t[size_t(stripBytes)]);
    if (!strip) {
        Destroy();
        SetError("Not enough memory for the image");
        return false;
    }
    for (uint32_t top = 0; top < height; top += rowsPerStrip) {
        const uint32_t rows = std::min(rowsPerStrip, height - top);
        const tstrip_t index = TIFFComputeStrip(t, top, 0);
        if (TIFFReadEncodedStrip(t, index, strip.get(), tmsize_t(rowBytesIn * rows)) < 0) {
            Destroy();
            SetError(kCorrupted);
            return false;
        }
        for (uint32_t r = 0; r < rows; ++r) {
            const uint8_t* src = strip.get() + size_t(r) * rowBytesIn;
            uint8_t* dst = Row(int(height - 1 - (top + r)));
            if (bitsPerSample == 16) {
                const uint16_t* s16 = reinterpret_cast<const uint16_t*>(src);
                for (uint32_t x = 0; x < width; ++x) dst[x] = uint8_t(s16[x] >> 8);
            } else if (bitsPerSample == 2) {
                for (uint32_t x = 0; x < width; ++x)
                    dst[x] = (src[x >> 2] >> (6 - 2 * (x & 3))) & 3;
            } else if (bitsPerSample == 1 && depth == 8) {  // a two-colour palette
                for (uint32_t x = 0; x < width; ++x) dst[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
            } else {
                std::memcpy(dst, src, std::min<size_t>(rowBytesIn, rowBytes));
            }
        }
    }
    ApplyOrientation(orientation);
    return true;
}

// Orientations 5 to 8 swap width and height; 6 and 8 are the plain quarter turns
// (6: stored rows are the picture's columns from the right, 8: from the left).
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

void RaViruTIF::ApplyOrientation(int orientation) {
    const int depth = BitCount();
    auto mirror = [&] {
        const int width = Width();
        for (int y = 0; y < Height(); ++y) {
            uint8_t* row = Row(y);
            for (int l = 0, r = width - 1; l < r; ++l, --r) {
                const unsigned a = getIndex(row, l, depth), b = getIndex(row, r, depth);
                setIndex(row, l, depth, b);
                setIndex(row, r, depth, a);
            }
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
            setIndex(row, x, depth, getIndex(old.data() + size_t(sy) * oldRowBytes, sx, depth));
        }
    }
}

bool RaViruTIF::Write(ByteStream& stream, const RaViru& source) {
    if (!source.HasBlock()) {
        SetError("There is no image to write");
        return false;
    }
    TiffClient client{&stream, stream.Tell(), {}};
    TiffHandle tif = openClient(client, "w");
    if (!tif) {
        SetError("initialization fail");
        return false;
    }
    TIFF* t = tif.get();
    const int width = source.Width(), height = source.Height(), depth = source.BitCount();
    // 32-bit images are stored as their colour: three 8-bit samples.
    const uint16_t samples = depth >= 24 ? 3 : 1;
    const uint16_t bitsPerSample = depth >= 24 ? 8 : uint16_t(depth);
    uint16_t photometric = PHOTOMETRIC_RGB;
    std::vector<uint16_t> map;
    if (depth == 1) {
        auto luminance = [&](int i) {
            const Rgbquad q = source.PaletteEntry(i);
            return (q.green * 59 + q.red * 30 + q.blue * 11) / 100;
        };
        photometric = luminance(0) < luminance(1) ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_MINISWHITE;
    } else if (depth <= 8) {
        photometric = source.HasGreyPalette() ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_PALETTE;
        if (photometric == PHOTOMETRIC_PALETTE) {
            map.assign(3 * 256, 0);
            for (int i = 0; i < source.PaletteCount() && i < 256; ++i) {
                const Rgbquad q = source.PaletteEntry(i);
                map[size_t(i)] = uint16_t(q.red * 257);
                map[256 + size_t(i)] = uint16_t(q.green * 257);
                map[512 + size_t(i)] = uint16_t(q.blue * 257);
            }
        }
    }
    const uint16_t compression = depth == 1    ? COMPRESSION_CCITTFAX3
                                 : depth == 8  ? COMPRESSION_PACKBITS
                                 : depth >= 24 ? COMPRESSION_JPEG
                                               : COMPRESSION_NONE;
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, uint32_t(height));
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, bitsPerSample);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, photometric);
    if (!map.empty())
        TIFFSetField(t, TIFFTAG_COLORMAP, map.data(), map.data() + 256, map.data() + 512);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(t, TIFFTAG_XRESOLUTION, float(source.dpiX));
    TIFFSetField(t, TIFFTAG_YRESOLUTION, float(source.dpiY));
    TIFFSetField(t, TIFFTAG_SUBFILETYPE, uint32_t(0));
    TIFFSetField(t, TIFFTAG_COMPRESSION, compression);
    if (compression == COMPRESSION_JPEG) {
        TIFFSetField(t, TIFFTAG_JPEGQUALITY, int(source.jpegQuality));
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, uint32_t(8));
    } else {
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, uint32_t(1));
    }

    std::vector<uint8_t> line(depth >= 24 ? size_t(width) * 3 : source.rowBytes);
    for (int y = 0; y < height; ++y) {
        const uint8_t* dib = source.Row(height - 1 - y);
        if (depth >= 24) {
            const int step = depth / 8;
            for (int x = 0; x < width; ++x) {
                line[3 * size_t(x)] = dib[step * x + 2];
                line[3 * size_t(x) + 1] = dib[step * x + 1];
                line[3 * size_t(x) + 2] = dib[step * x];
            }
        } else {
            std::memcpy(line.data(), dib, source.rowBytes);
        }
        if (TIFFWriteScanline(t, line.data(), uint32_t(y), 0) < 0) {
            SetError("Error saving TIFF file");
            return false;
        }
    }
    if (!TIFFWriteDirectory(t) || !TIFFFlush(t)) {
        SetError("Error saving TIFF file");
        return false;
    }
    tif.reset();
    if (!stream.Flush() || stream.Error()) {
        SetError("Error saving TIFF file");
        return false;
    }
    return true;
}

}  // namespace quillet
