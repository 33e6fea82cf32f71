#pragma once
// JPEG files through the JPEG library (6b interface).
#include "image/RaViru.h"

namespace quillet {

class ByteStream;

class RaViruJPG : public RaViru {
public:
    RaViruJPG() : RaViru(ImageKind::Jpeg) {}
    ~RaViruJPG() override = default;

    // The start-of-image marker FF D8.
    static bool Sniff(const uint8_t* head, size_t size);
    static Status Info(ByteStream& stream, int frameIndex, ImageInfo& info);

    // A file that ends early is read as far as it goes and reported incomplete.
    Status Read(ByteStream& stream);
    // Writes `source` at its jpegQuality; palette images must carry the grey ramp.
    Status Write(ByteStream& stream, const RaViru& source);
};

}  // namespace quillet
