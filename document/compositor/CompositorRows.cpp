// The hot part of compositing: one layer over one row segment. One loop serves every rule; the
// rules say what a pixel becomes where the layer's alpha is not 0. With SSE2 the loop takes four
// pixels at a time, elsewhere one; both give the same bytes.
#include <algorithm>
#include <cstring>
#include <thread>
#include <type_traits>

#include "document/compositor/BlendModes.h"
#include "document/compositor/CompositorEngine.h"
#include "document/compositor/Lanes16.h"

namespace quillet::compositing {

namespace {

// --- One pixel --------------------------------------------------------------------------------

// Four bytes of a source pixel; `exact3` reads only three (the last pixel of a 24-bit row
// may end its buffer).
template <int Step>
inline uint32_t LoadSource(const uint8_t* s, bool exact3) {
    uint32_t v = 0;
    if (Step == 3 && exact3)
        std::memcpy(&v, s, 3);
    else
        std::memcpy(&v, s, 4);
    return v;
}

inline uint8_t NewAlpha(unsigned da, unsigned R) {
    return uint8_t(da == 0 ? R : std::min(255u, (R + 1) * da));
}

inline unsigned Channel(uint32_t pixel, int c) { return (pixel >> (8 * c)) & 0xFF; }

// trunc(c × s + e × d) per colour channel in single precision: multiply, multiply, add,
// truncate, in that order and nothing fused.
inline uint32_t Weighted(uint32_t src, uint32_t dst, float c, float e) {
    uint32_t out = 0;
    for (int k = 0; k < 3; ++k) {
        const float v = c * float(Channel(src, k)) + e * float(Channel(dst, k));
        out |= uint32_t(std::min(int(v), 255)) << (8 * k);
    }
    return out;
}

// The rules. `Colour` gives a pixel's colour for alpha R > 0; `kCopies` says that alpha 255 on
// an untransparent layer gives exactly the source colour.
struct BottomRule {
    static constexpr bool kCopies = true;
    static uint32_t Colour(uint32_t, uint32_t src, unsigned R, const LayerPass& p) {
        return Weighted(src, 0, p.coverage[R], 0.0f);
    }
};

struct NormalRule {
    static constexpr bool kCopies = true;
    static uint32_t Colour(uint32_t dst, uint32_t src, unsigned R, const LayerPass& p) {
        return Weighted(src, dst, p.coverage[R], p.rest[R]);
    }
};

// The blend modes ignore coverage: wherever the layer has alpha, the channel function decides.
template <BlendMode M>
struct BlendRule {
    static constexpr bool kCopies = false;
    static uint32_t Colour(uint32_t dst, uint32_t src, unsigned, const LayerPass&) {
        uint32_t out = 0;
        for (int k = 0; k < 3; ++k)
            out |= uint32_t(BlendChannel<M>(int(Channel(dst, k)), int(Channel(src, k)))) << (8 * k);
        return out;
    }
};

// One destination pixel for alpha R > 0: the rule's colour and the accumulated alpha.
template <class Rule>
inline uint32_t OnePixel(uint32_t dst, uint32_t src, unsigned R, bool opaque, const LayerPass& p) {
    const uint32_t colour =
        Rule::kCopies && R == 255 && opaque ? src : Rule::Colour(dst, src, R, p);
    return (colour & 0x00FFFFFFu) | (uint32_t(NewAlpha(dst >> 24, R)) << 24);
}

// --- Four pixels at once ------------------------------------------------------------------------

#ifdef QUILLET_COMPOSITOR_SIMD

// NewAlpha of four pixels (alpha in the top byte of each lane of dst, R in each lane of Rv).
// Both factors and the product fit the low 16 bits of each 32-bit lane, so a 16-bit multiply
// gives it exactly.
inline __m128i NewAlphaFour(__m128i dst, __m128i Rv) {
    const __m128i byte = _mm_set1_epi32(0xFF);
    const __m128i da = _mm_srli_epi32(dst, 24);
    const __m128i product = _mm_mullo_epi16(_mm_add_epi32(Rv, _mm_set1_epi32(1)), da);
    const __m128i over = _mm_cmpgt_epi32(product, byte);
    const __m128i capped = _mm_or_si128(_mm_and_si128(over, byte), _mm_andnot_si128(over, product));
    const __m128i empty = _mm_cmpeq_epi32(da, _mm_setzero_si128());
    return _mm_or_si128(_mm_and_si128(empty, Rv), _mm_andnot_si128(empty, capped));
}

// The normal rule on four pixels at once, each lane one pixel of one channel: per channel the
// same multiply, multiply, add and truncate as Weighted. R = 0 needs no test, since 0 × s + 1 × d
// is d and the alpha stays; nor does R = 255 at full coverage, since 1 × s + 0 × d is s.
inline __m128i NormalFour(__m128i dst, __m128i src, const uint8_t* a, const float* A,
                          const float* B) {
    const unsigned R0 = a[0], R1 = a[1], R2 = a[2], R3 = a[3];
    const __m128 c = _mm_setr_ps(A[R0], A[R1], A[R2], A[R3]);
    const __m128 e = _mm_setr_ps(B[R0], B[R1], B[R2], B[R3]);
    const __m128i byte = _mm_set1_epi32(0xFF);
    const __m128i b =
        _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(c, _mm_cvtepi32_ps(_mm_and_si128(src, byte))),
                                    _mm_mul_ps(e, _mm_cvtepi32_ps(_mm_and_si128(dst, byte)))));
    const __m128i g = _mm_cvttps_epi32(
        _mm_add_ps(_mm_mul_ps(c, _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(src, 8), byte))),
                   _mm_mul_ps(e, _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(dst, 8), byte)))));
    const __m128i r = _mm_cvttps_epi32(
        _mm_add_ps(_mm_mul_ps(c, _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(src, 16), byte))),
                   _mm_mul_ps(e, _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(dst, 16), byte)))));
    const __m128i na = NewAlphaFour(dst, _mm_setr_epi32(int(R0), int(R1), int(R2), int(R3)));
    return _mm_or_si128(_mm_or_si128(b, _mm_slli_epi32(g, 8)),
                        _mm_or_si128(_mm_slli_epi32(r, 16), _mm_slli_epi32(na, 24)));
}

