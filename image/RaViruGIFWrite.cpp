// GIF writer: header, graphic-control extension, one image coded with a hashed LZW encoder.
#include <cstring>

#include "image/ByteStream.h"
#include "image/RaViruGIF.h"

namespace quillet {

namespace {
constexpr int kMaxBits = 12;
constexpr int kMaxCodes = 1 << kMaxBits;  // 4096
// Doubling 5003 until it passes 65535 takes four steps; 8 − 4 spreads the pixel value
// across the slot number.
constexpr int kHashShift = 4;
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

bool RaViruGIF::Write(ByteStream& stream) {
    if (!HasBlock()) {
        SetError("There is no image to write");
        return false;
    }
    const int bitCount = BitCount();
    if (bitCount > 8) {
        SetError("GIF holds only pictures of up to 8 bits per pixel");
        return false;
    }
    if (Width() > 0xFFFF || Height() > 0xFFFF) {
        SetError("Picture is too large for GIF");
        return false;
    }

    std::vector<uint8_t> out;
    out.reserve(kOutputChunk + 1024);
    out.insert(out.end(), {'G', 'I', 'F', '8', '7', 'a'});
    put16(out, Width());
    put16(out, Height());
    out.push_back(uint8_t(0x80 | (((bitCount + 7) << 5) & 0xFF) | (bitCount - 1)));
    out.push_back(0);  // background index
    out.push_back(0);  // aspect
    // The packed byte announces 2^bitCount entries; a shorter palette is filled up with black
    // so the table has the size the byte promises.
    const Rgbquad* palette = PaletteBase();
    const int entries = 1 << bitCount;
    for (int i = 0; i < entries; ++i) {
        const Rgbquad q = (palette && uint32_t(i) < header.biClrUsed) ? palette[i] : Rgbquad{};
        out.insert(out.end(), {q.red, q.green, q.blue});
    }

    out.insert(out.end(), {0x21, 0xF9, 0x04});
    out.push_back(uint8_t(((disposal << 2) & 0x1F) | (transparentIndex != -1 ? 1 : 0)));
    put16(out, frameDelay);
    out.push_back(uint8_t(transparentIndex));
    out.push_back(0);

    out.push_back(',');
    put16(out, offsetX);
    put16(out, offsetY);
    put16(out, Width());
    put16(out, Height());
    out.push_back(0);

    bool ok = drain(stream, out);
    ok = WriteLzw(stream, out) && ok;

    const size_t commentLength = strnlen(comment, 255);
    if (commentLength) {
        out.insert(out.end(), {0x21, 0xFE, uint8_t(commentLength)});
        out.insert(out.end(), comment, comment + commentLength);
        out.push_back(0);
    }
    out.push_back(';');
    ok = drain(stream, out) && ok;
    if (!ok || !stream.Flush() || stream.Error()) {
        SetError("Write Error in GIF file");
        return false;
    }
    return true;
}

void RaViruGIF::FlushPacket(std::vector<uint8_t>& out) {
    GifLzwEncoder& e = *encoder_;
    if (e.packetCount == 0) return;
    e.packet[0] = uint8_t(e.packetCount);
    out.insert(out.end(), e.packet, e.packet + 1 + e.packetCount);
    e.packetCount = 0;
}

void RaViruGIF::OutputCode(int code, std::vector<uint8_t>& out) {
    GifLzwEncoder& e = *encoder_;
    e.accumulator |= uint32_t(code) << e.accumulatorBits;
    e.accumulatorBits += e.codeWidth;
    while (e.accumulatorBits >= 8) {
        e.packet[1 + e.packetCount++] = uint8_t(e.accumulator);
        if (e.packetCount == GifLzwEncoder::kPacket) FlushPacket(out);
        e.accumulator >>= 8;
        e.accumulatorBits -= 8;
    }
    if (e.nextFree > e.maxCode || e.clearPending) {
        if (e.clearPending) {
            e.codeWidth = e.initialWidth;
            e.maxCode = (1 << e.codeWidth) - 1;
            e.clearPending = false;
        } else {
            ++e.codeWidth;
            e.maxCode = e.codeWidth == kMaxBits ? kMaxCodes : (1 << e.codeWidth) - 1;
        }
    }
}

bool RaViruGIF::WriteLzw(ByteStream& stream, std::vector<uint8_t>& out) {
    if (!encoder_) encoder_ = std::make_unique<GifLzwEncoder>();
    GifLzwEncoder& e = *encoder_;
    const int bitCount = BitCount();
    const int minCodeSize = bitCount < 2 ? 2 : bitCount;
    out.push_back(uint8_t(minCodeSize));
    e.initialWidth = e.codeWidth = minCodeSize + 1;
    e.maxCode = (1 << e.codeWidth) - 1;
    e.clearCode = 1 << minCodeSize;
    e.endCode = e.clearCode + 1;
    e.nextFree = e.clearCode + 2;
    e.clearPending = false;
    e.accumulator = 0;
    e.accumulatorBits = 0;
    e.packetCount = 0;
    e.column = 0;
    e.row = 0;
    e.pixelsLeft = int64_t(Width()) * Height();
    std::memset(e.hashKeys, 0xFF, sizeof e.hashKeys);

    const int width = Width();
    std::vector<uint8_t> unpacked(static_cast<size_t>(width));
    int32_t* const keys = e.hashKeys;
    uint16_t* const codes = e.hashCodes;

    OutputCode(e.clearCode, out);
    bool ok = true;
    int prefix = -1;
    // Rows go from the top of the picture (the last DIB row) down.
    for (e.row = 0; e.row < Height(); ++e.row) {
        const uint8_t* src = Row(Height() - 1 - e.row);
        if (bitCount == 4) {
            for (int x = 0; x < width; ++x) unpacked[size_t(x)] = (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
            src = unpacked.data();
        } else if (bitCount == 1) {
            for (int x = 0; x < width; ++x) unpacked[size_t(x)] = (src[x >> 3] >> (7 - (x & 7))) & 1;
            src = unpacked.data();
        }
        e.column = 0;
        if (prefix < 0) {
            prefix = src[0];
            e.column = 1;
        }
        for (int x = e.column; x < width; ++x) {
            const int pixel = src[x];
            const int32_t key = (int32_t(pixel) << kMaxBits) + prefix;
            int slot = (pixel << kHashShift) ^ prefix;
            if (keys[slot] == key) {
                prefix = codes[slot];
                continue;
            }
            if (keys[slot] >= 0) {
                const int step = slot == 0 ? 1 : GifLzwEncoder::kHashSize - slot;
                bool found = false;
                do {
                    slot -= step;
                    if (slot < 0) slot += GifLzwEncoder::kHashSize;
                    if (keys[slot] == key) {
                        found = true;
                        break;
                    }
                } while (keys[slot] >= 0);
                if (found) {
                    prefix = codes[slot];
                    continue;
                }
            }
            OutputCode(prefix, out);
            prefix = pixel;
            if (e.nextFree < kMaxCodes) {
                codes[slot] = uint16_t(e.nextFree++);
                keys[slot] = key;
            } else {
                // The table is full: start over with a clear code.
                std::memset(e.hashKeys, 0xFF, sizeof e.hashKeys);
                e.nextFree = e.clearCode + 2;
                e.clearPending = true;
                OutputCode(e.clearCode, out);
            }
        }
        e.pixelsLeft -= width;
        if (out.size() >= kOutputChunk && !drain(stream, out)) ok = false;
    }
    OutputCode(prefix, out);
    OutputCode(e.endCode, out);
    while (e.accumulatorBits > 0) {
        e.packet[1 + e.packetCount++] = uint8_t(e.accumulator);
        if (e.packetCount == GifLzwEncoder::kPacket) FlushPacket(out);
        e.accumulator >>= 8;
        e.accumulatorBits -= 8;
    }
    e.accumulatorBits = 0;
    FlushPacket(out);
    out.push_back(0);
    return ok;
}

}  // namespace quillet
