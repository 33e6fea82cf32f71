#pragma once
// PCX files (read only): run-length coded planes of 1, 2, 4 or 8 bits.
#include "image/RaViru.h"

namespace quillet {

class ByteStream;

class RaViruPCX : public RaViru {
public:
    RaViruPCX() : RaViru(ImageKind::Pcx) {}
    ~RaViruPCX() override = default;

    bool Read(ByteStream& stream);
};

}  // namespace quillet