// A blend mode on four pixels at once, two pixels' channels per Lanes16; a pixel with R = 0
// keeps its colour and alpha.
template <BlendMode M>
inline __m128i BlendFour(__m128i dst, __m128i src, const uint8_t* a) {
    const __m128i zero = _mm_setzero_si128();
    const Lanes16 low = BlendChannel<M>(Lanes16(_mm_unpacklo_epi8(dst, zero)),
                                        Lanes16(_mm_unpacklo_epi8(src, zero)));
    const Lanes16 high = BlendChannel<M>(Lanes16(_mm_unpackhi_epi8(dst, zero)),
                                         Lanes16(_mm_unpackhi_epi8(src, zero)));
    const __m128i colour = _mm_packus_epi16(low.v, high.v);
    const __m128i Rv = _mm_setr_epi32(int(a[0]), int(a[1]), int(a[2]), int(a[3]));
    const __m128i out = _mm_or_si128(_mm_and_si128(colour, _mm_set1_epi32(0x00FFFFFF)),
                                     _mm_slli_epi32(NewAlphaFour(dst, Rv), 24));
    const __m128i keep = _mm_cmpeq_epi32(Rv, zero);
    return _mm_or_si128(_mm_and_si128(keep, dst), _mm_andnot_si128(keep, out));
}

template <class Rule>
struct FourPixels;  // the bottom rule has no four-pixel form: it is mostly copies

template <>
struct FourPixels<NormalRule> {
    static __m128i Run(__m128i dst, __m128i src, const uint8_t* a, const LayerPass& p) {
        return NormalFour(dst, src, a, p.coverage, p.rest);
    }
};

template <BlendMode M>
struct FourPixels<BlendRule<M>> {
    static __m128i Run(__m128i dst, __m128i src, const uint8_t* a, const LayerPass&) {
        return BlendFour<M>(dst, src, a);
    }
};

template <class Rule>
constexpr bool kHasFour = !std::is_same_v<Rule, BottomRule>;

// Four source pixels as four 32-bit lanes (the top byte is not used).
template <int Step>
inline __m128i LoadFour(const uint8_t* s, bool lastIsEnd) {
    if constexpr (Step == 4) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    } else if constexpr (Step == 3) {
        return _mm_setr_epi32(int(LoadSource<3>(s, false)), int(LoadSource<3>(s + 3, false)),
                              int(LoadSource<3>(s + 6, false)),
                              int(LoadSource<3>(s + 9, lastIsEnd)));
    } else {
        return _mm_set1_epi32(int(LoadSource<4>(s, false)));
    }
}

