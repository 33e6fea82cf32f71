#pragma once
// RaViruGIF: the GIF reader and writer. The reader walks the file's blocks, decodes the
// chosen image (and the images it is drawn over) with LZW and hands the picture over;
// the writer codes a picture of up to 8 bits per pixel as one GIF image.
#include <cstdint>
#include <memory>
#include <vector>

#include "image/RaViru.h"

namespace quillet {

class ByteStream;

// The graphic-control extension's four data bytes, as read or written.
struct GifGraphicControl {
    uint8_t packed = 0;  // bits 2-4 disposal, bit 0 transparent index present
    uint16_t delay = 0;  // hundredths of a second
    uint8_t transparent = 0;
};

// Buffered input over the stream: the reader works through a 16384-byte block so that
// the many length bytes of a GIF cost no stream call each.
struct GifInput {
    static constexpr size_t kSize = 16384;
    ByteStream* stream = nullptr;
    std::unique_ptr<uint8_t[]> buffer;
    size_t fill = 0;    // bytes in the buffer
    size_t pos = 0;     // next byte to hand out
    int64_t start = 0;  // stream offset of buffer[0]
    bool readError = false;

    void Attach(ByteStream& s);
    int64_t Tell() const { return start + int64_t(pos); }
    bool SeekTo(int64_t offset);  // drops the buffer
    int GetByte() { return pos < fill ? buffer[pos++] : Refill(); }
    size_t Read(uint8_t* out, size_t n);
    size_t Skip(size_t n);
    // Leaves the stream positioned at the next unread byte.
    void Release();

private:
    int Refill();
};

// LZW decoder state. Each string is kept as its length, its first byte and a place in the
// output where it already stands, so a code is expanded with one copy instead of a walk down
// a prefix chain.
struct GifLzwDecoder {
    int codeSize = 0;  // current code width in bits
    int clearCode = 0;
    int endCode = 0;
    int firstFree = 0;  // clear + 2
    int nextFree = 0;
    int topSlot = 0;  // 2^codeSize
    int badCodes = 0;
    uint8_t first[4096] = {};
    uint16_t length[4096] = {};
    uint32_t where[4096] = {};
    // Bit reservoir over the joined sub-block data.
    uint64_t bitBuffer = 0;
    int bitCount = 0;
};

// Row writer: places picture rows in file order, interlaced or not.
struct GifRowWriter {
    bool interlaced = false;
    int row = 0;  // picture row, counted from the top
    int step = 1;
    int height = 0;
    int pass = 0;

    void Start(int imageHeight, bool interlace);
    // The picture row for the next file row, or -1 when every row has been placed.
    int Next();
};

// LZW encoder state. The string table is open-addressed: each slot holds the string's key
// (pixel × 4096 + prefix code) in its high 20 bits and its code in the low 12; 0 marks an empty
// slot (no code below 6 is ever stored). 16384 slots keep the table at most a quarter full,
// so a look-up rarely probes more than once.
struct GifLzwEncoder {
    static constexpr int kTableBits = 14;
    static constexpr uint32_t kTableSize = 1u << kTableBits;
    static constexpr int kPacket = 254;
    uint32_t table[kTableSize];
    int codeWidth = 0;
    int initialWidth = 0;
    int maxCode = 0;
    int nextFree = 0;
    uint64_t accumulator = 0;
    int accumulatorBits = 0;
    int clearCode = 0;
    int endCode = 0;
    // Codes of the current row with their widths (code | width << 16), then packed bytes not
    // yet cut into packets of 254.
    std::vector<uint32_t> codes;
    std::vector<uint8_t> bytes;
    // Pixel cursor: column and picture row (from the top) of the next pixel.
    int column = 0;
    int row = 0;
};

class RaViruGIF : public RaViru {
public:
    RaViruGIF();
    ~RaViruGIF() override;

    // "GIF8".
    static bool Sniff(const uint8_t* head, size_t size);
    // The size of the picture frame `frameIndex` gives, and the number of frames.
    static Status Info(ByteStream& stream, int frameIndex, ImageInfo& info);

    // Image data that ends early leaves the rest of the picture white and reports it incomplete.
    Status Read(ByteStream& stream);
    Status Write(ByteStream& stream);  // writes this object's own picture
    // Writes `source`'s picture without copying it, with this object's extension settings.
    Status Write(ByteStream& stream, const RaViru& source);

    GifGraphicControl graphicControl;
    int disposal = 0;
    uint16_t loopCount = 0;
    char comment[256] = {};

private:
    struct ImageBlock;
    struct ScanResult;

    // Opens the stream: screen descriptor, global table, and a walk over every image.
    Status ReadScreen(ByteStream& stream, ScanResult& scan);
    bool ScanFrames(ScanResult& scan);
    Status ReadBlocks(int startFrame);
    bool ReadExtension();
    bool ReadImageDescriptor(ImageBlock& block);
    bool SkipSubBlocks();
    bool ReadColourTable(int entries, std::vector<Rgbquad>& table);
    Status DecodeImage(const ImageBlock& block, std::unique_ptr<uint8_t[]>& indices);
    // Decodes into out[0, total); out must have kDecodeSlack writable bytes beyond total.
    static constexpr size_t kDecodeSlack = 8;
    size_t DecodeLzw(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out, size_t total);
    Status StorePicture(const ImageBlock& block, const uint8_t* indices);
    void DrawOver(const ImageBlock& block, const uint8_t* indices);

    bool WriteLzw(ByteStream& stream, std::vector<uint8_t>& out, const RaViru& source);

    GifInput input_;
    std::unique_ptr<GifLzwDecoder> decoder_;
    GifRowWriter rows_;
    std::unique_ptr<GifLzwEncoder> encoder_;
    std::vector<Rgbquad> globalTable_;
    int frameTransparent_ = -1;  // the transparent index the next image's extension gave
    bool havePicture_ = false;
    uint64_t pixelsDecoded_ = 0;
    size_t rowsFromData_ = 0;  // picture rows of the last image that the data reached
    bool incomplete_ = false;  // some image decoded for this read ran out of data
};

}  // namespace quillet
