#pragma once
// The one interface every file format offers: sniff the first bytes, read the header, decode,
// encode. RaViru's Decode/Encode and the document's open go through this table only.
#include <cstddef>
#include <cstdint>
#include <span>

#include "base/Status.h"
#include "image/ImageFormat.h"

namespace quillet {

class ByteStream;
class RaViru;

struct Codec {
    ImageKind kind;
    const char* name;
    // True when data starting with these bytes may be of this format. Never false for data the
    // decoder would take, so sniffing only skips decodes that could not succeed.
    bool (*sniff)(const uint8_t* head, size_t size);
    // Reads the header (and, for GIF and TIFF, finds frame `frameIndex`) without decoding pixels.
    Status (*info)(ByteStream& stream, int frameIndex, ImageInfo& info);
    // Decodes frame `target.frameIndex` within `target.pixelLimit`; the target takes the picture
    // over only on success and is otherwise untouched (its lastError aside).
    Status (*decode)(ByteStream& stream, RaViru& target);
    // Writes `source` without copying its pixels; null for formats that are only read.
    Status (*encode)(ByteStream& stream, const RaViru& source);
};

// Bytes a sniff looks at; shorter data is passed as it is.
constexpr size_t kSniffBytes = 32;

// The codec of a kind; null for kinds nothing codes (Unknown, Vlr, Sco).
const Codec* CodecFor(ImageKind kind);
// The order in which data of an unknown kind is tried: BMP, JPEG, GIF, TIFF, PCX.
std::span<const Codec* const> ProbeOrder();

}  // namespace quillet
