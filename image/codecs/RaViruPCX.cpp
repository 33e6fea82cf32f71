#include "image/codecs/RaViruPCX.h"

#include <cstring>
#include <new>
#include <vector>

#include "base/CheckedSize.h"
#include "base/LittleEndian.h"
#include "image/ByteStream.h"

namespace quillet {

namespace {
// A run pair (2 bytes) yields at most 63 bytes, a literal byte one.
constexpr size_t kMostBytesPerCodedByte = 32;

struct PcxFailure {
    const char* message;
};

// Decodes `total` bytes of runs from data[*pos]; advances *pos past what it used.
void decodeRuns(const uint8_t* data, size_t size, size_t* pos, uint8_t* out, size_t total) {
    size_t p = *pos, o = 0;
    while (o < total) {
        if (p >= size) throw PcxFailure{"corrupted PCX"};
        const uint8_t b = data[p++];
        if (b > 191) {
            const size_t count = b & 0x3F;
            if (p >= size) throw PcxFailure{"corrupted PCX"};
            if (count > total - o) throw PcxFailure{"repeat count spans end of image"};
            std::memset(out + o, data[p++], count);
            o += count;
        } else {
            out[o++] = b;
        }
    }
    *pos = p;
}

inline void putNibble(uint8_t* row, int x, unsigned value) {
    const int shift = (x & 1) ? 0 : 4;
    row[x >> 1] = uint8_t((row[x >> 1] & ~(0x0F << shift)) | ((value & 0x0F) << shift));
}
}  // namespace

bool RaViruPCX::Read(ByteStream& stream) {
    try {
        uint8_t head[128];
        if (stream.Read(head, 1, 128) != 128) throw PcxFailure{"Can't read PCX image"};
        if (head[0] != 10) throw PcxFailure{"Error: Not a PCX file"};
        if (head[2] != 1) throw PcxFailure{"PCX file has unknown encoding scheme"};
        const int bitsPerPixel = head[3];
        const int width = int(readU16LE(head + 8)) - int(readU16LE(head + 4)) + 1;
        const int height = int(readU16LE(head + 10)) - int(readU16LE(head + 6)) + 1;
        const int planes = head[65];
        const size_t bytesPerLine = readU16LE(head + 66);

        int depth;
        if (bitsPerPixel == 1) {
            if (planes > 4) throw PcxFailure{"Can't handle image with more than 4 planes"};
            if (planes == 0) throw PcxFailure{"Can't handle bits per pixel image with planes."};
            // Two 1-bit planes make 2-bit indices: they need the 16-entry palette too.
            depth = planes == 3 ? 24 : planes >= 2 ? 4 : 1;
        } else if (bitsPerPixel == 2 || bitsPerPixel == 4 || bitsPerPixel == 8) {
            if (planes == 1)
                depth = bitsPerPixel;
            else if (planes == 3)
                depth = 24;
            else
                throw PcxFailure{"Can't handle bits per pixel image with planes."};
        } else {
            throw PcxFailure{"Can't handle bits per pixel image with planes."};
        }
        if (width <= 0 || height <= 0) throw PcxFailure{"PCX image has an invalid size"};
        if (bytesPerLine * 8 < size_t(width) * size_t(bitsPerPixel)) {
            throw PcxFailure{"PCX line is shorter than the image width"};
        }
        if (uint64_t(width) * uint64_t(height) > kMaxImagePixels) {
            throw PcxFailure{"Image is larger than the pixel limit"};
        }
        const size_t lineBytes = bytesPerLine * size_t(planes);
        const size_t total = *checkedMul(lineBytes, size_t(height));  // < 2^16 · 4 · 2^16

        // The coded data and the palette after it, read in one go.
        const int64_t remaining = stream.Remaining();
        if (remaining <= 0 || uint64_t(remaining) * kMostBytesPerCodedByte < total) {
            throw PcxFailure{"corrupted PCX"};
        }
        std::vector<uint8_t> coded, decoded;
        try {
            coded.resize(size_t(std::min<int64_t>(remaining, int64_t(total) * 2 + 769)));
            decoded.resize(total);
        } catch (const std::bad_alloc&) {
            throw PcxFailure{"Not enough memory for the image"};
        }
        const size_t got = stream.Read(coded.data(), 1, coded.size());
        size_t pos = 0;
        decodeRuns(coded.data(), got, &pos, decoded.data(), total);

        if (!Allocate(width, height, depth, 0)) throw PcxFailure{lastError};
        const uint8_t* map = head + 16;
        for (int i = 0; i < 16 && i < PaletteCount(); ++i) {
            SetPaletteEntry(i, map[3 * i], map[3 * i + 1], map[3 * i + 2]);
        }
        if (bitsPerPixel == 8 && planes == 1) {
            if (pos >= got || coded[pos] != 12) throw PcxFailure{"bad color map signature"};
            if (got - pos - 1 < 768) throw PcxFailure{"corrupted PCX"};
            const uint8_t* rgb = coded.data() + pos + 1;
            for (int i = 0; i < 256; ++i)
                SetPaletteEntry(i, rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
        } else if (depth == 1) {
            SetPaletteEntry(0, 0, 0, 0);
            SetPaletteEntry(1, 255, 255, 255);
        }

        const bool rgbPlanes = planes == 3 && bitsPerPixel == 8;
        if (planes > 1 && !rgbPlanes && bitsPerPixel > 1) {
            throw PcxFailure{"Can't handle packed pixels with more than 1 plane."};
        }
        for (int i = 0; i < height; ++i) {
            const uint8_t* src = decoded.data() + size_t(i) * lineBytes;
            uint8_t* dst = Row(height - 1 - i);
            if (rgbPlanes) {
                const uint8_t *r = src, *g = src + bytesPerLine, *b = src + 2 * bytesPerLine;
                for (int x = 0; x < width; ++x) {
                    dst[3 * x] = b[x];
                    dst[3 * x + 1] = g[x];
                    dst[3 * x + 2] = r[x];
                }
            } else if (planes == 1) {
                switch (bitsPerPixel) {
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
                    for (int p = 0; p < planes; ++p) {
                        index |=
                            unsigned((src[size_t(p) * bytesPerLine + (x >> 3)] >> (7 - (x & 7))) &
                                     1)
                            << p;
                    }
                    if (depth == 24) {
                        dst[3 * x] = map[3 * index + 2];
                        dst[3 * x + 1] = map[3 * index + 1];
                        dst[3 * x + 2] = map[3 * index];
                    } else {
                        putNibble(dst, x, index);
                    }
                }
            }
        }
        return true;
    } catch (const PcxFailure& failure) {
        const std::string message = failure.message;  // may point into lastError itself
        Destroy();
        SetError(message);
        return false;
    }
}

}  // namespace quillet
