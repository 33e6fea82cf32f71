#pragma once
// The TIFF library over the image core's byte streams, shared by the TIFF reader and writer.
// Only the TIFF codec's files include this header: the library's handlers stay inside the codec.
#include <tiffio.h>

#include <memory>
#include <string>

namespace quillet {

class ByteStream;

// What the library's client procedures work on; the first library error is kept here.
struct TiffClient {
    ByteStream* stream;
    int64_t base;  // the stream position where the TIFF data starts
    std::string error;
};

struct TiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

// How a page is read, by its layout.
enum class TiffPath : uint8_t {
    Indexed,    // one sample per pixel into an indexed picture, by strips or tiles
    RgbStrips,  // plain 8-bit RGB (or JPEG YCbCr) strips straight into the rows
    Rgba,       // the library's RGBA reader, colour only
    RgbaAlpha,  // the same with an unassociated alpha sample kept as stored
    Cmyk16,     // 16-bit CMYK, which the RGBA reader refuses, strip or tile bands
};

// The fields of the chosen directory and the way it is read.
struct TiffLayout {
    uint32_t width = 0, height = 0, rowsPerStrip = 0;
    uint16_t samples = 1, bitsPerSample = 1, photometric = PHOTOMETRIC_MINISBLACK;
    uint16_t orientation = ORIENTATION_TOPLEFT, planar = PLANARCONFIG_CONTIG;
    uint16_t compression = COMPRESSION_NONE;
    float xres = 0, yres = 0, xpos = 0, ypos = 0;
    bool hasXres = false, hasYres = false;
    bool tiled = false;
    TiffPath path = TiffPath::Indexed;
    int depth = 8;  // of the picture
};

// Reads the current directory's fields and chooses the path.
void ReadTiffLayout(TIFF* t, TiffLayout& layout);

// Opens the stream for reading ("r") or writing ("w"); library messages go to client.error.
TiffHandle OpenTiffClient(TiffClient& client, const char* mode);

}  // namespace quillet
