#include "image/codecs/RaViruBMP.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <vector>

#include "base/CheckedSize.h"
#include "base/LittleEndian.h"
#include "image/ByteStream.h"

namespace quillet {

namespace {
constexpr const char* kTruncated = "Truncated BMP file";

bool readExact(ByteStream& s, void* buffer, size_t bytes) {
    return bytes == 0 || s.Read(buffer, 1, bytes) == bytes;
}

// Bit-field masks must be disjoint and fit 16 bits together: the row conversion derives
// its shifts from their widths.
bool masksUsable(uint32_t red, uint32_t green, uint32_t blue) {
    if ((red | green | blue) > 0xFFFF || !red || !green || !blue) return false;
    if ((red & green) || (red & blue) || (green & blue)) return false;
    return std::popcount(red) + std::popcount(green) + std::popcount(blue) <= 16;
}

void flipRows(uint8_t* bits, size_t rowBytes, int height) {
    std::vector<uint8_t> tmp(rowBytes);
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = bits + size_t(top) * rowBytes;
        uint8_t* b = bits + size_t(bottom) * rowBytes;
        std::memcpy(tmp.data(), a, rowBytes);
        std::memcpy(a, b, rowBytes);
        std::memcpy(b, tmp.data(), rowBytes);
    }
}
}  // namespace

// What the headers say, checked: everything the palette and the rows are read by.
struct BmpLayout {
    BitmapInfoHeader h;
    bool core = false;     // a 12-byte header: 3-byte palette entries
    bool topDown = false;  // a negative height: rows stored top row first
    int width = 0, height = 0, bitCount = 0;
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    int64_t afterHeader = 0;  // where the palette starts
    int64_t dataStart = 0;    // where the rows start
    int64_t available = 0;    // bytes from dataStart to the end of the stream
    size_t fileRows = 0;      // bytes of uncompressed rows
};

namespace {

// The file header (when there is one) and the info header, a core header widened to 40 bytes.
// Leaves `headerStart` at the info header and `pixelOffset` at the rows (-1: unknown).
Status readHeaders(ByteStream& stream, BmpLayout& L, int64_t& headerStart, int64_t& pixelOffset) {
    const int64_t start = stream.Tell();
    uint8_t fileHeader[14];
    pixelOffset = -1;
    if (!readExact(stream, fileHeader, 14)) return {StatusCode::UnknownFormat, "Not a BMP file"};
    if (fileHeader[0] == 'B' && fileHeader[1] == 'M') {
        pixelOffset = start + readU32LE(fileHeader + 10);
    } else if (!stream.Seek(start, SEEK_SET)) {  // a bare DIB without file header
        return {StatusCode::UnknownFormat, "Not a BMP file"};
    }
    headerStart = stream.Tell();

    uint8_t info[40] = {};
    if (!readExact(stream, info, 4)) return {StatusCode::Truncated, kTruncated};
    const uint32_t headerSize = readU32LE(info);
    L.core = headerSize == 12;
    if (!L.core && (headerSize < 40 || headerSize > 256))
        return {StatusCode::UnknownFormat, "Not a BMP file"};
    BitmapInfoHeader& h = L.h;
    if (L.core) {
        if (!readExact(stream, info + 4, 8)) return {StatusCode::Truncated, kTruncated};
        h.biWidth = readU16LE(info + 4);
        h.biHeight = readU16LE(info + 6);
        h.biPlanes = readU16LE(info + 8);
        h.biBitCount = readU16LE(info + 10);
    } else {
        if (!readExact(stream, info + 4, 36)) return {StatusCode::Truncated, kTruncated};
        h.biWidth = readI32LE(info + 4);
        h.biHeight = readI32LE(info + 8);
        h.biPlanes = readU16LE(info + 12);
        h.biBitCount = readU16LE(info + 14);
        h.biCompression = readU32LE(info + 16);
        h.biSizeImage = readU32LE(info + 20);
        h.biXPelsPerMeter = readI32LE(info + 24);
        h.biYPelsPerMeter = readI32LE(info + 28);
        h.biClrUsed = readU32LE(info + 32);
        h.biClrImportant = readU32LE(info + 36);
    }
    L.afterHeader = headerStart + headerSize;
    return {};
}

// Reads the headers and the bit-field masks and checks them against the stream; leaves the
// stream where the palette starts.
Status readLayout(ByteStream& stream, uint64_t pixelLimit, BmpLayout& L) {
    const int64_t streamSize = stream.Size();
    int64_t headerStart = 0, pixelOffset = -1;
    if (Status status = readHeaders(stream, L, headerStart, pixelOffset); !status) return status;
    const BitmapInfoHeader& h = L.h;
    const int bitCount = L.bitCount = h.biBitCount;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN)
        return {StatusCode::Corrupt, "BMP file has an invalid size"};
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32) {
        return {StatusCode::Unsupported, "BMP bit depth not supported"};
    }
    L.topDown = h.biHeight < 0;
    L.width = h.biWidth;
    L.height = L.topDown ? -h.biHeight : h.biHeight;
    if (!FitsPixelLimit(L.width, L.height, pixelLimit))
        return {StatusCode::TooLarge, "Image is larger than the pixel limit"};
    L.fileRows = *dibRowBytes(size_t(L.width), unsigned(bitCount)) * size_t(L.height);
    if (h.biClrUsed == 0) L.h.biClrUsed = bitCount <= 8 ? (1u << bitCount) : 0;

    const uint32_t compression = h.biCompression;
    if (bitCount <= 8) {
        const bool rle8 = compression == 1 && bitCount == 8;
        const bool rle4 = compression == 2 && bitCount == 4;
        if (compression != 0 && !rle8 && !rle4)
            return {StatusCode::Unsupported, "compression type not supported"};
    } else if (bitCount == 24 && compression != 0) {
        return {StatusCode::Unsupported, "unknown compression"};
    } else if (bitCount == 32 && compression != 0 && compression != 3) {
        return {StatusCode::Unsupported, "unknown compression"};
    } else if (bitCount == 16 && compression != 0 && compression != 3) {
        return {StatusCode::Unsupported, "compression type not supported"};
    }

    // Bit-field masks follow the 40 bytes of the header (inside the larger header versions).
    if (!L.core && compression == 3) {
        uint8_t raw[12];
        if (!stream.Seek(headerStart + 40, SEEK_SET) || !readExact(stream, raw, 12))
            return {StatusCode::Truncated, kTruncated};
        if (bitCount == 16) {
            for (int i = 0; i < 3; ++i) L.masks[i] = readU32LE(raw + 4 * i);
            if (!masksUsable(L.masks[0], L.masks[1], L.masks[2]))
                return {StatusCode::Unsupported, "BMP bit field masks not supported"};
        }
        L.afterHeader = std::max<int64_t>(L.afterHeader, headerStart + 52);
    }
    if (!stream.Seek(L.afterHeader, SEEK_SET)) return {StatusCode::Truncated, kTruncated};

    // The palette: 3-byte entries after a core header, 4-byte ones otherwise.
    const int64_t paletteEnd = L.afterHeader + int64_t(h.biClrUsed) * (L.core ? 3 : 4);
    if (streamSize >= 0 && paletteEnd > streamSize) return {StatusCode::Truncated, kTruncated};
    L.dataStart = pixelOffset >= 0 ? pixelOffset : paletteEnd;
    L.available = streamSize >= 0 ? streamSize - L.dataStart : INT64_MAX;
    if (L.available < 0 ||
        (compression != 1 && compression != 2 && uint64_t(L.available) < L.fileRows)) {
        return {StatusCode::Truncated, kTruncated};
    }
    return {};
}

}  // namespace

