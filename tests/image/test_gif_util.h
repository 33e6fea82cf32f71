#pragma once
// Slow, obvious GIF pieces for the tests: a textbook LZW coder over a string dictionary and a
// GIF file assembler, independent of the codec under test.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "image/ByteStream.h"
#include "image/RaViru.h"

namespace giftest {

struct RefLzwOptions {
    bool leadingClear = true;
    bool clearWhenFull = true;  // false: keep coding with a full table (no new entries)
};

class BitWriter {
public:
    void put(int code, int width) {
        for (int i = 0; i < width; ++i) {
            if (bit_ == 0) bytes.push_back(0);
            if ((code >> i) & 1) bytes.back() |= uint8_t(1 << bit_);
            bit_ = (bit_ + 1) & 7;
        }
    }
    std::vector<uint8_t> bytes;

private:
    int bit_ = 0;
};

// Textbook LZW: returns the code stream's bytes (without sub-block framing).
inline std::vector<uint8_t> refLzwEncode(const std::vector<uint8_t>& pixels, int minCodeSize,
                                         RefLzwOptions opt = {}) {
    const int clear = 1 << minCodeSize, end = clear + 1;
    std::map<std::pair<int, int>, int> dict;
    int next = clear + 2, width = minCodeSize + 1;
    BitWriter out;
    if (opt.leadingClear) out.put(clear, width);
    int w = pixels.empty() ? -1 : pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        const int c = pixels[i];
        auto it = dict.find({w, c});
        if (it != dict.end()) {
            w = it->second;
            continue;
        }
        out.put(w, width);
        if (next < 4096) {
            dict[{w, c}] = next++;
            if (next - 1 >= (1 << width) && width < 12) ++width;
        } else if (opt.clearWhenFull) {
            out.put(clear, width);
            dict.clear();
            next = clear + 2;
            width = minCodeSize + 1;
        }
        w = c;
    }
    if (w >= 0) out.put(w, width);
    out.put(end, width);
    return out.bytes;
}

// The writer's coder as first designed, literally: a 5003-slot hash table with the key
// pixel × 4096 + prefix, slot (pixel << 4) ^ prefix, probing backwards by 5003 − slot.
inline std::vector<uint8_t> refHashedLzwEncode(const std::vector<uint8_t>& px, int minCodeSize) {
    const int hsize = 5003, clear = 1 << minCodeSize, eof = clear + 1, initBits = minCodeSize + 1;
    std::vector<int32_t> htab(hsize, -1);
    std::vector<int> codetab(hsize);
    int nBits = initBits, maxcode = (1 << nBits) - 1, freeEnt = clear + 2;
    bool clearFlg = false;
    BitWriter bw;
    auto output = [&](int code) {
        bw.put(code, nBits);
        if (freeEnt > maxcode || clearFlg) {
            if (clearFlg) {
                nBits = initBits;
                maxcode = (1 << nBits) - 1;
                clearFlg = false;
            } else {
                ++nBits;
                maxcode = nBits == 12 ? 4096 : (1 << nBits) - 1;
            }
        }
    };
    output(clear);
    int ent = px[0];
    for (size_t k = 1; k < px.size(); ++k) {
        const int c = px[k];
        const int32_t fcode = (c << 12) + ent;
        int i = (c << 4) ^ ent;
        bool found = htab[size_t(i)] == fcode;
        if (!found && htab[size_t(i)] >= 0) {
            const int disp = i == 0 ? 1 : hsize - i;
            do {
                i -= disp;
                if (i < 0) i += hsize;
                found = htab[size_t(i)] == fcode;
            } while (!found && htab[size_t(i)] >= 0);
        }
        if (found) {
            ent = codetab[size_t(i)];
            continue;
        }
        output(ent);
        ent = c;
        if (freeEnt < 4096) {
            codetab[size_t(i)] = freeEnt++;
            htab[size_t(i)] = fcode;
        } else {
            std::fill(htab.begin(), htab.end(), -1);
            freeEnt = clear + 2;
            clearFlg = true;
            output(clear);
        }
    }
    output(ent);
    output(eof);
    return bw.bytes;
}

// Textbook LZW decoder over a table of strings.
inline std::vector<uint8_t> refLzwDecode(const std::vector<uint8_t>& data, int minCodeSize) {
    const int clear = 1 << minCodeSize, end = clear + 1;
    std::vector<std::vector<uint8_t>> table;
    auto reset = [&] {
        table.clear();
        for (int i = 0; i < clear + 2; ++i) table.push_back({uint8_t(i)});
    };
    reset();
    int width = minCodeSize + 1;
    size_t bitPos = 0;
    std::vector<uint8_t> out;
    int prev = -1;
    for (;;) {
        if (bitPos + size_t(width) > data.size() * 8) break;
        int code = 0;
        for (int i = 0; i < width; ++i, ++bitPos) {
            code |= ((data[bitPos / 8] >> (bitPos % 8)) & 1) << i;
        }
        if (code == end) break;
        if (code == clear) {
            reset();
            width = minCodeSize + 1;
            prev = -1;
            continue;
        }
        std::vector<uint8_t> entry;
        if (code < int(table.size())) {
            entry = table[size_t(code)];
        } else {
            entry = table[size_t(prev)];
            entry.push_back(entry[0]);
        }
        out.insert(out.end(), entry.begin(), entry.end());
        if (prev >= 0 && table.size() < 4096) {
            auto added = table[size_t(prev)];
            added.push_back(entry[0]);
            table.push_back(added);
            if (int(table.size()) >= (1 << width) && width < 12) ++width;
        }
        prev = code;
    }
    return out;
}

