// Layers on the clipboard and back: copy, paste as a new layer, duplicate, and new pictures made
// from a layer or from the selection.
#include <algorithm>
#include <cstring>

#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "document/LayerOps.h"
#include "document/LayerOpsShared.h"
#include "document/compositor/Compositor.h"
#include "image/RaViru.h"
#include "platform/ClipboardPort.h"
#include "platform/UserPort.h"

namespace quillet {

using namespace layerops;

namespace {

constexpr int32_t kMarkerWholeLayer = -2;

PackedDibSource SourceOf(const LayerTable& t, int slot) {
    const Layer& l = t.layer(slot);
    const LayerPlanes& p = t.planesOf(slot);
    PackedDibSource s;
    s.width = l.width;
    s.height = l.height;
    s.bitCount = t.LayerBits(slot);
    s.rows = p.pixels.data();
    s.rowBytes = l.stride;
    s.palette = t.palette.empty() ? nullptr : t.palette.data();
    s.paletteCount = int(t.palette.size());
    s.alpha = p.alpha.data();
    s.textLayer = l.IsText();
    return s;
}

bool HasPlanes(const LayerTable& t, int slot) {
    if (!LayerTable::IsValidIndex(slot) || !t.layer(slot).used) return false;
    const Layer& l = t.layer(slot);
    const LayerPlanes& p = t.planesOf(slot);
    return l.width >= 1 && l.height >= 1 && p.pixels.size() >= l.pixelSize &&
           p.alpha.size() >= l.planeSize;
}

// Reads a clipboard bitmap. A picture above the pixel limit and a foreign bitmap of a depth the
// program does not take are explained; anything unreadable is refused quietly.
bool ReadBitmap(CBrevDoc& doc, std::span<const uint8_t> dib, RaViru& image, PackedDibInfo& info) {
    if (dib.size() >= sizeof(BitmapInfoHeader)) {
        BitmapInfoHeader h;
        std::memcpy(&h, dib.data(), sizeof h);
        const int64_t height = h.biHeight < 0 ? -int64_t(h.biHeight) : int64_t(h.biHeight);
        if (h.biWidth > 0 && !FitsPixelLimit(h.biWidth, height)) {
            doc.User().showMessage(LayerOpsText::PasteTooLarge, MessageIcon::Warning);
            return false;
        }
    }
    const Status read = image.FromPackedDib(dib.data(), dib.size(), true, &info);
    if (read.code() == StatusCode::Unsupported)
        doc.User().showMessage(read.message(), MessageIcon::Warning);
    return read.ok();
}

// Copies the bitmap's pixels into the slot's planes (rows of both are bottom-up). The whole
// layer marker carries the alpha in the fourth byte; other bitmaps are opaque.
void FillFromBitmap(LayerTable& t, int slot, const RaViru& image, bool withAlpha) {
    const Layer& l = t.layer(slot);
    LayerPlanes& p = t.planesOf(slot);
    const int bits = t.LayerBits(slot);
    const int srcBytes = image.BitCount() / 8;
    const bool direct = bits == 24 && image.BitCount() >= 24;
    const bool text = l.IsText();
    for (int y = 0; y < l.height; ++y) {
        const uint8_t* src = image.Row(y);
        uint8_t* alpha = p.alpha.data() + size_t(y) * size_t(l.width);
        if (withAlpha)
            for (int x = 0; x < l.width; ++x) alpha[x] = src[size_t(x) * 4 + 3];
        else
            std::memset(alpha, 255, size_t(l.width));
        if (text) continue;  // a text layer's pixels stay full coverage; its alpha shapes it
        if (direct) {
            uint8_t* dst = p.pixels.data() + size_t(y) * l.stride;
            for (int x = 0; x < l.width; ++x, dst += 3, src += srcBytes) {
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
            }
        } else {
            for (int x = 0; x < l.width; ++x) t.PutColor(slot, x, y, image.PixelColorAt(x, y));
        }
    }
}

struct Placement {
    uint8_t kind = LayerKind::Raster;
    int x = 0;
    int y = 0;
};

// Creates a layer of the bitmap's size from its pixels and links it: on top of the stack, or
// directly above the current layer while a moved selection is pending (as the floating layer
// when there is none yet). In an empty document the bitmap's size becomes the canvas. The slot,
// or -1.
int PlaceBitmap(CBrevDoc& doc, RaViru& image, const PackedDibInfo& info, Placement place) {
    LayerTable& t = doc.Layers();
    const bool empty = t.bottom < 0;
    const bool pending = doc.ViewShared().selectionMovePending;
    const int current = ListedCurrentLayer(doc);
    const int slot = doc.FreeSlotForNewLayer();
    if (slot < 0) return -1;
    if (pending && current >= 0 && t.FirstFloatingLayer() < 0 && place.kind == LayerKind::Raster)
        place.kind = LayerKind::Floating;

    StartNewRecord(t, slot);
    CreateLayerArgs a;
    a.slot = slot;
    a.x = place.x;
    a.y = place.y;
    a.width = image.Width();
    a.height = image.Height();
    a.bitsPerPixel = empty ? 24 : t.header.bitsPerPixel;
    a.paletteSize = empty ? 0 : t.header.paletteSize;
    a.imageKind = empty ? int(image.kind) : t.header.imageKind;
    // An indexed picture keeps its colours: an emptied palette would turn every layer black.
    a.paletteMode = a.paletteSize != 0 ? PaletteMode::Keep : PaletteMode::Empty;
    a.canvasWidth = empty ? -1 : t.header.canvasWidth;
    a.canvasHeight = empty ? -1 : t.header.canvasHeight;
    a.background = true;
    a.kind = place.kind;
    a.creationTag = int16_t(place.kind == LayerKind::Floating ? current : -1);
    if (!doc.CreateLayer(a)) return -1;
    FinishNewRecord(t, slot);
    t.LinkAbove(slot, pending && current >= 0 ? current : t.Top());
    FillFromBitmap(t, slot, image, image.BitCount() == 32 && info.marker == kMarkerWholeLayer);
    // The first layer of an empty document: the bitmap becomes its picture of record.
    if (empty) doc.Image().AdoptFrom(image);
    MakeCurrent(doc, slot);
    doc.PrepareWorkingCopy(slot);
    return slot;
}

void Finish(CBrevDoc& doc) {
    doc.NotifyLayerListChanged();
    doc.NotifyViewsUpdate();
}

// The selected pixels' bounding box on the layer, in storage rows; false when none is selected.
bool SelectedBox(const CBrevDoc& doc, int slot, DibRect& box) {
    const LayerTable& t = doc.Layers();
    const Layer& l = t.layer(slot);
    const SelectionMask& m = t.mask;
    if (m.width < 1 || m.height < 1 || m.bytes.size() != size_t(m.width) * size_t(m.height))
        return false;
    // Canvas rectangle of the selected bytes (mask rows are bottom-up too).
    int64_t left = INT64_MAX, right = INT64_MIN, top = INT64_MAX, bottom = INT64_MIN;
    for (int row = 0; row < m.height; ++row) {
        const uint8_t* r = m.bytes.data() + size_t(row) * size_t(m.width);
        const uint8_t* first = std::find(r, r + m.width, uint8_t(1));
        if (first == r + m.width) continue;
        const uint8_t* last = r + m.width - 1;
        while (*last != 1) --last;
        const int64_t canvasRow = int64_t(m.y) + m.height - 1 - row;
        left = std::min<int64_t>(left, m.x + (first - r));
        right = std::max<int64_t>(right, m.x + (last - r));
        top = std::min(top, canvasRow);
        bottom = std::max(bottom, canvasRow);
    }
    left = std::max<int64_t>(left, l.x);
    right = std::min<int64_t>(right, int64_t(l.x) + l.width - 1);
    top = std::max<int64_t>(top, l.y);
    bottom = std::min<int64_t>(bottom, int64_t(l.y) + l.height - 1);
    if (left > right || top > bottom) return false;
    box.left = int(left - l.x);
    box.right = int(right - l.x);
    // Storage rows count from the layer's bottom row.
    box.top = int(int64_t(l.y) + l.height - 1 - bottom);
    box.bottom = int(int64_t(l.y) + l.height - 1 - top);
    return true;
}

// A new picture from a bitmap: pasted into the empty `target`, flattened, and opened.
bool BuildFromBitmap(CBrevDoc& target, std::span<const uint8_t> dib, std::u16string_view name) {
    if (target.Layers().bottom >= 0) return false;
    RaViru image;
    PackedDibInfo info;
    if (!ReadBitmap(target, dib, image, info)) return false;
    const int slot = PlaceBitmap(target, image, info, {});
    if (slot < 0 || !FlattenInto(target, false)) return false;
    target.Layers().header.SetName(name);
    return FinishOpening(target, target.Layers().bottom);
}

}  // namespace

std::vector<uint8_t> LayerToPackedDib(const LayerTable& t, int slot) {
    if (!HasPlanes(t, slot)) return {};
    PackedDibSource source = SourceOf(t, slot);
    // A text layer goes as true colour like a raster layer: colour 0 with its alpha.
    if (source.textLayer) source.bitCount = 24;
    return RaViru::ToPackedDib(source);
}

std::vector<uint8_t> SelectionToPackedDib(const CBrevDoc& doc) {
    const LayerTable& t = doc.Layers();
    const int slot = ListedCurrentLayer(doc);
    DibRect box;
    // A text layer's coverage plane is no picture of its own; selections keep off text layers.
    if (slot < 0 || !HasPlanes(t, slot) || t.layer(slot).IsText() || !SelectedBox(doc, slot, box))
        return {};
    return RaViru::ToPackedDib(SourceOf(t, slot), box);
}

bool CopyToClipboard(CBrevDoc& doc, ClipboardPort& clipboard) {
    const int slot = ListedCurrentLayer(doc);
    if (slot < 0) return false;
    // A text layer is copied whole: its coverage plane is no picture without its colour.
    const bool area = doc.SelectionActive() && !doc.Layers().layer(slot).IsText();
    std::vector<uint8_t> dib =
        area ? SelectionToPackedDib(doc) : LayerToPackedDib(doc.Layers(), slot);
    if (dib.empty()) return false;
    clipboard.setPackedDib(std::move(dib));
    return true;
}

bool CopyPictureToClipboard(CBrevDoc& doc, ClipboardPort& clipboard) {
    const LayerTable& t = doc.Layers();
    if (!t.InList(t.bottom)) return false;
    const Image32 full = Compositor::ComposeFull(t, t.bottom, 0);
    if (full.Empty()) return false;
    std::vector<uint8_t> alpha(size_t(full.width) * size_t(full.height));
    for (size_t i = 0; i < alpha.size(); ++i) alpha[i] = full.bytes[i * 4 + 3];
    PackedDibSource s;
    s.width = full.width;
    s.height = full.height;
    s.bitCount = 32;
    s.rows = full.bytes.data();
    s.rowBytes = uint32_t(full.width) * 4;
    s.alpha = alpha.data();
    std::vector<uint8_t> dib = RaViru::ToPackedDib(s);
    if (dib.empty()) return false;
    clipboard.setPackedDib(std::move(dib));
    return true;
}

int PastePackedDib(CBrevDoc& doc, std::span<const uint8_t> dib) {
    if (doc.Busy()) return -1;
    RaViru image;
    PackedDibInfo info;
    if (!ReadBitmap(doc, dib, image, info)) return -1;
    const int slot = PlaceBitmap(doc, image, info, {});
    if (slot < 0) return -1;
    if (!doc.ViewShared().selectionMovePending)
        doc.RecordStep(u"복사물 붙이기", StepKind::PasteLayer, slot);
    Finish(doc);
    return slot;
}

int PasteAsNewLayer(CBrevDoc& doc, const ClipboardPort& clipboard) {
    const auto dib = clipboard.packedDib();
    if (!dib) return -1;
    return PastePackedDib(doc, *dib);
}

int DuplicateCurrentLayer(CBrevDoc& doc, ClipboardPort& clipboard) {
    LayerTable& t = doc.Layers();
    const int source = ListedCurrentLayer(doc);
    if (doc.Busy() || source < 0) return -1;
    if (t.header.paletteSize != 0) {
        doc.User().showMessage(LayerOpsText::RgbOnly, MessageIcon::Warning);
        return -1;
    }
    std::vector<uint8_t> dib = LayerToPackedDib(t, source);
    if (dib.empty()) return -1;
    clipboard.setPackedDib(dib);
    RaViru image;
    PackedDibInfo info;
    if (!ReadBitmap(doc, dib, image, info)) return -1;
    const Layer from = t.layer(source);
    // A duplicate is the same layer again: its kind and its place on the canvas.
    Placement place;
    place.kind = from.kind == LayerKind::Floating ? LayerKind::Raster : from.kind;
    place.x = from.x;
    place.y = from.y;
    const bool pending = doc.ViewShared().selectionMovePending;
    doc.ViewShared().selectionMovePending = false;  // the duplicate goes on top
    const int slot = PlaceBitmap(doc, image, info, place);
    doc.ViewShared().selectionMovePending = pending;
    if (slot < 0) return -1;
    if (from.IsText()) {
        Layer& l = t.layer(slot);
        l.textLength = from.textLength;
        l.textColour = from.textColour;
        l.textX = from.textX;
        l.textY = from.textY;
        l.fontSize = from.fontSize;
        std::memcpy(l.fontFace, from.fontFace, sizeof l.fontFace);
        std::memcpy(l.reserved334, from.reserved334, sizeof l.reserved334);
        l.textScale = from.textScale;
        l.textSettingB = from.textSettingB;
        l.textSettingC = from.textSettingC;
        t.planesOf(slot).text = t.planesOf(source).text;
        t.planesOf(slot).alpha = t.planesOf(source).alpha;
    }
    doc.RecordStep(u"복사물 붙이기", StepKind::PasteLayer, slot);
    Finish(doc);
    return slot;
}

bool BuildDocumentFromLayer(CBrevDoc& source, CBrevDoc& target, ClipboardPort& clipboard,
                            int copyNumber) {
    const int slot = ListedCurrentLayer(source);
    std::vector<uint8_t> dib =
        slot >= 0 ? LayerToPackedDib(source.Layers(), slot) : std::vector<uint8_t>{};
    if (dib.empty()) return false;
    clipboard.setPackedDib(dib);
    const std::string number = std::to_string(copyNumber);
    const std::u16string name = u"복사" + std::u16string(number.begin(), number.end()) + u"_" +
                                source.Layers().header.Name();
    return BuildFromBitmap(target, dib, name);
}

bool BuildDocumentFromSelection(CBrevDoc& source, CBrevDoc& target, ClipboardPort& clipboard) {
    if (!source.SelectionActive()) {
        source.User().showMessage(LayerOpsText::SelectFirst, MessageIcon::Warning);
        return false;
    }
    std::vector<uint8_t> dib = SelectionToPackedDib(source);
    if (dib.empty()) return false;
    clipboard.setPackedDib(dib);
    BitmapInfoHeader h;
    std::memcpy(&h, dib.data(), sizeof h);
    // The whole selected area, every row of it.
    if (h.biWidth < 1 || h.biHeight < 1 || h.biWidth > kSelectionDocumentMaxSide ||
        h.biHeight > kSelectionDocumentMaxSide)
        return false;
    return BuildFromBitmap(target, dib, u"이름없음");
}

}  // namespace quillet
