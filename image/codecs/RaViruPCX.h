#pragma once
// PCX files (read only): run-length coded planes of 1, 2, 4 or 8 bits.
#include "image/RaViru.h"

namespace quillet {

class ByteStream;
struct PcxHeader;

class RaViruPCX : public RaViru {
public:
    RaViruPCX() : RaViru(ImageKind::Pcx) {}
    ~RaViruPCX() override = default;

    // Byte 0 is 10 and the encoding byte 1.
    static bool Sniff(const uint8_t* head, size_t size);
    static Status Info(ByteStream& stream, int frameIndex, ImageInfo& info);

    Status Read(ByteStream& stream);

private:
    Status ReadPalette(const PcxHeader& header, const uint8_t* after, size_t afterBytes);
    void StoreRows(const PcxHeader& header, const uint8_t* decoded);
};

}  // namespace quillet
