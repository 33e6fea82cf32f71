// GIF files come from anywhere: the reader must survive every byte string, for any frame asked.
#include <cstddef>
#include <cstdint>

#include "image/ByteStream.h"
#include "image/codecs/RaViruGIF.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    quillet::RaViru image(quillet::ImageKind::Gif);
    image.frameIndex = data[0] % 4;  // first byte: which frame to read
    quillet::MemoryStream stream(data + 1, size - 1);
    if (image.Decode(stream, quillet::ImageKind::Gif)) {
        (void)image.PixelColorAt(image.Width() - 1, 0);
        // Writing back is checked on small pictures only: a huge one just takes long.
        if (int64_t(image.Width()) * image.Height() <= (1 << 20)) {
            quillet::MemoryStream out;
            (void)image.Encode(out, quillet::ImageKind::Gif);
        }
    }
    return 0;
}
