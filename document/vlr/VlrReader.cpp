#include "document/vlr/VlrReader.h"

#include <algorithm>
#include <cerrno>

#include "base/SystemMemory.h"
#include "document/CBrevDoc.h"
#include "document/vlr/VlrLayout.h"
#include "image/ByteStream.h"
#include "platform/UserPort.h"

namespace quillet {

namespace {

bool readInto(ByteStream& in, std::vector<uint8_t>& to) {
    return to.empty() || in.Read(to.data(), 1, to.size()) == to.size();
}

bool readInto(ByteStream& in, PlaneBuffer& to) {
    return to.empty() || in.Read(to.PrepareOverwrite(), 1, to.size()) == to.size();
}

void clearLayers(CBrevDoc& doc) {
    doc.Layers().Clear();
    doc.Snapshot().Clear();
    doc.ReleaseWorkingCopy();
    doc.SetCurrentLayerIndex(-1);
}

// Second pass: the layout has been checked, so create layer accepts every entry and its buffers
// have exactly the sizes the file holds; the planes are read straight into them.
bool build(CBrevDoc& doc, ByteStream& in, const vlr::Layout& L, std::string& error) {
    LayerTable& t = doc.Layers();
    clearLayers(doc);
    t.header = L.header;
    for (const vlr::EntryPlan& e : L.entries) {
        const Layer& r = e.record;
        CreateLayerArgs a;
        a.imageKind = L.header.imageKind;
        a.bitsPerPixel = L.header.bitsPerPixel;
        a.paletteSize = L.header.paletteSize;
        a.initialAlpha = 0;
        a.slot = e.slot;
        a.x = r.x;
        a.y = r.y;
        a.width = r.width;
        a.height = r.height;
        a.paletteMode = PaletteMode::Keep;
        a.canvasWidth = L.header.canvasWidth;
        a.canvasHeight = L.header.canvasHeight;
        a.kind = r.kind;
        a.creationTag = -1;
        a.fillPlanes = false;  // read from the file below
        if (!doc.CreateLayer(a)) {
            error = "VLR file: the layer in slot " + std::to_string(e.slot) + " cannot be made";
            return false;
        }
        // Create layer keeps everything of the record except the background flag, the creation
        // tag and the sizes (which it computes exactly as the layout check did).
        Layer& l = t.layer(e.slot);
        const int16_t tag = l.creationTag;
        l = r;
        l.used = 1;
        l.background = 0;
        l.creationTag = tag;
        l.stride = e.sizes.stride;
        l.planeSize = e.sizes.planeSize;
        l.pixelSize = e.sizes.pixelSize;

        LayerPlanes& p = t.planesOf(e.slot);
        if (!in.Seek(e.pixelsAt, SEEK_SET) || !readInto(in, p.pixels) || !readInto(in, p.alpha) ||
            !readInto(in, p.effect)) {
            error = "VLR file: reading the layer in slot " + std::to_string(e.slot) + " failed";
            return false;
        }
        if (l.IsText()) {
            // Longer texts are cut to 700 characters; the rest of them is skipped.
            const int kept = std::min(e.textUnits, kMaxTextChars);
            l.textLength = kept;
            p.text.assign(size_t(kept) + 1, 0);
            if (kept > 0 && in.Read(p.text.data(), 2, size_t(kept)) != size_t(kept)) {
                error = "VLR file: reading the text in slot " + std::to_string(e.slot) + " failed";
                return false;
            }
        }
        doc.CopyToSnapshot(e.slot);
    }
    t.bottom = L.bottom;
    doc.Snapshot().bottom = L.bottom;
    doc.SetCurrentLayerIndex(t.InList(L.current) ? L.current : L.bottom);
    return true;
}

// What the document will hold: every layer's planes (the snapshot shares them), the working
// copy of the current layer, and layers below 24 bits converted beside their old planes.
uint64_t documentBytes(const vlr::Layout& L) {
    uint64_t planes = 0, largest = 0, pixels = 0;
    for (const vlr::EntryPlan& e : L.entries) {
        planes += uint64_t(e.sizes.pixelSize) + 2 * uint64_t(e.sizes.planeSize);
        largest = std::max(largest, uint64_t(e.sizes.pixelSize) + e.sizes.planeSize);
        pixels += e.sizes.planeSize;
    }
    const uint64_t conversion = L.header.bitsPerPixel < 24 ? pixels * 5 : 0;
    return planes + largest + conversion;
}

}  // namespace

Status VlrReader::Open(const std::string& path, uint64_t memoryAvailable) {
    FileStream in(path.c_str(), "rb");
    if (!in.isOpen()) return StatusFromErrno(errno, "cannot open " + path);
    return Read(in, memoryAvailable);
}

Status VlrReader::Read(ByteStream& in, uint64_t memoryAvailable) {
    vlr::Layout layout;
    std::string text;
    switch (vlr::ScanHead(in, false, layout, text)) {
        case vlr::ScanStatus::Ok:
            break;
        case vlr::ScanStatus::UnknownVersion:
            doc_.User().showMessage(vlr::kVersionRefused, MessageIcon::Warning);
            return {StatusCode::Unsupported, text};
        case vlr::ScanStatus::Damaged:
            return {StatusCode::Corrupt, text};
    }
    if (!vlr::ScanEntries(in, layout, text)) return {StatusCode::Corrupt, text};
    const uint64_t needed = documentBytes(layout);
    const uint64_t available = memoryAvailable ? memoryAvailable : AvailableMemoryBytes();
    if (available && needed > available) {
        return {StatusCode::OutOfMemory, "VLR file: the document needs about " +
                                             std::to_string(needed >> 20) + " MB; " +
                                             std::to_string(available >> 20) + " MB are available"};
    }
    if (!build(doc_, in, layout, text)) {
        clearLayers(doc_);
        return {StatusCode::Corrupt, text};
    }
    return {};
}

bool ReadVlrPreview(const std::string& path, VlrPreview& out, std::string* error) {
    FileStream in(path.c_str(), "rb");
    if (!in.isOpen()) {
        if (error) *error = "cannot open " + path;
        return false;
    }
    return ReadVlrPreview(in, out, error);
}

bool ReadVlrPreview(ByteStream& in, VlrPreview& out, std::string* error) {
    vlr::Layout L;
    std::string text;
    if (vlr::ScanHead(in, true, L, text) == vlr::ScanStatus::Ok) {
        const PictureHeader& h = L.header;
        const uint64_t stride = StrideFor(h.bitsPerPixel, h.canvasWidth);
        if (stride * uint64_t(h.canvasHeight) > h.canvasImageSize) {
            text = "VLR file: the flat picture is smaller than its canvas";
        } else {
            out.flat.resize(h.canvasImageSize);
            if (in.Seek(L.flatAt, SEEK_SET) && readInto(in, out.flat)) {
                out.version = L.version;
                out.name = h.Name();
                out.width = h.canvasWidth;
                out.height = h.canvasHeight;
                out.bitsPerPixel = h.bitsPerPixel;
                out.stride = uint32_t(stride);
                return true;
            }
            out.flat = {};
            text = "VLR file: reading the flat picture failed";
        }
    }
    if (error) *error = text;
    return false;
}

}  // namespace quillet
