// Writes a layered document for bench/peers_vlr.sh: LAYERS layers of WIDTH × HEIGHT with noise
// pixels and alpha in bands, as a VLR file, and the same planes (blue, green, red, alpha, effect
// per pixel, layer after layer) as one raw file that other tools load as their own format.
// Usage: make_layers OUT.vlr OUT.raw WIDTH HEIGHT LAYERS
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "document/CBrevDoc.h"
#include "document/vlr/VlrWriter.h"
#include "platform/RecordingUserPort.h"

using namespace quillet;

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s OUT.vlr OUT.raw WIDTH HEIGHT LAYERS\n", argv[0]);
        return 2;
    }
    const int W = std::atoi(argv[3]), H = std::atoi(argv[4]), N = std::atoi(argv[5]);
    if (W < 1 || H < 1 || N < 1 || N > kLayerSlots) return 2;
    RecordingUserPort user;
    CBrevDoc doc(user);
    LayerTable& t = doc.Layers();
    uint32_t seed = 12345;
    for (int i = 0; i < N; ++i) {
        CreateLayerArgs a;
        a.slot = i;
        a.width = W;
        a.height = H;
        a.canvasWidth = W;
        a.canvasHeight = H;
        if (!doc.CreateLayer(a)) return 1;
        t.LinkAbove(i, t.Top());
        Layer& l = t.layer(i);
        l.used = 1;
        l.visible = 1;
        LayerPlanes& p = t.planesOf(i);
        uint8_t* px = p.pixels.data();
        for (size_t k = 0; k < p.pixels.size(); ++k) {
            seed = seed * 1664525u + 1013904223u;
            px[k] = uint8_t(seed >> 24);
        }
        uint8_t* alpha = p.alpha.data();
        for (size_t k = 0; k < p.alpha.size(); ++k)
            alpha[k] = i == 0 ? 255 : uint8_t(((k / 997) & 3) == 0 ? 0 : 255);
    }
    doc.SetCurrentLayerIndex(0);
    if (!VlrWriter(doc).Save(argv[1])) return 1;

    FILE* raw = std::fopen(argv[2], "wb");
    if (!raw) return 1;
    std::vector<uint8_t> row(size_t(W) * 5);
    for (int i = 0; i < N; ++i) {
        const Layer& l = t.layer(i);
        const LayerPlanes& p = std::as_const(t).planesOf(i);
        for (int y = H - 1; y >= 0; --y) {
            const uint8_t* src = p.pixels.data() + size_t(y) * l.stride;
            for (int x = 0; x < W; ++x) {
                row[5 * size_t(x)] = src[3 * size_t(x)];
                row[5 * size_t(x) + 1] = src[3 * size_t(x) + 1];
                row[5 * size_t(x) + 2] = src[3 * size_t(x) + 2];
                row[5 * size_t(x) + 3] = p.alpha.data()[size_t(y) * size_t(W) + size_t(x)];
                row[5 * size_t(x) + 4] = p.effect.data()[size_t(y) * size_t(W) + size_t(x)];
            }
            if (std::fwrite(row.data(), 1, row.size(), raw) != row.size()) return 1;
        }
    }
    return std::fclose(raw) == 0 ? 0 : 1;
}
