// The hot part of compositing: one layer over one row segment, per blend mode and source layout.
#include <algorithm>
#include <cstring>
#include <thread>

#include "document/CompositorEngine.h"

namespace quillet::compositing {

namespace {

template <int Mode>
inline int Blend(int d, int s) {
    if constexpr (Mode == 2) return (d * s) >> 8;
    if constexpr (Mode == 3) return 255 - (((255 - d) * (255 - s)) >> 8);
    if constexpr (Mode == 4) return std::min(d, s);
    if constexpr (Mode == 5) return std::max(d, s);
    if constexpr (Mode == 6) return d > s ? d - s : s - d;
    if constexpr (Mode == 7) {
        const int v = 255 - d - s;
        return 255 - (v < 0 ? -v : v);
    }
    if constexpr (Mode == 8) return (d + s - ((d * s) >> 7)) & 0xFF;
    if constexpr (Mode == 9) return s < 128 ? (d * s) >> 7 : 255 - (((255 - d) * (255 - s)) >> 7);
    return d;
}

inline void UpdateAlpha(uint8_t* d, unsigned R) {
    const unsigned da = d[3];
    d[3] = uint8_t(da == 0 ? R : std::min(255u, (R + 1) * da));
}

// One layer over n destination pixels. `s` advances by Step bytes per pixel (0: one colour).
template <int Mode, int Step>
void BlendRun(uint8_t* d, const uint8_t* s, const uint8_t* a, int n, const LayerPass& p) {
    const float* A = p.coverage;
    const float* B = p.rest;
    for (int i = 0; i < n; ++i, d += 4, s += Step) {
        const unsigned R = a[i];
        if (R == 0) continue;  // neither colour nor alpha changes
        if constexpr (Mode == kBottomRule) {
            const float c = A[R];
            d[0] = uint8_t(int(c * float(s[0])));
            d[1] = uint8_t(int(c * float(s[1])));
            d[2] = uint8_t(int(c * float(s[2])));
        } else if constexpr (Mode == kNormal) {
            const float c = A[R];
            if (c == 1.0f) {  // 1 × s + 0 × d is s exactly
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            } else if (c != 0.0f) {  // 0 × s + 1 × d is d exactly
                const float e = B[R];
                d[0] = uint8_t(int(c * float(s[0]) + e * float(d[0])));
                d[1] = uint8_t(int(c * float(s[1]) + e * float(d[1])));
                d[2] = uint8_t(int(c * float(s[2]) + e * float(d[2])));
            }
        } else {
            d[0] = uint8_t(Blend<Mode>(d[0], s[0]));
            d[1] = uint8_t(Blend<Mode>(d[1], s[1]));
            d[2] = uint8_t(Blend<Mode>(d[2], s[2]));
        }
        UpdateAlpha(d, R);
    }
}

using RunFn = void (*)(uint8_t*, const uint8_t*, const uint8_t*, int, const LayerPass&);

template <int Step>
RunFn RunFor(int mode) {
    switch (mode) {
        case kBottomRule:
            return BlendRun<kBottomRule, Step>;
        case 2:
            return BlendRun<2, Step>;
        case 3:
            return BlendRun<3, Step>;
        case 4:
            return BlendRun<4, Step>;
        case 5:
            return BlendRun<5, Step>;
        case 6:
            return BlendRun<6, Step>;
        case 7:
            return BlendRun<7, Step>;
        case 8:
            return BlendRun<8, Step>;
        case 9:
            return BlendRun<9, Step>;
        default:
            return BlendRun<kNormal, Step>;
    }
}

RunFn RunFor(int mode, int step) {
    return step == 3 ? RunFor<3>(mode) : step == 4 ? RunFor<4>(mode) : RunFor<0>(mode);
}

inline unsigned IndexAt(const uint8_t* row, int bits, int x) {
    if (bits == 8) return row[x];
    if (bits == 4) return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
}

struct Scratch {
    std::vector<uint8_t> row;     // distinct-column row when output columns repeat
    std::vector<uint8_t> colour;  // fetched colours, 4 bytes each
    std::vector<uint8_t> alpha;   // gathered alpha values
};

void RunPass(const LayerPass& p, const Plan& plan, int canvasRow, uint8_t* row, Scratch& sc) {
    const int n = p.k1 - p.k0;
    if (n <= 0) return;
    const int ly = canvasRow - p.y;
    if (ly < 0 || ly >= p.height) return;
    const int storedRow = p.height - 1 - ly;  // layers keep the bottom row first
    const uint8_t* srcRow = p.pixels + size_t(storedRow) * p.stride;
    const uint8_t* alphaRow = p.alpha + size_t(storedRow) * size_t(p.width);
    uint8_t* dst = row + size_t(p.k0) * 4;

    const uint8_t* a;
    const uint8_t* s;
    int step;
    if (plan.contiguous) {
        const int lx0 = plan.distinctColumns[size_t(p.k0)] - p.x;
        a = alphaRow + lx0;
        if (p.source == kBgr24 || p.source == kBgra32) {
            s = srcRow + size_t(lx0) * size_t(p.source);
            step = p.source;
        } else if (p.source == kConstant) {
            s = p.colour;
            step = 0;
        } else {
            uint8_t* c = sc.colour.data();
            for (int i = 0; i < n; ++i, c += 4)
                std::memcpy(c, p.lut[IndexAt(srcRow, p.bits, lx0 + i)], 4);
            s = sc.colour.data();
            step = 4;
        }
    } else {
        const int32_t* cols = p.columns.data();
        uint8_t* ga = sc.alpha.data();
        for (int i = 0; i < n; ++i) ga[i] = alphaRow[cols[i]];
        a = ga;
        if (p.source == kConstant) {
            s = p.colour;
            step = 0;
        } else {
            uint8_t* c = sc.colour.data();
            if (p.source == kBgr24 || p.source == kBgra32) {
                const size_t bpp = size_t(p.source);
                for (int i = 0; i < n; ++i, c += 4) {
                    const uint8_t* px = srcRow + size_t(cols[i]) * bpp;
                    c[0] = px[0];
                    c[1] = px[1];
                    c[2] = px[2];
                }
            } else {
                for (int i = 0; i < n; ++i, c += 4)
                    std::memcpy(c, p.lut[IndexAt(srcRow, p.bits, cols[i])], 4);
            }
            s = sc.colour.data();
            step = 4;
        }
    }
    RunFor(p.mode, step)(dst, s, a, n, p);
}

}  // namespace

void ComposeRows(const std::vector<LayerPass>& passes, const Plan& plan, Image32& out, int rowBegin,
                 int rowEnd) {
    const size_t distinct = plan.distinctColumns.size();
    const bool direct = plan.expand.empty();
    Scratch sc;
    sc.colour.resize(distinct * 4);
    sc.alpha.resize(distinct);
    if (!direct) sc.row.resize(distinct * 4);
    const size_t outBytes = size_t(out.width) * 4;

    for (int r = rowBegin; r < rowEnd; ++r) {
        const int canvasRow = plan.rows[size_t(r)];
        uint8_t* outRow = out.Row(r);
        if (r > rowBegin && plan.rows[size_t(r) - 1] == canvasRow) {
            std::memcpy(outRow, outRow - outBytes, outBytes);  // same canvas row, same pixels
            continue;
        }
        uint8_t* row = direct ? outRow : sc.row.data();
        if (!direct) std::memset(row, 0, distinct * 4);
        for (const LayerPass& p : passes) RunPass(p, plan, canvasRow, row, sc);
        if (!direct) {
            const int* e = plan.expand.data();
            for (int j = 0; j < out.width; ++j)
                std::memcpy(outRow + size_t(j) * 4, row + size_t(e[j]) * 4, 4);
        }
    }
}

void ComposeAll(const std::vector<LayerPass>& passes, const Plan& plan, Image32& out, int threads) {
    if (threads < 2 || out.height < 64) {
        ComposeRows(passes, plan, out, 0, out.height);
        return;
    }
    // Rows are independent: two halves give the same bytes as one pass.
    const int half = out.height / 2;
    std::thread helper([&] { ComposeRows(passes, plan, out, half, out.height); });
    ComposeRows(passes, plan, out, 0, half);
    helper.join();
}

}  // namespace quillet::compositing
