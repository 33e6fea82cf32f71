#pragma once
// JPEG files through the JPEG library (6b interface).
#include "image/RaViru.h"

namespace quillet {

class ByteStream;

class RaViruJPG : public RaViru {
public:
    RaViruJPG() : RaViru(ImageKind::Jpeg) {}
    ~RaViruJPG() override = default;

    bool Read(ByteStream& stream);
    // Writes `source` at its jpegQuality; palette images must carry the grey ramp.
    bool Write(ByteStream& stream, const RaViru& source);
};

}  // namespace quillet