#endif  // QUILLET_COMPOSITOR_SIMD

// --- The loop -----------------------------------------------------------------------------------

// One layer over n destination pixels. `s` advances by Step bytes per pixel (0: one colour).
// Eight alpha values at a time decide whether a stretch is untouched (all 0) or, for a rule that
// copies on an untransparent layer, a plain copy (all 255, and the alpha becomes 255).
template <class Rule, int Step>
void Run(uint8_t* d, const uint8_t* s, const uint8_t* a, int n, const LayerPass& p) {
    const bool opaque = p.coverage[255] == 1.0f;
    int i = 0;
    for (; i + 8 <= n; i += 8, d += 32, s += 8 * Step) {
        uint64_t eight;
        std::memcpy(&eight, a + i, 8);
        if (eight == 0) continue;
        if (Rule::kCopies && opaque && eight == ~uint64_t(0)) {
            for (int k = 0; k < 8; ++k) {
                const uint32_t v = LoadSource<Step>(s + k * Step, i + k == n - 1) | 0xFF000000u;
                std::memcpy(d + 4 * k, &v, 4);
            }
            continue;
        }
#ifdef QUILLET_COMPOSITOR_SIMD
        if constexpr (kHasFour<Rule>) {
            for (int k = 0; k < 8; k += 4) {
                const __m128i dst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + 4 * k));
                const __m128i src = LoadFour<Step>(s + k * Step, i + k + 3 == n - 1);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * k),
                                 FourPixels<Rule>::Run(dst, src, a + i + k, p));
            }
            continue;
        }
#endif
        for (int k = 0; k < 8; ++k) {
            const unsigned R = a[i + k];
            if (R == 0) continue;
            uint32_t dst;
            std::memcpy(&dst, d + 4 * k, 4);
            const uint32_t out =
                OnePixel<Rule>(dst, LoadSource<Step>(s + k * Step, i + k == n - 1), R, opaque, p);
            std::memcpy(d + 4 * k, &out, 4);
        }
    }
    for (; i < n; ++i, d += 4, s += Step) {
        const unsigned R = a[i];
        if (R == 0) continue;  // neither colour nor alpha changes
        uint32_t dst;
        std::memcpy(&dst, d, 4);
        const uint32_t out = OnePixel<Rule>(dst, LoadSource<Step>(s, i == n - 1), R, opaque, p);
        std::memcpy(d, &out, 4);
    }
}

using RunFn = void (*)(uint8_t*, const uint8_t*, const uint8_t*, int, const LayerPass&);

template <int Step>
RunFn RunFor(const LayerPass& p) {
    if (p.bottom) return Run<BottomRule, Step>;
    switch (p.mode) {
        case BlendMode::Normal:
            return Run<NormalRule, Step>;
        case BlendMode::Multiply:
            return Run<BlendRule<BlendMode::Multiply>, Step>;
        case BlendMode::Screen:
            return Run<BlendRule<BlendMode::Screen>, Step>;
        case BlendMode::Darken:
            return Run<BlendRule<BlendMode::Darken>, Step>;
        case BlendMode::Lighten:
            return Run<BlendRule<BlendMode::Lighten>, Step>;
        case BlendMode::Difference:
            return Run<BlendRule<BlendMode::Difference>, Step>;
        case BlendMode::Negation:
            return Run<BlendRule<BlendMode::Negation>, Step>;
        case BlendMode::Exclusion:
            return Run<BlendRule<BlendMode::Exclusion>, Step>;
        case BlendMode::Overlay:
            return Run<BlendRule<BlendMode::Overlay>, Step>;
    }
    return Run<NormalRule, Step>;
}

RunFn RunFor(const LayerPass& p, int step) {
    return step == 3 ? RunFor<3>(p) : step == 4 ? RunFor<4>(p) : RunFor<0>(p);
}

inline unsigned IndexAt(const uint8_t* row, int bits, int x) {
    if (bits == 8) return row[x];
    if (bits == 4) return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
}