bool RaViruBMP::Sniff(const uint8_t* head, size_t size) {
    if (size < 14) return false;
    if (head[0] == 'B' && head[1] == 'M') return true;
    const uint32_t headerSize = readU32LE(head);
    return headerSize == 12 || (headerSize >= 40 && headerSize <= 256);
}

Status RaViruBMP::Info(ByteStream& stream, int, ImageInfo& info) {
    BmpLayout L;
    Status status = readLayout(stream, kMaxImagePixels, L);
    if (!status) return status;
    info.kind = ImageKind::Bmp;
    info.width = L.width;
    info.height = L.height;
    info.bitCount = L.bitCount <= 8 ? L.bitCount : 24;
    info.frameCount = 1;
    // 32-bit rows go through a buffer of their own; run-length data is read whole.
    const bool rle = L.h.biCompression == 1 || L.h.biCompression == 2;
    info.workBytes = L.bitCount == 32 ? L.fileRows : rle ? uint64_t(L.available) : 0;
    return status;
}

Status RaViruBMP::Read(ByteStream& stream) {
    BmpLayout L;
    if (Status status = readLayout(stream, pixelLimit, L); !status) return Fail(status);
    // Pictures read from BMP files carry kind 0, as every bitmap taken from elsewhere does.
    if (Status status =
            AllocatePicture(L.width, L.height, L.bitCount <= 8 ? L.bitCount : 24, ImageKind::Jpeg);
        !status) {
        return status;
    }
    SetHorizontalDpi(pelsPerMeterToDpi(L.h.biXPelsPerMeter));
    SetVerticalDpi(pelsPerMeterToDpi(L.h.biYPelsPerMeter));
    if (Status status = ReadPalette(stream, L); !status) return status;
    if (!stream.Seek(L.dataStart, SEEK_SET)) return Fail(StatusCode::Truncated, kTruncated);
    if (Status status = ReadRows(stream, L); !status) return status;
    if (L.topDown) flipRows(bits, rowBytes, L.height);
    return {};
}

