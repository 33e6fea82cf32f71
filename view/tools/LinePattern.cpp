#include "view/tools/LinePattern.h"

#include <algorithm>

#include "document/CBrevDoc.h"
#include "document/EditCycle.h"
#include "view/tools/DecorationLayer.h"

namespace quillet {

LinePatternSettings Normalised(LinePatternSettings s) {
    s.spacing = std::max(s.spacing, kMinPatternSpacing);
    if (s.type < kFirstLinePattern || s.type > kLastLinePattern) s.type = kFirstLinePattern;
    s.colour &= 0xFFFFFF;
    return s;
}

void DrawLinePattern(LayerTable& t, int slot, const LinePatternSettings& settings) {
    const LinePatternSettings s = Normalised(settings);
    OpaqueWriter out(t, slot);
    const int W = out.Width(), H = out.Height();
    if (W < 1 || H < 1) return;
    const int64_t L = std::max(W, H), step = s.spacing;
    switch (s.type) {
        case 4:  // the rows 0, s, 2s, …
            for (int y = 0; y < H; y += s.spacing) out.Span(y, 0, W, s.colour);
            break;
        case 5:  // the columns 0, s, 2s, …
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; x += s.spacing) out.Put(x, y, s.colour);
            break;
        case 6:  // (k + i, i) for k from −L while k < L, i from 0 to L − 1
            for (int64_t k = -L; k < L; k += step) {
                const int64_t first = std::max<int64_t>(0, -k);
                const int64_t last = std::min<int64_t>({L, W - k, H});
                for (int64_t i = first; i < last; ++i) out.Put(int(k + i), int(i), s.colour);
            }
            break;
        default:  // 7: (i, k − i) for k from 0 while k < 3L, i from 0 to L − 1
            for (int64_t k = 0; k < 3 * L; k += step) {
                const int64_t first = std::max<int64_t>(0, k - (H - 1));
                const int64_t last = std::min<int64_t>({L, W, k + 1});
                for (int64_t i = first; i < last; ++i) out.Put(int(i), int(k - i), s.colour);
            }
            break;
    }
}

EditOutcome PutLinePattern(CBrevDoc& doc, const LinePatternSettings& settings) {
    DecorationLayer layer(doc, kLinePatternLayerName);
    const int slot = layer.Prepare();
    if (slot < 0) return EditOutcome::Refused;
    DrawLinePattern(doc.Layers(), slot, settings);
    layer.Commit(u"패턴 레이어 넣기");
    return EditOutcome::Done;
}

}  // namespace quillet
