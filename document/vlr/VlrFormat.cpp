#include "document/vlr/VlrFormat.h"

#include "document/PictureHeader.h"
#include "image/RaViru.h"

namespace quillet::vlr {

bool SizesFor(int bitsPerPixel, uint8_t kind, int width, int height, PlaneSizes& out) {
    if (width < 1 || height < 1 || !SupportedDepth(bitsPerPixel)) return false;
    if (!FitsPixelLimit(width, height)) return false;
    const uint64_t plane = uint64_t(width) * uint64_t(height);
    const uint64_t stride =
        kind == LayerKind::Text ? uint64_t(width) : StrideFor(bitsPerPixel, width);
    const uint64_t pixels = stride * uint64_t(height);
    if (pixels > UINT32_MAX) return false;
    out.stride = uint32_t(stride);
    out.planeSize = uint32_t(plane);
    out.pixelSize = uint32_t(pixels);
    return true;
}

}  // namespace quillet::vlr
