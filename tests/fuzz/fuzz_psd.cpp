// PSD reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "image/ByteStream.h"
#include "image/RaViru.h"
#include "image/codecs/PsdReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    quillet::MemoryStream stream(data, size);
    quillet::RaViru image(quillet::ImageKind::Unknown);
    if (quillet::ReadPsd(stream, image) == quillet::PsdResult::Ok) {
        (void)image.PixelColorAt(image.Width() - 1, image.Height() - 1);
    }
    return 0;
}
