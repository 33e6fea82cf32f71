#include "image/RaViru.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstring>
#include <new>

#include "base/CheckedSize.h"

namespace quillet {

namespace {

// A large picture block is written once from end to end by its decoder: in large pages (where
// the system offers them on request) that costs a few hundred page faults fewer per megapixel.
void adviseLargePages(uint8_t* block, size_t bytes) {
#ifdef MADV_HUGEPAGE
    constexpr uintptr_t kHuge = uintptr_t(2) << 20;
    const uintptr_t first = (reinterpret_cast<uintptr_t>(block) + kHuge - 1) & ~(kHuge - 1);
    const uintptr_t last = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(kHuge - 1);
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}

}  // namespace

RaViru::RaViru(ImageKind kind) { Reset(kind); }

RaViru::RaViru(int width, int height, int bitCount, ImageKind kind) {
    Reset(kind);
    Allocate(width, height, bitCount, kind);
}

RaViru::RaViru(const std::string& path, ImageKind kind) {
    Reset(kind);
    ReadFile(path, kind);
}

RaViru::RaViru(const RaViru& source, bool copyPixels) {
    Reset(source.kind);
    CloneFrom(source, copyPixels);
}

RaViru::~RaViru() { Destroy(); }

void RaViru::Reset(ImageKind newKind) {
    dib_.reset();
    header = BitmapInfoHeader{};
    static_cast<RaViruInfo&>(*this) = RaViruInfo{};
    kind = newKind;
    pixelLimit = kMaxImagePixels;
    jpegQuality = 150;
    alphaMax = 255;
    transparentIndex = -1;
    enabled = true;
    SetHorizontalDpi(72);
    SetVerticalDpi(72);
}

void RaViru::Destroy() {
    dib_.reset();
    bits = nullptr;
}

void RaViru::SetError(const char* text) {
    std::strncpy(lastError, text, sizeof(lastError) - 1);
    lastError[sizeof(lastError) - 1] = '\0';
}

Status RaViru::Fail(StatusCode code, const char* text) {
    // The text may be lastError itself: the status takes its copy first.
    Status status(code, text);
    SetError(status.message());
    return status;
}

namespace {
// The depth a picture is kept at for a requested bit count: 1, 4, 8, 24 or 32.
int StoredDepth(int bitCount) {
    return bitCount <= 1 ? 1 : bitCount <= 4 ? 4 : bitCount <= 8 ? 8 : bitCount < 25 ? 24 : 32;
}
}  // namespace

void RaViru::TakeHeaderBlock(std::unique_ptr<uint8_t[]> block, int width, int height, int depth,
                             size_t row, ImageKind newKind) {
    const uint32_t paletteCount = depth <= 8 ? (1u << depth) : 0;
    dib_ = std::move(block);
    header = BitmapInfoHeader{};
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = uint16_t(depth);
    header.biSizeImage = uint32_t(row * size_t(height));
    header.biClrUsed = paletteCount;
    header.biXPelsPerMeter = dpiToPelsPerMeter(dpiX);
    header.biYPelsPerMeter = dpiToPelsPerMeter(dpiY);
    rowBytes = uint32_t(row);
    colourClass = depth <= 8 ? 1 : 2;
    kind = newKind;
    std::memcpy(dib_.get(), &header, sizeof(header));
    std::memset(dib_.get() + 40, 0, paletteCount * 4);
}

uint8_t* RaViru::Allocate(int width, int height, int bitCount, ImageKind newKind,
                          NewPixels pixels) {
    if (width <= 0 || height <= 0) return nullptr;
    if (!FitsPixelLimit(width, height)) {
        SetError("Image is larger than the pixel limit");
        return nullptr;
    }
    const int depth = StoredDepth(bitCount);
    const uint32_t paletteCount = depth <= 8 ? (1u << depth) : 0;
    const auto row = dibRowBytes(size_t(width), unsigned(depth));
    const auto pixelBytes = checkedMul(row, size_t(height));
    const auto total = checkedAdd(checkedAdd(pixelBytes, 40), paletteCount * 4);
    if (!total || *pixelBytes > UINT32_MAX) {
        SetError("Image is larger than the pixel limit");
        return nullptr;
    }
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[*total]);
    if (!block) {
        SetError("Not enough memory for the image");
        return nullptr;
    }
    adviseLargePages(block.get(), *total);
    TakeHeaderBlock(std::move(block), width, height, depth, *row, newKind);
    bits = dib_.get() + 40 + paletteCount * 4;
    if (pixels == NewPixels::White) {
        std::memset(bits, 255, *pixelBytes);
    } else if (const size_t used = (size_t(width) * size_t(depth) + 7) / 8; used < *row) {
        for (int y = 0; y < height; ++y) std::memset(Row(y) + used, 255, *row - used);
    }
    return dib_.get();
}

