// Clipboard bitmaps come from any program: FromPackedDib must survive every byte string.
#include <cstddef>
#include <cstdint>

#include "image/RaViru.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    quillet::RaViru image(quillet::ImageKind::Jpeg);
    if (image.FromPackedDib(data, size, (size & 1) != 0)) {
        (void)image.ToPackedDib();
        (void)image.PixelColorAt(image.Width() - 1, image.Height() - 1);
    }
    return 0;
}
