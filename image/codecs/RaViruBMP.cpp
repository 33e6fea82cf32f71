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

bool RaViruBMP::Read(ByteStream& stream) {
    const int64_t start = stream.Tell();
    const int64_t streamSize = stream.Size();
    uint8_t fileHeader[14];
    int64_t pixelOffset = -1;
    if (!readExact(stream, fileHeader, 14)) {
        SetError("Not a BMP file");
        return false;
    }
    if (fileHeader[0] == 'B' && fileHeader[1] == 'M') {
        pixelOffset = start + readU32LE(fileHeader + 10);
    } else if (!stream.Seek(start, SEEK_SET)) {  // a bare DIB without file header
        SetError("Not a BMP file");
        return false;
    }
    const int64_t headerStart = stream.Tell();

    uint8_t info[40] = {};
    if (!readExact(stream, info, 4)) {
        SetError(kTruncated);
        return false;
    }
    const uint32_t headerSize = readU32LE(info);
    const bool core = headerSize == 12;
    if (!core && (headerSize < 40 || headerSize > 256)) {
        SetError("Not a BMP file");
        return false;
    }
    BitmapInfoHeader h;
    if (core) {
        if (!readExact(stream, info + 4, 8)) {
            SetError(kTruncated);
            return false;
        }
        h.biWidth = readU16LE(info + 4);
        h.biHeight = readU16LE(info + 6);
        h.biPlanes = readU16LE(info + 8);
        h.biBitCount = readU16LE(info + 10);
    } else {
        if (!readExact(stream, info + 4, 36)) {
            SetError(kTruncated);
            return false;
        }
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
    const int bitCount = h.biBitCount;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) {
        SetError("BMP file has an invalid size");
        return false;
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32) {
        SetError("BMP bit depth not supported");
        return false;
    }
    // A negative height marks rows stored top row first.
    const bool topDown = h.biHeight < 0;
    const int width = h.biWidth;
    const int height = topDown ? -h.biHeight : h.biHeight;
    if (uint64_t(width) * uint64_t(height) > kMaxImagePixels) {
        SetError("Image is larger than the pixel limit");
        return false;
    }
    const size_t fileRow = *dibRowBytes(size_t(width), unsigned(bitCount));
    const size_t fileRows = fileRow * size_t(height);
    if (h.biClrUsed == 0) h.biClrUsed = bitCount <= 8 ? (1u << bitCount) : 0;

    const uint32_t compression = h.biCompression;
    if (bitCount <= 8) {
        const bool rle8 = compression == 1 && bitCount == 8;
        const bool rle4 = compression == 2 && bitCount == 4;
        if (compression != 0 && !rle8 && !rle4) {
            SetError("compression type not supported");
            return false;
        }
    } else if (bitCount == 24 && compression != 0) {
        SetError("unknown compression");
        return false;
    } else if (bitCount == 32 && compression != 0 && compression != 3) {
        SetError("unknown compression");
        return false;
    } else if (bitCount == 16 && compression != 0 && compression != 3) {
        SetError("compression type not supported");
        return false;
    }

    // Bit-field masks follow the 40 bytes of the header (inside the larger header versions).
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    int64_t afterHeader = headerStart + headerSize;
    if (!core && compression == 3) {
        uint8_t raw[12];
        if (!stream.Seek(headerStart + 40, SEEK_SET) || !readExact(stream, raw, 12)) {
            SetError(kTruncated);
            return false;
        }
        if (bitCount == 16) {
            for (int i = 0; i < 3; ++i) masks[i] = readU32LE(raw + 4 * i);
            if (!masksUsable(masks[0], masks[1], masks[2])) {
                SetError("BMP bit field masks not supported");
                return false;
            }
        }
        afterHeader = std::max<int64_t>(afterHeader, headerStart + 52);
    }
    if (!stream.Seek(afterHeader, SEEK_SET)) {
        SetError(kTruncated);
        return false;
    }

    // The palette: 3-byte entries after a core header, 4-byte ones otherwise.
    const size_t entrySize = core ? 3 : 4;
    const int64_t paletteEnd = afterHeader + int64_t(h.biClrUsed) * int64_t(entrySize);
    if (streamSize >= 0 && paletteEnd > streamSize) {
        SetError(kTruncated);
        return false;
    }
    const int64_t dataStart = pixelOffset >= 0 ? pixelOffset : paletteEnd;
    const int64_t available = streamSize >= 0 ? streamSize - dataStart : INT64_MAX;
    if (available < 0 || (compression != 1 && compression != 2 && uint64_t(available) < fileRows)) {
        SetError(kTruncated);
        return false;
    }

    if (!Allocate(width, height, bitCount <= 8 ? bitCount : 24, 0)) return false;
    SetHorizontalDpi(pelsPerMeterToDpi(h.biXPelsPerMeter));
    SetVerticalDpi(pelsPerMeterToDpi(h.biYPelsPerMeter));
    if (bitCount <= 8) {
        const uint32_t used = std::min<uint32_t>(h.biClrUsed, PaletteCount());
        std::vector<uint8_t> raw(used * entrySize);
        if (!readExact(stream, raw.data(), raw.size())) {
            SetError(kTruncated);
            return false;
        }
        Rgbquad* pal = PaletteBase();
        for (uint32_t i = 0; i < used; ++i) {
            const uint8_t* e = raw.data() + i * entrySize;
            pal[i] = {e[0], e[1], e[2], core ? uint8_t(0) : e[3]};
        }
    }
    if (!stream.Seek(dataStart, SEEK_SET)) {
        SetError(kTruncated);
        return false;
    }

    if (compression == 1 || compression == 2) {
        if (!DecodeRle(stream, compression == 2, available)) return false;
    } else if (bitCount <= 8 || bitCount == 24) {
        if (!readExact(stream, bits, fileRows)) {
            SetError(kTruncated);
            return false;
        }
    } else if (bitCount == 16) {
        // 16-bit rows are never longer than 24-bit ones: read them into the block and widen in
        // place.
        if (!readExact(stream, bits, fileRows)) {
            SetError(kTruncated);
            return false;
        }
        RowFromPacked(bits, masks[0], masks[1], masks[2], 16);
    } else {
        std::unique_ptr<uint8_t[]> temp(new (std::nothrow) uint8_t[fileRows]);
        if (!temp) {
            SetError("can't allocate memory");
            return false;
        }
        if (!readExact(stream, temp.get(), fileRows)) {
            SetError(kTruncated);
            return false;
        }
        RowFromPacked(temp.get(), 0, 0, 0, 32);
    }
    if (topDown) flipRows(bits, rowBytes, height);
    return true;
}

