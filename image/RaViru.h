#pragma once
// RaViru: the one in-memory raster image. A packed DIB block (40-byte header, palette,
// bottom-up rows) plus the bookkeeping the codecs, the document and the tools need.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Status.h"
#include "image/BitmapInfo.h"
#include "image/ImageFormat.h"

namespace quillet {

class ByteStream;

// The info block: copied as one unit whenever an image is cloned.
struct RaViruInfo {
    uint8_t* bits;      // first pixel row (the bottom one) inside the block
    uint32_t rowBytes;  // ((bitCount × width + 31) / 32) × 4
    ImageKind kind;
    uint8_t colourClass;  // 1 indexed (≤ 8 bits), 2 true colour
    char lastError[256];
    int32_t progress;
    int32_t transparentIndex;  // -1 = none
    Rgbquad transparentColour;
    uint8_t jpegQuality;
    int32_t frameIndex;
    int32_t frameCount;
    uint16_t frameDelay;
    int32_t dpiX;
    int32_t dpiY;
    uint8_t alphaMax;
    bool alphaPaletteOn;
    bool enabled;
    int32_t offsetX;
    int32_t offsetY;
};

// A region in DIB rows: left..right and top..bottom inclusive, rows counted from the bottom.
struct DibRect {
    int left = -1, top = -1, right = -1, bottom = -1;
};

// What a packed DIB transfer reads from a layer: its pixels and, for true colour, its alpha plane.
struct PackedDibSource {
    int width = 0;
    int height = 0;
    int bitCount = 24;
    const uint8_t* rows = nullptr;  // bottom-up, rowBytes apart
    size_t rowBytes = 0;
    const Rgbquad* palette = nullptr;
    int paletteCount = 0;
    const uint8_t* alpha = nullptr;  // width × height bytes, bottom-up; null = opaque
    bool textLayer = false;          // colour 0 with the alpha byte only
};

// What FromPackedDib learned besides the pixels.
struct PackedDibInfo {
    int32_t marker = 0;  // biXPelsPerMeter as found: -2 whole true-colour layer, -3 other copy
    BitmapInfoHeader header;
};

// What a new block's pixels hold: white, or nothing in particular for a decoder that writes
// every row at once (the bytes that pad a row to its four-byte boundary are still white).
enum class NewPixels : uint8_t { White, Unset };

class RaViru : public RaViruInfo {
public:
    BitmapInfoHeader header;

    explicit RaViru(ImageKind kind = ImageKind::Unknown);
    RaViru(int width, int height, int bitCount, ImageKind kind);
    RaViru(const std::string& path, ImageKind kind);
    RaViru(const RaViru& source, bool copyPixels);
    virtual ~RaViru();
    RaViru(const RaViru&) = delete;
    RaViru& operator=(const RaViru&) = delete;

    void Destroy();

    // Block and shape.
    uint8_t* Allocate(int width, int height, int bitCount, ImageKind kind,
                      NewPixels pixels = NewPixels::White);
    // Allocate for a reader: a failure comes back as TooLarge or OutOfMemory with lastError.
    Status AllocatePicture(int width, int height, int bitCount, ImageKind kind,
                           NewPixels pixels = NewPixels::White);
    // An image to be written whose pixel rows (bottom-up, rowBytes apart) live elsewhere, such
    // as a layer's buffer: the block holds only the header and a zeroed palette, and nothing is
    // copied. The rows are only read, and must outlive the image.
    Status BorrowRows(const uint8_t* rows, int width, int height, int bitCount, ImageKind kind);
    bool HasBlock() const { return dib_ != nullptr; }
    uint8_t* Dib() { return dib_.get(); }
    const uint8_t* Dib() const { return dib_.get(); }
    size_t TotalSize() const;
    size_t PaletteBytes() const { return size_t(header.biClrUsed) * 4; }
    Rgbquad* PaletteBase();
    const Rgbquad* PaletteBase() const;
    uint8_t* PixelBase();
    const uint8_t* PixelBase() const;
    int Width() const { return header.biWidth; }
    int Height() const { return header.biHeight; }
    int BitCount() const { return header.biBitCount; }
    int PaletteCount() const { return int(header.biClrUsed); }
    uint8_t* Row(int y) { return bits + size_t(y) * rowBytes; }
    const uint8_t* Row(int y) const { return bits + size_t(y) * rowBytes; }

