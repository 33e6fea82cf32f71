#pragma once
// The document of the window benchmarks: a 4000 × 3000 picture layer under nine 2200 × 1600
// layers with transparencies, a multiply layer every third, and a transparent band in each.
#include "document/CBrevDoc.h"

namespace quillet::bench {

inline void BuildTenLayerPicture(CBrevDoc& doc) {
    LayerTable& t = doc.Layers();
    for (int i = 0; i < 10; ++i) {
        CreateLayerArgs a;
        a.slot = i;
        a.width = i == 0 ? 4000 : 2200;
        a.height = i == 0 ? 3000 : 1600;
        a.x = i == 0 ? 0 : 180 * i;
        a.y = i == 0 ? 0 : 130 * i;
        a.canvasWidth = 4000;
        a.canvasHeight = 3000;
        a.initialAlpha = i == 0 ? 255 : 200;
        doc.CreateLayer(a);
        Layer& l = t.layer(i);
        l.used = 1;
        l.visible = 1;
        l.transparency = uint8_t(i * 10);
        l.SetBlend(i % 3 == 2 ? BlendMode::Multiply : BlendMode::Normal);
        t.LinkAbove(i, t.Top());
        LayerPlanes& p = t.planesOf(i);
        for (size_t k = 0; k < p.pixels.size(); ++k) p.pixels[k] = uint8_t(k * 7 + i * 31);
        for (int y = 0; y < l.height; ++y)
            for (int x = 0; x < l.width / 8; ++x) p.alpha[size_t(y) * l.width + x] = 0;
    }
}

}  // namespace quillet::bench