bool RaViruBMP::DecodeRle(ByteStream& stream, bool fourBits, int64_t available) {
    const size_t n = size_t(std::min<int64_t>(available, int64_t(SIZE_MAX / 2)));
    std::vector<uint8_t> data;
    try {
        data.resize(n);
    } catch (const std::bad_alloc&) {
        SetError("can't allocate memory");
        return false;
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
            if (y >= height) return true;  // every row is there; only the end mark is missing
            SetError(kTruncated);
            return false;
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
            return true;
        } else if (value == 2) {
            if (p + 2 > got) {
                SetError(kTruncated);
                return false;
            }
            x += d[p];
            y += d[p + 1];
            p += 2;
        } else {
            // Literal pixels, padded to a 16-bit boundary.
            const size_t bytes = fourBits ? (size_t(value) + 1) / 2 : value;
            if (p + bytes > got) {
                SetError(kTruncated);
                return false;
            }
            for (int i = 0; i < value; ++i) {
                const uint8_t b = d[p + (fourBits ? size_t(i) / 2 : size_t(i))];
                put(x + i, fourBits ? ((i & 1) ? b & 0x0F : b >> 4) : b);
            }
            x += value;
            p += bytes + (bytes & 1);
        }
    }
}

bool RaViruBMP::Write(ByteStream& stream, const RaViru& source) {
    if (!source.HasBlock()) {
        SetError("There is no image to write");
        return false;
    }
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
        SetError("Error writing BMP file");
        return false;
    }
    return true;
}

}  // namespace quillet
