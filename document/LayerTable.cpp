#include "document/LayerTable.h"

#include <algorithm>
#include <cstring>

#include "image/RaViru.h"

namespace quillet {

namespace {

void copyName(char16_t* dst, std::u16string_view text) {
    std::memset(dst, 0, kMaxNameChars * sizeof(char16_t));
    size_t n = std::min<size_t>(text.size(), kMaxNameChars);
    std::memcpy(dst, text.data(), n * sizeof(char16_t));
}

std::u16string readName(const char16_t* src) {
    size_t n = 0;
    while (n < size_t(kMaxNameChars) && src[n] != 0) ++n;
    return std::u16string(src, n);
}

bool supportedDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
}

}  // namespace

std::u16string PictureHeader::Name() const { return readName(name); }
void PictureHeader::SetName(std::u16string_view text) { copyName(name, text); }

void PictureHeader::RecomputeCanvasSizes() {
    canvasImageSize =
        uint32_t(StrideFor(bitsPerPixel, canvasWidth) * uint64_t(std::max(0, canvasHeight)));
    canvasPixelCount =
        uint32_t(uint64_t(std::max(0, canvasWidth)) * uint64_t(std::max(0, canvasHeight)));
}

std::u16string Layer::Name() const { return readName(name); }
void Layer::SetName(std::u16string_view text) { copyName(name, text); }

LayerTable::LayerTable() {
    std::memset(&header, 0, sizeof header);
    std::memset(layers.data(), 0, sizeof(Layer) * layers.size());
}

bool LayerTable::InList(int index) const {
    if (!IsValidIndex(index)) return false;
    int at = bottom;
    for (int steps = 0; IsValidIndex(at) && steps < kLayerSlots; ++steps) {
        if (at == index) return true;
        at = layers[size_t(at)].next;
    }
    return false;
}

int LayerTable::StepFrom(int slot, int steps) const {
    int at = slot;
    for (int i = 0; i < steps; ++i) {
        if (!IsValidIndex(at)) return -1;
        at = layers[size_t(at)].next;
    }
    return IsValidIndex(at) ? at : -1;
}

std::vector<int> LayerTable::Order() const {
    std::vector<int> order;
    int at = bottom;
    while (IsValidIndex(at) && order.size() < size_t(kLayerSlots)) {
        order.push_back(at);
        at = layers[size_t(at)].next;
    }
    return order;
}

int LayerTable::Top() const {
    auto order = Order();
    return order.empty() ? -1 : order.back();
}

int LayerTable::Count() const { return int(Order().size()); }

int LayerTable::LowestFreeSlot() const {
    for (int i = 0; i < kLayerSlots; ++i)
        if (layers[size_t(i)].used == 0) return i;
    return -1;
}

int LayerTable::FirstFloatingLayer() const {
    for (int slot : Order())
        if (layers[size_t(slot)].kind == LayerKind::Floating) return slot;
    return -1;
}

void LayerTable::LinkAbove(int slot, int below) {
    if (!IsValidIndex(slot)) return;
    Layer& l = layer(slot);
    if (!IsValidIndex(below)) {
        l.previous = -1;
        l.next = int16_t(IsValidIndex(bottom) ? bottom : -1);
        if (IsValidIndex(bottom)) layer(bottom).previous = int16_t(slot);
        bottom = slot;
        return;
    }
    Layer& b = layer(below);
    l.previous = int16_t(below);
    l.next = b.next;
    if (IsValidIndex(b.next)) layer(b.next).previous = int16_t(slot);
    b.next = int16_t(slot);
}

void LayerTable::Unlink(int slot) {
    if (!InList(slot)) return;
    Layer& l = layer(slot);
    if (IsValidIndex(l.previous)) layer(l.previous).next = l.next;
    if (IsValidIndex(l.next)) layer(l.next).previous = l.previous;
    if (bottom == slot) bottom = IsValidIndex(l.next) ? l.next : -1;
    l.previous = l.next = -1;
}

