#include "document/ColourCommands.h"

#include <cstring>
#include <optional>

#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "document/IndexedLayers.h"
#include "image/codecs/NearestPalette.h"
#include "image/effects/ColourTables.h"
#include "image/effects/RowCopy.h"

namespace quillet {

namespace {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

Histogram HistogramOf(const LayerTable& t, int slot, const LayerPixels& pixels) {
    if (!IsIndexedPicture(t)) return ComputeHistogram(pixels, 2);
    const std::array<uint64_t, 256> counts = IndexCounts(t, slot);
    return PaletteHistogram(t.palette.data(), int(std::min<size_t>(t.palette.size(), 256)),
                            counts.data());
}

// The tables of a table-driven adjustment for the layer as it is in `from`; none when the
// adjustment changes nothing there (or is not table-driven).
std::optional<ChannelTables> TablesFor(const ColourAdjustment& a, const LayerTable& t, int slot,
                                       const LayerPixels& from, const Histogram* kept = nullptr) {
    return std::visit(
        Overloaded{[](const BrightnessContrastValues& v) -> std::optional<ChannelTables> {
                       if (v.brightness == 0 && v.contrast == 0) return std::nullopt;
                       return BrightnessContrastTables(v.brightness, v.contrast);
                   },
                   [](const ChannelValues& v) -> std::optional<ChannelTables> {
                       return ChannelShiftTables(v.red, v.green, v.blue);
                   },
                   [&](const LevelsRequest& r) -> std::optional<ChannelTables> {
                       ChannelTables tables;
                       if (!LevelsTables(kept ? *kept : HistogramOf(t, slot, from), r, tables))
                           return std::nullopt;
                       return tables;
                   },
                   [](const auto&) -> std::optional<ChannelTables> { return std::nullopt; }},
        a);
}

// --- The threshold, over every raster layer ---------------------------------------------------

// An indexed layer goes through true colour and back to the nearest palette entries.
void ThresholdIndexedLayer(LayerTable& t, int slot, const uint8_t* selection, ThresholdValues v) {
    const Layer& l = t.layer(slot);
    const int bits = t.header.bitsPerPixel;
    std::vector<uint8_t> rgb(size_t(l.width) * size_t(l.height) * 3);
    LayerPixels px;
    px.pixels = rgb.data();
    px.stride = size_t(l.width) * 3;
    px.width = l.width;
    px.height = l.height;
    px.selection = selection;
    for (int y = 0; y < l.height; ++y) {
        const uint8_t* row = t.PixelRow(slot, y);
        uint8_t* out = px.Row(y);
        for (int x = 0; x < l.width; ++x, out += 3) {
            const unsigned i = PixelIndex(row, x, bits);
            const Rgbquad q = i < t.palette.size() ? t.palette[i] : Rgbquad{};
            out[0] = q.blue;
            out[1] = q.green;
            out[2] = q.red;
        }
    }
    ThresholdPixels(px, v.mode, v.value);
    NearestPalette nearest(t.palette.data(), int(t.palette.size()));
    for (int y = 0; y < l.height; ++y) {
        uint8_t* row = t.PixelRow(slot, y);
        const uint8_t* in = px.Row(y);
        const uint8_t* s = px.SelectionRow(y);
        for (int x = 0; x < l.width; ++x, in += 3)
            if (!s || s[x])
                PutPixelIndex(row, x, bits, unsigned(nearest.Find(in[2], in[1], in[0])));
    }
}

std::vector<int> ThresholdEveryLayer(CBrevDoc& doc, ThresholdValues v, Progress* progress) {
    LayerTable& t = doc.Layers();
    std::vector<int> changed;
    for (int slot : t.Order()) {
        if (t.layer(slot).kind == LayerKind::Text) continue;
        LayerPixels px = PixelsOf(t, slot);
        if (px.Empty()) continue;
        std::vector<uint8_t> storage;
        px.selection = SelectionFor(doc, slot, storage);
        if (IsIndexedPicture(t))
            ThresholdIndexedLayer(t, slot, px.selection, v);
        else
            ThresholdPixels(px, v.mode, v.value, progress);
        changed.push_back(slot);
    }
    return changed;
}

// --- One layer ----------------------------------------------------------------------------

// Applies a current-layer adjustment reading `from` and writing `to`; false when it changes
// nothing (then `to` is left as it was).
bool ApplyToPixels(const ColourAdjustment& a, const LayerTable& t, int slot,
                   const LayerPixels& from, const LayerPixels& to, Progress* progress,
                   const Histogram* kept = nullptr) {
    if (const auto* s = std::get_if<SaturationValue>(&a)) {
        ApplySaturation(from, to, s->value);
        return true;
    }
    const std::optional<ChannelTables> tables = TablesFor(a, t, slot, from, kept);
    if (!tables) return false;
    ApplyChannelTables(from, to, *tables, AlphaRule::SkipTransparent, progress);
    return true;
}

bool ApplyToPalette(const ColourAdjustment& a, const LayerTable& t, int slot, Rgbquad* palette,
                    int count, const Histogram* kept = nullptr) {
    if (const auto* s = std::get_if<SaturationValue>(&a)) {
        ApplySaturation(palette, count, s->value);
        return true;
    }
    const std::optional<ChannelTables> tables = TablesFor(a, t, slot, LayerPixels{}, kept);
    if (!tables) return false;
    ApplyChannelTables(palette, count, *tables);
    return true;
}

// Copies the pixels and palette kept by BeginAdjustmentPreview back into the current table
// without reallocating when the shapes still agree.
void RestorePreviewed(CBrevDoc& doc, int slot) {
    LayerTable& cur = doc.Layers();
    LayerTable& pre = doc.Preview();
    const LayerPlanes& from = pre.planesOf(slot);
    LayerPlanes& to = cur.planesOf(slot);
    if (from.pixels.size() == to.pixels.size() && from.alpha.size() == to.alpha.size() &&
        cur.layer(slot).pixelSize == pre.layer(slot).pixelSize) {
        std::memcpy(to.pixels.data(), from.pixels.data(), to.pixels.size());
        std::memcpy(to.alpha.data(), from.alpha.data(), to.alpha.size());
        cur.layer(slot).textColour = pre.layer(slot).textColour;
    } else {
        cur.CopyLayerFrom(pre, slot);
    }
    cur.palette = pre.palette;
}

}  // namespace

std::u16string_view LabelOf(const ColourAdjustment& adjustment) {
    return std::visit(
        Overloaded{[](const BrightnessContrastValues&) { return kLabelBrightnessContrast; },
                   [](const LevelsRequest& r) {
                       if (r.normalise) return kLabelNormalise;
                       return r.black < 0 ? kLabelAutoColour : kLabelColourAdjust;
                   },
                   [](const ThresholdValues&) { return kLabelThreshold; },
                   [](const auto&) { return kLabelColourAdjust; }},
        adjustment);
}

bool CoversEveryLayer(const ColourAdjustment& adjustment) {
    return std::holds_alternative<ThresholdValues>(adjustment);
}

EditOutcome ApplyColourAdjustment(CBrevDoc& doc, const ColourAdjustment& adjustment,
                                  Progress* progress) {
    const std::u16string_view label = LabelOf(adjustment);
    if (const auto* v = std::get_if<ThresholdValues>(&adjustment)) {
        if (EditableCurrentLayer(doc, TextLayerRule::Allow) < 0) return EditOutcome::Refused;
        return RecordLayersChanged(doc, ThresholdEveryLayer(doc, *v, progress), label);
    }
    const int slot = EditableCurrentLayer(doc, TextLayerRule::Refuse);
    if (slot < 0) return EditOutcome::Refused;
    LayerTable& t = doc.Layers();
    if (IsIndexedPicture(t))
        return EditPalette(doc, slot, label, [&](Rgbquad* palette, int count) {
            return ApplyToPalette(adjustment, t, slot, palette, count);
        });
    if (const auto* v = std::get_if<SaturationValue>(&adjustment))
        return EditLayerPixels(doc, slot, label,
                               [&](const LayerPixels& from, const LayerPixels& to) {
                                   ApplySaturation(from, to, v->value);
                               });
    // Decided before the edit starts: a routine with nothing to change records no step.
    const std::optional<ChannelTables> tables = TablesFor(adjustment, t, slot, PixelsOf(t, slot));
    if (!tables) return EditOutcome::Unchanged;
    return EditLayerPixels(doc, slot, label, [&](const LayerPixels& from, const LayerPixels& to) {
        ApplyChannelTables(from, to, *tables, AlphaRule::SkipTransparent, progress);
    });
}

bool BeginAdjustmentPreview(CBrevDoc& doc, bool everyLayer) {
    const int slot =
        EditableCurrentLayer(doc, everyLayer ? TextLayerRule::Allow : TextLayerRule::Refuse);
    if (slot < 0) return false;
    if (everyLayer)
        for (int s : doc.Layers().Order()) doc.CopyToPreview(s);
    else
        doc.CopyToPreview(slot);
    return true;
}

void ShowAdjustmentPreview(CBrevDoc& doc, const ColourAdjustment& adjustment,
                           const Histogram* kept) {
    const int slot = doc.CurrentLayer();
    LayerTable& t = doc.Layers();
    if (!t.InList(slot)) return;
    if (const auto* v = std::get_if<ThresholdValues>(&adjustment)) {
        for (int s : t.Order()) RestorePreviewed(doc, s);
        ThresholdEveryLayer(doc, *v, nullptr);
    } else if (IsIndexedPicture(t)) {
        t.palette = doc.Preview().palette;
        ApplyToPalette(adjustment, t, slot, t.palette.data(), int(t.palette.size()), kept);
    } else {
        // One pass: the preview copy is read and the layer written, restoring and applying.
        const LayerPixels from = PixelsOf(doc.Preview(), slot);
        LayerPixels to = PixelsOf(t, slot);
        if (from.Empty() || !from.SameShape(to)) return;
        std::vector<uint8_t> storage;
        to.selection = SelectionFor(doc, slot, storage);
        if (!ApplyToPixels(adjustment, doc.Preview(), slot, from, to, nullptr, kept))
            CopyPlanes(from, to);
    }
    doc.ViewShared().recomposeNeeded = true;
    doc.NotifyViewsUpdate();
}

void CancelAdjustmentPreview(CBrevDoc& doc) {
    LayerTable& t = doc.Layers();
    for (int s : t.Order())
        if (doc.Preview().layer(s).used && doc.Preview().planesOf(s).pixels.size() > 0)
            RestorePreviewed(doc, s);
    doc.ViewShared().recomposeNeeded = true;
    doc.NotifyViewsUpdate();
}

EditOutcome CommitAdjustmentPreview(CBrevDoc& doc, const ColourAdjustment& adjustment) {
    CancelAdjustmentPreview(doc);
    return ApplyColourAdjustment(doc, adjustment);
}

Histogram CurrentLayerHistogram(CBrevDoc& doc) {
    const int slot = doc.CurrentLayer();
    LayerTable& t = doc.Layers();
    if (!t.InList(slot) || t.layer(slot).kind == LayerKind::Text) return {};
    return HistogramOf(t, slot, PixelsOf(t, slot));
}

EditOutcome AutoColour(CBrevDoc& doc) { return ApplyColourAdjustment(doc, AutomaticLevels()); }

EditOutcome NormaliseColour(CBrevDoc& doc) {
    return ApplyColourAdjustment(doc, NormalisingLevels());
}

EditOutcome InvertLayer(CBrevDoc& doc) {
    const int slot = EditableCurrentLayer(doc, TextLayerRule::Refuse);
    if (slot < 0) return EditOutcome::Refused;
    LayerTable& t = doc.Layers();
    if (IsIndexedPicture(t)) {
        bool greyRamp = t.palette.size() == 256;
        for (size_t i = 0; greyRamp && i < t.palette.size(); ++i)
            greyRamp = t.palette[i] == Rgbquad{uint8_t(i), uint8_t(i), uint8_t(i), 0};
        if (!greyRamp)
            return EditPalette(doc, slot, kLabelInvert, [](Rgbquad* palette, int count) {
                InvertPalette(palette, count);
                return true;
            });
        // A grey ramp keeps its palette: the index bytes are complemented instead.
        LayerPixels px = PixelsOf(t, slot);
        std::vector<uint8_t> storage;
        px.selection = SelectionFor(doc, slot, storage);
        for (int y = 0; y < px.height; ++y) {
            uint8_t* row = px.Row(y);
            const uint8_t* s = px.SelectionRow(y);
            if (t.header.bitsPerPixel == 8 && s) {
                for (int x = 0; x < px.width; ++x)
                    if (s[x]) row[x] = uint8_t(~row[x]);
            } else {
                InvertIndexBytes(row, px.stride);
            }
        }
        return RecordLayersChanged(doc, {slot}, kLabelInvert);
    }
    Rgbquad& key = doc.Image().transparentColour;
    key.blue = uint8_t(~key.blue);
    key.green = uint8_t(~key.green);
    key.red = uint8_t(~key.red);
    return EditLayerPixels(
        doc, slot, kLabelInvert,
        [](const LayerPixels& from, const LayerPixels& to) { InvertPixels(from, to); });
}

EditOutcome DesaturateLayer(CBrevDoc& doc) {
    const int slot = EditableCurrentLayer(doc, TextLayerRule::Allow);
    if (slot < 0) return EditOutcome::Refused;
    LayerTable& t = doc.Layers();
    Layer& l = t.layer(slot);
    if (l.kind == LayerKind::Text) {
        l.textColour = DesaturatedColour(l.textColour);
        return RecordLayersChanged(doc, {slot}, kLabelDesaturate);
    }
    if (IsIndexedPicture(t))
        return EditPalette(doc, slot, kLabelDesaturate, [](Rgbquad* palette, int count) {
            DesaturatePalette(palette, count);
            return true;
        });
    return EditLayerPixels(
        doc, slot, kLabelDesaturate,
        [](const LayerPixels& from, const LayerPixels& to) { DesaturatePixels(from, to); });
}

EditOutcome GreyscaleDocument(CBrevDoc& doc) {
    if (EditableCurrentLayer(doc, TextLayerRule::Allow) < 0) return EditOutcome::Refused;
    LayerTable& t = doc.Layers();
    const bool indexed = IsIndexedPicture(t);
    std::vector<int> changed;
    for (int slot : t.Order()) {
        Layer& l = t.layer(slot);
        if (l.kind == LayerKind::Text) {
            l.textColour = DesaturatedColour(l.textColour);
        } else if (!indexed) {
            LayerPixels px = PixelsOf(t, slot);
            if (px.Empty()) continue;
            std::vector<uint8_t> storage;
            px.selection = SelectionFor(doc, slot, storage);
            DesaturatePixels(px, px);
        }
        changed.push_back(slot);
    }
    // Indexed layers share one palette: it is changed once for all of them.
    if (indexed) {
        DesaturatePalette(t.palette.data(), int(t.palette.size()));
        RaViru& image = doc.Image();
        for (int i = 0; i < std::min(image.PaletteCount(), int(t.palette.size())); ++i)
            image.SetPaletteEntry(i, packBgr(t.palette[size_t(i)]));
    }
    return RecordLayersChanged(doc, changed, kLabelGreyscale);
}

EditOutcome ConvertToRgb24(CBrevDoc& doc) {
    if (EditableCurrentLayer(doc, TextLayerRule::Allow) < 0) return EditOutcome::Refused;
    if (doc.Layers().header.bitsPerPixel >= 24) return EditOutcome::Unchanged;
    return ConvertDocumentTo24Bit(doc) ? EditOutcome::Done : EditOutcome::Unchanged;
}

}  // namespace quillet
