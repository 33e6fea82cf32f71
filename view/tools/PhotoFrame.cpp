#include "view/tools/PhotoFrame.h"

#include <algorithm>
#include <cmath>

#include "document/CBrevDoc.h"
#include "document/EditCycle.h"
#include "view/tools/DecorationLayer.h"

namespace quillet {

namespace {

// trunc(c × factor) per channel, each capped at 255.
uint32_t Scaled(uint32_t c, double factor) {
    uint32_t out = 0;
    for (int k = 0; k < 3; ++k) {
        const double v = std::trunc(double((c >> (8 * k)) & 0xFF) * factor);
        out |= uint32_t(std::clamp(v, 0.0, 255.0)) << (8 * k);
    }
    return out;
}

// trunc(c × i / n) per channel.
uint32_t Graded(uint32_t c, int i, int n) {
    uint32_t out = 0;
    for (int k = 0; k < 3; ++k) out |= uint32_t(int64_t((c >> (8 * k)) & 0xFF) * i / n) << (8 * k);
    return out;
}

// The rows i and H − 1 − i over columns i … W − i − 1.
void RingRows(OpaqueWriter& out, int i, uint32_t colour) {
    const int W = out.Width(), H = out.Height();
    out.Span(i, i, W - i, colour);
    if (H - 1 - i != i) out.Span(H - 1 - i, i, W - i, colour);
}

// One column x over the rows i … H − i − 1.
void RingColumn(OpaqueWriter& out, int i, int x, uint32_t colour) {
    for (int y = i; y < out.Height() - i; ++y) out.Put(x, y, colour);
}

void Ring(OpaqueWriter& out, int i, uint32_t colour) {
    RingRows(out, i, colour);
    RingColumn(out, i, i, colour);
    RingColumn(out, i, out.Width() - 1 - i, colour);
}

}  // namespace

void DrawPhotoFrame(LayerTable& t, int slot, const PhotoFrameSettings& s) {
    OpaqueWriter out(t, slot);
    const int W = out.Width(), H = out.Height();
    // Rings beyond the middle would cover nothing new.
    const int n = std::max(0, s.width);
    const int rings = std::min(n, (std::min(W, H) + 1) / 2);
    const uint32_t c = s.main & 0xFFFFFF, c2 = s.second & 0xFFFFFF;
    switch (std::clamp(s.style, 0, kPhotoFrameStyles - 1)) {
        case 0:  // graded: black at the edge, towards the main colour inward
            for (int i = 0; i < rings; ++i) Ring(out, i, Graded(c, i, n));
            break;
        case 1:  // bevelled: light falls from the right
            for (int i = 0; i < rings; ++i) {
                for (int x = i; x < W - i; ++x) {
                    const uint32_t v = Scaled(c, std::min(1.0, double(x) / double(W - i) + 0.2));
                    out.Put(x, i, v);
                    out.Put(x, H - 1 - i, v);
                }
                RingColumn(out, i, i, Scaled(c, std::max(0.0, double(i) / n - 0.2)));
                RingColumn(out, i, W - 1 - i, Scaled(c, std::min(1.3, double(n - i) / n + 0.8)));
            }
            break;
        case 2: {  // a mat in the main colour with a liner of the secondary colour inside
            const int liner = std::max(1, n / 4);
            for (int i = 0; i < rings; ++i) Ring(out, i, i >= n - liner ? c2 : c);
            break;
        }
        default: {  // diagonal stripes of both colours
            const int band = std::max(2, n / 2);
            for (int i = 0; i < rings; ++i) {
                auto stripe = [&](int x, int y) { return ((x + y) / band) % 2 ? c2 : c; };
                for (int x = i; x < W - i; ++x) {
                    out.Put(x, i, stripe(x, i));
                    out.Put(x, H - 1 - i, stripe(x, H - 1 - i));
                }
                for (int y = i; y < H - i; ++y) {
                    out.Put(i, y, stripe(i, y));
                    out.Put(W - 1 - i, y, stripe(W - 1 - i, y));
                }
            }
            break;
        }
    }
}

EditOutcome PutPhotoFrame(CBrevDoc& doc, const PhotoFrameSettings& settings) {
    DecorationLayer layer(doc, kPhotoFrameLayerName);
    const int slot = layer.Prepare();
    if (slot < 0) return EditOutcome::Refused;
    DrawPhotoFrame(doc.Layers(), slot, settings);
    layer.Commit(u"사진틀 넣기");
    return EditOutcome::Done;
}

}  // namespace quillet
