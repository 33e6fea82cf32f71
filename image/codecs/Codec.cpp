#include "image/codecs/Codec.h"

#include "image/RaViru.h"
#include "image/codecs/PsdReader.h"
#include "image/codecs/RaViruBMP.h"
#include "image/codecs/RaViruGIF.h"
#include "image/codecs/RaViruJPG.h"
#include "image/codecs/RaViruPCX.h"
#include "image/codecs/RaViruTIF.h"

namespace quillet {

namespace {

// A codec object reads into itself; the target takes the result over only on success,
// so a failed read leaves the target's pixels as they were.
template <class C>
Status decodeWith(ByteStream& stream, RaViru& target) {
    C codec;
    codec.frameIndex = target.frameIndex;
    codec.pixelLimit = target.pixelLimit;
    Status status = codec.Read(stream);
    if (status) target.AdoptFrom(codec);
    return status;
}

// The codec object writes straight from the source image: the pixels are never copied.
template <class C>
Status encodeWith(ByteStream& stream, const RaViru& source) {
    C codec;
    return codec.Write(stream, source);
}

constexpr Codec kJpeg{ImageKind::Jpeg,       "JPEG",
                      RaViruJPG::Sniff,      RaViruJPG::Info,
                      decodeWith<RaViruJPG>, encodeWith<RaViruJPG>};
constexpr Codec kBmp{ImageKind::Bmp,        "BMP",
                     RaViruBMP::Sniff,      RaViruBMP::Info,
                     decodeWith<RaViruBMP>, encodeWith<RaViruBMP>};
constexpr Codec kGif{ImageKind::Gif,        "GIF",
                     RaViruGIF::Sniff,      RaViruGIF::Info,
                     decodeWith<RaViruGIF>, encodeWith<RaViruGIF>};
constexpr Codec kTiff{ImageKind::Tiff,       "TIFF",
                      RaViruTIF::Sniff,      RaViruTIF::Info,
                      decodeWith<RaViruTIF>, encodeWith<RaViruTIF>};
constexpr Codec kPcx{ImageKind::Pcx,        "PCX",  RaViruPCX::Sniff, RaViruPCX::Info,
                     decodeWith<RaViruPCX>, nullptr};
constexpr Codec kPsd{ImageKind::Psd, "PSD", SniffPsd, ReadPsdInfo, DecodePsd, nullptr};

constexpr const Codec* kProbeOrder[] = {&kBmp, &kJpeg, &kGif, &kTiff, &kPcx};

}  // namespace

const Codec* CodecFor(ImageKind kind) {
    switch (kind) {
        case ImageKind::Jpeg:
            return &kJpeg;
        case ImageKind::Bmp:
            return &kBmp;
        case ImageKind::Gif:
            return &kGif;
        case ImageKind::Tiff:
            return &kTiff;
        case ImageKind::Pcx:
            return &kPcx;
        case ImageKind::Psd:
            return &kPsd;
        case ImageKind::Unknown:
        case ImageKind::Vlr:
        case ImageKind::Sco:
            break;
    }
    return nullptr;
}

std::span<const Codec* const> ProbeOrder() { return kProbeOrder; }

}  // namespace quillet
