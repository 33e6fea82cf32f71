#include "document/journal/JournalListFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/CheckedSize.h"
#include "image/RaViru.h"

namespace quillet {

namespace {

// Writes exactly `want` bytes of a plane; a plane shorter than its record is padded with zeros
// so the file stays readable.
bool writePlane(ByteStream& out, const void* data, size_t have, size_t want) {
    const size_t n = have < want ? have : want;
    if (n && out.Write(data, 1, n) != n) return false;
    static const uint8_t zeros[4096] = {};
    for (size_t left = want - n; left > 0;) {
        const size_t chunk = left < sizeof zeros ? left : sizeof zeros;
        if (out.Write(zeros, 1, chunk) != chunk) return false;
        left -= chunk;
    }
    return true;
}

bool readExact(ByteStream& in, void* dst, size_t n) {
    if (n == 0) return true;
    if (uint64_t(in.Remaining()) < n) return false;
    return in.Read(dst, 1, n) == n;
}

bool readPlane(ByteStream& in, PlaneBuffer& plane, size_t n) {
    if (uint64_t(in.Remaining()) < n) return false;  // before allocating
    plane = PlaneBuffer::Uninitialized(n);
    return readExact(in, plane.data(), n);
}

// One UTF-16LE unit, or -1 at the end.
int readUnit(ByteStream& in) {
    uint8_t b[2];
    if (!readExact(in, b, 2)) return -1;
    return b[0] | (b[1] << 8);
}

bool isDigit(int unit) { return unit >= u'0' && unit <= u'9'; }

// A decimal number of at most 10 digits that fits 32 bits. `first` is its first unit.
bool readNumber(ByteStream& in, int first, uint32_t& value, int& after) {
    if (!isDigit(first)) return false;
    uint64_t v = 0;
    int unit = first;
    int digits = 0;
    while (isDigit(unit)) {
        if (++digits > 10) return false;
        v = v * 10 + uint64_t(unit - u'0');
        unit = readUnit(in);
    }
    if (v > UINT32_MAX) return false;
    value = uint32_t(v);
    after = unit;
    return true;
}

// "%ld %d %d": record length, pixel size, plane size; no separator around it. The unit after the
// last number belongs to the record, so the stream steps back over it.
bool readEntryLine(ByteStream& in, uint32_t& recordLength, uint32_t& pixelSize,
                   uint32_t& planeSize) {
    int after = 0;
    if (!readNumber(in, readUnit(in), recordLength, after) || after != u' ') return false;
    if (!readNumber(in, readUnit(in), pixelSize, after) || after != u' ') return false;
    if (!readNumber(in, readUnit(in), planeSize, after)) return false;
    return after >= 0 && in.Seek(-2, SEEK_CUR);
}

// "%ld %d %d" in UTF-16LE units.
std::vector<uint8_t> entryLine(const Layer& l) {
    char line[48];
    const int n = std::snprintf(line, sizeof line, "%ld %d %d", long(kLayerRecordBytes),
                                int(l.pixelSize), int(l.planeSize));
    std::vector<uint8_t> units(size_t(2 * n), 0);
    for (int i = 0; i < n; ++i) units[size_t(2 * i)] = uint8_t(line[i]);
    return units;
}

bool supportedDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
}

bool fail(std::string& error, const char* why) {
    error = why;
    return false;
}

}  // namespace

std::vector<FilePiece> JournalListPieces(const LayerTable& t) {
    std::vector<FilePiece> pieces;
    PictureHeader h = t.header;
    h.workingPixelsRef = h.workingAlphaRef = 0;
    pieces.push_back(FilePiece::Bytes(&h, sizeof h));
    if (h.paletteSize > 0) {
        FilePiece palette = FilePiece::Bytes(
            t.palette.data(), std::min(t.palette.size(), size_t(h.paletteSize)) * sizeof(Rgbquad));
        palette.length = uint64_t(h.paletteSize) * sizeof(Rgbquad);
        pieces.push_back(std::move(palette));
    }
    for (int slot : t.Order()) {
        Layer rec = t.layer(slot);
        rec.used = 1;  // the entry line parser relies on the record not starting with a digit
        const LayerPlanes& p = t.planesOf(slot);
        pieces.push_back(FilePiece::Bytes(entryLine(rec)));
        pieces.push_back(FilePiece::Bytes(&rec, sizeof rec));
        // A plane shorter than its record is padded with zeros so the file stays readable.
        pieces.push_back(FilePiece::Plane(p.pixels, rec.pixelSize));
        pieces.push_back(FilePiece::Plane(p.alpha, rec.planeSize));
        pieces.push_back(FilePiece::Plane(p.effect, rec.planeSize));
        // Text follows whenever the record counts some, so the reader never misreads the next
        // entry line as text.
        if (rec.textLength > 0) {
            const size_t bytes = size_t(rec.textLength) * 2;
            FilePiece text = FilePiece::Bytes(p.text.data(), std::min(p.text.size() * 2, bytes));
            text.length = bytes;
            pieces.push_back(std::move(text));
        }
    }
    return pieces;
}

bool WriteJournalList(ByteStream& out, const LayerTable& t, std::string& error) {
    bool ok = true;
    for (const FilePiece& piece : JournalListPieces(t)) {
        const bool plane = !piece.plane.empty();
        const uint8_t* data = plane ? piece.plane.data() : piece.bytes.data();
        const size_t have = plane ? piece.plane.size() : piece.bytes.size();
        if (!(ok = writePlane(out, data, have, size_t(piece.length)))) break;
    }
    if (ok) ok = out.Flush();
    if (!ok) error = "cannot write the journal list file";
    return ok;
}