struct Scratch {
    std::vector<uint8_t> row;          // distinct-column row when output columns repeat
    std::vector<uint8_t> colour;       // fetched colours, 4 bytes each
    std::vector<uint8_t> alpha;        // gathered alpha values
    std::vector<uint8_t> shadeColour;  // colours with the shadow put in, 4 bytes each
    std::vector<uint8_t> shadeAlpha;   // alpha values with the shadow put in
};

// The shadow pass over n pixels: where the effect value is not 0 the shadow colour with that
// value as alpha, elsewhere the layer's own colour and alpha. The result is read 4 bytes a pixel.
void PutShadow(const LayerPass& p, const uint8_t* effect, const int32_t* cols, int n,
               const uint8_t*& s, int& step, const uint8_t*& a, Scratch& sc) {
    uint8_t* c = sc.shadeColour.data();
    uint8_t* sa = sc.shadeAlpha.data();
    for (int i = 0; i < n; ++i, c += 4) {
        const uint8_t e = cols ? effect[cols[i]] : effect[i];
        if (e != 0) {
            std::memcpy(c, p.shadow, 4);
            sa[i] = e;
        } else {
            // Three bytes even for 24-bit pixels: the last one may end its buffer.
            std::memcpy(c, s + size_t(i) * size_t(step), step == 4 ? 4 : 3);
            sa[i] = a[i];
        }
    }
    s = sc.shadeColour.data();
    step = 4;
    a = sc.shadeAlpha.data();
}

// The layer over distinct columns [ka, kb) of one row.
void RunSegment(const LayerPass& p, const Plan& plan, const uint8_t* srcRow,
                const uint8_t* alphaRow, const uint8_t* effectRow, uint8_t* row, Scratch& sc,
                int ka, int kb) {
    const int n = kb - ka;
    uint8_t* dst = row + size_t(ka) * 4;
    const uint8_t* a;
    const uint8_t* s;
    int step;
    if (plan.contiguous) {
        // The column lies inside the layer, so the difference fits whatever the layer's place.
        const int lx0 = int(int64_t(plan.distinctColumns[size_t(ka)]) - p.x);
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
        const int32_t* cols = p.columns.data() + (ka - p.k0);
        uint8_t* ga = sc.alpha.data();
        for (int i = 0; i < n; ++i) ga[i] = alphaRow[cols[i]];
        a = ga;
        if (p.source == kConstant) {
            s = p.colour;
            step = 0;
        } else {
            uint8_t* c = sc.colour.data();
            if (p.source == kBgr24 || p.source == kBgra32) {
                // Four bytes at a time (the fourth is never used), three for the row's last
                // pixel, which may end the buffer.
                const size_t bpp = size_t(p.source);
                const int32_t last = p.width - 1;
                for (int i = 0; i < n; ++i, c += 4) {
                    const uint8_t* px = srcRow + size_t(cols[i]) * bpp;
                    if (cols[i] != last)
                        std::memcpy(c, px, 4);
                    else
                        std::memcpy(c, px, 3);
                }
            } else {
                for (int i = 0; i < n; ++i, c += 4)
                    std::memcpy(c, p.lut[IndexAt(srcRow, p.bits, cols[i])], 4);
            }
            s = sc.colour.data();
            step = 4;
        }
    }
    if (effectRow) {
        if (plan.contiguous) {
            const int lx0 = int(int64_t(plan.distinctColumns[size_t(ka)]) - p.x);
            PutShadow(p, effectRow + lx0, nullptr, n, s, step, a, sc);
        } else {
            PutShadow(p, effectRow, p.columns.data() + (ka - p.k0), n, s, step, a, sc);
        }
    }
    RunFor(p, step)(dst, s, a, n, p);
}

struct RowSource {
    const uint8_t* pixels = nullptr;
    const uint8_t* alpha = nullptr;   // null: the layer has no row here
    const uint8_t* effect = nullptr;  // null: no shadow pass
};

RowSource SourceRow(const LayerPass& p, int canvasRow) {
    // In 64 bits: a layer may sit anywhere an int32 reaches, and row − INT_MIN does not fit.
    const int64_t ly = int64_t(canvasRow) - p.y;
    if (ly < 0 || ly >= p.height || p.k1 <= p.k0) return {};
    const int64_t storedRow = p.height - 1 - ly;  // layers keep the bottom row first
    const size_t plane = size_t(storedRow) * size_t(p.width);
    return {p.pixels + size_t(storedRow) * p.stride, p.alpha + plane,
            p.effect ? p.effect + plane : nullptr};
}

