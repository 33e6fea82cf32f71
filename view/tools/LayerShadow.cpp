#include "view/tools/LayerShadow.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "document/CBrevDoc.h"
#include "document/EditCycle.h"
#include "document/GeometryEdit.h"

namespace quillet {

namespace {

constexpr double kRadiansPerDegree = 0.01745328888888889;
constexpr int kOutlineMs = 400;

// The constants of one computation.
struct ShadowMath {
    int d = 0;
    double dx = 0, dy = 0;  // cos θ × d and −sin θ × d: the offset point's distance
    double f = 1, g = 0;
};

ShadowMath MathOf(const ShadowSettings& s) {
    ShadowMath m;
    m.d = s.distance;
    const int angle = s.angle < 0 ? s.angle + 360 : s.angle;
    const double theta = angle * kRadiansPerDegree;
    m.dx = std::cos(theta) * m.d;
    m.dy = -std::sin(theta) * m.d;
    const int e = s.opacity > 100 ? 255 : 2 * s.opacity + 55;
    m.g = e / 255.0;
    m.f = (s.softness + 155) / 255.0 * double(m.d * m.d) * 3.0;
    return m;
}

// value = trunc(255 × min(S / f, 1) × A × g) with S the window's alpha sum / 255 and A the
// 3 × 3 sum / 9 / 255, clamped to a byte.
inline uint8_t ShadowValue(uint32_t windowSum, uint32_t box, const ShadowMath& m) {
    if (windowSum == 0 || box == 0) return 0;
    const double S = windowSum / 255.0;
    const double A = box / 9.0 / 255.0;
    const double v = std::trunc(255.0 * std::min(S / m.f, 1.0) * A * m.g);
    return uint8_t(std::clamp(v, 0.0, 255.0));
}

}  // namespace

ShadowSettings ShadowSettingsOf(const Layer& l, uint32_t colour) {
    ShadowSettings s;
    s.colour = colour & 0xFFFFFF;
    if (l.effectValue1 == 0) return s;
    s.distance = l.effectValue1;
    s.opacity = l.effectValue2;
    s.softness = l.effectValue3;
    s.angle = l.effectParameter;
    s.colour = l.EffectColour() & 0xFFFFFF;
    return s;
}

void StoreShadowSettings(Layer& l, const ShadowSettings& s) {
    l.effectValue1 = uint8_t(std::clamp(s.distance, 0, 255));
    l.effectValue2 = uint8_t(std::clamp(s.opacity, 0, 255));
    l.effectValue3 = uint8_t(std::clamp(s.softness, 0, 255));
    l.effectParameter = s.angle;
    l.SetEffectColour(s.colour & 0xFFFFFF);
}

void ComputeShadowPlane(const uint8_t* alpha, int W, int H, const ShadowSettings& s,
                        uint8_t* effect, int threads, RowProgress progress) {
    if (W < 1 || H < 1) return;
    const ShadowMath m = MathOf(s);
    if (m.d <= 0) {
        std::fill(effect, effect + size_t(W) * size_t(H), uint8_t(0));
        return;
    }
    // The alpha plane top row first, inside a border of zeros as wide as any read reaches:
    // windows go d pixels out, the 3 × 3 box around the offset point d + 1.
    const int pad = m.d + 1;
    const size_t PW = size_t(W) + 2 * size_t(pad), PH = size_t(H) + 2 * size_t(pad);
    std::vector<uint8_t> padded(PW * PH, 0);
    for (int y = 0; y < H; ++y)
        std::copy_n(alpha + size_t(H - 1 - y) * size_t(W), size_t(W),
                    padded.data() + (size_t(y) + size_t(pad)) * PW + size_t(pad));
    const uint8_t* P = padded.data();
    const int d = m.d;

    ForRowBands(H, threads, progress, [&](int first, int last) {
        // col[X]: the sum of column X over the window's rows y − d … y + d − 1.
        std::vector<uint32_t> col(PW, 0);
        for (int i = -d; i < d; ++i) {
            const uint8_t* row = P + size_t(first + i + pad) * PW;
            for (size_t X = 0; X < PW; ++X) col[X] += row[X];
        }
        for (int y = first; y < last; ++y) {
            if (y > first) {
                const uint8_t* in = P + size_t(y + d - 1 + pad) * PW;
                const uint8_t* out = P + size_t(y - 1 - d + pad) * PW;
                for (size_t X = 0; X < PW; ++X) col[X] += uint32_t(in[X]) - uint32_t(out[X]);
            }
            const uint8_t* own = P + size_t(y + pad) * PW + size_t(pad);
            uint8_t* dst = effect + size_t(H - 1 - y) * size_t(W);
            const double oyReal = m.dy + y;
            const int oy = int(std::trunc(oyReal));
            // S(x) over columns x − d … x + d − 1, slid along the row.
            uint32_t S = 0;
            for (int j = -d; j < d; ++j) S += col[size_t(j + pad)];
            for (int x = 0; x < W; ++x) {
                if (x > 0) S += col[size_t(x + d - 1 + pad)] - col[size_t(x - 1 - d + pad)];
                if (own[x] > kShadowAlphaLimit || S == 0) {
                    dst[x] = 0;
                    continue;
                }
                const int ox = int(std::trunc(m.dx + x));
                const uint8_t* c = P + size_t(oy + pad - 1) * PW + size_t(ox + pad - 1);
                const uint32_t box = uint32_t(c[0]) + c[1] + c[2] + c[PW] + c[PW + 1] + c[PW + 2] +
                                     c[2 * PW] + c[2 * PW + 1] + c[2 * PW + 2];
                dst[x] = ShadowValue(S, box, m);
            }
        }
    });
}

namespace {

bool SnapshotMatches(const CBrevDoc& doc, int slot) {
    const Layer& kept = doc.Snapshot().layer(slot);
    const Layer& now = doc.Layers().layer(slot);
    const LayerPlanes& p = doc.Snapshot().planesOf(slot);
    return kept.used && kept.width == now.width && kept.height == now.height &&
           p.pixels.size() == kept.pixelSize && p.alpha.size() == kept.planeSize;
}

bool Compute(CBrevDoc& doc, int slot, const ShadowSettings& s, int threads) {
    LayerTable& t = doc.Layers();
    Layer& l = t.layer(slot);
    LayerPlanes& p = t.planesOf(slot);
    if (p.alpha.size() != l.planeSize || l.planeSize == 0) return false;
    StoreShadowSettings(l, s);
    if (p.effect.size() != l.planeSize) p.effect.assign(l.planeSize, 0);
    geometry::LayerProgress progress(doc, l.planeSize);
    ComputeShadowPlane(p.alpha.data(), l.width, l.height, s, p.effect.data(), threads,
                       progress.Rows());
    t.Touch(slot);
    return true;
}

}  // namespace

int BeginShadow(CBrevDoc& doc) {
    const int slot = EditableCurrentLayer(doc, TextLayerRule::Refuse);
    if (slot < 0) return -1;
    if (doc.SelectionActive()) doc.NotifySelectionOutlineTimer(0);
    if (SnapshotMatches(doc, slot)) doc.RestoreFromSnapshot(slot);
    return slot;
}

bool PreviewShadow(CBrevDoc& doc, const ShadowSettings& s, int threads) {
    const int slot = EditableCurrentLayer(doc, TextLayerRule::Refuse);
    if (slot < 0 || !Compute(doc, slot, s, threads)) return false;
    doc.NotifyViewsUpdate();
    return true;
}

void CancelShadow(CBrevDoc& doc) {
    const int slot = doc.CurrentLayer();
    if (!doc.Layers().InList(slot)) return;
    if (SnapshotMatches(doc, slot)) doc.RestoreFromSnapshot(slot);
    if (doc.SelectionActive()) doc.NotifySelectionOutlineTimer(kOutlineMs);
    doc.NotifyViewsUpdate();
}

EditOutcome ApplyShadow(CBrevDoc& doc, const ShadowSettings& s, int threads) {
    const int slot = EditableCurrentLayer(doc, TextLayerRule::Refuse);
    if (slot < 0 || !Compute(doc, slot, s, threads)) return EditOutcome::Refused;
    doc.RecordStep(u"레이어효과(그림자)", StepKind::PixelEdit, slot);
    if (doc.SelectionActive()) doc.NotifySelectionOutlineTimer(kOutlineMs);
    doc.NotifyViewsUpdate();
    return EditOutcome::Done;
}

}  // namespace quillet
