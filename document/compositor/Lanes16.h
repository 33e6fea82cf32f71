#pragma once
// Eight 16-bit lanes of an SSE2 register with the operations the blend modes use, so that the
// same mode functions run on one channel (int) or on eight (Lanes16). Where the compiler offers
// no SSE2, or QUILLET_NO_SIMD is defined, this is empty and the compositor composes one pixel
// at a time.
#if defined(__SSE2__) && !defined(QUILLET_NO_SIMD)
#define QUILLET_COMPOSITOR_SIMD 1
#include <emmintrin.h>

namespace quillet::compositing {

// Every lane holds a channel value or an intermediate of the modes: the product of two bytes
// fits a lane when read as unsigned, and the shifts are logical, so it is read that way.
struct Lanes16 {
    __m128i v;
    explicit Lanes16(__m128i lanes) : v(lanes) {}
    explicit Lanes16(int each) : v(_mm_set1_epi16(short(each))) {}
};

inline Lanes16 operator+(Lanes16 a, Lanes16 b) { return Lanes16(_mm_add_epi16(a.v, b.v)); }
inline Lanes16 operator-(Lanes16 a, Lanes16 b) { return Lanes16(_mm_sub_epi16(a.v, b.v)); }
inline Lanes16 operator*(Lanes16 a, Lanes16 b) { return Lanes16(_mm_mullo_epi16(a.v, b.v)); }
inline Lanes16 operator>>(Lanes16 a, int bits) { return Lanes16(_mm_srli_epi16(a.v, bits)); }
inline Lanes16 operator&(Lanes16 a, Lanes16 b) { return Lanes16(_mm_and_si128(a.v, b.v)); }
// All ones in the lanes where a < b (signed), zero elsewhere.
inline Lanes16 operator<(Lanes16 a, Lanes16 b) { return Lanes16(_mm_cmplt_epi16(a.v, b.v)); }
inline Lanes16 Min(Lanes16 a, Lanes16 b) { return Lanes16(_mm_min_epi16(a.v, b.v)); }
inline Lanes16 Max(Lanes16 a, Lanes16 b) { return Lanes16(_mm_max_epi16(a.v, b.v)); }
inline Lanes16 Abs(Lanes16 a) { return Max(a, Lanes16(0) - a); }
// a where the mask is set, b elsewhere.
inline Lanes16 Select(Lanes16 mask, Lanes16 a, Lanes16 b) {
    return Lanes16(_mm_or_si128(_mm_and_si128(mask.v, a.v), _mm_andnot_si128(mask.v, b.v)));
}

}  // namespace quillet::compositing

#endif