// A pass replaces a pixel outright where its alpha is 255 and it has no transparency in the
// normal mode (or as the bottom layer): colour s and alpha 255 whatever lay below. For each
// group of eight columns, `cover` receives the topmost pass that replaces all eight, so the
// passes below it can leave that group alone.
void FindCover(const std::vector<LayerPass>& passes, const Plan& plan,
               const std::vector<RowSource>& rows, std::vector<int8_t>& cover) {
    std::fill(cover.begin(), cover.end(), int8_t(-1));
    size_t open = cover.size();
    for (int pi = int(passes.size()) - 1; pi >= 0 && open > 0; --pi) {
        const LayerPass& p = passes[size_t(pi)];
        if (!rows[size_t(pi)].alpha || !p.replaces) continue;
        const int c0 = (p.k0 + 7) / 8, c1 = p.k1 / 8;
        const uint8_t* alphaRow = rows[size_t(pi)].alpha;
        for (int c = c0; c < c1; ++c) {
            if (cover[size_t(c)] >= 0) continue;
            uint64_t eight;
            if (plan.contiguous) {
                const int lx = int(int64_t(plan.distinctColumns[0]) + c * 8 - p.x);
                std::memcpy(&eight, alphaRow + lx, 8);
            } else {
                const int32_t* cols = p.columns.data() + (c * 8 - p.k0);
                unsigned all = 255;
                for (int k = 0; k < 8; ++k) all &= alphaRow[cols[k]];
                eight = all == 255 ? ~uint64_t(0) : 0;
            }
            if (eight == ~uint64_t(0)) {
                cover[size_t(c)] = int8_t(pi);
                --open;
            }
        }
    }
}

// Runs pass `pi` over its columns except the groups that a pass above replaces.
void RunPass(const LayerPass& p, int pi, const Plan& plan, const RowSource& src, uint8_t* row,
             Scratch& sc, const std::vector<int8_t>* cover) {
    if (!src.alpha) return;
    if (!cover) {
        RunSegment(p, plan, src.pixels, src.alpha, src.effect, row, sc, p.k0, p.k1);
        return;
    }
    const int8_t* hidden = cover->data();
    int k = p.k0;
    while (k < p.k1) {
        if (hidden[k / 8] > pi) {  // all eight columns are replaced higher up
            k = (k / 8 + 1) * 8;
            continue;
        }
        int e = (k / 8 + 1) * 8;
        while (e < p.k1 && hidden[e / 8] <= pi) e += 8;
        e = std::min(e, p.k1);
        RunSegment(p, plan, src.pixels, src.alpha, src.effect, row, sc, k, e);
        k = e;
    }
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
    for (const LayerPass& p : passes)
        if (p.effect) {
            sc.shadeColour.resize(distinct * 4);
            sc.shadeAlpha.resize(distinct);
            break;
        }
    std::vector<RowSource> sources(passes.size());
    std::vector<int8_t> cover((distinct + 7) / 8);
    int replacing = 0;
    for (const LayerPass& p : passes) replacing += p.replaces ? 1 : 0;
    // Cover pays off only when something above can hide something below.
    const bool cull = replacing > 0 && passes.size() > 1;
    const size_t outBytes = size_t(out.width) * 4;

    for (int r = rowBegin; r < rowEnd; ++r) {
        const int canvasRow = plan.rows[size_t(r)];
        uint8_t* outRow = out.Row(r);
        if (r > rowBegin && plan.rows[size_t(r) - 1] == canvasRow) {
            std::memcpy(outRow, outRow - outBytes, outBytes);  // same canvas row, same pixels
            continue;
        }
        // Cleared here rather than when allocated: the row is then still in the cache.
        uint8_t* row = direct ? outRow : sc.row.data();
        std::memset(row, 0, distinct * 4);
        for (size_t pi = 0; pi < passes.size(); ++pi)
            sources[pi] = SourceRow(passes[pi], canvasRow);
        if (cull) FindCover(passes, plan, sources, cover);
        for (size_t pi = 0; pi < passes.size(); ++pi)
            RunPass(passes[pi], int(pi), plan, sources[pi], row, sc, cull ? &cover : nullptr);
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
