#include "view/tools/LayerTransfer.h"

#include <cstring>
#include <string>

#include "document/CBrevDoc.h"
#include "image/RaViru.h"
#include "platform/UserPort.h"

namespace quillet {

namespace {
constexpr int32_t kMarkerWholeLayer = -2;
}

std::vector<uint8_t> LayerToPackedDib(const LayerTable& t, int slot) {
    if (!LayerTable::IsValidIndex(slot) || !t.layer(slot).used) return {};
    const Layer& l = t.layer(slot);
    const LayerPlanes& p = t.planesOf(slot);
    if (p.pixels.size() < l.pixelSize || p.alpha.size() < l.planeSize) return {};
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
    return RaViru::ToPackedDib(s);
}

int PastePackedDibAsLayer(CBrevDoc& doc, const std::vector<uint8_t>& dib) {
    RaViru image;
    PackedDibInfo info;
    if (Status status = image.FromPackedDib(dib.data(), dib.size(), true, &info); !status) {
        // A foreign bitmap of an unusual depth is explained; unreadable data is ignored quietly.
        if (status.code() == StatusCode::Unsupported)
            doc.User().showMessage(status.message(), MessageIcon::Warning);
        return -1;
    }
    const int slot = doc.FreeSlotForNewLayer();
    if (slot < 0) return -1;
    LayerTable& t = doc.Layers();
    const bool empty = t.bottom < 0;
    CreateLayerArgs a;
    a.slot = slot;
    a.width = image.Width();
    a.height = image.Height();
    a.bitsPerPixel = empty ? 24 : t.header.bitsPerPixel;
    a.paletteSize = empty ? 0 : t.header.paletteSize;
    a.imageKind = empty ? int(image.kind) : t.header.imageKind;
    a.paletteMode = PaletteMode::Empty;
    a.canvasWidth = empty ? -1 : t.header.canvasWidth;
    a.canvasHeight = empty ? -1 : t.header.canvasHeight;
    a.background = true;
    a.kind = LayerKind::Raster;
    // Create layer with "empty palette" would wipe the picture's colours; an indexed picture
    // keeps its palette.
    if (a.paletteSize != 0) a.paletteMode = PaletteMode::Keep;
    if (!doc.CreateLayer(a)) return -1;
    Layer& l = t.layer(slot);
    l.used = 1;
    l.visible = 1;
    l.transparency = 0;
    l.SetBlend(BlendMode::Normal);
    l.SetName(u"레이어 " + [&] {
        const std::string n = std::to_string(slot);
        return std::u16string(n.begin(), n.end());
    }());
    t.LinkAbove(slot, t.Top());

    // Rows of both are bottom-up. The whole-layer marker carries the alpha in the fourth byte.
    const bool withAlpha = image.BitCount() == 32 && info.marker == kMarkerWholeLayer;
    LayerPlanes& p = t.planesOf(slot);
    const bool direct = t.LayerBits(slot) == 24 && image.BitCount() >= 24;
    const int srcBytes = image.BitCount() / 8;
    for (int y = 0; y < l.height; ++y) {
        const uint8_t* src = image.Row(y);
        uint8_t* alpha = p.alpha.data() + size_t(y) * size_t(l.width);
        if (direct) {
            uint8_t* dst = p.pixels.data() + size_t(y) * l.stride;
            for (int x = 0; x < l.width; ++x)
                std::memcpy(dst + size_t(x) * 3, src + size_t(x) * srcBytes, 3);
        } else {
            for (int x = 0; x < l.width; ++x) t.PutColor(slot, x, y, image.PixelColorAt(x, y));
        }
        for (int x = 0; x < l.width; ++x)
            alpha[x] = withAlpha ? src[size_t(x) * 4 + 3] : uint8_t(255);
    }
    doc.SetCurrentLayerIndex(slot);
    doc.PrepareWorkingCopy(slot);
    doc.RecordStep(u"복사물 붙이기", StepKind::PasteLayer, slot);
    doc.CopyToSnapshot(slot);
    doc.NotifyLayerListChanged();
    doc.NotifyViewsUpdate();
    return slot;
}

}  // namespace quillet
