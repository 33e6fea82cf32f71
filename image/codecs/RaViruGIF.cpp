// GIF reader: screen descriptor, colour tables, extensions, frames and disposal.
#include "image/codecs/RaViruGIF.h"

#include <algorithm>
#include <cstring>

#include "base/CheckedSize.h"
#include "image/ByteStream.h"

namespace quillet {

namespace {
// All images decoded for one read together may not exceed this many pixels: a tiny file can
// claim thousands of large frames that are each drawn over the last.
constexpr uint64_t kMaxDecodedPixels = 8 * kMaxImagePixels;

constexpr Rgbquad kWhite{255, 255, 255, 0};

int depthForTable(size_t entries) { return entries <= 2 ? 1 : entries <= 16 ? 4 : 8; }
uint8_t maskForDepth(int depth) { return depth == 1 ? 0x01 : depth == 4 ? 0x0F : 0xFF; }
}  // namespace

struct RaViruGIF::ImageBlock {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    std::vector<Rgbquad> localTable;
    bool hasLocalTable = false;
};

struct RaViruGIF::ScanResult {
    struct Frame {
        uint8_t disposal;  // the disposal field the image was given
        int width, height;
        int depth;  // of the picture its colour table gives
    };
    std::vector<Frame> frames;
    int64_t afterTable = 0;  // where the blocks start
};

RaViruGIF::RaViruGIF() : RaViru(ImageKind::Gif) {}
RaViruGIF::~RaViruGIF() = default;

bool RaViruGIF::Sniff(const uint8_t* head, size_t size) {
    return size >= 4 && std::memcmp(head, "GIF8", 4) == 0;
}

Status RaViruGIF::ReadScreen(ByteStream& stream, ScanResult& scan) {
    input_.Attach(stream);
    uint8_t screen[13];
    if (input_.Read(screen, 13) != 13) return {StatusCode::Truncated, "Can't read GIF header"};
    if (std::memcmp(screen, "GIF8", 4) != 0) return {StatusCode::UnknownFormat, "Not a GIF file"};
    const uint8_t packed = screen[10];
    globalTable_.clear();
    if ((packed & 0x80) && !ReadColourTable(2 << (packed & 7), globalTable_))
        return {StatusCode::Truncated, "GIF colour table is truncated"};
    scan.afterTable = input_.Tell();
    ScanFrames(scan);
    frameCount = int32_t(scan.frames.size());
    if (frameCount == 0) return {StatusCode::Corrupt, "GIF file holds no image"};
    return {};
}

Status RaViruGIF::Info(ByteStream& stream, int frameIndex, ImageInfo& info) {
    RaViruGIF codec;
    ScanResult scan;
    Status status = codec.ReadScreen(stream, scan);
    codec.input_.Release();
    if (!status) return status;
    if (frameIndex < 0 || frameIndex >= codec.frameCount) return {StatusCode::Failed, ""};
    int start = frameIndex;
    while (start > 0 && scan.frames[size_t(start)].disposal == 1) --start;
    const ScanResult::Frame& f = scan.frames[size_t(start)];
    info.kind = ImageKind::Gif;
    info.width = f.width;
    info.height = f.height;
    info.bitCount = f.depth;
    info.frameCount = codec.frameCount;
    // The decoded indices, and their interlaced order, of the largest image decoded.
    uint64_t largest = 0;
    for (int i = start; i <= frameIndex; ++i)
        largest = std::max(largest, uint64_t(scan.frames[size_t(i)].width) *
                                        uint64_t(scan.frames[size_t(i)].height));
    info.workBytes = largest * 2 + GifInput::kSize;
    if (!FitsPixelLimit(f.width, f.height))
        return {StatusCode::TooLarge, "GIF image is larger than the pixel limit"};
    return {};
}

Status RaViruGIF::Read(ByteStream& stream) {
    ScanResult scan;
    if (Status status = ReadScreen(stream, scan); !status) {
        input_.Release();
        return Fail(status);
    }
    if (frameIndex < 0 || frameIndex >= frameCount) {
        input_.Release();
        return Fail(StatusCode::Failed, "");  // a frame that is not there: no message
    }

    // Images before the chosen one matter only while each later one is drawn over them.
    int startFrame = frameIndex;
    while (startFrame > 0 && scan.frames[size_t(startFrame)].disposal == 1) --startFrame;

    if (!input_.SeekTo(scan.afterTable)) {
        input_.Release();
        return Fail(StatusCode::IoError, "Can't seek in GIF file");
    }
    graphicControl = {};
    disposal = 0;
    frameDelay = 0;
    frameTransparent_ = -1;
    havePicture_ = false;
    pixelsDecoded_ = 0;
    incomplete_ = false;
    Status status = ReadBlocks(startFrame);
    input_.Release();
    return status;
}

bool RaViruGIF::ReadColourTable(int entries, std::vector<Rgbquad>& table) {
    uint8_t rgb[256 * 3];
    if (input_.Read(rgb, size_t(entries) * 3) != size_t(entries) * 3) return false;
    table.resize(size_t(entries));
    for (int i = 0; i < entries; ++i) {
        table[size_t(i)] = {rgb[i * 3 + 2], rgb[i * 3 + 1], rgb[i * 3], 0};
    }
    return true;
}

bool RaViruGIF::SkipSubBlocks() {
    for (;;) {
        const int len = input_.GetByte();
        if (len < 0) return false;
        if (len == 0) return true;
        if (input_.Skip(size_t(len)) != size_t(len)) return false;
    }
}

bool RaViruGIF::ReadExtension() {
    const int label = input_.GetByte();
    if (label < 0) return false;
    int size = input_.GetByte();
    if (size < 0) return false;
    if (size == 0) return true;  // the first length byte already ends the extension
    switch (label) {
        case 0xF9: {
            uint8_t record[4] = {};
            const size_t n = std::min<size_t>(size_t(size), 4);
            if (input_.Read(record, n) != n) return false;
            if (input_.Skip(size_t(size) - n) != size_t(size) - n) return false;
            graphicControl = {record[0], uint16_t(record[1] | (record[2] << 8)), record[3]};
            // The record governs the next image only.
            frameTransparent_ = (record[0] & 1) ? record[3] : -1;
            frameDelay = graphicControl.delay;
            disposal = (record[0] >> 2) & 7;
            break;
        }
        case 0xFE: {
            if (input_.Read(reinterpret_cast<uint8_t*>(comment), size_t(size)) != size_t(size)) {
                return false;
            }
            comment[size] = '\0';
            break;
        }
        case 0xFF: {
            if (size != 11) {
                if (input_.Skip(size_t(size)) != size_t(size)) return false;
                break;
            }
            uint8_t name[11];
            if (input_.Read(name, 11) != 11) return false;
            size = input_.GetByte();
            if (size < 0) return false;
            if (size == 0) return true;
            if (size == 3) {
                uint8_t loop[3];
                if (input_.Read(loop, 3) != 3) return false;
                loopCount = uint16_t(loop[1] | (loop[2] << 8));
            } else if (input_.Skip(size_t(size)) != size_t(size)) {
                return false;  // other applications' data (XMP, colour profiles): passed over
            }
            break;
        }
        default:
            if (input_.Skip(size_t(size)) != size_t(size)) return false;
            break;
    }
    return SkipSubBlocks();
}

bool RaViruGIF::ReadImageDescriptor(ImageBlock& block) {
    uint8_t d[9];
    if (input_.Read(d, 9) != 9) return false;
    block.left = d[0] | (d[1] << 8);
    block.top = d[2] | (d[3] << 8);
    block.width = d[4] | (d[5] << 8);
    block.height = d[6] | (d[7] << 8);
    block.interlaced = (d[8] & 0x40) != 0;
    block.hasLocalTable = (d[8] & 0x80) != 0;
    if (block.hasLocalTable && !ReadColourTable(2 << (d[8] & 7), block.localTable)) return false;
    return true;
}

bool RaViruGIF::ScanFrames(ScanResult& scan) {
    for (;;) {
        const int c = input_.GetByte();
        if (c == '!') {
            if (!ReadExtension()) return false;
            continue;
        }
        if (c != ',') return c == ';';
        ImageBlock block;
        if (!ReadImageDescriptor(block)) return false;
        const size_t entries = block.hasLocalTable ? block.localTable.size() : globalTable_.size();
        scan.frames.push_back(
            {uint8_t(disposal), block.width, block.height, depthForTable(entries)});
        disposal = 0;
        if (input_.GetByte() < 0 || !SkipSubBlocks()) return false;
    }
}

Status RaViruGIF::ReadBlocks(int startFrame) {
    int frame = 0;
    std::unique_ptr<uint8_t[]> indices;
    for (;;) {
        const int c = input_.GetByte();
        if (c == '!') {
            if (!ReadExtension()) break;
            continue;
        }
        if (c != ',') break;
        ImageBlock block;
        if (!ReadImageDescriptor(block)) break;
        if (frame < startFrame) {
            if (input_.GetByte() < 0 || !SkipSubBlocks()) break;
        } else {
            if (Status status = DecodeImage(block, indices); !status) return status;
            const bool drawOver = havePicture_ && disposal == 1;
            if (drawOver) {
                DrawOver(block, indices.get());
            } else if (Status status = StorePicture(block, indices.get()); !status) {
                return status;
            }
            havePicture_ = true;
            if (frame == frameIndex) {
                if (incomplete_)
                    return Status::Incomplete(
                        "GIF image data ends early: the picture is incomplete");
                return {};
            }
        }
        frameTransparent_ = -1;
        disposal = 0;
        ++frame;
    }
    if (input_.readError) return Fail(StatusCode::IoError, "Error reading GIF file");
    return Fail(StatusCode::Truncated, "GIF file is truncated");
}

Status RaViruGIF::DecodeImage(const ImageBlock& block, std::unique_ptr<uint8_t[]>& indices) {
    const int minCodeSize = input_.GetByte();
    if (minCodeSize < 0) return Fail(StatusCode::Truncated, "GIF image data is missing");
    if (minCodeSize < 2 || minCodeSize > 9) return Fail(StatusCode::Corrupt, "Bad GIF code size");
    if (!FitsPixelLimit(block.width, block.height, pixelLimit))
        return Fail(StatusCode::TooLarge, "GIF image is larger than the pixel limit");
    const uint64_t pixels = uint64_t(block.width) * uint64_t(block.height);
    pixelsDecoded_ += pixels;
    if (pixelsDecoded_ > kMaxDecodedPixels)
        return Fail(StatusCode::TooLarge, "GIF frames together exceed the pixel limit");

    // The sub-blocks are joined first so the decoder runs over one plain run of bytes.
    std::vector<uint8_t> data;
    for (;;) {
        const int len = input_.GetByte();
        if (len <= 0) break;
        const size_t at = data.size();
        data.resize(at + size_t(len));
        const size_t got = input_.Read(data.data() + at, size_t(len));
        if (got != size_t(len)) {
            data.resize(at + got);
            break;
        }
    }
    if (input_.readError) return Fail(StatusCode::IoError, "Error reading GIF file");

    const size_t total = size_t(pixels);
    std::unique_ptr<uint8_t[]> decoded(new (std::nothrow) uint8_t[total + kDecodeSlack]);
    if (!decoded) return Fail(StatusCode::OutOfMemory, "Not enough memory for the GIF image");
    const size_t got = DecodeLzw(data.data(), data.size(), minCodeSize, decoded.get(), total);
    if (got < total) incomplete_ = true;
    // Pixels the data did not reach keep the white fill of a new picture.
    std::memset(decoded.get() + got, 0xFF, total - got);
    rowsFromData_ =
        block.interlaced || block.width == 0
            ? size_t(block.height)
            : std::min(size_t(block.height), (got + size_t(block.width) - 1) / size_t(block.width));

    if (!block.interlaced) {
        indices = std::move(decoded);
        return {};
    }
    indices.reset(new (std::nothrow) uint8_t[total]);
    if (!indices) return Fail(StatusCode::OutOfMemory, "Not enough memory for the GIF image");
    rows_.Start(block.height, true);
    const size_t w = size_t(block.width);
    for (int fileRow = 0; fileRow < block.height; ++fileRow) {
        const int y = rows_.Next();
        if (y < 0) break;
        std::memcpy(indices.get() + size_t(y) * w, decoded.get() + size_t(fileRow) * w, w);
    }
    return {};
}

Status RaViruGIF::StorePicture(const ImageBlock& block, const uint8_t* indices) {
    if (block.width == 0 || block.height == 0)
        return Fail(StatusCode::Corrupt, "GIF image has no pixels");
    const std::vector<Rgbquad>& table = block.hasLocalTable ? block.localTable : globalTable_;
    const int depth = depthForTable(table.size());
    if (!Allocate(block.width, block.height, depth, ImageKind::Gif)) {
        if (!lastError[0]) SetError("Can't allocate the GIF image");
        return Fail(StatusCode::OutOfMemory, lastError);
    }
    transparentIndex = frameTransparent_;

    std::vector<Rgbquad> palette = table;
    if (transparentIndex != -1) {
        // A transparent picture is given a full palette; white stands behind it.
        if (palette.size() < 256) {
            palette.resize(256, kWhite);
        } else if (std::find(palette.begin(), palette.end(), kWhite) == palette.end()) {
            palette[255] = kWhite;
        }
    }
    SetPaletteFromQuads(palette.data(), int(palette.size()));

    // Rows below the end of the data keep the white fill of the new block as they are.
    const size_t w = size_t(block.width);
    for (int y = 0; y < int(rowsFromData_); ++y) {
        const uint8_t* src = indices + size_t(y) * w;
        uint8_t* dst = Row(block.height - 1 - y);
        if (depth == 8) {
            std::memcpy(dst, src, w);
        } else if (depth == 4) {
            size_t x = 0;
            for (; x + 1 < w; x += 2) {
                *dst++ = uint8_t(((src[x] & 0x0F) << 4) | (src[x + 1] & 0x0F));
            }
            if (x < w) *dst = uint8_t((src[x] & 0x0F) << 4);
        } else {
            for (size_t x = 0; x < w; x += 8) {
                uint8_t byte = 0;
                const size_t n = std::min<size_t>(8, w - x);
                for (size_t k = 0; k < n; ++k) byte |= uint8_t((src[x + k] & 1) << (7 - k));
                *dst++ = byte;
            }
        }
    }
    return {};
}

void RaViruGIF::DrawOver(const ImageBlock& block, const uint8_t* indices) {
    const std::vector<Rgbquad>& table = block.hasLocalTable ? block.localTable : globalTable_;
    const uint8_t ownMask = maskForDepth(depthForTable(table.size()));
    const int depth = BitCount();
    const uint8_t mask = maskForDepth(depth);
    const int transparent = frameTransparent_;
    // Only the part of the new image that lies on the picture is drawn.
    const int x0 = std::max(0, -block.left), x1 = std::min(block.width, Width() - block.left);
    const int y0 = std::max(0, -block.top), y1 = std::min(block.height, Height() - block.top);
    const size_t w = size_t(block.width);
    for (int y = y0; y < y1; ++y) {
        const uint8_t* src = indices + size_t(y) * w;
        uint8_t* dst = Row(Height() - 1 - (block.top + y));
        for (int x = x0; x < x1; ++x) {
            const uint8_t v = src[x] & ownMask;
            if (int(v) == transparent) continue;
            const int px = block.left + x;
            const uint8_t value = v & mask;
            if (depth == 8) {
                dst[px] = value;
            } else if (depth == 4) {
                const int shift = (px & 1) ? 0 : 4;
                dst[px >> 1] = uint8_t((dst[px >> 1] & ~(0x0F << shift)) | (value << shift));
            } else {
                const uint8_t bit = uint8_t(0x80 >> (px & 7));
                dst[px >> 3] = value ? (dst[px >> 3] | bit) : (dst[px >> 3] & ~bit);
            }
        }
    }
}

}  // namespace quillet
