#pragma once
// What the VLR writer and reader agree on: versions, record lengths and the buffer sizes of a
// layer. A file is a header line "\n%d %d %d", the picture header, the flat block, and one entry
// per layer ("\n %d %d", record, pixels, alpha, effect plane, text of a text layer).
#include <cstddef>
#include <cstdint>

#include "document/Layer.h"

namespace quillet::vlr {

constexpr int kVersion = 41;  // the version this program writes
constexpr int kVersion362 = 362;
constexpr int kVersion36 = 36;
constexpr int kOldestPreviewVersion = 31;  // thumbnails read the flat block of any later version

// Shown when a file's version is not one the reader knows.
inline constexpr const char* kVersionRefused = "VLR 형식의 버전이 상이함";

// Record bytes stored per layer by a version; 0 for a version the reader does not know.
constexpr size_t RecordBytes(int version) {
    return version == kVersion      ? kLayerRecordBytes
           : version == kVersion362 ? 396
           : version == kVersion36  ? 384
                                    : 0;
}

// Version 36 stored no text settings; layers read from it get these.
constexpr int32_t kV36TextScale = 10;
constexpr int32_t kV36TextSettingB = 100;
constexpr int32_t kV36TextSettingC = 0;

// Layers may lie off the canvas, but not so far that canvas arithmetic on their position
// overflows: no canvas side exceeds 2^28, so 2^30 leaves room on every side.
constexpr int32_t kMaxLayerOffset = int32_t(1) << 30;
inline bool PositionAllowed(int32_t x, int32_t y) {
    return x >= -kMaxLayerOffset && x <= kMaxLayerOffset && y >= -kMaxLayerOffset &&
           y <= kMaxLayerOffset;
}

struct PlaneSizes {
    uint32_t stride = 0;
    uint32_t planeSize = 0;  // alpha plane and effect plane bytes
    uint32_t pixelSize = 0;
};

inline bool SupportedDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
}

// The sizes create layer gives a layer of this shape: a text layer holds one byte per pixel.
// False when the shape is empty, above the pixel limit, or its sizes do not fit 32 bits.
bool SizesFor(int bitsPerPixel, uint8_t kind, int width, int height, PlaneSizes& out);

}  // namespace quillet::vlr
