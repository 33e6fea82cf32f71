#pragma once
// BMP files: the reader takes bare DIBs and files, core headers, RLE8/RLE4, 16-bit bit fields
// and 32-bit rows; the writer stores the image's block as it is.
#include "image/RaViru.h"

namespace quillet {

class ByteStream;
struct BmpLayout;

class RaViruBMP : public RaViru {
public:
    RaViruBMP() : RaViru(ImageKind::Bmp) {}
    ~RaViruBMP() override = default;

    // "BM", or the size field of a bare DIB's header.
    static bool Sniff(const uint8_t* head, size_t size);
    static Status Info(ByteStream& stream, int frameIndex, ImageInfo& info);

    // Reads into this object; on failure lastError says why.
    Status Read(ByteStream& stream);
    // Writes `source` (never this object's pixels, so nothing is copied).
    Status Write(ByteStream& stream, const RaViru& source);

private:
    Status ReadPalette(ByteStream& stream, const BmpLayout& layout);
    Status ReadRows(ByteStream& stream, const BmpLayout& layout);
    Status DecodeRle(ByteStream& stream, bool fourBits, int64_t available);
};

}  // namespace quillet
