// The 8-bit optimal conversion, and index counts of indexed layers.
#include "document/CBrevDoc.h"
#include "document/ColourCommands.h"
#include "document/IndexedLayers.h"
#include "image/codecs/CQuantizer.h"
#include "image/codecs/NearestPalette.h"
#include "image/effects/RowThreads.h"

namespace quillet {

std::array<uint64_t, 256> IndexCounts(const LayerTable& t, int slot) {
    std::array<uint64_t, 256> counts{};
    const Layer& l = t.layer(slot);
    const int bits = t.LayerBits(slot);
    if (bits > 8 || t.planesOf(slot).pixels.size() != l.pixelSize) return counts;
    for (int y = 0; y < l.height; ++y) {
        const uint8_t* row = t.PixelRow(slot, y);
        for (int x = 0; x < l.width; ++x) ++counts[PixelIndex(row, x, bits)];
    }
    return counts;
}

EditOutcome ReduceTo256Colours(CBrevDoc& doc) {
    if (EditableCurrentLayer(doc, TextLayerRule::Allow) < 0) return EditOutcome::Refused;
    LayerTable& t = doc.Layers();
    const int bits = t.header.bitsPerPixel;
    if (bits <= 8) return EditOutcome::Unchanged;
    const int bpp = bits / 8;

    std::vector<int> raster;
    CQuantizer quantizer(256, 8);
    for (int slot : t.Order()) {
        const LayerPixels px = PixelsOf(t, slot);
        if (t.layer(slot).kind == LayerKind::Text || px.Empty()) continue;
        raster.push_back(slot);
        quantizer.AddRows(px.pixels, px.stride, px.width, px.height, bpp);
    }
    const std::vector<Rgbquad> palette = quantizer.Palette();
    if (raster.empty() || palette.empty()) return EditOutcome::Unchanged;

    // Creating a layer places the mask on it; the selection stays where it was.
    SelectionMask keptMask = t.mask;
    for (int slot : raster) {
        Layer& l = t.layer(slot);
        LayerPlanes& p = t.planesOf(slot);
        std::vector<uint8_t> oldPixels = std::move(p.pixels);
        std::vector<uint8_t> oldAlpha = std::move(p.alpha);
        std::vector<uint8_t> oldEffect = std::move(p.effect);
        const size_t oldStride = l.stride;

        CreateLayerArgs a;
        a.imageKind = t.header.imageKind;
        a.bitsPerPixel = 8;
        a.paletteSize = int(palette.size());
        a.slot = slot;
        a.x = l.x;
        a.y = l.y;
        a.width = l.width;
        a.height = l.height;
        a.paletteMode = PaletteMode::Keep;
        a.canvasWidth = t.header.canvasWidth;
        a.canvasHeight = t.header.canvasHeight;
        a.background = l.background != 0;
        a.kind = l.kind;
        a.creationTag = l.creationTag;
        if (!t.CreateLayer(a, nullptr, 0, doc.SelectionActive())) return EditOutcome::Refused;
        // Rows map independently: each thread keeps its own search cache.
        ForRowBands(l.height, 2, [&](int y0, int y1) {
            NearestPalette nearest(palette.data(), int(palette.size()));
            for (int y = y0; y < y1; ++y) {
                const uint8_t* src = oldPixels.data() + size_t(y) * oldStride;
                uint8_t* dst = t.PixelRow(slot, y);
                for (int x = 0; x < l.width; ++x, src += bpp)
                    dst[x] = uint8_t(nearest.Find(src[2], src[1], src[0]));
            }
        });
        if (oldAlpha.size() == p.alpha.size()) p.alpha = std::move(oldAlpha);
        if (oldEffect.size() == p.effect.size()) p.effect = std::move(oldEffect);
    }
    t.palette = palette;
    t.header.paletteSize = int32_t(palette.size());
    t.header.bitsPerPixel = 8;
    t.header.RecomputeCanvasSizes();
    t.mask = std::move(keptMask);
    if (t.InList(doc.CurrentLayer())) doc.PrepareWorkingCopy(doc.CurrentLayer());
    return RecordLayersChanged(doc, raster, kLabelReduce256);
}

}  // namespace quillet
