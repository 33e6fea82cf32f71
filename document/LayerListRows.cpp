#include "document/LayerListRows.h"

#include <algorithm>
#include <array>
#include <string>

#include "document/CBrevDoc.h"

namespace quillet {

namespace {

std::u16string Number(int value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

constexpr std::array<BlendEntry, 9> kBlendEntries{{
    {u"보통혼합", BlendMode::Normal},
    {u"곱셈혼합", BlendMode::Multiply},
    {u"화면혼합", BlendMode::Screen},
    {u"어두운혼합", BlendMode::Darken},
    {u"밝은혼합", BlendMode::Lighten},
    {u"차이혼합", BlendMode::Difference},
    {u"역차이혼합", BlendMode::Negation},
    {u"제외혼합", BlendMode::Exclusion},
    {u"오버레이혼합", BlendMode::Overlay},
}};

}  // namespace

std::u16string LayerLabel(const Layer& l) {
    if (l.kind == LayerKind::Floating) return u"[영역 이동 표시]";
    const std::u16string name = l.Name();
    if (name == u"[ImgFrame]") return u"[액자틀]";
    if (name == u"[LinePattern]") return u"//빗살무뉘//";
    std::u16string label = name.substr(0, 6);
    if (l.IsText()) label += u" [글]";
    return label;
}

std::vector<LayerRow> LayerRows(const CBrevDoc& doc) {
    const LayerTable& t = doc.Layers();
    int highlighted = doc.CurrentLayer();
    if (t.InList(highlighted) && t.layer(highlighted).kind == LayerKind::Floating &&
        t.InList(t.layer(highlighted).creationTag))
        highlighted = t.layer(highlighted).creationTag;
    std::vector<LayerRow> rows;
    for (int slot : t.Order()) {
        const Layer& l = t.layer(slot);
        LayerRow r;
        r.slot = slot;
        r.number = int(rows.size());
        r.label = LayerLabel(l);
        r.text = l.IsText();
        if (r.text) {
            const std::vector<char16_t>& text = t.planesOf(slot).text;
            const size_t n = std::min<size_t>({5, text.size(), size_t(std::max(0, l.textLength))});
            r.textStart.assign(text.begin(), text.begin() + std::ptrdiff_t(n));
        }
        r.visible = l.IsVisible();
        r.background = l.background != 0;
        r.floating = l.kind == LayerKind::Floating;
        r.highlighted = slot == highlighted;
        rows.push_back(std::move(r));
    }
    return rows;
}

std::u16string CanvasCaption(const LayerTable& t) {
    return u"(" + Number(t.header.canvasWidth) + u" x " + Number(t.header.canvasHeight) + u")";
}

void ComposeLayerThumbnail(const LayerTable& t, int slot, int side, Image32& out) {
    const int W = std::max(1, t.header.canvasWidth), H = std::max(1, t.header.canvasHeight);
    const double zoom = std::min(double(side) / W, double(side) / H);
    Compositor::ComposeLayerAloneInto(t, slot, Compositor::CentredRequest(t, side, side, zoom),
                                      out);
}

ThumbnailKey ThumbnailKeyOf(const LayerTable& t, int slot, int side) {
    const Layer& l = t.layer(slot);
    ThumbnailKey k;
    k.revision = t.Revision(slot);
    k.transparency = l.transparency;
    k.kind = l.kind;
    k.textColour = l.textColour;
    k.x = l.x;
    k.y = l.y;
    k.canvasWidth = t.header.canvasWidth;
    k.canvasHeight = t.header.canvasHeight;
    k.side = side;
    // Palette edits change the look of every layer of an indexed picture.
    for (size_t i = 0; i < t.palette.size(); ++i)
        k.paletteSum = k.paletteSum * 1099511628211ull + packBgr(t.palette[i]) + 1;
    return k;
}

std::span<const BlendEntry> BlendEntries() { return kBlendEntries; }

int BlendEntryIndex(BlendMode mode) {
    for (size_t i = 0; i < kBlendEntries.size(); ++i)
        if (kBlendEntries[i].mode == mode) return int(i);
    return 0;
}

}  // namespace quillet