// Cuts a code stream into sub-blocks of up to 255 bytes and adds the terminator.
inline void appendSubBlocks(std::vector<uint8_t>& out, const std::vector<uint8_t>& data) {
    for (size_t i = 0; i < data.size(); i += 255) {
        const size_t n = std::min<size_t>(255, data.size() - i);
        out.push_back(uint8_t(n));
        out.insert(out.end(), data.begin() + long(i), data.begin() + long(i + n));
    }
    out.push_back(0);
}

inline void put16(std::vector<uint8_t>& out, int v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

struct Frame {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> pixels;  // top row first
    bool interlaced = false;
    int transparent = -1;
    int disposal = 0;
    bool control = false;  // write a graphic-control extension
    std::vector<std::array<uint8_t, 3>> localTable;
    int minCodeSize = 0;  // 0: from the table size
    RefLzwOptions lzw;
};

// Returns the rows of `pixels` (top first) in the order an interlaced file stores them.
inline std::vector<uint8_t> interlaceRows(const std::vector<uint8_t>& pixels, int w, int h) {
    std::vector<uint8_t> out;
    const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
    for (int p = 0; p < 4; ++p) {
        for (int y = starts[p]; y < h; y += steps[p]) {
            out.insert(out.end(), pixels.begin() + long(y) * w, pixels.begin() + long(y + 1) * w);
        }
    }
    return out;
}

inline int tableBits(size_t entries) {
    int bits = 1;
    while ((size_t(1) << bits) < entries) ++bits;
    return bits;
}

inline std::vector<uint8_t> makeGif(int screenW, int screenH,
                                    const std::vector<std::array<uint8_t, 3>>& globalTable,
                                    const std::vector<Frame>& frames,
                                    const std::vector<std::vector<uint8_t>>& extensions = {}) {
    std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    put16(out, screenW);
    put16(out, screenH);
    const int gbits = tableBits(globalTable.size());
    out.push_back(globalTable.empty() ? 0 : uint8_t(0x80 | (gbits - 1)));
    out.push_back(0);
    out.push_back(0);
    for (size_t i = 0; i < (globalTable.empty() ? 0 : (size_t(1) << gbits)); ++i) {
        const auto c = i < globalTable.size() ? globalTable[i] : std::array<uint8_t, 3>{};
        out.insert(out.end(), c.begin(), c.end());
    }
    for (const auto& e : extensions) out.insert(out.end(), e.begin(), e.end());
    for (const Frame& f : frames) {
        if (f.control) {
            out.insert(out.end(), {0x21, 0xF9, 4});
            out.push_back(uint8_t((f.disposal << 2) | (f.transparent >= 0 ? 1 : 0)));
            put16(out, 5);
            out.push_back(uint8_t(f.transparent >= 0 ? f.transparent : 0));
            out.push_back(0);
        }
        out.push_back(',');
        put16(out, f.left);
        put16(out, f.top);
        put16(out, f.width);
        put16(out, f.height);
        const int lbits = tableBits(f.localTable.size());
        uint8_t packed = f.interlaced ? 0x40 : 0;
        if (!f.localTable.empty()) packed |= uint8_t(0x80 | (lbits - 1));
        out.push_back(packed);
        for (size_t i = 0; i < (f.localTable.empty() ? 0 : (size_t(1) << lbits)); ++i) {
            const auto c = i < f.localTable.size() ? f.localTable[i] : std::array<uint8_t, 3>{};
            out.insert(out.end(), c.begin(), c.end());
        }
        const size_t entries = f.localTable.empty() ? globalTable.size() : f.localTable.size();
        const int minCode = f.minCodeSize ? f.minCodeSize : std::max(2, tableBits(entries));
        out.push_back(uint8_t(minCode));
        const auto rows = f.interlaced ? interlaceRows(f.pixels, f.width, f.height) : f.pixels;
        appendSubBlocks(out, refLzwEncode(rows, minCode, f.lzw));
    }
    out.push_back(';');
    return out;
}

// Reads picture pixel (x, y) with y from the top.
inline uint32_t indexAt(const quillet::RaViru& img, int x, int y) {
    return img.PixelIndexAt(x, img.Height() - 1 - y);
}

}  // namespace giftest