bool LayerTable::CreateLayer(const CreateLayerArgs& a, const Rgbquad* imagePalette,
                             int imagePaletteCount, bool selectionActive) {
    if (!IsValidIndex(a.slot) || a.width < 1 || a.height < 1) return false;
    const int canvasW = a.canvasWidth == -1 ? a.width : a.canvasWidth;
    const int canvasH = a.canvasHeight == -1 ? a.height : a.canvasHeight;
    // Sizes that no buffer could hold are refused before anything changes.
    if (canvasW < 1 || canvasH < 1 || !supportedDepth(a.bitsPerPixel) || a.paletteSize < 0 ||
        a.paletteSize > 256)
        return false;
    if (!FitsPixelLimit(a.width, a.height) || !FitsPixelLimit(canvasW, canvasH)) return false;

    // 1. Canvas and picture name.
    header.canvasWidth = canvasW;
    header.canvasHeight = canvasH;
    if (!a.pictureName.empty()) header.SetName(a.pictureName);

    // 2. Picture depth and the slot's shape.
    header.bitsPerPixel = a.bitsPerPixel;
    header.paletteSize = a.paletteSize;
    header.imageKind = int8_t(a.imageKind);
    Layer& l = layer(a.slot);
    l.kind = a.kind;
    l.background = a.background ? 1 : 0;
    l.textLength = 0;
    l.width = a.width;
    l.height = a.height;
    l.stride = uint32_t(StrideFor(a.bitsPerPixel, a.width));
    l.planeSize = uint32_t(a.width) * uint32_t(a.height);
    l.pixelSize = l.stride * uint32_t(a.height);

    // 3. Tag and position; centring divides toward zero.
    l.creationTag = a.creationTag;
    if (a.centre) {
        l.x = (canvasW - a.width) / 2;
        l.y = (canvasH - a.height) / 2;
    } else {
        l.x = a.x;
        l.y = a.y;
    }

    // 4.
    header.RecomputeCanvasSizes();

    // 5. The mask follows the new layer unless a selection must be kept.
    if (!selectionActive || a.forceMaskReset) mask.Reset(l.x, l.y, l.width, l.height, 1);

    // 6. A text layer's pixels are a one-byte coverage image.
    LayerPlanes& p = planesOf(a.slot);
    p.Release();
    if (l.kind == LayerKind::Text) {
        l.stride = uint32_t(a.width);
        l.pixelSize = l.planeSize;
    }

    // 7.
    Touch(a.slot);
    if (a.fillPlanes) {
        p.pixels.assign(l.pixelSize, 255);
        p.alpha.assign(l.planeSize, a.initialAlpha);
        p.effect.assign(l.planeSize, 0);
    } else {
        p.pixels = PlaneBuffer::Uninitialized(l.pixelSize);
        p.alpha = PlaneBuffer::Uninitialized(l.planeSize);
        p.effect = PlaneBuffer::Uninitialized(l.planeSize);
    }

    // 8. Palette.
    if (a.paletteSize == 0) {
        palette = {};
    } else if (a.paletteMode == PaletteMode::CopyImage) {
        palette.assign(size_t(a.paletteSize), Rgbquad{});
        const int n = std::min(a.paletteSize, imagePalette ? imagePaletteCount : 0);
        for (int i = 0; i < n; ++i) palette[size_t(i)] = imagePalette[i];
    } else if (a.paletteMode == PaletteMode::Empty) {
        palette.assign(size_t(a.paletteSize), Rgbquad{});
    } else if (palette.size() != size_t(a.paletteSize)) {
        // Kept palettes still match the palette size, so no reader indexes past the end.
        palette.resize(size_t(a.paletteSize));
    }
    return true;
}

void LayerTable::CopyLayerFrom(const LayerTable& source, int slot) {
    if (!IsValidIndex(slot)) return;
    layers[size_t(slot)] = source.layers[size_t(slot)];
    header.canvasHeight = source.header.canvasHeight;
    header.canvasWidth = source.header.canvasWidth;
    header.imageKind = source.header.imageKind;
    header.paletteSize = source.header.paletteSize;
    header.bitsPerPixel = source.header.bitsPerPixel;
    header.canvasImageSize = source.header.canvasImageSize;
    header.canvasPixelCount = source.header.canvasPixelCount;
    palette = source.palette;
    planes[size_t(slot)] = source.planes[size_t(slot)];
    Touch(slot);
}

void LayerTable::CopyAllUsedFrom(const LayerTable& source) {
    for (int i = 0; i < kLayerSlots; ++i)
        if (source.layers[size_t(i)].used) CopyLayerFrom(source, i);
    bottom = source.bottom;
}

void LayerTable::Clear() {
    std::memset(&header, 0, sizeof header);
    std::memset(layers.data(), 0, sizeof(Layer) * layers.size());
    for (auto& p : planes) p.Release();
    palette = {};
    mask.Release();
    bottom = -1;
    for (int i = 0; i < kLayerSlots; ++i) Touch(i);
}