bool ParseJournalList(ByteStream& in, int bottomSlot, JournalListContent& out, std::string& error) {
    out = {};
    if (!readExact(in, &out.header, sizeof out.header))
        return fail(error, "journal list file: short picture header");
    PictureHeader& h = out.header;
    h.ClearWorkingReferences();
    if (h.canvasWidth < 1 || h.canvasHeight < 1 || !FitsPixelLimit(h.canvasWidth, h.canvasHeight))
        return fail(error, "journal list file: bad canvas size");
    if (!supportedDepth(h.bitsPerPixel))
        return fail(error, "journal list file: unsupported bits per pixel");
    if (h.paletteSize < 0 || h.paletteSize > 256)
        return fail(error, "journal list file: bad palette size");
    if (h.paletteSize > 0) {
        const size_t bytes = size_t(h.paletteSize) * sizeof(Rgbquad);
        if (uint64_t(in.Remaining()) < bytes)
            return fail(error, "journal list file: short palette");
        out.palette.resize(size_t(h.paletteSize));
        if (!readExact(in, out.palette.data(), bytes))
            return fail(error, "journal list file: short palette");
    }

    bool seen[kLayerSlots] = {};
    int slot = bottomSlot;
    int below = -1;
    while (LayerTable::IsValidIndex(slot)) {
        if (seen[slot]) return fail(error, "journal list file: the layer list loops");
        seen[slot] = true;
        uint32_t recordLength = 0, pixelSize = 0, planeSize = 0;
        if (!readEntryLine(in, recordLength, pixelSize, planeSize))
            return fail(error, "journal list file: bad entry line");
        if (recordLength != kLayerRecordBytes)
            return fail(error, "journal list file: unexpected record length");
        JournalListLayer layer;
        layer.slot = slot;
        Layer& r = layer.record;
        if (!readExact(in, &r, sizeof r)) return fail(error, "journal list file: short record");
        if (r.kind > LayerKind::Floating) return fail(error, "journal list file: bad layer kind");
        if (r.width < 1 || r.height < 1 || !FitsPixelLimit(r.width, r.height))
            return fail(error, "journal list file: bad layer size");
        const uint64_t stride =
            r.kind == LayerKind::Text ? uint64_t(r.width) : StrideFor(h.bitsPerPixel, r.width);
        const uint64_t pixels = stride * uint64_t(r.height);
        const uint64_t plane = uint64_t(r.width) * uint64_t(r.height);
        if (pixels > UINT32_MAX || r.stride != stride || r.pixelSize != pixels ||
            r.planeSize != plane || pixelSize != pixels || planeSize != plane)
            return fail(error, "journal list file: sizes disagree with the layer record");
        if (r.textLength < 0 || r.textLength > kMaxTextChars)
            return fail(error, "journal list file: bad text length");
        if (r.next != -1 && !LayerTable::IsValidIndex(r.next))
            return fail(error, "journal list file: bad next index");
        LayerPlanes& p = layer.planes;
        if (!readPlane(in, p.pixels, pixels) || !readPlane(in, p.alpha, plane) ||
            !readPlane(in, p.effect, plane))
            return fail(error, "journal list file: short layer planes");
        if (r.textLength > 0) {
            const size_t bytes = size_t(r.textLength) * 2;
            if (uint64_t(in.Remaining()) < bytes)
                return fail(error, "journal list file: short text");
            p.text.assign(size_t(r.textLength) + 1, 0);
            if (!readExact(in, p.text.data(), bytes))
                return fail(error, "journal list file: short text");
        }
        r.used = 1;
        r.previous = int16_t(below);
        below = slot;
        slot = r.next;
        out.layers.push_back(std::move(layer));
    }
    return true;
}

void ApplyJournalList(JournalListContent&& c, int bottomSlot, LayerTable& t, bool selectionActive) {
    SelectionMask keptMask = std::move(t.mask);
    for (int s = 0; s < kLayerSlots; ++s) {
        Layer& l = t.layer(s);
        l.used = 0;
        l.previous = l.next = -1;
        t.planesOf(s).Release();
    }
    const uint32_t workingSize = t.header.workingCopySize;
    t.header = c.header;
    t.header.workingCopySize = workingSize;
    t.palette = std::move(c.palette);
    t.bottom = c.layers.empty() ? -1 : bottomSlot;
    for (JournalListLayer& j : c.layers) {
        CreateLayerArgs a;
        a.imageKind = c.header.imageKind;
        a.bitsPerPixel = c.header.bitsPerPixel;
        a.paletteSize = c.header.paletteSize;
        a.slot = j.slot;
        a.x = j.record.x;
        a.y = j.record.y;
        a.width = j.record.width;
        a.height = j.record.height;
        a.paletteMode = PaletteMode::Keep;
        a.canvasWidth = c.header.canvasWidth;
        a.canvasHeight = c.header.canvasHeight;
        a.background = j.record.background != 0;
        a.kind = j.record.kind;
        a.creationTag = j.record.creationTag;
        a.fillPlanes = false;  // the parsed planes take their place
        // The sizes were checked against the same rules create layer applies.
        t.CreateLayer(a, nullptr, 0, selectionActive);
        t.layer(j.slot) = j.record;
        t.planesOf(j.slot) = std::move(j.planes);
    }
    t.header.RecomputeCanvasSizes();
    t.mask = std::move(keptMask);
}

}  // namespace quillet
