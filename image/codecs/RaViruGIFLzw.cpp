// GIF input buffering, the LZW decoder and interlaced row placement.
#include <cstring>

#include "image/ByteStream.h"
#include "image/codecs/RaViruGIF.h"

namespace quillet {

void GifInput::Attach(ByteStream& s) {
    stream = &s;
    if (!buffer) buffer.reset(new uint8_t[kSize]);
    fill = pos = 0;
    start = s.Tell();
    readError = false;
}

int GifInput::Refill() {
    start += int64_t(fill);
    pos = 0;
    fill = stream->Read(buffer.get(), 1, kSize);
    if (fill == 0) {
        if (stream->Error()) readError = true;
        return -1;
    }
    return buffer[pos++];
}

size_t GifInput::Read(uint8_t* out, size_t n) {
    size_t done = 0;
    while (done < n) {
        if (pos == fill) {
            const int b = Refill();
            if (b < 0) break;
            --pos;  // Refill handed out one byte; take it with the copy below
        }
        const size_t take = std::min(n - done, fill - pos);
        std::memcpy(out + done, buffer.get() + pos, take);
        pos += take;
        done += take;
    }
    return done;
}

size_t GifInput::Skip(size_t n) {
    size_t done = 0;
    while (done < n) {
        if (pos == fill) {
            if (Refill() < 0) break;
            --pos;
        }
        const size_t take = std::min(n - done, fill - pos);
        pos += take;
        done += take;
    }
    return done;
}

bool GifInput::SeekTo(int64_t offset) {
    fill = pos = 0;
    start = offset;
    return stream->Seek(offset, SEEK_SET);
}

void GifInput::Release() {
    if (stream && pos != fill) stream->Seek(Tell(), SEEK_SET);
    fill = pos = 0;
}

void GifRowWriter::Start(int imageHeight, bool interlace) {
    interlaced = interlace;
    height = imageHeight;
    row = 0;
    pass = 0;
    step = interlace ? 8 : 1;
}

int GifRowWriter::Next() {
    if (!interlaced) return row < height ? row++ : -1;
    // Passes start at rows 0, 4, 2, 1 with steps 8, 8, 4, 2; passes that would start
    // below the picture's last row are passed over.
    while (row >= height) {
        if (pass >= 3) return -1;
        ++pass;
        if (pass > 1) step /= 2;
        row = step / 2;
    }
    const int r = row;
    row += step;
    return r;
}

namespace {

// Copies a string that already stands earlier in the output. Every remembered place ends at or
// before the current output position, so each byte needed is read before this copy writes
// anything; whole 8-byte words may run past the string into the slack the buffer keeps.
inline void copyEarlier(uint8_t* dst, const uint8_t* src, size_t n) {
    for (size_t i = 0; i < n; i += 8) {
        uint64_t v;
        std::memcpy(&v, src + i, 8);
        std::memcpy(dst + i, &v, 8);
    }
}

// The exact copy for the last string, which may be cut off at the end of the picture.
inline void copyExact(uint8_t* dst, const uint8_t* src, size_t n) {
    for (size_t i = 0; i < n; ++i) dst[i] = src[i];
}

}  // namespace

size_t RaViruGIF::DecodeLzw(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out,
                            size_t total) {
    if (!decoder_) decoder_ = std::make_unique<GifLzwDecoder>();
    GifLzwDecoder& d = *decoder_;
    d.clearCode = 1 << minCodeSize;
    d.endCode = d.clearCode + 1;
    d.firstFree = d.clearCode + 2;
    d.badCodes = 0;
    for (int i = 0; i < d.clearCode; ++i) {
        d.first[i] = uint8_t(i);
        d.length[i] = 1;
        d.where[i] = 0;
    }
    d.codeSize = minCodeSize + 1;
    d.topSlot = 1 << d.codeSize;
    d.nextFree = d.firstFree;

    uint16_t* const length = d.length;
    uint8_t* const first = d.first;
    uint32_t* const where = d.where;

    const uint8_t* p = data;
    const uint8_t* const end = data + size;
    uint64_t bits = 0;
    int nbits = 0;
    int codeSize = d.codeSize;
    uint32_t mask = (1u << codeSize) - 1;
    int nextFree = d.nextFree;
    int topSlot = d.topSlot;
    const int clearCode = d.clearCode;
    const int endCode = d.endCode;

    size_t pos = 0;
    size_t prevPos = 0;
    int prev = -1;  // previous code; -1 before the first one (no entry is added then)

    auto nextCode = [&]() -> int {
        if (nbits < codeSize) {
            if (end - p >= 8) {
                uint64_t v;
                std::memcpy(&v, p, 8);
                bits |= v << nbits;
                const int take = (63 - nbits) >> 3;
                p += take;
                nbits += take * 8;
            } else {
                while (nbits < codeSize && p < end) {
                    bits |= uint64_t(*p++) << nbits;
                    nbits += 8;
                }
                if (nbits < codeSize) return -1;  // the data ran dry
            }
        }
        const int code = int(bits & mask);
        bits >>= codeSize;
        nbits -= codeSize;
        return code;
    };

    while (pos < total) {
        int code = nextCode();
        if (code < 0 || code == endCode) break;
        if (code == clearCode) {
            codeSize = minCodeSize + 1;
            mask = (1u << codeSize) - 1;
            topSlot = 1 << codeSize;
            nextFree = d.firstFree;
            do code = nextCode();
            while (code == clearCode);
            if (code < 0 || code == endCode) break;
            if (code >= nextFree) code = 0;
            out[pos] = first[code];
            prevPos = pos++;
            prev = code;
            continue;
        }
        const size_t room = total - pos;
        size_t len;
        uint8_t head;  // first byte of the string written now
        if (prev < 0) {
            // No code before this one: only a plain value makes sense.
            if (code >= nextFree) code = 0;
            out[pos] = first[code];
            prevPos = pos++;
            prev = code;
            continue;
        }
        if (code >= nextFree) {
            // A code not yet in the table stands for the previous string plus its own first
            // byte; codes beyond the next free one are bad but read the same way.
            if (code > nextFree) ++d.badCodes;
            code = nextFree;
            len = size_t(length[prev]) + 1;
            head = first[prev];
            if (length[prev] == 1) {
                out[pos] = head;
            } else if (len <= room) {
                copyEarlier(out + pos, out + where[prev], len - 1);
            } else {
                copyExact(out + pos, out + where[prev], std::min(len - 1, room));
            }
            if (len <= room) out[pos + len - 1] = head;
        } else {
            len = length[code];
            head = first[code];
            if (len == 1) {
                out[pos] = head;
            } else if (len <= room) {
                copyEarlier(out + pos, out + where[code], len);
            } else {
                copyExact(out + pos, out + where[code], room);
            }
        }
        if (nextFree < topSlot) {
            first[nextFree] = first[prev];
            length[nextFree] = uint16_t(length[prev] + 1);
            where[nextFree] = uint32_t(prevPos);
            ++nextFree;
        }
        if (nextFree >= topSlot && codeSize < 12) {
            topSlot <<= 1;
            ++codeSize;
            mask = (1u << codeSize) - 1;
        }
        prevPos = pos;
        pos += std::min(len, room);
        prev = code;
    }
    d.codeSize = codeSize;
    d.nextFree = nextFree;
    d.topSlot = topSlot;
    d.bitBuffer = bits;
    d.bitCount = nbits;
    return pos;
}

}  // namespace quillet
