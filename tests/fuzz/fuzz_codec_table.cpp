// The codec table on arbitrary bytes: whatever an in-house codec decodes, its sniff must have
// recognised and its header reader must describe with the same size; the unknown-kind chain and
// every header reader survive any input.
#include <cstddef>
#include <cstdint>

#include "image/ByteStream.h"
#include "image/RaViru.h"
#include "image/codecs/Codec.h"

using namespace quillet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t head = size < kSniffBytes ? size : kSniffBytes;
    for (ImageKind kind : {ImageKind::Bmp, ImageKind::Gif, ImageKind::Pcx, ImageKind::Psd}) {
        const Codec* codec = CodecFor(kind);
        ImageInfo info;
        MemoryStream header(data, size);
        const bool described = bool(codec->info(header, 0, info));
        RaViru image;
        image.pixelLimit = 1 << 22;  // a huge picture only takes long
        MemoryStream stream(data, size);
        if (!image.Decode(stream, kind)) continue;
        if (!codec->sniff(data, head)) __builtin_trap();
        if (!described || info.width != image.Width() || info.height != image.Height())
            __builtin_trap();
    }
    RaViru any;
    any.pixelLimit = 1 << 22;
    MemoryStream stream(data, size);
    (void)any.Decode(stream, ImageKind::Unknown);
    return 0;
}
