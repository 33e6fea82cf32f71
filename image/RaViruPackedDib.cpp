// Packed DIB transfer: the bytes that travel through the clipboard and drag and drop.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/CheckedSize.h"
#include "image/RaViru.h"

namespace quillet {

namespace {
constexpr int32_t kMarkerWholeLayer = -2;
constexpr int32_t kMarkerCopy = -3;

void copyBits(const uint8_t* src, int srcX, uint8_t* dst, int width, int bitCount) {
    if (bitCount >= 8) {
        const int bytes = bitCount / 8;
        std::memcpy(dst, src + size_t(srcX) * bytes, size_t(width) * bytes);
        return;
    }
    // Sub-byte pixels: move one pixel at a time (regions rarely start on a byte boundary).
    const int perByte = 8 / bitCount;
    const int mask = (1 << bitCount) - 1;
    for (int x = 0; x < width; ++x) {
        const int sx = srcX + x;
        const int sShift = (perByte - 1 - sx % perByte) * bitCount;
        const int v = (src[sx / perByte] >> sShift) & mask;
        const int dShift = (perByte - 1 - x % perByte) * bitCount;
        dst[x / perByte] = uint8_t((dst[x / perByte] & ~(mask << dShift)) | (v << dShift));
    }
}
}  // namespace

std::vector<uint8_t> RaViru::ToPackedDib(const PackedDibSource& s, DibRect r) {
    if (!s.rows || s.width <= 0 || s.height <= 0) return {};
    const bool whole = r.left < 0;
    int left = 0, bottomRow = 0, width = s.width, height = s.height;
    int bitCount = s.bitCount;
    if (whole) {
        if (bitCount >= 24) bitCount = 32;
    } else {
        left = std::max(0, r.left);
        bottomRow = std::max(0, r.top);
        width = std::min(r.right, s.width - 1) - left + 1;
        height = std::min(r.bottom, s.height - 1) - bottomRow + 1;
        if (width <= 0 || height <= 0) return {};
    }
    const int paletteCount = bitCount <= 8 ? s.paletteCount : 0;
    const size_t rowBytes = *dibRowBytes(size_t(width), unsigned(bitCount));
    BitmapInfoHeader h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = uint16_t(bitCount);
    h.biSizeImage = uint32_t(rowBytes * size_t(height));
    h.biXPelsPerMeter = (whole && bitCount == 32) ? kMarkerWholeLayer : kMarkerCopy;
    h.biClrUsed = uint32_t(paletteCount);
    std::vector<uint8_t> out(40 + size_t(paletteCount) * 4 + h.biSizeImage, 0);
    std::memcpy(out.data(), &h, 40);
    if (paletteCount && s.palette)
        std::memcpy(out.data() + 40, s.palette, size_t(paletteCount) * 4);
    uint8_t* dst = out.data() + 40 + size_t(paletteCount) * 4;
    for (int y = 0; y < height; ++y, dst += rowBytes) {
        const uint8_t* src = s.rows + size_t(bottomRow + y) * s.rowBytes;
        if (whole && bitCount == 32) {
            const int srcBytes = s.bitCount / 8;
            const uint8_t* alpha = s.alpha ? s.alpha + size_t(y) * s.width : nullptr;
            for (int x = 0; x < width; ++x) {
                uint8_t* d = dst + size_t(x) * 4;
                if (!s.textLayer) std::memcpy(d, src + size_t(x) * srcBytes, 3);
                d[3] = alpha ? alpha[x] : 255;
            }
        } else {
            copyBits(src, left, dst, width, bitCount);
        }
    }
    return out;
}

std::vector<uint8_t> RaViru::ToPackedDib(DibRect rect) const {
    if (!dib_) return {};
    PackedDibSource s;
    s.width = Width();
    s.height = Height();
    s.bitCount = BitCount();
    s.rows = bits;
    s.rowBytes = rowBytes;
    s.palette = PaletteBase();
    s.paletteCount = PaletteCount();
    return ToPackedDib(s, rect);
}

Status RaViru::FromPackedDib(const uint8_t* data, size_t size, bool checkDepth,
                             PackedDibInfo* info) {
    if (!data || size < 40) return Fail(StatusCode::Truncated, "The bitmap is too short");
    BitmapInfoHeader h;
    std::memcpy(&h, data, 40);
    const int32_t marker = h.biXPelsPerMeter;
    const int bitCount = h.biBitCount;
    if (checkDepth && marker != kMarkerWholeLayer && marker != kMarkerCopy && bitCount != 24 &&
        bitCount != 32) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "디스플레이 설정이 32비트 True Color 인지 확인 (현재 %d 비트)", bitCount);
        // The caller shows the text; the image keeps its own shorter reason.
        SetError("Unsupported bitmap depth");
        return Status(StatusCode::Unsupported, text);
    }
    const bool topDown = h.biHeight < 0;
    const int64_t height = topDown ? -int64_t(h.biHeight) : h.biHeight;
    const bool supportedDepth =
        bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24 || bitCount == 32;
    // Bit fields are accepted only where they describe the ordinary byte order.
    const bool plainFields = h.biCompression == 3 && bitCount == 32;
    if (h.biSize < 40 || h.biWidth <= 0 || height <= 0 || !supportedDepth ||
        (h.biCompression != 0 && !plainFields) || !FitsPixelLimit(h.biWidth, height)) {
        return Fail(StatusCode::Corrupt, "Unsupported bitmap format");
    }
    const uint32_t paletteCount =
        bitCount <= 8 ? (h.biClrUsed ? h.biClrUsed : (1u << bitCount)) : 0;
    if (paletteCount > (1u << (bitCount <= 8 ? bitCount : 0))) {
        return Fail(StatusCode::Corrupt, "Bitmap palette is larger than its depth allows");
    }
    const size_t masks = (h.biCompression == 3 && h.biSize == 40) ? 12 : 0;
    const size_t rowBytes = *dibRowBytes(size_t(h.biWidth), unsigned(bitCount));
    const auto pixelStart = checkedAdd(checkedAdd(size_t(h.biSize), masks), paletteCount * 4);
    const auto end = checkedAdd(pixelStart, rowBytes * size_t(height));
    if (!end || *end > size) {
        return Fail(StatusCode::Truncated, "The bitmap is shorter than its header says");
    }
    RaViru result(ImageKind::Jpeg);
    if (!result.Allocate(h.biWidth, int(height), bitCount, ImageKind::Jpeg))
        return Fail(StatusCode::OutOfMemory, result.lastError);
    if (paletteCount) {
        std::memcpy(result.PaletteBase(), data + h.biSize + masks, paletteCount * 4);
    }
    const uint8_t* src = data + *pixelStart;
    for (int64_t y = 0; y < height; ++y) {
        const int64_t from = topDown ? height - 1 - y : y;
        std::memcpy(result.Row(int(y)), src + size_t(from) * rowBytes, rowBytes);
    }
    if (h.biXPelsPerMeter > 0) result.SetHorizontalDpi(pelsPerMeterToDpi(h.biXPelsPerMeter));
    if (h.biYPelsPerMeter > 0) result.SetVerticalDpi(pelsPerMeterToDpi(h.biYPelsPerMeter));
    // The marker stays in the header so that the paste side can read it back.
    result.header.biXPelsPerMeter = h.biXPelsPerMeter;
    std::memcpy(result.Dib(), &result.header, 40);
    AdoptFrom(result);
    if (info) {
        info->marker = marker;
        info->header = h;
    }
    return {};
}

}  // namespace quillet
