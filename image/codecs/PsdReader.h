#pragma once
// Photoshop PSD files (read only): the flattened picture of the file's image data section,
// returned as a 24-bit image at 96 dpi. Layers are not read.
#include <string>

namespace quillet {

class ByteStream;
class RaViru;

namespace PsdResult {
constexpr int Ok = 0;
constexpr int CannotOpen = -1;
constexpr int NotPsd = 254;
constexpr int ColourModeUnreadable = 253;
constexpr int HeaderFailed = -2;
constexpr int ColourModeFailed = -3;
constexpr int ResourcesFailed = -4;
constexpr int ImageDataFailed = -6;
constexpr int DepthOne = -7;
constexpr int DepthUnsupported = -8;
constexpr int BitmapFailed = -9;
constexpr int Zip = -10;
constexpr int ZipPrediction = -11;
constexpr int CompressionUnknown = -12;
}  // namespace PsdResult

// Both return a PsdResult code. On success `image` holds the picture; otherwise only its
// lastError changes.
int ReadPsd(const std::string& path, RaViru& image);
int ReadPsd(ByteStream& stream, RaViru& image);

}  // namespace quillet
