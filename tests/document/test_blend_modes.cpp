// The blend modes' channel functions on every pair of bytes: as written for one channel against
// the literal rules, and on eight lanes at once against one channel.
#include <gtest/gtest.h>

#include <cstdint>

#include "document/compositor/BlendModes.h"
#include "document/compositor/Lanes16.h"
#include "tests/document/CompositorReference.h"

using namespace quillet;
using namespace quillet::compositing;

namespace {

template <BlendMode M>
void ExpectModeMatchesTheRule() {
    for (int d = 0; d < 256; ++d)
        for (int s = 0; s < 256; ++s)
            ASSERT_EQ(BlendChannel<M>(d, s), reference::Blend(int(M), d, s))
                << "mode " << int(M) << " d " << d << " s " << s;
#ifdef QUILLET_COMPOSITOR_SIMD
    for (int d = 0; d < 256; ++d)
        for (int s0 = 0; s0 < 256; s0 += 8) {
            const Lanes16 out = BlendChannel<M>(
                Lanes16(d), Lanes16(_mm_setr_epi16(short(s0), short(s0 + 1), short(s0 + 2),
                                                   short(s0 + 3), short(s0 + 4), short(s0 + 5),
                                                   short(s0 + 6), short(s0 + 7))));
            alignas(16) int16_t lanes[8];
            _mm_store_si128(reinterpret_cast<__m128i*>(lanes), out.v);
            for (int k = 0; k < 8; ++k)
                ASSERT_EQ(lanes[k], BlendChannel<M>(d, s0 + k))
                    << "mode " << int(M) << " d " << d << " s " << s0 + k;
        }
#endif
}

}  // namespace

TEST(BlendModes, EachChannelFunctionFollowsItsRuleOnEveryPairOfBytes) {
    ExpectModeMatchesTheRule<BlendMode::Multiply>();
    ExpectModeMatchesTheRule<BlendMode::Screen>();
    ExpectModeMatchesTheRule<BlendMode::Darken>();
    ExpectModeMatchesTheRule<BlendMode::Lighten>();
    ExpectModeMatchesTheRule<BlendMode::Difference>();
    ExpectModeMatchesTheRule<BlendMode::Negation>();
    ExpectModeMatchesTheRule<BlendMode::Exclusion>();
    ExpectModeMatchesTheRule<BlendMode::Overlay>();
}

TEST(BlendModes, StoredBytesWithoutAModeComposeAsNormal) {
    EXPECT_EQ(BlendModeOf(0), BlendMode::Normal);
    EXPECT_EQ(BlendModeOf(1), BlendMode::Normal);
    EXPECT_EQ(BlendModeOf(2), BlendMode::Multiply);
    EXPECT_EQ(BlendModeOf(9), BlendMode::Overlay);
    for (int v = 10; v < 256; ++v) EXPECT_EQ(BlendModeOf(uint8_t(v)), BlendMode::Normal) << v;
}
