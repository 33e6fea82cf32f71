// BMP files come from anywhere: the reader (and the probe that tries it first) must survive
// every byte string.
#include <cstddef>
#include <cstdint>

#include "image/ByteStream.h"
#include "image/RaViru.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    quillet::MemoryStream stream(data, size);
    quillet::RaViru image(quillet::ImageKind::Unknown);
    if (image.Decode(stream, quillet::ImageKind::Bmp)) {
        (void)image.PixelColorAt(image.Width() - 1, image.Height() - 1);
        quillet::MemoryStream out;
        (void)image.Encode(out, quillet::ImageKind::Bmp);
    }
    return 0;
}