    void CloneFrom(const RaViru& source, bool copyPixels);
    void AdoptFrom(RaViru& other);
    // Hands the block over whole, so that its pixels can live on elsewhere without a copy; the
    // pixel rows start `pixelOffset` bytes in. The image keeps its description, as after
    // Destroy().
    std::unique_ptr<uint8_t[]> ReleaseBlock(size_t& pixelOffset);
    void ShareHeaderFrom(const RaViru& other);

    // Pixels and palette; (x, y) with y counted from the bottom row.
    uint32_t PixelIndexAt(int x, int y) const;
    uint32_t PixelColorAt(int x, int y) const;
    void PutPixelColor(int x, int y, uint32_t colour, int size = 1);
    Rgbquad PaletteEntry(int index) const;
    void SetPaletteEntry(int index, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 0);
    void SetPaletteEntry(int index, uint32_t colour);
    void SetPaletteFromArrays(int count, const uint8_t* red, const uint8_t* green,
                              const uint8_t* blue);
    void SetPaletteFromQuads(const Rgbquad* quads, int count);
    void MakeGreyPalette();
    int NearestPaletteIndex(uint32_t colour) const;
    bool HasGreyPalette() const;
    void SwapRedBlueRow(uint8_t* row, size_t length) const;
    void SetHorizontalDpi(int dpi);
    void SetVerticalDpi(int dpi);
    void RowFromPacked(const uint8_t* source, uint32_t redMask, uint32_t greenMask,
                       uint32_t blueMask, int bitCount);

    // Packed DIB transfer (clipboard and drag). A rectangle with left < 0 means the whole image.
    static std::vector<uint8_t> ToPackedDib(const PackedDibSource& source, DibRect rect = {});
    std::vector<uint8_t> ToPackedDib(DibRect rect = {}) const;
    // A foreign bitmap of a depth other than 24 or 32 is refused (when `checkDepth` is set)
    // as Unsupported, with the text the user is to be shown as the status message. Data that
    // cannot be read is refused as Corrupt or Truncated.
    Status FromPackedDib(const uint8_t* data, size_t size, bool checkDepth,
                         PackedDibInfo* info = nullptr);

    // Files, streams and resources. Every failure also leaves its text in lastError; a read
    // that fails leaves the image as it was. An incomplete picture is read and reported.
    Status ReadFile(const std::string& path, ImageKind kind);
    Status WriteFile(const std::string& path, ImageKind kind);
    Status Decode(ByteStream& stream, ImageKind kind);
    Status Encode(ByteStream& stream, ImageKind kind);
    // The header of page or frame `frameIndex` without decoding pixels; a named kind that does
    // not recognise the data is followed by the others, as ReadFile does.
    Status ReadFileInfo(const std::string& path, ImageKind kind, ImageInfo& info);
    Status DecodeInfo(ByteStream& stream, ImageKind kind, ImageInfo& info);
    // Decodes a picture built into the program (EmbeddedResources.h).
    Status ReadResource(const std::string& name, ImageKind kind);

    void SetError(const char* text);
    void SetError(const std::string& text) { SetError(text.c_str()); }
    // Sets lastError and returns the same text as a failed status.
    Status Fail(StatusCode code, const char* text);
    Status Fail(StatusCode code, const std::string& text) { return Fail(code, text.c_str()); }
    Status Fail(Status status) {
        SetError(status.message());
        return status;
    }

    // Reads refuse pictures above this many pixels before decoding them (kMaxImagePixels
    // always applies). A setting of the reader, not of the picture: never copied.
    uint64_t pixelLimit = kMaxImagePixels;

private:
    void Reset(ImageKind kind);
    // The header, palette and rows of `other` in a block of this image's own.
    void CopyBlockFrom(const RaViru& other);
    Status DecodeKind(ByteStream& stream, ImageKind kind);
    // Makes `block` this image's header and cleared palette for a picture of the given shape;
    // the caller points `bits` at the rows.
    void TakeHeaderBlock(std::unique_ptr<uint8_t[]> block, int width, int height, int depth,
                         size_t row, ImageKind kind);

    std::unique_ptr<uint8_t[]> dib_;
};

}  // namespace quillet
