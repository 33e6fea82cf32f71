// Conversion of a picture below 24 bits per pixel to 24-bit colour.
#include <cstring>
#include <vector>

#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "document/journal/UndoStore.h"

namespace quillet {

namespace {
// Colour of every palette index as blue, green, red; indices past the palette read black.
void paletteBgr(const LayerTable& t, uint8_t (&out)[256][3]) {
    std::memset(out, 0, sizeof out);
    for (size_t i = 0; i < t.palette.size() && i < 256; ++i) {
        out[i][0] = t.palette[i].blue;
        out[i][1] = t.palette[i].green;
        out[i][2] = t.palette[i].red;
    }
}

// Expands one row of packed indices (1, 4 or 8 bits, first pixel in the high bits) to BGR.
void expandRow(const uint8_t* src, int bits, int width, const uint8_t (&pal)[256][3],
               uint8_t* dst) {
    for (int x = 0; x < width; ++x, dst += 3) {
        unsigned index;
        if (bits == 8) {
            index = src[x];
        } else if (bits == 4) {
            index = (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
        } else {
            index = (src[x >> 3] >> (7 - (x & 7))) & 1;
        }
        dst[0] = pal[index][0];
        dst[1] = pal[index][1];
        dst[2] = pal[index][2];
    }
}
}  // namespace

bool ConvertDocumentTo24Bit(CBrevDoc& doc) {
    LayerTable& t = doc.Layers();
    const int bits = t.header.bitsPerPixel;
    if (bits >= 24 || t.bottom < 0) return false;
    uint8_t pal[256][3];
    paletteBgr(t, pal);

    // Every layer changes depth with the picture: a table whose layers disagree with the
    // header's depth could be neither composed nor saved. Each keeps its colours and alpha.
    const std::vector<int> order = t.Order();
    for (int slot : order) {
        Layer& l = t.layer(slot);
        LayerPlanes& p = t.planesOf(slot);
        if (l.kind == LayerKind::Text) continue;  // coverage pixels have no palette depth
        std::vector<uint8_t> oldPixels = std::move(p.pixels);
        std::vector<uint8_t> oldAlpha = std::move(p.alpha);
        std::vector<uint8_t> oldEffect = std::move(p.effect);
        const uint32_t oldStride = l.stride;
        const Layer saved = l;

        CreateLayerArgs a;
        a.imageKind = t.header.imageKind;
        a.bitsPerPixel = 24;
        a.paletteSize = 0;
        a.initialAlpha = 0;
        a.slot = slot;
        a.x = l.x;
        a.y = l.y;
        a.width = l.width;
        a.height = l.height;
        a.paletteMode = PaletteMode::Keep;
        a.canvasWidth = t.header.canvasWidth;
        a.canvasHeight = t.header.canvasHeight;
        a.kind = l.kind;
        a.creationTag = l.creationTag;
        const bool wasBackground = l.background != 0;
        a.background = wasBackground;
        // The palette is still needed for the remaining layers: expand with the saved copy.
        if (!t.CreateLayer(a, nullptr, 0, doc.SelectionActive())) {
            p.pixels = std::move(oldPixels);
            p.alpha = std::move(oldAlpha);
            p.effect = std::move(oldEffect);
            l = saved;
            return false;
        }
        if (oldPixels.size() >= size_t(oldStride) * size_t(l.height))
            for (int y = 0; y < l.height; ++y)
                expandRow(oldPixels.data() + size_t(y) * oldStride, bits, l.width, pal,
                          t.PixelRow(slot, y));
        // The alpha is kept: an opened picture stays fully opaque where it was.
        if (oldAlpha.size() == p.alpha.size()) p.alpha = std::move(oldAlpha);
        if (oldEffect.size() == p.effect.size()) p.effect = std::move(oldEffect);
    }
    t.palette = {};
    t.header.paletteSize = 0;
    t.header.bitsPerPixel = 24;
    t.header.RecomputeCanvasSizes();
    doc.CopyAllToSnapshot();
    if (LayerTable::IsValidIndex(doc.CurrentLayer()) && t.InList(doc.CurrentLayer())) {
        doc.PrepareWorkingCopy(doc.CurrentLayer());
        doc.RecordStep(u"RGB 컬러영상으로 변환",
                       order.size() > 1 ? StepKind::CanvasResize : StepKind::PixelEdit);
    }
    doc.NotifyViewsUpdate();
    return true;
}

}  // namespace quillet
