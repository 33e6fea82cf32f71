#pragma once
// Photoshop PSD files (read only): the flattened picture of the file's image data section,
// returned as a 24-bit image at 96 dpi. Layers are not read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/Status.h"
#include "image/ImageFormat.h"

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
// lastError changes. Pictures above image.pixelLimit are refused before anything is decoded.
int ReadPsd(const std::string& path, RaViru& image);
int ReadPsd(ByteStream& stream, RaViru& image);

// The same reader behind the codec interface (Codec.h).
bool SniffPsd(const uint8_t* head, size_t size);
Status ReadPsdInfo(ByteStream& stream, int frameIndex, ImageInfo& info);
Status DecodePsd(ByteStream& stream, RaViru& image);

}  // namespace quillet
