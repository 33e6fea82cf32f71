// Flatten and merge results: a full-size composition written back into a layer.
#include <cstring>
#include <unordered_map>

#include "document/LayerTable.h"
#include "document/compositor/Compositor.h"

namespace quillet {

bool Compositor::WriteIntoLayer(LayerTable& table, int slot, const Image32& composed) {
    const int W = table.header.canvasWidth, H = table.header.canvasHeight;
    if (!LayerTable::IsValidIndex(slot) || composed.width != W || composed.height != H ||
        !composed.bottomUp || composed.bytes.size() != size_t(W) * size_t(H) * 4)
        return false;
    const int bits = table.header.bitsPerPixel;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;

    Layer& l = table.layer(slot);
    // The result is a picture in the document's format: a text layer stops being one.
    if (l.kind == LayerKind::Text) {
        l.kind = LayerKind::Raster;
        l.textLength = 0;
    }
    const size_t stride = size_t(StrideFor(bits, W));
    std::vector<uint8_t> pixels(stride * size_t(H), 0);
    std::vector<uint8_t> alpha(size_t(W) * size_t(H));
    std::unordered_map<uint32_t, uint8_t> nearest;  // colour → palette index, per composition

    for (int r = 0; r < H; ++r) {
        const uint8_t* src = composed.Row(r);
        uint8_t* dst = pixels.data() + size_t(r) * stride;
        uint8_t* a = alpha.data() + size_t(r) * size_t(W);
        for (int x = 0; x < W; ++x, src += 4) {
            a[x] = src[3];
            if (bits == 24) {
                std::memcpy(dst + size_t(x) * 3, src, 3);
            } else if (bits == 32) {
                std::memcpy(dst + size_t(x) * 4, src, 4);
            } else {
                const uint32_t colour =
                    uint32_t(src[0]) | (uint32_t(src[1]) << 8) | (uint32_t(src[2]) << 16);
                auto it = nearest.find(colour);
                if (it == nearest.end())
                    it = nearest.emplace(colour, uint8_t(table.NearestPaletteIndex(colour))).first;
                const unsigned index = it->second;
                if (bits == 8)
                    dst[x] = uint8_t(index);
                else if (bits == 4)
                    dst[x / 2] |= uint8_t((index & 0xF) << ((x & 1) ? 0 : 4));
                else
                    dst[x / 8] |= uint8_t((index & 1) << (7 - (x & 7)));
            }
        }
    }

    l.x = 0;
    l.y = 0;
    l.width = W;
    l.height = H;
    l.stride = uint32_t(stride);
    l.planeSize = uint32_t(W) * uint32_t(H);
    l.pixelSize = uint32_t(stride * size_t(H));
    LayerPlanes& p = table.planesOf(slot);
    p.pixels = std::move(pixels);
    p.alpha = std::move(alpha);
    // The effect plane keeps the plane size; nothing of the result has been touched by a tool.
    p.effect.assign(l.planeSize, 0);
    p.text = {};
    table.Touch(slot);
    return true;
}

}  // namespace quillet
