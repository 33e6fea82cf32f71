#pragma once
// ImageMagick's convert as an independent reader and writer of picture files.
#include <cstdint>
#include <string>
#include <vector>

namespace quillet::testsupport {

bool haveConvert();

// Standard output of a shell command (empty when it cannot start).
std::vector<uint8_t> capture(const std::string& command);
std::string captureText(const std::string& command);

// ImageMagick's reading of a file: 8-bit red, green, blue per pixel, top row first, of the first
// picture only (convert also returns the layers of a PSD and the pages of a TIFF or GIF). A name
// that already ends in a "[N]" frame selector is used as it is.
std::vector<uint8_t> magickRgb(const std::string& file);

}  // namespace quillet::testsupport
