// TIFF writer: one page, compression chosen by depth.
#include <cstring>
#include <vector>

#include "image/ByteStream.h"
#include "image/codecs/RaViruTIF.h"
#include "image/codecs/TiffClient.h"

namespace quillet {

Status RaViruTIF::Write(ByteStream& stream, const RaViru& source) {
    if (!source.HasBlock()) return Fail(StatusCode::Failed, "There is no image to write");
    TiffClient client{&stream, stream.Tell(), {}};
    TiffHandle tif = OpenTiffClient(client, "w");
    if (!tif) return Fail(StatusCode::IoError, "initialization fail");
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
        if (TIFFWriteScanline(t, line.data(), uint32_t(y), 0) < 0)
            return Fail(StatusCode::IoError, "Error saving TIFF file");
    }
    if (!TIFFWriteDirectory(t) || !TIFFFlush(t))
        return Fail(StatusCode::IoError, "Error saving TIFF file");
    tif.reset();
    if (!stream.Flush() || stream.Error())
        return Fail(StatusCode::IoError, "Error saving TIFF file");
    return {};
}

}  // namespace quillet
