#pragma once
// TIFF files through the TIFF library, read and written over the image core's byte streams.
#include "image/RaViru.h"

struct tiff;  // the TIFF library's handle

namespace quillet {

class ByteStream;
struct TiffLayout;

class RaViruTIF : public RaViru {
public:
    RaViruTIF() : RaViru(ImageKind::Tiff) {}
    ~RaViruTIF() override = default;

    // "II*\0" or "MM\0*" (and the big-TIFF forms).
    static bool Sniff(const uint8_t* head, size_t size);
    // Page `frameIndex`: its size and the depth a read gives; frameCount counts the pages.
    static Status Info(ByteStream& stream, int frameIndex, ImageInfo& info);

    // Reads page `frameIndex`; `frameCount` receives the number of pages.
    Status Read(ByteStream& stream);
    // Writes `source` as a one-page file.
    Status Write(ByteStream& stream, const RaViru& source);

private:
    // Indexed pictures: 1, 2, 4, 8 or 16-bit samples of grey or a colour map, in strips or tiles.
    Status ReadPalette(::tiff* t, const TiffLayout& layout);
    Status ReadIndexedRows(::tiff* t, const TiffLayout& layout);
    // Colour pictures (RaViruTIFColour.cpp).
    bool ReadRgbStrips(::tiff* t);
    Status ReadRgba(::tiff* t, const TiffLayout& layout);
    Status ReadCmyk16(::tiff* t, const TiffLayout& layout);
    void ApplyOrientation(int orientation);
    void QuarterTurn(bool turnA);
};

}  // namespace quillet
