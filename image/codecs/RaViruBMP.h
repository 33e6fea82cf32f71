#pragma once
// BMP files: the reader takes bare DIBs and files, core headers, RLE8/RLE4, 16-bit bit fields
// and 32-bit rows; the writer stores the image's block as it is.
#include "image/RaViru.h"

namespace quillet {

class ByteStream;

class RaViruBMP : public RaViru {
public:
    RaViruBMP() : RaViru(ImageKind::Bmp) {}
    ~RaViruBMP() override = default;

    // Reads into this object; on failure lastError says why.
    bool Read(ByteStream& stream);
    // Writes `source` (never this object's pixels, so nothing is copied).
    bool Write(ByteStream& stream, const RaViru& source);

private:
    bool DecodeRle(ByteStream& stream, bool fourBits, int64_t available);
};

}  // namespace quillet
