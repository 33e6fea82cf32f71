// Finding the items of a VLR file. The header line and the entry lines end at their last digit
// and a byte block follows at once, so a picture name or a record whose first byte is a digit
// runs into the number ("\n41 0 3" + "2024 여름" reads "\n41 0 32..."). Every way of splitting
// the digits is tried: the right one lands the block so that its own sizes lead exactly to the
// next entry line (0x0A) or to the end of the file.
#include "document/vlr/VlrLayout.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "document/LayerTable.h"
#include "image/ByteStream.h"
#include "image/RaViru.h"

namespace quillet::vlr {

namespace {

constexpr int kMaxDigits = 10;  // an int32 has at most 10 digits

bool isSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isDigit(int c) { return c >= '0' && c <= '9'; }

std::string format(const char* fmt, long long a, long long b = 0, long long c = 0) {
    char text[256];
    std::snprintf(text, sizeof text, fmt, a, b, c);
    return text;
}

// Random access to the stream, never past its end.
class Bytes {
public:
    explicit Bytes(ByteStream& in) : in_(in), size_(in.Size()) {}
    int64_t size() const { return size_; }
    int At(int64_t pos) {
        if (pos < 0 || pos >= size_ || !in_.Seek(pos, SEEK_SET)) return -1;
        return in_.GetByte();
    }
    bool Read(int64_t pos, void* to, size_t bytes) {
        if (pos < 0 || pos > size_ || uint64_t(size_ - pos) < bytes) return false;
        if (!in_.Seek(pos, SEEK_SET)) return false;
        return bytes == 0 || in_.Read(to, 1, bytes) == bytes;
    }

private:
    ByteStream& in_;
    int64_t size_;
};

// White space, an optional sign and a run of digits, as a formatted read would see them.
struct Run {
    int64_t digitsAt = 0;  // position of the first digit (or of what stands there instead)
    bool negative = false;
    int digits = 0;  // found, at most kMaxDigits + 1
    char text[kMaxDigits + 1] = {};

