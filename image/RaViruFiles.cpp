// Reading and writing files and streams: dispatch by image kind through the codec table.
#include <cerrno>
#include <cstring>

#include "base/AtomicFileWriter.h"
#include "image/ByteStream.h"
#include "image/EmbeddedResources.h"
#include "image/RaViru.h"
#include "image/codecs/Codec.h"

namespace quillet {

namespace {
constexpr const char* kUnsupported = "Unsupported operation for this format";
constexpr const char* kUnknownFormat = "Unknown image format";

bool uncoded(ImageKind kind) { return kind == ImageKind::Vlr || kind == ImageKind::Sco; }

// The first bytes at the stream's position; the position is put back.
size_t peek(ByteStream& stream, uint8_t (&head)[kSniffBytes]) {
    const int64_t start = stream.Tell();
    const size_t got = stream.Read(head, 1, kSniffBytes);
    stream.Seek(start, SEEK_SET);
    return got;
}

Status openForReading(FileStream& stream) {
    if (stream.isOpen()) return {};
    const int error = errno;
    return StatusFromErrno(error, "Can't open file");
}
}  // namespace

Status RaViru::ReadFile(const std::string& path, ImageKind fileKind) {
    Status first;
    {
        FileStream stream(path.c_str(), "rb");
        if (Status opened = openForReading(stream); !opened) return Fail(opened);
        first = Decode(stream, fileKind);
        if (first || fileKind == ImageKind::Unknown) return first;
    }
    FileStream again(path.c_str(), "rb");
    if (!again.isOpen()) return first;
    Status any = Decode(again, ImageKind::Unknown);
    if (any) return any;
    // The named kind's reason is the useful one; the code says the most that is known.
    SetError(first.message());
    return Status(first.code() == StatusCode::UnknownFormat ? any.code() : first.code(),
                  first.message());
}

Status RaViru::ReadFileInfo(const std::string& path, ImageKind fileKind, ImageInfo& info) {
    FileStream stream(path.c_str(), "rb");
    if (Status opened = openForReading(stream); !opened) return opened;
    Status first = DecodeInfo(stream, fileKind, info);
    if (first || fileKind == ImageKind::Unknown || !CodecFor(fileKind)) return first;
    if (!stream.Seek(0, SEEK_SET)) return first;
    Status any = DecodeInfo(stream, ImageKind::Unknown, info);
    if (any) return any;
    return Status(first.code() == StatusCode::UnknownFormat ? any.code() : first.code(),
                  first.message());
}

Status RaViru::DecodeInfo(ByteStream& stream, ImageKind fileKind, ImageInfo& info) {
    if (uncoded(fileKind)) return {StatusCode::UnknownFormat, "Nothing codes this kind"};
    if (fileKind != ImageKind::Unknown) {
        const Codec* codec = CodecFor(fileKind);
        if (!codec) return {StatusCode::UnknownFormat, kUnsupported};
        return codec->info(stream, frameIndex, info);
    }
    const int64_t start = stream.Tell();
    uint8_t head[kSniffBytes];
    const size_t got = peek(stream, head);
    StatusCode code = StatusCode::UnknownFormat;
    for (const Codec* codec : ProbeOrder()) {
        if (!codec->sniff(head, got) || !stream.Seek(start, SEEK_SET)) continue;
        Status status = codec->info(stream, frameIndex, info);
        if (status) return status;
        code = status.code();
    }
    return {code, kUnknownFormat};
}

Status RaViru::WriteFile(const std::string& path, ImageKind fileKind) {
    // The old file stays untouched unless the whole new one was written.
    AtomicFileWriter writer(path);
    if (Status opened = writer.open(); !opened) return Fail(opened);
    FileStream stream(writer.file(), false);
    if (Status status = Encode(stream, fileKind); !status) {
        writer.discard();
        // A write that failed for want of space says so.
        if (status.code() == StatusCode::IoError && stream.LastErrno())
            return Fail(StatusFromErrno(stream.LastErrno(), status.message()));
        return status;
    }
    if (Status committed = writer.commit(); !committed) return Fail(committed);
    return {};
}

Status RaViru::ReadResource(const std::string& name, ImageKind fileKind) {
    const EmbeddedResource* resource = FindEmbeddedResource(name);
    if (!resource) return Fail(StatusCode::NotFound, "Unable to load resource!");
    MemoryStream stream(resource->data, resource->size);
    return Decode(stream, fileKind);
}

Status RaViru::Decode(ByteStream& stream, ImageKind fileKind) {
    if (uncoded(fileKind)) return {};
    if (fileKind != ImageKind::Unknown) {
        if (!CodecFor(fileKind)) return Fail(StatusCode::UnknownFormat, kUnsupported);
        return DecodeKind(stream, fileKind);
    }
    // Only the codecs whose first bytes match are tried, in the order BMP, JPEG, GIF, TIFF, PCX.
    const int64_t start = stream.Tell();
    uint8_t head[kSniffBytes];
    const size_t got = peek(stream, head);
    StatusCode code = StatusCode::UnknownFormat;
    for (const Codec* codec : ProbeOrder()) {
        if (!codec->sniff(head, got)) continue;
        if (!stream.Seek(start, SEEK_SET)) break;
        Status status = DecodeKind(stream, codec->kind);
        if (status) return status;
        code = status.code();
    }
    return Fail(code, kUnknownFormat);
}

Status RaViru::DecodeKind(ByteStream& stream, ImageKind fileKind) {
    Status status = CodecFor(fileKind)->decode(stream, *this);
    if (!status) SetError(status.message());
    return status;
}

Status RaViru::Encode(ByteStream& stream, ImageKind fileKind) {
    if (uncoded(fileKind)) return {};
    const Codec* codec = CodecFor(fileKind);
    if (!codec || !codec->encode) return Fail(StatusCode::FormatNotWritable, kUnsupported);
    if (!dib_) return Fail(StatusCode::Failed, "There is no image to write");
    Status status = codec->encode(stream, *this);
    if (!status) SetError(status.message());
    return status;
}

}  // namespace quillet
