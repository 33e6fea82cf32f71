// Reading and writing files and streams: dispatch by image kind to the codecs.
#include <cerrno>
#include <cstring>

#include "base/AtomicFileWriter.h"
#include "image/ByteStream.h"
#include "image/EmbeddedResources.h"
#include "image/RaViru.h"
#include "image/codecs/RaViruBMP.h"
#include "image/codecs/RaViruGIF.h"
#include "image/codecs/RaViruJPG.h"
#include "image/codecs/RaViruPCX.h"
#include "image/codecs/RaViruTIF.h"
#include "platform/UserPort.h"

namespace quillet {

namespace {
constexpr const char* kUnsupported = "Unsupported operation for this format";

// The order in which an unknown kind is tried.
constexpr int kProbeOrder[] = {ImageKind::Bmp, ImageKind::Jpeg, ImageKind::Gif, ImageKind::Tiff,
                               ImageKind::Pcx};
}  // namespace

bool RaViru::ReadFile(const std::string& path, int fileKind) {
    {
        FileStream stream(path.c_str(), "rb");
        if (!stream.isOpen()) {
            SetError(std::string("Can't open file: ") + std::strerror(errno));
            return false;
        }
        if (Decode(stream, fileKind)) return true;
    }
    if (fileKind == ImageKind::Unknown) return false;
    const std::string firstError = lastError;
    FileStream again(path.c_str(), "rb");
    if (again.isOpen() && Decode(again, ImageKind::Unknown)) return true;
    SetError(firstError);  // the named kind's reason is the useful one
    return false;
}

bool RaViru::WriteFile(const std::string& path, int fileKind) {
    // The old file stays untouched unless the whole new one was written.
    AtomicFileWriter writer(path);
    if (!writer.open()) {
        SetError(writer.error());
        return false;
    }
    FileStream stream(writer.file(), false);
    if (!Encode(stream, fileKind)) {
        writer.discard();
        return false;
    }
    if (!writer.commit()) {
        SetError(writer.error());
        return false;
    }
    return true;
}

bool RaViru::ReadResource(const std::string& name, int fileKind, UserPort* user) {
    const EmbeddedResource* resource = FindEmbeddedResource(name);
    if (!resource) {
        SetError("Unable to load resource!");
        if (user) user->showMessage(lastError, MessageIcon::Error);
        return false;
    }
    MemoryStream stream(resource->data, resource->size);
    return Decode(stream, fileKind);
}

bool RaViru::Decode(ByteStream& stream, int fileKind) {
    if (fileKind == ImageKind::Uncoded5 || fileKind == ImageKind::Uncoded6) return true;
    if (fileKind != ImageKind::Unknown) {
        if (fileKind < ImageKind::Jpeg || fileKind > ImageKind::Pcx) {
            SetError(kUnsupported);
            return false;
        }
        return DecodeKind(stream, fileKind);
    }
    const int64_t start = stream.Tell();
    for (int k : kProbeOrder) {
        if (!stream.Seek(start, SEEK_SET)) break;
        if (DecodeKind(stream, k)) return true;
    }
    SetError("Unknown image format");
    return false;
}

bool RaViru::Encode(ByteStream& stream, int fileKind) {
    if (fileKind == ImageKind::Uncoded5 || fileKind == ImageKind::Uncoded6) return true;
    if (fileKind < ImageKind::Jpeg || fileKind > ImageKind::Tiff) {
        SetError(kUnsupported);
        return false;
    }
    if (!dib_) {
        SetError("There is no image to write");
        return false;
    }
    return EncodeKind(stream, fileKind);
}

// A codec object reads into itself; the target takes the result over only on success,
// so a failed read leaves the target's pixels as they were.
template <class Codec>
bool decodeWith(RaViru& target, ByteStream& stream) {
    Codec codec;
    codec.frameIndex = target.frameIndex;
    if (!codec.Read(stream)) {
        target.SetError(codec.lastError);
        return false;
    }
    target.AdoptFrom(codec);
    return true;
}

// The codec object writes straight from the source image: the pixels are never copied.
template <class Codec>
bool encodeWith(RaViru& source, ByteStream& stream) {
    Codec codec;
    if (!codec.Write(stream, static_cast<const RaViru&>(source))) {
        source.SetError(codec.lastError);
        return false;
    }
    return true;
}

bool RaViru::DecodeKind(ByteStream& stream, int fileKind) {
    switch (fileKind) {
        case ImageKind::Gif:
            return decodeWith<RaViruGIF>(*this, stream);
        case ImageKind::Jpeg:
            return decodeWith<RaViruJPG>(*this, stream);
        case ImageKind::Bmp:
            return decodeWith<RaViruBMP>(*this, stream);
        case ImageKind::Tiff:
            return decodeWith<RaViruTIF>(*this, stream);
        case ImageKind::Pcx:
            return decodeWith<RaViruPCX>(*this, stream);
        default:
            SetError(kUnsupported);
            return false;
    }
}

bool RaViru::EncodeKind(ByteStream& stream, int fileKind) {
    switch (fileKind) {
        case ImageKind::Gif:
            return encodeWith<RaViruGIF>(*this, stream);
        case ImageKind::Jpeg:
            return encodeWith<RaViruJPG>(*this, stream);
        case ImageKind::Bmp:
            return encodeWith<RaViruBMP>(*this, stream);
        case ImageKind::Tiff:
            return encodeWith<RaViruTIF>(*this, stream);
        default:
            SetError(kUnsupported);
            return false;
    }
}

}  // namespace quillet
