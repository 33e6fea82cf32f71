// Flatten and merge results: layers composed at full size straight into a layer, band by band.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "document/LayerTable.h"
#include "document/compositor/Compositor.h"
#include "document/compositor/CompositorEngine.h"
#include "image/RaViru.h"

namespace quillet {

using namespace compositing;

namespace {

// Rows composed at a time: a band stays in the cache while it is converted.
constexpr int kBandRows = 32;

// One composed row (blue, green, red, alpha) in the picture's format and an alpha row.
class RowWriter {
public:
    RowWriter(const LayerTable& table, int bits, int width)
        : table_(table), bits_(bits), width_(width) {}

    void Write(const uint8_t* src, uint8_t* dst, uint8_t* alpha) {
        const int W = width_;
        if (bits_ == 24) {
            // Four bytes stored per pixel: the fourth is overwritten by the next pixel; the last
            // pixel of the row takes exactly three, so nothing is written past the row.
            int x = 0;
            for (; x + 1 < W; ++x, src += 4, dst += 3) {
                uint32_t v;
                std::memcpy(&v, src, 4);
                std::memcpy(dst, &v, 4);
                alpha[x] = uint8_t(v >> 24);
            }
            std::memcpy(dst, src, 3);
            alpha[x] = src[3];
            return;
        }
        if (bits_ == 32) {
            std::memcpy(dst, src, size_t(W) * 4);
            for (int x = 0; x < W; ++x) alpha[x] = src[size_t(x) * 4 + 3];
            return;
        }
        std::memset(dst, 0, size_t(StrideFor(bits_, W)));
        for (int x = 0; x < W; ++x, src += 4) {
            alpha[x] = src[3];
            const unsigned index =
                Nearest(uint32_t(src[0]) | (uint32_t(src[1]) << 8) | (uint32_t(src[2]) << 16));
            if (bits_ == 8)
                dst[x] = uint8_t(index);
            else if (bits_ == 4)
                dst[x / 2] |= uint8_t((index & 0xF) << ((x & 1) ? 0 : 4));
            else
                dst[x / 8] |= uint8_t((index & 1) << (7 - (x & 7)));
        }
    }

private:
    unsigned Nearest(uint32_t colour) {
        auto it = nearest_.find(colour);
        if (it == nearest_.end())
            it = nearest_.emplace(colour, uint8_t(table_.NearestPaletteIndex(colour))).first;
        return it->second;
    }

    const LayerTable& table_;
    int bits_;
    int width_;
    std::unordered_map<uint32_t, uint8_t> nearest_;  // colour → palette index, per composition
};

bool SupportedDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
}

// Puts the planes of a canvas-sized result into the slot, at (0, 0). A text layer stops being
// one: the result is a picture in the document's format.
void Adopt(LayerTable& table, int slot, std::vector<uint8_t>* pixels, std::vector<uint8_t>* alpha) {
    const int W = table.header.canvasWidth, H = table.header.canvasHeight;
    Layer& l = table.layer(slot);
    if (l.kind == LayerKind::Text) {
        l.kind = LayerKind::Raster;
        l.textLength = 0;
    }
    l.x = 0;
    l.y = 0;
    l.width = W;
    l.height = H;
    l.stride = uint32_t(StrideFor(table.header.bitsPerPixel, W));
    l.planeSize = uint32_t(W) * uint32_t(H);
    l.pixelSize = l.stride * uint32_t(H);
    LayerPlanes& p = table.planesOf(slot);
    if (pixels) p.pixels = std::move(*pixels);
    if (alpha) p.alpha = std::move(*alpha);
    // The effect plane keeps the plane size; nothing of the result has been touched by a tool.
    if (p.effect.size() == l.planeSize)
        std::fill(p.effect.begin(), p.effect.end(), uint8_t(0));
    else
        p.effect.assign(l.planeSize, 0);
    p.text = {};
    table.Touch(slot);
}

}  // namespace

bool Compositor::ComposeIntoLayer(LayerTable& table, int slot, int count) {
    const int W = table.header.canvasWidth, H = table.header.canvasHeight;
    const int bits = table.header.bitsPerPixel;
    if (!LayerTable::IsValidIndex(slot) || W < 1 || H < 1 || !SupportedDepth(bits) ||
        uint64_t(W) * uint64_t(H) > kMaxImagePixels)
        return false;

    Plan plan;
    plan.distinctColumns.resize(size_t(W));
    for (int j = 0; j < W; ++j) plan.distinctColumns[size_t(j)] = j;
    const std::vector<LayerPass> passes = PreparePasses(table, slot, count, plan);

    const Layer& l = table.layer(slot);
    LayerPlanes& p = table.planesOf(slot);
    const size_t stride = size_t(StrideFor(bits, W));
    const size_t plane = size_t(W) * size_t(H);
    // A layer that already covers the canvas takes the result in its own planes: each band of
    // its rows is read only while that band is composed, and written right after.
    const bool inPlace = l.kind != LayerKind::Text && l.x == 0 && l.y == 0 && l.width == W &&
                         l.height == H && l.stride == stride && p.pixels.size() == stride * H &&
                         p.alpha.size() == plane;
    std::vector<uint8_t> pixels, alpha;
    if (!inPlace) {
        pixels.resize(stride * size_t(H));
        alpha.resize(plane);
    }
    uint8_t* dstPixels = inPlace ? p.pixels.data() : pixels.data();
    uint8_t* dstAlpha = inPlace ? p.alpha.data() : alpha.data();

    Image32 band;
    band.width = W;
    band.bytes.resize(size_t(W) * 4 * kBandRows);
    RowWriter writer(table, bits, W);
    for (int r0 = 0; r0 < H; r0 += kBandRows) {
        const int n = std::min(kBandRows, H - r0);
        band.height = n;
        plan.rows.resize(size_t(n));
        for (int i = 0; i < n; ++i) plan.rows[size_t(i)] = H - 1 - (r0 + i);  // bottom row first
        ComposeRows(passes, plan, band, 0, n);
        for (int i = 0; i < n; ++i) {
            const size_t r = size_t(r0 + i);
            writer.Write(band.Row(i), dstPixels + r * stride, dstAlpha + r * size_t(W));
        }
    }
    Adopt(table, slot, inPlace ? nullptr : &pixels, inPlace ? nullptr : &alpha);
    return true;
}

}  // namespace quillet