int LayerTable::LayerBits(int slot) const {
    return layer(slot).kind == LayerKind::Text ? 8 : header.bitsPerPixel;
}

bool LayerTable::HasPixel(int slot, int x, int y) const {
    if (!IsValidIndex(slot)) return false;
    const Layer& l = layer(slot);
    if (x < 0 || y < 0 || x >= l.width || y >= l.height) return false;
    const LayerPlanes& p = planesOf(slot);
    return p.pixels.size() >= size_t(l.stride) * size_t(l.height) &&
           p.alpha.size() >= size_t(l.width) * size_t(l.height) &&
           size_t(l.stride) * 8 >= size_t(l.width) * size_t(LayerBits(slot));
}

const uint8_t* LayerTable::PixelRow(int slot, int y) const {
    const Layer& l = layer(slot);
    return planesOf(slot).pixels.data() + size_t(y) * l.stride;
}
uint8_t* LayerTable::PixelRow(int slot, int y) {
    const Layer& l = layer(slot);
    return planesOf(slot).pixels.data() + size_t(y) * l.stride;
}
const uint8_t* LayerTable::AlphaRow(int slot, int y) const {
    const Layer& l = layer(slot);
    return planesOf(slot).alpha.data() + size_t(y) * size_t(l.width);
}
uint8_t* LayerTable::AlphaRow(int slot, int y) {
    const Layer& l = layer(slot);
    return planesOf(slot).alpha.data() + size_t(y) * size_t(l.width);
}

uint32_t LayerTable::ColorAt(int slot, int x, int y, uint32_t outside) const {
    if (!HasPixel(slot, x, y)) return outside;
    const Layer& l = layer(slot);
    if (l.kind == LayerKind::Text) return l.textColour & 0xFFFFFF;
    const uint8_t* row = PixelRow(slot, y);
    const int bits = header.bitsPerPixel;
    if (bits >= 24) {
        const uint8_t* px = row + size_t(x) * size_t(bits / 8);
        return packBgr(px[2], px[1], px[0]);
    }
    unsigned index;
    if (bits == 8)
        index = row[x];
    else if (bits == 4)
        index = (row[x / 2] >> ((x & 1) ? 0 : 4)) & 0xF;
    else
        index = (row[x / 8] >> (7 - (x & 7))) & 1;
    return index < palette.size() ? packBgr(palette[index]) : 0;
}

uint8_t LayerTable::AlphaAt(int slot, int x, int y) const {
    if (!HasPixel(slot, x, y)) return 0;
    return AlphaRow(slot, y)[x];
}

void LayerTable::PutColor(int slot, int x, int y, uint32_t colour) {
    if (!HasPixel(slot, x, y) || layer(slot).kind == LayerKind::Text) return;
    uint8_t* row = PixelRow(slot, y);
    const int bits = header.bitsPerPixel;
    if (bits >= 24) {
        uint8_t* px = row + size_t(x) * size_t(bits / 8);
        px[0] = uint8_t(colour);
        px[1] = uint8_t(colour >> 8);
        px[2] = uint8_t(colour >> 16);
        return;
    }
    const unsigned index = unsigned(NearestPaletteIndex(colour));
    if (bits == 8) {
        row[x] = uint8_t(index);
    } else if (bits == 4) {
        const int shift = (x & 1) ? 0 : 4;
        row[x / 2] = uint8_t((row[x / 2] & ~(0xF << shift)) | ((index & 0xF) << shift));
    } else {
        const int shift = 7 - (x & 7);
        row[x / 8] = uint8_t((row[x / 8] & ~(1 << shift)) | ((index & 1) << shift));
    }
}

void LayerTable::PutAlpha(int slot, int x, int y, uint8_t alpha) {
    if (HasPixel(slot, x, y)) AlphaRow(slot, y)[x] = alpha;
}

int LayerTable::NearestPaletteIndex(uint32_t colour) const {
    const int blue = int(colour & 0xFF), green = int((colour >> 8) & 0xFF),
              red = int((colour >> 16) & 0xFF);
    int best = 200000, bestIndex = 0;
    for (size_t i = 0; i < palette.size(); ++i) {
        const Rgbquad& q = palette[i];
        const int d = (q.blue - blue) * (q.blue - blue) + (q.green - green) * (q.green - green) +
                      (q.red - red) * (q.red - red);
        if (d < best) {
            best = d;
            bestIndex = int(i);
            if (d == 0) break;
        }
    }
    return bestIndex;
}

}  // namespace quillet