Status RaViruBMP::ReadPalette(ByteStream& stream, const BmpLayout& L) {
    if (L.bitCount > 8) return {};
    const size_t entrySize = L.core ? 3 : 4;
    const uint32_t used = std::min<uint32_t>(L.h.biClrUsed, PaletteCount());
    std::vector<uint8_t> raw(used * entrySize);
    if (!readExact(stream, raw.data(), raw.size())) return Fail(StatusCode::Truncated, kTruncated);
    Rgbquad* pal = PaletteBase();
    for (uint32_t i = 0; i < used; ++i) {
        const uint8_t* e = raw.data() + i * entrySize;
        pal[i] = {e[0], e[1], e[2], L.core ? uint8_t(0) : e[3]};
    }
    return {};
}

Status RaViruBMP::ReadRows(ByteStream& stream, const BmpLayout& L) {
    const uint32_t compression = L.h.biCompression;
    if (compression == 1 || compression == 2)
        return DecodeRle(stream, compression == 2, L.available);
    if (L.bitCount <= 8 || L.bitCount == 24) {
        if (!readExact(stream, bits, L.fileRows)) return Fail(StatusCode::Truncated, kTruncated);
    } else if (L.bitCount == 16) {
        // 16-bit rows are never longer than 24-bit ones: read them into the block and widen in
        // place.
        if (!readExact(stream, bits, L.fileRows)) return Fail(StatusCode::Truncated, kTruncated);
        RowFromPacked(bits, L.masks[0], L.masks[1], L.masks[2], 16);
    } else {
        std::unique_ptr<uint8_t[]> temp(new (std::nothrow) uint8_t[L.fileRows]);
        if (!temp) return Fail(StatusCode::OutOfMemory, "can't allocate memory");
        if (!readExact(stream, temp.get(), L.fileRows))
            return Fail(StatusCode::Truncated, kTruncated);
        RowFromPacked(temp.get(), 0, 0, 0, 32);
    }
    return {};
}

Status RaViruBMP::DecodeRle(ByteStream& stream, bool fourBits, int64_t available) {
    const size_t n = size_t(std::min<int64_t>(available, int64_t(SIZE_MAX / 2)));
    std::vector<uint8_t> data;
    try {
        data.resize(n);
    } catch (const std::bad_alloc&) {
        return Fail(StatusCode::OutOfMemory, "can't allocate memory");
    }
    const size_t got = stream.Read(data.data(), 1, n);
    const uint8_t* d = data.data();
    const int64_t width = Width(), height = Height();
    int64_t x = 0, y = 0;
    size_t p = 0;
    auto put = [&](int64_t col, uint8_t value) {
        if (col >= width || y >= height) return;
        uint8_t* row = bits + size_t(y) * rowBytes;
        if (fourBits) {
            const int shift = (col & 1) ? 0 : 4;
            row[col >> 1] = uint8_t((row[col >> 1] & ~(0x0F << shift)) | ((value & 0x0F) << shift));
        } else {
            row[col] = value;
        }
    };
    for (;;) {
        if (p + 2 > got) {
            if (y >= height) return {};  // every row is there; only the end mark is missing
            return Fail(StatusCode::Truncated, kTruncated);
        }
        const uint8_t count = d[p], value = d[p + 1];
        p += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) {
                put(x + i, fourBits ? ((i & 1) ? value & 0x0F : value >> 4) : value);
            }
            x += count;
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return {};
        } else if (value == 2) {
            if (p + 2 > got) return Fail(StatusCode::Truncated, kTruncated);
            x += d[p];
            y += d[p + 1];
            p += 2;
        } else {
            // Literal pixels, padded to a 16-bit boundary.
            const size_t bytes = fourBits ? (size_t(value) + 1) / 2 : value;
            if (p + bytes > got) return Fail(StatusCode::Truncated, kTruncated);
            for (int i = 0; i < value; ++i) {
                const uint8_t b = d[p + (fourBits ? size_t(i) / 2 : size_t(i))];
                put(x + i, fourBits ? ((i & 1) ? b & 0x0F : b >> 4) : b);
            }
            x += value;
            p += bytes + (bytes & 1);
        }
    }
}

Status RaViruBMP::Write(ByteStream& stream, const RaViru& source) {
    if (!source.HasBlock()) return Fail(StatusCode::Failed, "There is no image to write");
    const size_t paletteBytes = source.PaletteBytes();
    const uint32_t offset = uint32_t(14 + 40 + paletteBytes);
    uint8_t fileHeader[14] = {'B', 'M'};
    writeU32LE(fileHeader + 2, offset + source.header.biSizeImage);
    writeU32LE(fileHeader + 10, offset);
    BitmapInfoHeader info = source.header;
    info.biSize = 40;
    info.biCompression = 0;
    if (stream.Write(fileHeader, 1, 14) != 14 || stream.Write(&info, 1, 40) != 40 ||
        stream.Write(source.Dib() + 40, 1, paletteBytes) != paletteBytes ||
        stream.Write(source.bits, 1, source.header.biSizeImage) != source.header.biSizeImage ||
        !stream.Flush()) {
        return Fail(StatusCode::IoError, "Error writing BMP file");
    }
    return {};
}

}  // namespace quillet
