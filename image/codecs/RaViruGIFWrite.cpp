// GIF writer: header, graphic-control extension, one image coded with a hashed LZW encoder.
#include <cstring>

#include "image/ByteStream.h"
#include "image/codecs/RaViruGIF.h"

namespace quillet {

namespace {
constexpr int kMaxBits = 12;
constexpr int kMaxCodes = 1 << kMaxBits;  // 4096
constexpr size_t kOutputChunk = 1 << 16;

void put16(std::vector<uint8_t>& out, int v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

bool drain(ByteStream& stream, std::vector<uint8_t>& out) {
    const bool ok = out.empty() || stream.Write(out.data(), 1, out.size()) == out.size();
    out.clear();
    return ok;
}
}  // namespace

Status RaViruGIF::Write(ByteStream& stream) { return Write(stream, *this); }

// Codes `source` with this writer's extension settings (disposal, comment); the picture is
// read in place.
Status RaViruGIF::Write(ByteStream& stream, const RaViru& source) {
    if (!source.HasBlock()) return Fail(StatusCode::Failed, "There is no image to write");
    const int bitCount = source.BitCount();
    if (bitCount > 8)
        return Fail(StatusCode::Unsupported, "GIF holds only pictures of up to 8 bits per pixel");
    if (source.Width() > 0xFFFF || source.Height() > 0xFFFF)
        return Fail(StatusCode::TooLarge, "Picture is too large for GIF");

    std::vector<uint8_t> out;
    out.reserve(kOutputChunk + 1024);
    out.insert(out.end(), {'G', 'I', 'F', '8', '7', 'a'});
    put16(out, source.Width());
    put16(out, source.Height());
    out.push_back(uint8_t(0x80 | (((bitCount + 7) << 5) & 0xFF) | (bitCount - 1)));
    out.push_back(0);  // background index
    out.push_back(0);  // aspect
    // The packed byte announces 2^bitCount entries; a shorter palette is filled up with black
    // so the table has the size the byte promises.
    const Rgbquad* palette = source.PaletteBase();
    const int entries = 1 << bitCount;
    for (int i = 0; i < entries; ++i) {
        const Rgbquad q =
            (palette && uint32_t(i) < source.header.biClrUsed) ? palette[i] : Rgbquad{};
        out.insert(out.end(), {q.red, q.green, q.blue});
    }

    out.insert(out.end(), {0x21, 0xF9, 0x04});
    out.push_back(uint8_t(((disposal << 2) & 0x1F) | (source.transparentIndex != -1 ? 1 : 0)));
    put16(out, source.frameDelay);
    out.push_back(uint8_t(source.transparentIndex));
    out.push_back(0);

    out.push_back(',');
    put16(out, source.offsetX);
    put16(out, source.offsetY);
    put16(out, source.Width());
    put16(out, source.Height());
    out.push_back(0);

    bool ok = drain(stream, out);
    ok = WriteLzw(stream, out, source) && ok;

    const size_t commentLength = strnlen(comment, 255);
    if (commentLength) {
        out.insert(out.end(), {0x21, 0xFE, uint8_t(commentLength)});
        out.insert(out.end(), comment, comment + commentLength);
        out.push_back(0);
    }
    out.push_back(';');
    ok = drain(stream, out) && ok;
    if (!ok || !stream.Flush() || stream.Error())
        return Fail(StatusCode::IoError, "Write Error in GIF file");
    return {};
}

namespace {

// Packs the row's codes least-significant bit first into the byte run.
void packCodes(GifLzwEncoder& e, const uint32_t* codes, size_t count) {
    uint64_t acc = e.accumulator;
    int bits = e.accumulatorBits;
    size_t at = e.bytes.size();
    e.bytes.resize(at + count * 2 + 8);
    uint8_t* out = e.bytes.data();
    for (size_t i = 0; i < count; ++i) {
        const uint32_t c = codes[i];
        acc |= uint64_t(c & 0xFFFF) << bits;
        bits += int(c >> 16);
        if (bits >= 32) {
            const uint32_t word = uint32_t(acc);
            std::memcpy(out + at, &word, 4);
            at += 4;
            acc >>= 32;
            bits -= 32;
        }
    }
    e.bytes.resize(at);
    e.accumulator = acc;
    e.accumulatorBits = bits;
}

// Moves whole 254-byte packets from the byte run to the output, each after its length byte.
void cutPackets(GifLzwEncoder& e, std::vector<uint8_t>& out, bool all) {
    const size_t n = e.bytes.size();
    size_t at = 0;
    while (n - at >= size_t(GifLzwEncoder::kPacket) || (all && at < n)) {
        const size_t take = std::min(n - at, size_t(GifLzwEncoder::kPacket));
        out.push_back(uint8_t(take));
        out.insert(out.end(), e.bytes.begin() + long(at), e.bytes.begin() + long(at + take));
        at += take;
    }
    e.bytes.erase(e.bytes.begin(), e.bytes.begin() + long(at));
}

}  // namespace

bool RaViruGIF::WriteLzw(ByteStream& stream, std::vector<uint8_t>& out, const RaViru& source) {
    if (!encoder_) encoder_ = std::make_unique<GifLzwEncoder>();
    GifLzwEncoder& e = *encoder_;
    const int bitCount = source.BitCount();
    const int minCodeSize = bitCount < 2 ? 2 : bitCount;
    out.push_back(uint8_t(minCodeSize));
    e.initialWidth = minCodeSize + 1;
    e.clearCode = 1 << minCodeSize;
    e.endCode = e.clearCode + 1;
    e.accumulator = 0;
    e.accumulatorBits = 0;
    e.bytes.clear();
    e.codes.clear();
    std::memset(e.table, 0, sizeof e.table);

    const int width = source.Width();
    std::vector<uint8_t> unpacked(static_cast<size_t>(width));
    uint32_t* const table = e.table;
    const int clearCode = e.clearCode;
    const int initialWidth = e.initialWidth;
    // A row gives at most one code per pixel plus a clear code after each, and the last two.
    e.codes.resize(size_t(width) * 2 + 4);
    uint32_t* const codeBase = e.codes.data();

    // The code width grows once the next free code no longer fits, after the code that is being
    // output; a clear code brings it back to the initial width.
    int codeWidth = initialWidth;
    int maxCode = (1 << codeWidth) - 1;
    int nextFree = clearCode + 2;
    uint32_t* codeOut = codeBase;
    *codeOut++ = uint32_t(clearCode) | uint32_t(codeWidth) << 16;

    bool ok = true;
    int prefix = -1;
    // Rows go from the top of the picture (the last DIB row) down.
    for (e.row = 0; e.row < source.Height(); ++e.row) {
        const uint8_t* src = source.Row(source.Height() - 1 - e.row);
        if (bitCount == 4) {
            for (int x = 0; x < width; ++x)
                unpacked[size_t(x)] = (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
            src = unpacked.data();
        } else if (bitCount == 1) {
            for (int x = 0; x < width; ++x)
                unpacked[size_t(x)] = (src[x >> 3] >> (7 - (x & 7))) & 1;
            src = unpacked.data();
        }
        e.column = 0;
        if (prefix < 0) {
            prefix = src[0];
            e.column = 1;
        }
        for (int x = e.column; x < width; ++x) {
            const uint32_t pixel = src[x];
            const uint32_t key = (pixel << kMaxBits) | uint32_t(prefix);
            uint32_t slot = (key * 2654435761u) >> (32 - GifLzwEncoder::kTableBits);
            uint32_t entry;
            while ((entry = table[slot]) != 0 && (entry >> kMaxBits) != key) {
                slot = (slot + 1) & (GifLzwEncoder::kTableSize - 1);
            }
            if (entry) {
                prefix = int(entry & (kMaxCodes - 1));
                continue;
            }
            *codeOut++ = uint32_t(prefix) | uint32_t(codeWidth) << 16;
            if (nextFree > maxCode) {
                ++codeWidth;
                maxCode = codeWidth == kMaxBits ? kMaxCodes : (1 << codeWidth) - 1;
            }
            if (nextFree < kMaxCodes) {
                table[slot] = (key << kMaxBits) | uint32_t(nextFree++);
            } else {
                // The table is full: start over with a clear code.
                std::memset(table, 0, sizeof e.table);
                *codeOut++ = uint32_t(clearCode) | uint32_t(codeWidth) << 16;
                nextFree = clearCode + 2;
                codeWidth = initialWidth;
                maxCode = (1 << codeWidth) - 1;
            }
            prefix = int(pixel);
        }
        if (e.row == source.Height() - 1) {
            *codeOut++ = uint32_t(prefix) | uint32_t(codeWidth) << 16;
            if (nextFree > maxCode) ++codeWidth;
            *codeOut++ = uint32_t(e.endCode) | uint32_t(codeWidth) << 16;
        }
        packCodes(e, codeBase, size_t(codeOut - codeBase));
        codeOut = codeBase;
        if (e.bytes.size() >= kOutputChunk) {
            cutPackets(e, out, false);
            if (!drain(stream, out)) ok = false;
        }
    }
    e.codeWidth = codeWidth;
    e.maxCode = maxCode;
    e.nextFree = nextFree;
    // The bits left over, then the last short packet and the terminator.
    while (e.accumulatorBits > 0) {
        e.bytes.push_back(uint8_t(e.accumulator));
        e.accumulator >>= 8;
        e.accumulatorBits -= 8;
    }
    e.accumulatorBits = 0;
    cutPackets(e, out, true);
    out.push_back(0);
    return ok;
}

}  // namespace quillet