    // The number made of the first `count` digits; false when it does not fit an int32.
    bool Value(int count, int& value) const {
        int64_t v = 0;
        for (int i = 0; i < count; ++i) {
            v = v * 10 + (text[i] - '0');
            if (v > int64_t(INT32_MAX) + 1) return false;
        }
        if (negative) v = -v;
        if (v < INT32_MIN || v > INT32_MAX) return false;
        value = int(v);
        return true;
    }
};

bool readRun(Bytes& b, int64_t pos, Run& run) {
    int c;
    while (isSpace(c = b.At(pos))) ++pos;
    run.negative = c == '-';
    if (c == '-' || c == '+') ++pos;
    run.digitsAt = pos;
    run.digits = 0;
    while (run.digits <= kMaxDigits && isDigit(c = b.At(pos + run.digits)))
        run.text[run.digits++] = char(c);
    return run.digits > 0;
}

// A number followed by a separator: all its digits belong to it.
bool readNumber(Bytes& b, int64_t& pos, int& value) {
    Run run;
    if (!readRun(b, pos, run) || run.digits > kMaxDigits || !run.Value(run.digits, value))
        return false;
    pos = run.digitsAt + run.digits;
    return true;
}

bool headerConsistent(const PictureHeader& h) {
    if (h.canvasWidth < 1 || h.canvasHeight < 1 || !SupportedDepth(h.bitsPerPixel)) return false;
    return uint64_t(h.canvasImageSize) ==
               StrideFor(h.bitsPerPixel, h.canvasWidth) * uint64_t(h.canvasHeight) &&
           uint64_t(h.canvasPixelCount) == uint64_t(h.canvasWidth) * uint64_t(h.canvasHeight);
}

std::string missingEntry(Bytes& b, const Run& run, int slot) {
    return b.At(run.digitsAt) < 0
               ? format("VLR file is truncated: the entry of the layer in slot %lld is missing",
                        slot)
               : format("VLR file is damaged: no entry line where the layer in slot %lld starts",
                        slot);
}

}  // namespace

ScanStatus ScanHead(ByteStream& in, bool previewOnly, Layout& L, std::string& error) {
    Bytes b(in);
    if (b.size() < 0) {
        error = "VLR file: its length cannot be told";
        return ScanStatus::Damaged;
    }
    int64_t pos = 0;
    if (!readNumber(b, pos, L.version)) {
        error = "not a VLR document: no version number at the start";
        return ScanStatus::Damaged;
    }
    if (previewOnly ? L.version < kOldestPreviewVersion : RecordBytes(L.version) == 0) {
        error = format("VLR version %lld is not supported", L.version);
        return previewOnly ? ScanStatus::Damaged : ScanStatus::UnknownVersion;
    }
    Run current;
    if (!readNumber(b, pos, L.bottom) || !readRun(b, pos, current)) {
        error = "VLR file is damaged: the first line is incomplete";
        return ScanStatus::Damaged;
    }

    // The current layer index ends where the picture header begins.
    int bestScore = -1;
    for (int k = 1; k <= std::min(current.digits, kMaxDigits); ++k) {
        int value;
        PictureHeader h;
        const int64_t headerAt = current.digitsAt + k;
        if (!current.Value(k, value) || !b.Read(headerAt, &h, sizeof h)) continue;
        const int64_t flatEnd = headerAt + int64_t(sizeof h) + int64_t(h.canvasImageSize);
        if (flatEnd > b.size()) continue;
        const int score =
            (flatEnd == b.size() || b.At(flatEnd) == '\n' ? 2 : 0) + (headerConsistent(h) ? 1 : 0);
        if (score > bestScore) {
            bestScore = score;
            L.current = value;
            L.header = h;
            L.flatAt = headerAt + int64_t(sizeof h);
        }
    }
    if (bestScore < 0) {
        error = "VLR file is truncated: the picture header or the flat picture is incomplete";
        return ScanStatus::Damaged;
    }
    L.header.ClearWorkingReferences();

    const PictureHeader& h = L.header;
    if (h.canvasWidth < 1 || h.canvasHeight < 1 || !FitsPixelLimit(h.canvasWidth, h.canvasHeight)) {
        error =
            format("VLR file: canvas size %lldx%lld is not allowed", h.canvasWidth, h.canvasHeight);
        return ScanStatus::Damaged;
    }
    const bool depthOk =
        previewOnly ? h.bitsPerPixel >= 1 && h.bitsPerPixel <= 32 : SupportedDepth(h.bitsPerPixel);
    if (!depthOk || h.paletteSize < 0 || h.paletteSize > 256) {
        error = format("VLR file: %lld bits per pixel with %lld palette entries is not allowed",
                       h.bitsPerPixel, h.paletteSize);
        return ScanStatus::Damaged;
    }
    return ScanStatus::Ok;
}

bool ScanEntries(ByteStream& in, Layout& L, std::string& error) {
    Bytes b(in);
    const size_t recordBytes = RecordBytes(L.version);
    const int bits = L.header.bitsPerPixel;
    if (!LayerTable::IsValidIndex(L.bottom)) {
        error = format("VLR file: bottom layer slot %lld is outside 0..39", L.bottom);
        return false;
    }
    bool seen[kLayerSlots] = {};
    int expected = L.bottom, below = -1;
    int64_t pos = L.flatAt + int64_t(L.header.canvasImageSize);
    for (;;) {
        Run slotRun, lengthRun;
        int slot;
        if (!readRun(b, pos, slotRun)) {
            error = missingEntry(b, slotRun, expected);
            return false;
        }
        if (slotRun.digits > kMaxDigits || !slotRun.Value(slotRun.digits, slot) ||
            !LayerTable::IsValidIndex(slot)) {
            error = "VLR file: a layer slot index is outside 0..39";
            return false;
        }
        if (slot != expected) {
            error = format("VLR file: an entry for slot %lld stands where slot %lld follows", slot,
                           expected);
            return false;
        }
        if (!readRun(b, slotRun.digitsAt + slotRun.digits, lengthRun)) {
            error = missingEntry(b, lengthRun, slot);
            return false;
        }

        // The text length ends where the record begins.
        EntryPlan best;
        int64_t bestEnd = 0;
        int bestScore = -1;
        std::string reason = format(
            "VLR file is truncated: the record of the layer in slot %lld is incomplete", slot);
        for (int k = 1; k <= std::min(lengthRun.digits, kMaxDigits); ++k) {
            EntryPlan e;
            e.slot = slot;
            const int64_t recordAt = lengthRun.digitsAt + k;
            if (!lengthRun.Value(k, e.lineTextLength) || !b.Read(recordAt, &e.record, recordBytes))
                continue;
            Layer& r = e.record;
            if (L.version == kVersion36) {
                r.textScale = kV36TextScale;
                r.textSettingB = kV36TextSettingB;
                r.textSettingC = kV36TextSettingC;
            }
            if (!SizesFor(bits, r.kind, r.width, r.height, e.sizes)) {
                reason = format("VLR file: the layer in slot %lld has a size of %lldx%lld", slot,
                                r.width, r.height);
                continue;
            }
            if (!PositionAllowed(r.x, r.y)) {
                reason = format(
                    "VLR file: the layer in slot %lld lies at %lld,%lld, beyond any "
                    "canvas",
                    slot, r.x, r.y);
                continue;
            }
            if (r.IsText() && e.lineTextLength < 0) {
                reason =
                    format("VLR file: the text layer in slot %lld has a negative length", slot);
                continue;
            }
            e.textUnits = r.IsText() ? e.lineTextLength : 0;
            e.pixelsAt = recordAt + int64_t(recordBytes);
            const uint64_t need = uint64_t(e.sizes.pixelSize) + 2 * uint64_t(e.sizes.planeSize) +
                                  2 * uint64_t(e.textUnits);
            const uint64_t remain = uint64_t(b.size() - e.pixelsAt);
            if (need > remain) {
                reason = format(
                    "VLR file is truncated: the layer in slot %lld needs %lld bytes, "
                    "%lld remain",
                    slot, (long long)need, (long long)remain);
                continue;
            }
            const int64_t end = e.pixelsAt + int64_t(need);
            const bool lands = r.next == -1 ? end == b.size() : b.At(end) == '\n';
            const bool sizesAgree = r.stride == e.sizes.stride &&
                                    r.planeSize == e.sizes.planeSize &&
                                    r.pixelSize == e.sizes.pixelSize;
            const int score = (lands ? 2 : 0) + (sizesAgree ? 1 : 0);
            if (score > bestScore) {
                bestScore = score;
                best = e;
                bestEnd = end;
            }
        }
        if (bestScore < 0) {
            error = reason;
            return false;
        }

        const Layer& r = best.record;
        if (r.previous != below) {
            error = format("VLR file: the layer in slot %lld links down to %lld instead of %lld",
                           slot, r.previous, below);
            return false;
        }
        seen[slot] = true;
        L.entries.push_back(best);
        pos = bestEnd;
        if (r.next == -1) return true;
        if (!LayerTable::IsValidIndex(r.next)) {
            error = format("VLR file: the layer in slot %lld links up to %lld, outside 0..39", slot,
                           r.next);
            return false;
        }
        if (seen[r.next]) {
            error = format("VLR file: the layer links loop back to slot %lld", r.next);
            return false;
        }
        below = slot;
        expected = r.next;
    }
}

}  // namespace quillet::vlr