Status RaViru::AllocatePicture(int width, int height, int bitCount, ImageKind newKind,
                               NewPixels pixels) {
    if (width <= 0 || height <= 0) return Fail(StatusCode::Corrupt, "Image has no pixels");
    if (Allocate(width, height, bitCount, newKind, pixels)) return {};
    return Status(FitsPixelLimit(width, height) ? StatusCode::OutOfMemory : StatusCode::TooLarge,
                  lastError);
}

size_t RaViru::TotalSize() const { return 40 + PaletteBytes() + header.biSizeImage; }

Rgbquad* RaViru::PaletteBase() {
    return dib_ && header.biClrUsed ? reinterpret_cast<Rgbquad*>(dib_.get() + 40) : nullptr;
}
const Rgbquad* RaViru::PaletteBase() const {
    return dib_ && header.biClrUsed ? reinterpret_cast<const Rgbquad*>(dib_.get() + 40) : nullptr;
}
uint8_t* RaViru::PixelBase() { return dib_ ? dib_.get() + 40 + PaletteBytes() : nullptr; }
const uint8_t* RaViru::PixelBase() const {
    return dib_ ? dib_.get() + 40 + PaletteBytes() : nullptr;
}

void RaViru::CloneFrom(const RaViru& source, bool copyPixels) {
    if (this == &source) return;
    static_cast<RaViruInfo&>(*this) = source;
    bits = nullptr;
    dib_.reset();
    if (!source.dib_) {
        header = source.header;
        return;
    }
    if (copyPixels) {
        CopyBlockFrom(source);
        header = source.header;
        return;
    }
    if (!Allocate(source.Width(), source.Height(), source.BitCount(), source.kind)) return;
    const size_t paletteBytes = std::min(PaletteBytes(), source.PaletteBytes());
    std::memcpy(dib_.get() + 40, source.dib_.get() + 40, std::min<size_t>(paletteBytes, 1024));
    std::memcpy(bits, source.bits, header.biSizeImage);
}

void RaViru::AdoptFrom(RaViru& other) {
    if (this == &other) return;
    header = other.header;
    static_cast<RaViruInfo&>(*this) = other;
    // The codec's block moves over whole: no copy of the pixels is needed.
    dib_ = std::move(other.dib_);
    bits = dib_ ? dib_.get() + 40 + PaletteBytes() : nullptr;
    other.Destroy();
}

std::unique_ptr<uint8_t[]> RaViru::ReleaseBlock(size_t& pixelOffset) {
    pixelOffset = dib_ && bits ? size_t(bits - dib_.get()) : 0;
    bits = nullptr;
    return std::move(dib_);
}

void RaViru::ShareHeaderFrom(const RaViru& other) {
    if (this == &other) return;
    header = other.header;
    static_cast<RaViruInfo&>(*this) = other;
    if (!dib_ && other.dib_) {
        CopyBlockFrom(other);
        return;
    }
    bits = dib_ ? dib_.get() + 40 + PaletteBytes() : nullptr;
}

// Header and palette come from the other block, the rows from where its rows are (its block, or
// the rows it borrows).
void RaViru::CopyBlockFrom(const RaViru& other) {
    dib_.reset();
    bits = nullptr;
    if (!other.dib_) return;
    const size_t head = 40 + other.PaletteBytes();
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[other.TotalSize()]);
    if (!block) {
        SetError("Not enough memory for the image");
        return;
    }
    std::memcpy(block.get(), other.dib_.get(), head);
    if (other.bits) std::memcpy(block.get() + head, other.bits, other.header.biSizeImage);
    dib_ = std::move(block);
    bits = dib_.get() + head;
}

Status RaViru::BorrowRows(const uint8_t* rows, int width, int height, int bitCount,
                          ImageKind newKind) {
    if (!rows || width <= 0 || height <= 0) return Fail(StatusCode::Failed, "Image has no pixels");
    if (!FitsPixelLimit(width, height))
        return Fail(StatusCode::TooLarge, "Image is larger than the pixel limit");
    const int depth = StoredDepth(bitCount);
    const uint32_t paletteCount = depth <= 8 ? (1u << depth) : 0;
    const size_t row = *dibRowBytes(size_t(width), unsigned(depth));
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[40 + paletteCount * 4]);
    if (!block) return Fail(StatusCode::OutOfMemory, "Not enough memory for the image");
    TakeHeaderBlock(std::move(block), width, height, depth, row, newKind);
    // Writers only read the rows; the image never writes through this pointer.
    bits = const_cast<uint8_t*>(rows);
    return {};
}

void RaViru::SetHorizontalDpi(int dpi) {
    dpiX = dpi;
    header.biXPelsPerMeter = dpiToPelsPerMeter(dpi);
    if (dib_)
        reinterpret_cast<BitmapInfoHeader*>(dib_.get())->biXPelsPerMeter = header.biXPelsPerMeter;
}

void RaViru::SetVerticalDpi(int dpi) {
    dpiY = dpi;
    header.biYPelsPerMeter = dpiToPelsPerMeter(dpi);
    if (dib_)
        reinterpret_cast<BitmapInfoHeader*>(dib_.get())->biYPelsPerMeter = header.biYPelsPerMeter;
}

}  // namespace quillet
