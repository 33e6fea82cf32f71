#pragma once
// Small image files put together byte by byte, for the codec tests.
#include <cstdint>
#include <vector>

#include "base/LittleEndian.h"

namespace quillet::testfiles {

// A PCX file: header, the lines run-length coded (runs of equal bytes, escapes above 191),
// then whatever trailer is given (the 256-colour palette).
inline std::vector<uint8_t> pcxFile(int width, int height, int bits, int planes, int bytesPerLine,
                                    const std::vector<uint8_t>& raw,
                                    const std::vector<uint8_t>& trailer) {
    std::vector<uint8_t> out(128);
    out[0] = 10;
    out[1] = 5;
    out[2] = 1;
    out[3] = uint8_t(bits);
    writeU16LE(&out[4], 2);
    writeU16LE(&out[6], 3);
    writeU16LE(&out[8], uint16_t(2 + width - 1));
    writeU16LE(&out[10], uint16_t(3 + height - 1));
    for (int i = 0; i < 48; ++i) out[16 + i] = uint8_t(i * 5);
    out[65] = uint8_t(planes);
    writeU16LE(&out[66], uint16_t(bytesPerLine));
    for (size_t i = 0; i < raw.size();) {
        size_t run = 1;
        while (i + run < raw.size() && raw[i + run] == raw[i] && run < 63) ++run;
        if (run > 1 || raw[i] > 191) {
            out.push_back(uint8_t(0xC0 | run));
        }
        out.push_back(raw[i]);
        i += run;
    }
    out.insert(out.end(), trailer.begin(), trailer.end());
    return out;
}

}  // namespace quillet::testfiles
