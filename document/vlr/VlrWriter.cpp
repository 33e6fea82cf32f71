#include "document/vlr/VlrWriter.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/AtomicFileWriter.h"
#include "document/CBrevDoc.h"
#include "document/vlr/VlrFormat.h"
#include "image/ByteStream.h"

namespace quillet {

namespace {

// Rows of the flat block are converted and written in pieces of about this many bytes.
constexpr size_t kFlatChunkBytes = size_t(1) << 20;

bool put(ByteStream& out, const void* data, size_t bytes) {
    return bytes == 0 || out.Write(data, 1, bytes) == bytes;
}

// UTF-16 units of a text layer that go into the file: the record's text length, as far as the
// text buffer holds it and at most 700. The entry line carries this count, so the reader always
// finds exactly the units that follow.
int storedTextUnits(const Layer& l, const LayerPlanes& p) {
    if (!l.IsText()) return 0;
    const int64_t held = int64_t(std::min<size_t>(p.text.size(), size_t(kMaxTextChars)));
    return int(std::clamp<int64_t>(l.textLength, 0, held));
}

// Nearest palette index of the flat block's 8-bit form, remembered per colour: a picture has few
// distinct colours compared with its pixels, and the palette search is 256 comparisons.
class NearestCache {
public:
    explicit NearestCache(const LayerTable& table) : table_(table) { keys_.fill(kEmpty); }
    uint8_t Index(uint32_t colour) {
        const uint32_t h = (colour * 2654435761u) >> (32 - kBits);
        if (keys_[h] != colour) {
            keys_[h] = colour;
            values_[h] = uint8_t(table_.NearestPaletteIndex(colour));
        }
        return values_[h];
    }

private:
    static constexpr int kBits = 12;
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;  // no 24-bit colour has this key
    const LayerTable& table_;
    std::array<uint32_t, size_t(1) << kBits> keys_;
    std::array<uint8_t, size_t(1) << kBits> values_{};
};

}  // namespace

Status VlrWriter::Save(const std::string& path) {
    AtomicFileWriter file(path);
    if (Status opened = file.open(); !opened) return opened;
    FileStream out(file.file(), false);
    if (Status written = Write(out); !written) {
        // The temporary file is removed, the target untouched.
        if (written.code() == StatusCode::IoError && out.LastErrno())
            return StatusFromErrno(out.LastErrno(), written.message());
        return written;
    }
    if (Status committed = file.commit(); !committed)
        return {committed.code(), "VLR save failed: " + committed.message()};
    doc_.SetModified(false);
    return {};
}

Status VlrWriter::Write(ByteStream& out) {
    if (Status checked = CheckLayerList(); !checked) return checked;
    // The compositor is a pure function of the table: composing for the flat block changes no
    // layer's transparency or position, and leaves the selection alone.
    doc_.ComposeForSave();

    const LayerTable& t = doc_.Layers();
    char line[64];
    const int n = std::snprintf(line, sizeof line, "\n%d %d %d", vlr::kVersion, t.bottom,
                                doc_.CurrentLayer());
    if (!put(out, line, size_t(n)) || !put(out, &t.header, sizeof t.header) ||
        !WriteFlatBlock(out) || !WriteEntries(out))
        return {StatusCode::IoError, "VLR save failed: the file could not be written"};
    return {};
}

// The walk from the bottom must end at -1 within 40 distinct slots, and every layer's buffers
// must have the sizes its record states and the reader will compute again from width, height
// and depth; otherwise the file could not be read back.
Status VlrWriter::CheckLayerList() {
    const LayerTable& t = doc_.Layers();
    auto refuse = [](std::string text) { return Status(StatusCode::Failed, std::move(text)); };
    if (!LayerTable::IsValidIndex(t.bottom))
        return refuse("VLR save refused: the document has no layers");
    if (!vlr::SupportedDepth(t.header.bitsPerPixel))
        return refuse("VLR save refused: unsupported bits per pixel " +
                      std::to_string(t.header.bitsPerPixel));
    bool seen[kLayerSlots] = {};
    for (int slot = t.bottom; slot != -1;) {
        if (!LayerTable::IsValidIndex(slot))
            return refuse("VLR save refused: a layer links to slot " + std::to_string(slot) +
                          ", outside 0..39");
        if (seen[slot])
            return refuse("VLR save refused: the layer list loops at slot " + std::to_string(slot));
        seen[slot] = true;
        const Layer& l = t.layer(slot);
        const LayerPlanes& p = t.planesOf(slot);
        vlr::PlaneSizes s;
        const bool shapeOk = vlr::SizesFor(t.header.bitsPerPixel, l.kind, l.width, l.height, s) &&
                             s.stride == l.stride && s.planeSize == l.planeSize &&
                             s.pixelSize == l.pixelSize;
        const bool buffersOk = p.pixels.size() == l.pixelSize && p.alpha.size() == l.planeSize &&
                               (p.effect.empty() || p.effect.size() == l.planeSize);
        if (!shapeOk || !buffersOk)
            return refuse("VLR save refused: the buffers of the layer in slot " +
                          std::to_string(slot) + " do not match its record");
        if (!vlr::PositionAllowed(l.x, l.y))
            return refuse("VLR save refused: the layer in slot " + std::to_string(slot) +
                          " lies beyond any canvas");
        slot = l.next;
    }
    return {};
}

// The picture in its own format, rows of the canvas stride; bytes nothing converts stay 255.
bool VlrWriter::WriteFlatBlock(ByteStream& out) {
    const LayerTable& t = doc_.Layers();
    const PictureHeader& h = t.header;
    const size_t blockBytes = h.canvasImageSize;
    const int W = h.canvasWidth, H = std::max(0, h.canvasHeight);
    const int bits = h.bitsPerPixel;
    const std::vector<uint8_t>& flat = doc_.FlatImage();
    const size_t stride = size_t(StrideFor(bits, W));
    const bool convert = (bits == 24 || bits == 8) && W > 0 && stride > 0 &&
                         flat.size() == size_t(W) * size_t(H) * 4;

    const size_t rowsPerChunk = std::max<size_t>(1, kFlatChunkBytes / std::max<size_t>(stride, 1));
    std::vector<uint8_t> chunk(std::min(blockBytes, rowsPerChunk * std::max<size_t>(stride, 1)));
    NearestCache nearest(t);
    size_t written = 0;
    size_t row = 0;
    while (written < blockBytes) {
        const size_t bytes = std::min(chunk.size(), blockBytes - written);
        std::memset(chunk.data(), 255, bytes);
        if (convert) {
            for (size_t at = 0; at < bytes && row < size_t(H); at += stride, ++row) {
                const uint8_t* src = flat.data() + row * size_t(W) * 4;
                uint8_t* dst = chunk.data() + at;
                const size_t room = bytes - at;  // a block shorter than the canvas cuts a row
                if (bits == 24) {
                    const size_t px = std::min(size_t(W), room / 3);
                    for (size_t x = 0; x < px; ++x, src += 4, dst += 3) {
                        dst[0] = src[0];
                        dst[1] = src[1];
                        dst[2] = src[2];
                    }
                } else {
                    const size_t px = std::min(size_t(W), room);
                    for (size_t x = 0; x < px; ++x, src += 4)
                        dst[x] = nearest.Index(uint32_t(src[0]) | (uint32_t(src[1]) << 8) |
                                               (uint32_t(src[2]) << 16));
                }
            }
        }
        if (!put(out, chunk.data(), bytes)) return false;
        written += bytes;
    }
    return true;
}

bool VlrWriter::WriteEntries(ByteStream& out) {
    const LayerTable& t = doc_.Layers();
    std::vector<uint8_t> zeros;
    for (int slot = t.bottom; slot != -1; slot = t.layer(slot).next) {
        const Layer& l = t.layer(slot);
        const LayerPlanes& p = t.planesOf(slot);
        const int units = storedTextUnits(l, p);
        char line[64];
        const int n =
            std::snprintf(line, sizeof line, "\n %d %d", slot, l.IsText() ? units : l.textLength);
        if (!put(out, line, size_t(n)) || !put(out, &l, kLayerRecordBytes) ||
            !put(out, p.pixels.data(), l.pixelSize) || !put(out, p.alpha.data(), l.planeSize))
            return false;
        if (p.effect.empty()) {
            zeros.assign(l.planeSize, 0);
            if (!put(out, zeros.data(), l.planeSize)) return false;
        } else if (!put(out, p.effect.data(), l.planeSize)) {
            return false;
        }
        if (!put(out, p.text.data(), size_t(units) * 2)) return false;
    }
    return true;
}

}  // namespace quillet
