#pragma once
// TIFF files through the TIFF library, read and written over the image core's byte streams.
#include "image/RaViru.h"

struct tiff;  // the TIFF library's handle

namespace quillet {

class ByteStream;

class RaViruTIF : public RaViru {
public:
    RaViruTIF() : RaViru(ImageKind::Tiff) {}
    ~RaViruTIF() override = default;

    // Reads page `frameIndex`; `frameCount` receives the number of pages.
    bool Read(ByteStream& stream);
    // Writes `source` as a one-page file.
    bool Write(ByteStream& stream, const RaViru& source);

private:
    bool ReadRgbStrips(::tiff* t);
    void ApplyOrientation(int orientation);
    void QuarterTurn(bool turnA);
};

}  // namespace quillet
