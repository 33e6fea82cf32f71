#pragma once
// PNG output through libpng, for thumbnails.
#include <string>

namespace quillet {
struct Picture32;
}

namespace quillet::cli {

// Writes the picture as 8-bit RGB, or RGBA when any pixel is not opaque. The target is replaced
// only when the whole file was written; false with a reason otherwise.
bool WritePng(const std::string& path, const Picture32& picture, std::string& error);

}  // namespace quillet::cli
