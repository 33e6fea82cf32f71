#include "image/codecs/RaViruPCX.h"

#include <cstring>
#include <new>
#include <vector>

#include "base/CheckedSize.h"
#include "base/LittleEndian.h"
#include "image/ByteStream.h"

namespace quillet {

// The 128-byte header, checked.
struct PcxHeader {
    uint8_t raw[128];
    int bitsPerPixel = 0;
    int width = 0, height = 0;
    int planes = 0;
    size_t bytesPerLine = 0;
    int depth = 0;         // of the picture
    size_t lineBytes = 0;  // one picture row over all planes
    size_t total = 0;      // decoded bytes of the whole picture
    const uint8_t* map() const { return raw + 16; }
};

namespace {
// A run pair (2 bytes) yields at most 63 bytes, a literal byte one.
constexpr size_t kMostBytesPerCodedByte = 32;

Status readHeader(ByteStream& stream, uint64_t pixelLimit, PcxHeader& h) {
    uint8_t* head = h.raw;
    if (stream.Read(head, 1, 128) != 128) return {StatusCode::Truncated, "Can't read PCX image"};
    if (head[0] != 10) return {StatusCode::UnknownFormat, "Error: Not a PCX file"};
    if (head[2] != 1) return {StatusCode::Unsupported, "PCX file has unknown encoding scheme"};
    h.bitsPerPixel = head[3];
    h.width = int(readU16LE(head + 8)) - int(readU16LE(head + 4)) + 1;
    h.height = int(readU16LE(head + 10)) - int(readU16LE(head + 6)) + 1;
    h.planes = head[65];
    h.bytesPerLine = readU16LE(head + 66);

    const Status planesRefused(StatusCode::Unsupported,
                               "Can't handle bits per pixel image with planes.");
    if (h.bitsPerPixel == 1) {
        if (h.planes > 4)
            return {StatusCode::Unsupported, "Can't handle image with more than 4 planes"};
        if (h.planes == 0) return planesRefused;
        // Two 1-bit planes make 2-bit indices: they need the 16-entry palette too.
        h.depth = h.planes == 3 ? 24 : h.planes >= 2 ? 4 : 1;
    } else if (h.bitsPerPixel == 2 || h.bitsPerPixel == 4 || h.bitsPerPixel == 8) {
        if (h.planes == 1)
            h.depth = h.bitsPerPixel;
        else if (h.planes == 3)
            h.depth = 24;
        else
            return planesRefused;
    } else {
        return planesRefused;
    }
    if (h.width <= 0 || h.height <= 0)
        return {StatusCode::Corrupt, "PCX image has an invalid size"};
    if (h.bytesPerLine * 8 < size_t(h.width) * size_t(h.bitsPerPixel))
        return {StatusCode::Corrupt, "PCX line is shorter than the image width"};
    if (!FitsPixelLimit(h.width, h.height, pixelLimit))
        return {StatusCode::TooLarge, "Image is larger than the pixel limit"};
    h.lineBytes = h.bytesPerLine * size_t(h.planes);
    h.total = *checkedMul(h.lineBytes, size_t(h.height));  // < 2^16 · 4 · 2^16
    return {};
}

// Decodes `total` bytes of runs from data[*pos]; advances *pos past what it used.
Status decodeRuns(const uint8_t* data, size_t size, size_t* pos, uint8_t* out, size_t total) {
    size_t p = *pos, o = 0;
    while (o < total) {
        if (p >= size) return {StatusCode::Truncated, "corrupted PCX"};
        const uint8_t b = data[p++];
        if (b > 191) {
            const size_t count = b & 0x3F;
            if (p >= size) return {StatusCode::Truncated, "corrupted PCX"};
            if (count > total - o) return {StatusCode::Corrupt, "repeat count spans end of image"};
            std::memset(out + o, data[p++], count);
            o += count;
        } else {
            out[o++] = b;
        }
    }
    *pos = p;
    return {};
}

inline void putNibble(uint8_t* row, int x, unsigned value) {
    const int shift = (x & 1) ? 0 : 4;
    row[x >> 1] = uint8_t((row[x >> 1] & ~(0x0F << shift)) | ((value & 0x0F) << shift));
}
}  // namespace

bool RaViruPCX::Sniff(const uint8_t* head, size_t size) {
    return size >= 3 && head[0] == 10 && head[2] == 1;
}

Status RaViruPCX::Info(ByteStream& stream, int, ImageInfo& info) {
    PcxHeader h;
    Status status = readHeader(stream, kMaxImagePixels, h);
    if (!status) return status;
    info.kind = ImageKind::Pcx;
    info.width = h.width;
    info.height = h.height;
    info.bitCount = h.depth;
    info.frameCount = 1;
    // The decoded planes and the coded bytes (at most twice the planes and a palette).
    const int64_t remaining = std::max<int64_t>(stream.Remaining(), 0);
    info.workBytes = h.total + uint64_t(std::min<int64_t>(remaining, int64_t(h.total) * 2 + 769));
    return status;
}

Status RaViruPCX::Read(ByteStream& stream) {
    PcxHeader h;
    if (Status status = readHeader(stream, pixelLimit, h); !status) return Fail(status);

    // The coded data and the palette after it, read in one go.
    const int64_t remaining = stream.Remaining();
    if (remaining <= 0 || uint64_t(remaining) * kMostBytesPerCodedByte < h.total)
        return Fail(StatusCode::Truncated, "corrupted PCX");
    std::vector<uint8_t> coded, decoded;
    try {
        coded.resize(size_t(std::min<int64_t>(remaining, int64_t(h.total) * 2 + 769)));
        decoded.resize(h.total);
    } catch (const std::bad_alloc&) {
        return Fail(StatusCode::OutOfMemory, "Not enough memory for the image");
    }
    const size_t got = stream.Read(coded.data(), 1, coded.size());
    size_t pos = 0;
    if (Status status = decodeRuns(coded.data(), got, &pos, decoded.data(), h.total); !status)
        return Fail(status);

    if (Status status = AllocatePicture(h.width, h.height, h.depth, ImageKind::Jpeg); !status) {
        Destroy();
        return status;
    }
    if (Status status = ReadPalette(h, coded.data() + pos, got - pos); !status) {
        Destroy();
        return status;
    }
    const bool rgbPlanes = h.planes == 3 && h.bitsPerPixel == 8;
    if (h.planes > 1 && !rgbPlanes && h.bitsPerPixel > 1) {
        Destroy();
        return Fail(StatusCode::Unsupported, "Can't handle packed pixels with more than 1 plane.");
    }
    StoreRows(h, decoded.data());
    return {};
}

// The 16 header entries, then for 8 bits in one plane the 256-entry map after the rows.
Status RaViruPCX::ReadPalette(const PcxHeader& h, const uint8_t* after, size_t afterBytes) {
    const uint8_t* map = h.map();
    for (int i = 0; i < 16 && i < PaletteCount(); ++i) {
        SetPaletteEntry(i, map[3 * i], map[3 * i + 1], map[3 * i + 2]);
    }
    if (h.bitsPerPixel == 8 && h.planes == 1) {
        if (afterBytes == 0 || after[0] != 12)
            return Fail(StatusCode::Corrupt, "bad color map signature");
        if (afterBytes - 1 < 768) return Fail(StatusCode::Truncated, "corrupted PCX");
        const uint8_t* rgb = after + 1;
        for (int i = 0; i < 256; ++i)
            SetPaletteEntry(i, rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
    } else if (h.depth == 1) {
        SetPaletteEntry(0, 0, 0, 0);
        SetPaletteEntry(1, 255, 255, 255);
    }
    return {};
}

// Picture row i (from the top) goes to DIB row height − 1 − i.
void RaViruPCX::StoreRows(const PcxHeader& h, const uint8_t* decoded) {
    const bool rgbPlanes = h.planes == 3 && h.bitsPerPixel == 8;
    const int width = h.width, height = h.height;
    const size_t bytesPerLine = h.bytesPerLine;
    const uint8_t* map = h.map();
    for (int i = 0; i < height; ++i) {
        const uint8_t* src = decoded + size_t(i) * h.lineBytes;
        uint8_t* dst = Row(height - 1 - i);
        if (rgbPlanes) {
            const uint8_t *r = src, *g = src + bytesPerLine, *b = src + 2 * bytesPerLine;
            for (int x = 0; x < width; ++x) {
                dst[3 * x] = b[x];
                dst[3 * x + 1] = g[x];
                dst[3 * x + 2] = r[x];
            }
        } else if (h.planes == 1) {
            switch (h.bitsPerPixel) {
                case 8:
                    std::memcpy(dst, src, size_t(width));
                    break;
                case 4:
                    std::memcpy(dst, src, (size_t(width) + 1) / 2);
                    break;
                case 1:
                    std::memcpy(dst, src, (size_t(width) + 7) / 8);
                    break;
                case 2:
                    for (int x = 0; x < width; ++x) {
                        putNibble(dst, x, (src[x >> 2] >> (6 - 2 * (x & 3))) & 3);
                    }
                    break;
            }
        } else {
            // 1-bit planes: bit p of the index comes from plane p.
            for (int x = 0; x < width; ++x) {
                unsigned index = 0;
                for (int p = 0; p < h.planes; ++p) {
                    index |=
                        unsigned((src[size_t(p) * bytesPerLine + (x >> 3)] >> (7 - (x & 7))) & 1)
                        << p;
                }
                if (h.depth == 24) {
                    dst[3 * x] = map[3 * index + 2];
                    dst[3 * x + 1] = map[3 * index + 1];
                    dst[3 * x + 2] = map[3 * index];
                } else {
                    putNibble(dst, x, index);
                }
            }
        }
    }
}

}  // namespace quillet
