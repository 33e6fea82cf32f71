#include "view/tools/TextLayer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "document/CBrevDoc.h"
#include "document/LayerOps.h"
#include "platform/TextRasterizer.h"

namespace quillet {

namespace {

// The style and alignment word of the record: bold, italic, underline, strike-out, alignment.
constexpr int32_t kBold = 1, kItalic = 2, kUnderline = 4, kStrikeOut = 8, kAlignShift = 4;

FontSpec FontOf(const TextSettings& s, int pixelHeight) {
    FontSpec f;
    f.face = s.face;
    f.pixelHeight = pixelHeight;
    f.weight = s.bold ? 700 : 400;
    f.italic = s.italic;
    f.underline = s.underline;
    f.strikeOut = s.strikeOut;
    return f;
}

int RenderSize(int size) { return std::max(size, kSmallTextSize); }

int ChannelDistance(const uint8_t* bgr, uint32_t colour) {
    return std::abs(bgr[0] - int(colour & 0xFF)) + std::abs(bgr[1] - int((colour >> 8) & 0xFF)) +
           std::abs(bgr[2] - int((colour >> 16) & 0xFF));
}

uint8_t AlphaOf(double L, int S) {
    if (S == 0) return 255;
    const double a = std::trunc(255.0 - L / double(S) * 255.0);
    return uint8_t(std::clamp(a, 0.0, 255.0));
}

}  // namespace

int StoredTextSize(int points) {
    return int(std::clamp<int64_t>(int64_t(points) * 2, kMinTextSize, kMaxTextSize));
}

std::u16string_view CutText(std::u16string_view text) {
    return text.substr(0, std::min<size_t>(text.size(), kMaxTextLayerChars));
}

int TextLineCount(std::u16string_view text) {
    const int feeds = int(std::count(text.begin(), text.end(), u'\n'));
    const size_t last = text.rfind(u'\n');
    const std::u16string_view tail =
        last == std::u16string_view::npos ? text : text.substr(last + 1);
    const bool tailEmpty = tail.empty() || tail == u"\r";
    return feeds + (tailEmpty ? 0 : 1);
}

std::vector<std::u16string> TextLines(std::u16string_view text) {
    std::vector<std::u16string> lines(1);
    for (char16_t c : text) {
        if (c == u'\n')
            lines.emplace_back();
        else if (c != u'\r')
            lines.back() += c;
    }
    lines.resize(size_t(std::max(1, TextLineCount(text))));
    return lines;
}

int TextLinePitch(int size, int letterHeight, double lineSpacing) {
    double h = letterHeight;
    if (size < 35) h = std::trunc((1.0 - (34.0 - size) / 34.0) * h);
    return int(std::trunc(std::max(lineSpacing, 0.5) * h));
}

int TextContrastScale(uint32_t colour) {
    const int r = int((colour >> 16) & 0xFF), g = int((colour >> 8) & 0xFF), b = int(colour & 0xFF);
    const int C = (r + g + b) / 3;
    int V = std::min(400 - C, 255);
    if (C > 273) V = 127;
    const uint8_t key[3] = {uint8_t(kTextKeyColour), uint8_t(kTextKeyColour >> 8),
                            uint8_t(kTextKeyColour >> 16)};
    return int(std::trunc(V / 255.0 * ChannelDistance(key, colour)));
}

TextSettings TextSettingsOf(const Layer& l) {
    TextSettings s;
    size_t n = 0;
    while (n < size_t(kFontFaceUnits) && l.fontFace[n] != 0) ++n;
    s.face.assign(l.fontFace, n);
    s.size = std::clamp(l.fontSize, kMinTextSize, kMaxTextSize);
    s.lineSpacing = l.textScale / 10.0;
    s.widthRatio = l.textSettingB > 0 ? l.textSettingB : 100;
    const int32_t word = l.textSettingC;
    s.bold = word & kBold;
    s.italic = word & kItalic;
    s.underline = word & kUnderline;
    s.strikeOut = word & kStrikeOut;
    s.align = TextAlign(std::clamp((word >> kAlignShift) & 3, 0, 2));
    s.colour = l.textColour & 0xFFFFFF;
    return s;
}

void StoreTextSettings(Layer& l, const TextSettings& s) {
    std::memset(l.fontFace, 0, sizeof l.fontFace);
    const size_t n = std::min<size_t>(s.face.size(), kFontFaceUnits - 1);
    std::memcpy(l.fontFace, s.face.data(), n * sizeof(char16_t));
    l.fontSize = std::clamp(s.size, kMinTextSize, kMaxTextSize);
    l.textScale = int32_t(std::lround(s.lineSpacing * 10));
    l.textSettingB = s.widthRatio;
    l.textSettingC = (s.bold ? kBold : 0) | (s.italic ? kItalic : 0) |
                     (s.underline ? kUnderline : 0) | (s.strikeOut ? kStrikeOut : 0) |
                     (int32_t(s.align) << kAlignShift);
    l.textColour = s.colour & 0xFFFFFF;
}

std::u16string TextOf(const Layer& l, const LayerPlanes& p) {
    const size_t n = std::min<size_t>(size_t(std::max(0, l.textLength)), p.text.size());
    return std::u16string(p.text.begin(), p.text.begin() + std::ptrdiff_t(n));
}

LineAlpha RasterizeTextLine(const TextRasterizer& r, const std::u16string& line,
                            const TextSettings& s) {
    LineAlpha out;
    const int size = std::clamp(s.size, kMinTextSize, kMaxTextSize);
    const FontSpec font = FontOf(s, RenderSize(size));
    const TextExtent e = r.measure(line, font);
    if (e.width < 1 || e.height < 1) return out;
    // 1-2. The line drawn on the key colour, opaque.
    const int w = e.width, h = e.height;
    std::vector<uint8_t> pixels(size_t(w) * size_t(h) * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = uint8_t(kTextKeyColour);
        pixels[i + 1] = uint8_t(kTextKeyColour >> 8);
        pixels[i + 2] = uint8_t(kTextKeyColour >> 16);
        pixels[i + 3] = 255;
    }
    r.draw(line, font, s.colour, int64_t(kTextKeyColour), Buffer32{pixels.data(), w, h, w * 4}, 0,
           0);
    // 3. The contrast scale.
    const int S = TextContrastScale(s.colour);
    const double squeeze = std::min(std::max(s.widthRatio, 1) / 100.0, 1.0);
    auto column = [&](int x) { return int(std::trunc(x * squeeze)); };

    if (size > kSmallTextSize - 1) {
        // 4. Every rendered pixel's distance from the text colour gives its alpha.
        out.width = std::max(1, column(w - 1) + 1);
        out.height = h;
        out.alpha.assign(size_t(out.width) * size_t(h), 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t a =
                    AlphaOf(ChannelDistance(&pixels[(size_t(y) * w + x) * 4], s.colour), S);
                uint8_t& d = out.alpha[size_t(y) * out.width + size_t(column(x))];
                d = std::max(d, a);
            }
        return out;
    }
    // 5. Small sizes: sampled down by size / 34 at pixel centres, bilinear.
    const double scale = double(kSmallTextSize) / size;
    const int sw = std::max(1, int(w / scale)), sh = std::max(1, int(h / scale));
    out.width = std::max(1, column(sw - 1) + 1);
    out.height = sh;
    out.alpha.assign(size_t(out.width) * size_t(sh), 0);
    for (int j = 0; j < sh; ++j) {
        const double sy = std::clamp((j + 0.5) * scale - 0.5, 0.0, double(h - 1));
        const int y0 = int(sy), y1 = std::min(y0 + 1, h - 1);
        const double fy = sy - y0;
        for (int i = 0; i < sw; ++i) {
            const double sx = std::clamp((i + 0.5) * scale - 0.5, 0.0, double(w - 1));
            const int x0 = int(sx), x1 = std::min(x0 + 1, w - 1);
            const double fx = sx - x0;
            double L = 0;
            for (int c = 0; c < 3; ++c) {
                auto at = [&](int x, int y) { return double(pixels[(size_t(y) * w + x) * 4 + c]); };
                const double v = (at(x0, y0) * (1 - fx) + at(x1, y0) * fx) * (1 - fy) +
                                 (at(x0, y1) * (1 - fx) + at(x1, y1) * fx) * fy;
                const int target = int((s.colour >> (8 * c)) & 0xFF);
                L += std::abs(v - target);
            }
            uint8_t a = AlphaOf(L, S);
            if (S != 0 && a <= 19) a = 0;
            uint8_t& d = out.alpha[size_t(j) * out.width + size_t(column(i))];
            d = std::max(d, a);
        }
    }
    return out;
}

namespace {

struct Block {
    std::vector<LineAlpha> lines;
    int width = 0;  // the widest line
    int pitch = 0;
    int height = 0;  // lines × pitch
};

Block Measure(const TextRasterizer& r, std::u16string_view text, const TextSettings& s) {
    Block b;
    for (const std::u16string& line : TextLines(text)) {
        b.lines.push_back(RasterizeTextLine(r, line, s));
        b.width = std::max(b.width, b.lines.back().width);
    }
    const int size = std::clamp(s.size, kMinTextSize, kMaxTextSize);
    const int letter = r.measure(u"A", FontOf(s, RenderSize(size))).height;
    b.pitch = TextLinePitch(size, letter, s.lineSpacing);
    b.height = TextLineCount(text) * b.pitch;
    return b;
}

// Creates the slot again as a text layer of at least the block's extent from (ox, oy), stores
// the text and settings, and draws the lines into its alpha plane.
bool Build(CBrevDoc& doc, int slot, std::u16string_view text, const TextSettings& s,
           const Block& block, int ox, int oy) {
    LayerTable& t = doc.Layers();
    const Layer before = t.layer(slot);
    const int width = std::max<int>(before.width, int(ox + block.width * 1.5));
    const int height = std::max(before.height, oy + std::max(block.height, 1));
    CreateLayerArgs a;
    a.imageKind = t.header.imageKind;
    a.bitsPerPixel = t.header.bitsPerPixel;
    a.paletteSize = t.header.paletteSize;
    a.slot = slot;
    a.x = before.x;
    a.y = before.y;
    a.width = width;
    a.height = height;
    a.paletteMode = PaletteMode::Keep;
    a.canvasWidth = t.header.canvasWidth;
    a.canvasHeight = t.header.canvasHeight;
    a.background = before.background != 0;
    a.kind = LayerKind::Text;
    a.creationTag = -1;
    if (!doc.CreateLayer(a)) return false;
    Layer& l = t.layer(slot);
    StoreTextSettings(l, s);
    l.textX = ox;
    l.textY = oy;
    l.textLength = int32_t(text.size());
    LayerPlanes& p = t.planesOf(slot);
    p.text.assign(text.begin(), text.end());
    p.text.push_back(0);
    for (size_t k = 0; k < block.lines.size(); ++k) {
        const LineAlpha& line = block.lines[k];
        int left = ox;
        if (s.align == TextAlign::Centre) left += (block.width - line.width) / 2;
        if (s.align == TextAlign::Right) left += block.width - line.width;
        const int top = oy + int(k) * block.pitch;
        for (int y = 0; y < line.height; ++y) {
            const int layerRow = top + y;
            if (layerRow < 0 || layerRow >= height) continue;
            uint8_t* row = p.alpha.data() + size_t(height - 1 - layerRow) * size_t(width);
            const uint8_t* src = line.alpha.data() + size_t(y) * size_t(line.width);
            for (int x = 0; x < line.width; ++x) {
                const int at = left + x;
                if (at >= 0 && at < width) row[at] = std::max(row[at], src[x]);
            }
        }
    }
    doc.PrepareWorkingCopy(slot);
    return true;
}

}  // namespace

int AddTextLayer(CBrevDoc& doc, const TextRasterizer& rasterizer, std::u16string_view text,
                 const TextSettings& settings, int x, int y) {
    text = CutText(text);
    LayerTable& t = doc.Layers();
    const int current = doc.CurrentLayer();
    if (text.empty() || doc.Busy() || !t.InList(current)) return -1;
    const Layer& here = t.layer(current);
    const int64_t canvasX = int64_t(here.x) + x, canvasY = int64_t(here.y) + y;
    const Block block = Measure(rasterizer, text, settings);

    // A new layer above the current one, of canvas size at (0, 0): canvas points are its points.
    const int slot = doc.FreeSlotForNewLayer();
    if (slot < 0) return -1;
    t.layer(slot) = Layer{};
    if (!doc.CreateLayer(CanvasLayerArgs(t, slot, LayerKind::Text))) return -1;
    Layer& l = t.layer(slot);
    l.used = 1;
    l.visible = 1;
    l.textScale = 10;
    l.textSettingB = 100;
    const std::string digits = std::to_string(slot);
    l.SetName(u"레이어 " + std::u16string(digits.begin(), digits.end()));
    t.LinkAbove(slot, current);

    // The origin: the point, kept on the layer and moved up so that the block fits; a point
    // beyond the layer stands for the layer's own corner.
    int ox = int(std::clamp<int64_t>(canvasX, 0, INT32_MAX));
    int oy = int(std::clamp<int64_t>(canvasY, 0, INT32_MAX));
    if (canvasX >= l.width || canvasY >= l.height) {
        ox = 0;
        oy = 0;
    } else if (oy + block.height > l.height) {
        oy = std::max(0, l.height - block.height);
    }
    if (!Build(doc, slot, text, settings, block, ox, oy)) {
        t.Unlink(slot);
        t.layer(slot).used = 0;
        t.planesOf(slot).Release();
        return -1;
    }
    doc.SetCurrentLayerIndex(slot);
    doc.RecordStep(u"글자입력", StepKind::TextLayer, slot);
    doc.NotifyLayerListChanged();
    doc.NotifyViewsUpdate();
    return slot;
}

bool EditTextLayer(CBrevDoc& doc, const TextRasterizer& rasterizer, int slot,
                   std::u16string_view text, const TextSettings& settings) {
    text = CutText(text);
    LayerTable& t = doc.Layers();
    if (text.empty() || doc.Busy() || !t.InList(slot) || !t.layer(slot).IsText()) return false;
    const Block block = Measure(rasterizer, text, settings);
    const Layer& l = t.layer(slot);
    if (!Build(doc, slot, text, settings, block, std::max(0, l.textX), std::max(0, l.textY)))
        return false;
    doc.RecordStep(u"글자수정", StepKind::TextEdit, slot);
    doc.NotifyLayerListChanged();
    doc.NotifyViewsUpdate();
    return true;
}

}  // namespace quillet
