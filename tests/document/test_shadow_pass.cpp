// The composition's shadow pass against the literal reference: layers with a layer effect show
// their effect plane in the shadow colour, in every kind of composition.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "document/compositor/Compositor.h"
#include "tests/document/CompositorReference.h"
#include "tests/support/LayerBuilders.h"

using namespace quillet;

namespace {

void ExpectSame(const Image32& got, const Image32& want, const char* what) {
    ASSERT_EQ(got.width, want.width) << what;
    ASSERT_EQ(got.height, want.height) << what;
    ASSERT_EQ(got.x, want.x) << what;
    ASSERT_EQ(got.y, want.y) << what;
    for (size_t i = 0; i < want.bytes.size(); ++i)
        ASSERT_EQ(got.bytes[i], want.bytes[i]) << what << " byte " << i;
}

// Layers of every blend mode and transparency, some with a shadow in a random effect plane.
std::unique_ptr<LayerTable> ShadowStack(std::mt19937& rng, int bits) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto t = std::make_unique<LayerTable>();
    t->header.canvasWidth = pick(1, 37);
    t->header.canvasHeight = pick(1, 29);
    t->header.bitsPerPixel = bits;
    if (bits == 8) {
        t->header.paletteSize = 256;
        t->palette.resize(256);
        for (auto& q : t->palette) q = {uint8_t(pick(0, 255)), uint8_t(pick(0, 255)), 0, 0};
    }
    const int layers = pick(1, 4);
    for (int slot = 0; slot < layers; ++slot) {
        const int w = pick(1, 40), h = pick(1, 32);
        const uint8_t kind = pick(0, 5) == 0 ? LayerKind::Text : LayerKind::Raster;
        testsupport::AddLayer(
            *t, testsupport::LayerArgs(*t, slot, pick(-8, 20), pick(-8, 20), w, h, kind));
        Layer& l = t->layer(slot);
        LayerPlanes& p = t->planesOf(slot);
        for (auto& b : p.pixels) b = uint8_t(pick(0, 255));
        for (auto& a : p.alpha)
            a = uint8_t(pick(0, 3) == 0 ? 255 : pick(0, 3) == 0 ? 0 : pick(0, 255));
        for (auto& e : p.effect) e = uint8_t(pick(0, 2) == 0 ? pick(1, 255) : 0);
        l.effectValue1 = uint8_t(pick(0, 2) == 0 ? 0 : pick(1, 20));
        l.SetEffectColour(uint32_t(pick(0, 0xFFFFFF)));
        l.transparency = uint8_t(pick(0, 2) == 0 ? pick(0, 255) : 0);
        static const uint8_t kModes[] = {0, 0, 2, 3, 4, 5, 6, 7, 8, 9};
        l.blendMode = kModes[pick(0, 9)];
        if (pick(0, 6) == 0) l.visible = 0;
    }
    return t;
}

TEST(ShadowPass, EffectPlaneShowsInTheShadowColourOnlyWithAnEffect) {
    auto t = std::make_unique<LayerTable>();
    t->header.canvasWidth = 4;
    t->header.canvasHeight = 1;
    t->header.bitsPerPixel = 24;
    testsupport::AddLayer(*t, testsupport::LayerArgs(*t, 0, 0, 0, 4, 1));
    LayerPlanes& p = t->planesOf(0);
    for (int x = 0; x < 4; ++x) t->PutColor(0, x, 0, 0x102030);
    p.alpha = {255, 0, 100, 0};
    p.effect = {0, 200, 50, 0};
    t->layer(0).SetEffectColour(0x4080C0);  // red 0x40, green 0x80, blue 0xC0

    // Without a layer effect the plane is not drawn.
    Image32 plain = Compositor::ComposeFull(*t, t->bottom, 0);
    EXPECT_EQ(plain.Row(0)[7], 0);

    t->layer(0).effectValue1 = 7;
    const Image32 shaded = Compositor::ComposeFull(*t, t->bottom, 0);
    const uint8_t* px = shaded.Row(0);
    // Pixel 0: no effect value, its own colour. Pixel 1: the shadow colour at coverage 200.
    EXPECT_EQ(px[0], 0x30);
    EXPECT_EQ(px[3], 255);
    EXPECT_EQ(px[4], uint8_t(0xC0 * (200 / 255.0f)));
    EXPECT_EQ(px[6], uint8_t(0x40 * (200 / 255.0f)));
    EXPECT_EQ(px[7], 200);
    // Pixel 2: the shadow replaces the layer's own alpha 100 with 50.
    EXPECT_EQ(px[11], 50);
    EXPECT_EQ(px[15], 0);
    ExpectSame(shaded, reference::Full(*t, t->bottom, 0), "edge row");
}

TEST(ShadowPass, EveryCompositionMatchesTheLiteralReference) {
    std::mt19937 rng(2718);
    for (int round = 0; round < 300; ++round) {
        const auto t = ShadowStack(rng, round % 5 == 0 ? 8 : round % 7 == 0 ? 32 : 24);
        for (int threads : {1, 2})
            ExpectSame(Compositor::ComposeFull(*t, t->bottom, 0, threads),
                       reference::Full(*t, t->bottom, 0), "full");
        // Zoomed out (columns skipped), 1:1 in a clip box, and zoomed in (columns repeated).
        for (double zoom : {0.5, 1.0, 3.0}) {
            DisplayRequest q = Compositor::CentredRequest(*t, 70, 50, zoom);
            q.left = 3;
            q.top = 2;
            ExpectSame(Compositor::ComposeDisplay(*t, q), reference::Display(*t, q), "display");
        }
    }
}

TEST(ShadowPass, MergeKeepsTheShadowInTheMergedPixels) {
    std::mt19937 rng(99);
    for (int round = 0; round < 60; ++round) {
        const auto t = ShadowStack(rng, 24);
        const int start = t->bottom;
        const Image32 want = reference::Full(*t, start, 0);
        ASSERT_TRUE(Compositor::ComposeIntoLayer(*t, start, 0));
        const Layer& l = t->layer(start);
        for (int y = 0; y < l.height; ++y)
            for (int x = 0; x < l.width; ++x) {
                const uint8_t* w = want.Row(y) + size_t(x) * 4;
                ASSERT_EQ(t->ColorAt(start, x, y), packBgr(w[2], w[1], w[0]));
                ASSERT_EQ(t->AlphaAt(start, x, y), w[3]);
            }
    }
}

}  // namespace
