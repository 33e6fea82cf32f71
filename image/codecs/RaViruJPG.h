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
    // Previews and thumbnails: decodes at 1/8, 1/4 or 1/2 of the size with the library's own
    // scaling, the smallest whose longer side still reaches `size` (0: the whole picture).
    // Far less work than decoding whole and reducing.
    void SetDecodeToFit(int size) { fitSize_ = size; }
    // The picture's size in the file, whatever the scale it was decoded at.
    int FullWidth() const { return fullWidth_; }
    int FullHeight() const { return fullHeight_; }
    // Writes `source` at its jpegQuality; palette images must carry the grey ramp.
    Status Write(ByteStream& stream, const RaViru& source);

private:
    int fitSize_ = 0;
    int fullWidth_ = 0;
    int fullHeight_ = 0;
};

}  // namespace quillet
