#include "document/vlr/VlrReader.h"

#include <algorithm>

#include "document/CBrevDoc.h"
#include "document/vlr/VlrLayout.h"
#include "image/ByteStream.h"
#include "platform/UserPort.h"

namespace quillet {

namespace {

bool readInto(ByteStream& in, std::vector<uint8_t>& to) {
    return to.empty() || in.Read(to.data(), 1, to.size()) == to.size();
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

}  // namespace

bool VlrReader::Fail(std::string text) {
    error_ = std::move(text);
    doc_.Image().SetError(error_);
    return false;
}

bool VlrReader::Open(const std::string& path) {
    FileStream in(path.c_str(), "rb");
    if (!in.isOpen()) return Fail("cannot open " + path);
    return Read(in);
}

bool VlrReader::Read(ByteStream& in) {
    error_.clear();
    vlr::Layout layout;
    std::string text;
    switch (vlr::ScanHead(in, false, layout, text)) {
        case vlr::ScanStatus::Ok:
            break;
        case vlr::ScanStatus::UnknownVersion:
            doc_.User().showMessage(vlr::kVersionRefused, MessageIcon::Warning);
            return Fail(text);
        case vlr::ScanStatus::Damaged:
            return Fail(text);
    }
    if (!vlr::ScanEntries(in, layout, text)) return Fail(text);
    if (!build(doc_, in, layout, text)) {
        clearLayers(doc_);
        return Fail(text);
    }
    return true;
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
