#pragma once
// A smooth photo-like picture written as a JPEG of quality 90, for the benchmarks that open
// and save whole files.
#include <string>

#include "image/RaViru.h"

namespace quillet::bench {

inline void WritePhotoJpeg(const std::string& path, int width, int height) {
    RaViru img(width, height, 24, ImageKind::Jpeg);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = img.Row(y);
        for (int x = 0; x < width; ++x, row += 3) {
            row[0] = uint8_t((x * 3 + y) >> 4);
            row[1] = uint8_t((x ^ y) >> 3);
            row[2] = uint8_t((y * 5) >> 5);
        }
    }
    img.jpegQuality = 90;
    img.WriteFile(path, ImageKind::Jpeg);
}

}  // namespace quillet::bench
