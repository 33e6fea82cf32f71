// The compositor against the literal reference on random stacks, and the rules' edge cases.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>

#include "document/CBrevDoc.h"
#include "document/compositor/Compositor.h"
#include "platform/RecordingUserPort.h"
#include "tests/document/CompositorReference.h"
#include "tests/support/LayerBuilders.h"

using namespace quillet;

namespace {

// Adds a layer on top of the list, its buffers as create layer leaves them.
int AddLayer(LayerTable& t, int slot, int x, int y, int w, int h, uint8_t kind = 0) {
    const int made = testsupport::AddLayer(t, testsupport::LayerArgs(t, slot, x, y, w, h, kind));
    EXPECT_EQ(made, slot);
    return slot;
}

std::unique_ptr<LayerTable> Canvas(int w, int h, int bits = 24, int paletteSize = 0) {
    auto t = std::make_unique<LayerTable>();
    t->header.canvasWidth = w;
    t->header.canvasHeight = h;
    t->header.bitsPerPixel = bits;
    t->header.paletteSize = paletteSize;
    return t;
}

void Fill(LayerTable& t, int slot, uint8_t b, uint8_t g, uint8_t r, uint8_t alpha) {
    const Layer& l = t.layer(slot);
    for (int y = 0; y < l.height; ++y)
        for (int x = 0; x < l.width; ++x) {
            t.PutColor(slot, x, y, packBgr(r, g, b));
            t.PutAlpha(slot, x, y, alpha);
        }
}

const uint8_t* PixelAt(const Image32& img, int x, int topRow) {
    const int r = img.bottomUp ? img.height - 1 - topRow : topRow;
    return img.Row(r) + size_t(x) * 4;
}

std::unique_ptr<LayerTable> RandomStack(std::mt19937& rng, int maxCanvas = 40) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    static const int kBits[] = {1, 4, 8, 24, 24, 24, 32};
    const int bits = kBits[pick(0, 6)];
    int paletteSize = 0;
    if (bits <= 8) {
        const int full = 1 << bits;
        const int choice = pick(0, 3);  // full palette, short palette, none
        paletteSize = choice == 0 ? 0 : choice == 1 ? pick(1, full) : full;
    }
    auto t = Canvas(pick(1, maxCanvas), pick(1, maxCanvas), bits, paletteSize);
    t->palette.resize(size_t(paletteSize));
    for (auto& q : t->palette)
        q = Rgbquad{uint8_t(pick(0, 255)), uint8_t(pick(0, 255)), uint8_t(pick(0, 255)), 0};
    const int layers = pick(1, 8);
    for (int i = 0; i < layers; ++i) {
        int slot;
        do slot = pick(0, 39);
        while (t->layer(slot).used);
        const uint8_t kind = pick(0, 5) == 0 ? LayerKind::Text : uint8_t(pick(0, 1));
        AddLayer(*t, slot, pick(-30, maxCanvas), pick(-30, maxCanvas), pick(1, maxCanvas + 10),
                 pick(1, maxCanvas + 10), kind);
        Layer& l = t->layer(slot);
        static const int kVisible[] = {1, 1, 1, 1, 0, 2};
        l.visible = kVisible[pick(0, 5)];
        l.blendMode = uint8_t(pick(0, 11));
        const int tr = pick(0, 5);
        l.transparency = uint8_t(tr == 0 ? 0 : tr == 1 ? 255 : pick(0, 255));
        l.textColour = uint32_t(pick(0, 0xFFFFFF));
        LayerPlanes& p = t->planesOf(slot);
        for (auto& b : p.pixels) b = uint8_t(pick(0, 255));
        if (pick(0, 1)) {
            for (auto& b : p.alpha) {
                const int c = pick(0, 3);
                b = uint8_t(c == 0 ? 0 : c == 1 ? 255 : pick(0, 255));
            }
        } else {  // runs of one value, as painted layers have: opaque stretches hide layers below
            for (size_t at = 0; at < p.alpha.size();) {
                const int c = pick(0, 3);
                const uint8_t v = uint8_t(c == 0 ? 0 : c == 3 ? pick(1, 254) : 255);
                const size_t run = std::min(p.alpha.size() - at, size_t(pick(1, 40)));
                std::fill_n(p.alpha.begin() + std::ptrdiff_t(at), run, v);
                at += run;
            }
        }
    }
    return t;
}

void ExpectSame(const Image32& fast, const Image32& slow) {
    ASSERT_EQ(fast.width, slow.width);
    ASSERT_EQ(fast.height, slow.height);
    ASSERT_EQ(fast.x, slow.x);
    ASSERT_EQ(fast.y, slow.y);
    ASSERT_EQ(fast.bytes.size(), slow.bytes.size());
    for (size_t i = 0; i < fast.bytes.size(); ++i)
        ASSERT_EQ(fast.bytes[i], slow.bytes[i]) << "byte " << i << " pixel " << i / 4;
}

}  // namespace

TEST(CompositorReference, RandomStacksAtFullSize) {
    std::mt19937 rng(11);
    Image32 reused;
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        auto t = RandomStack(rng);
        const auto order = t->Order();
        const int start = order[std::uniform_int_distribution<size_t>(0, order.size() - 1)(rng)];
        const int count = std::uniform_int_distribution<int>(-1, 3)(rng);
        ExpectSame(Compositor::ComposeFull(*t, t->bottom, 0), reference::Full(*t, t->bottom, 0));
        std::fill(reused.bytes.begin(), reused.bytes.end(), uint8_t(0x5A));
        Compositor::ComposeFullInto(*t, start, count, reused);
        ExpectSame(reused, reference::Full(*t, start, count));
    }
}

TEST(CompositorReference, RandomStacksOnDisplayAtEveryZoom) {
    std::mt19937 rng(23);
    Image32 reused;
    const double zooms[] = {1.0 / 16, 0.125, 0.25, 0.3, 0.5, 2.0 / 3, 1, 1.5, 2, 3, 4, 7.3, 16};
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        auto t = RandomStack(rng, round % 4 == 0 ? 160 : 40);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        const int ww = pick(1, 200), wh = pick(1, 200);
        DisplayRequest q;
        switch (pick(0, 2)) {
            case 0:
                q = Compositor::CentredRequest(*t, ww, wh, zooms[pick(0, 12)]);
                break;
            case 1:
                q = Compositor::StretchRequest(*t, ww, wh);
                break;
            default:  // scrolled: the picture starts left of and above the window
                q.zoomX = q.zoomY = zooms[pick(0, 12)];
                q.originX = -pick(0, 300);
                q.originY = -pick(0, 300);
                q.right = ww;
                q.bottom = wh;
        }
        if (pick(0, 1)) {  // a clip box inside the window
            q.left = pick(0, ww - 1);
            q.top = pick(0, wh - 1);
            q.right = pick(q.left + 1, ww);
            q.bottom = pick(q.top + 1, wh);
        }
        const Image32 fast = Compositor::ComposeDisplay(*t, q);
        ExpectSame(fast, reference::Display(*t, q));
        // A view's buffer kept between repaints: stale bytes must not show through.
        std::fill(reused.bytes.begin(), reused.bytes.end(), uint8_t(0xA5));
        Compositor::ComposeDisplayInto(*t, q, reused, 2);
        ExpectSame(reused, fast);
    }
}

TEST(Compositor, TwoThreadsGiveTheSameBytes) {
    std::mt19937 rng(5);
    auto t = RandomStack(rng);
    auto big = Canvas(300, 200);
    for (int i = 0; i < 4; ++i) {
        AddLayer(*big, i, i * 20 - 30, i * 15 - 10, 250, 190);
        big->layer(i).blendMode = uint8_t(i * 3);
        for (auto& b : big->planesOf(i).pixels) b = uint8_t(rng());
        for (auto& b : big->planesOf(i).alpha) b = uint8_t(rng());
    }
    ExpectSame(Compositor::ComposeFull(*big, big->bottom, 0, 2),
               Compositor::ComposeFull(*big, big->bottom, 0, 1));
}

TEST(Compositor, OpaqueLayerShowsItsColoursAndFullTransparencyShowsBlack) {
    auto t = Canvas(4, 3);
    const int s = AddLayer(*t, 0, 0, 0, 4, 3);
    Fill(*t, s, 10, 20, 30, 255);
    Image32 img = Compositor::ComposeFull(*t, t->bottom, 0);
    EXPECT_EQ(std::vector<uint8_t>(PixelAt(img, 2, 1), PixelAt(img, 2, 1) + 4),
              (std::vector<uint8_t>{10, 20, 30, 255}));
    t->layer(s).transparency = 255;
    img = Compositor::ComposeFull(*t, t->bottom, 0);
    EXPECT_EQ(std::vector<uint8_t>(PixelAt(img, 2, 1), PixelAt(img, 2, 1) + 4),
              (std::vector<uint8_t>{0, 0, 0, 255}));
}

TEST(Compositor, BlendModesIgnoreCoverageAndAlphaAccumulates) {
    auto t = Canvas(2, 1);
    Fill(*t, AddLayer(*t, 0, 0, 0, 2, 1), 255, 255, 255, 255);
    const int m = AddLayer(*t, 1, 0, 0, 2, 1);
    t->layer(m).SetBlend(BlendMode::Multiply);
    Fill(*t, m, 100, 50, 200, 10);
    t->PutAlpha(m, 1, 0, 255);
    const Image32 img = Compositor::ComposeFull(*t, t->bottom, 0);
    // (255 × s) >> 8 at alpha 10 and at alpha 255 alike.
    for (int x = 0; x < 2; ++x) {
        EXPECT_EQ(PixelAt(img, x, 0)[0], 99);
        EXPECT_EQ(PixelAt(img, x, 0)[1], 49);
        EXPECT_EQ(PixelAt(img, x, 0)[2], 199);
        EXPECT_EQ(PixelAt(img, x, 0)[3], 255);  // 255 then min(255, (R + 1) × 255)
    }
}

TEST(Compositor, NegativePositionsClipAndTextLayersUseTheirColour) {
    auto t = Canvas(5, 5);
    AddLayer(*t, 0, 0, 0, 5, 5);
    Fill(*t, 0, 0, 0, 0, 255);
    const int text = AddLayer(*t, 1, -2, -3, 4, 4, LayerKind::Text);
    t->layer(text).textColour = 0x00336699;  // red 0x33, green 0x66, blue 0x99
    for (auto& b : t->planesOf(text).alpha) b = 255;
    t->planesOf(text).pixels.assign(t->planesOf(text).pixels.size(), 0);  // coverage is ignored
    const Image32 img = Compositor::ComposeFull(*t, t->bottom, 0);
    // The layer covers canvas columns 0..1 and rows 0 only (rows -3..0, columns -2..1).
    EXPECT_EQ(PixelAt(img, 1, 0)[0], 0x99);
    EXPECT_EQ(PixelAt(img, 1, 0)[2], 0x33);
    EXPECT_EQ(PixelAt(img, 2, 0)[0], 0);
    EXPECT_EQ(PixelAt(img, 0, 1)[0], 0);
}

TEST(Compositor, DisplayCentresAndClampsAndStretches) {
    auto t = Canvas(10, 4);
    AddLayer(*t, 0, 0, 0, 10, 4);
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 4; ++y) t->PutColor(0, x, y, packBgr(0, 0, uint8_t(x * 10 + y)));
    for (auto& b : t->planesOf(0).alpha) b = 255;
    DisplayRequest q = Compositor::CentredRequest(*t, 100, 50, 2.0);
    EXPECT_EQ(q.originX, 40);
    EXPECT_EQ(q.originY, 21);
    Image32 img = Compositor::ComposeDisplay(*t, q);
    EXPECT_EQ(img.x, 40);
    EXPECT_EQ(img.width, 20);
    EXPECT_EQ(img.height, 8);
    EXPECT_EQ(img.Row(0)[5 * 4], 2 * 10 + 3);       // window (45, 21) shows canvas (2, top row)
    q = Compositor::CentredRequest(*t, 5, 5, 2.0);  // larger than the window: origin 0
    EXPECT_EQ(q.originX, 0);
    img = Compositor::ComposeDisplay(*t, q);
    EXPECT_EQ(img.width, 5);
    q = Compositor::StretchRequest(*t, 30, 2);
    EXPECT_DOUBLE_EQ(q.zoomX, 3.0);
    EXPECT_DOUBLE_EQ(q.zoomY, 0.5);
    img = Compositor::ComposeDisplay(*t, q);
    EXPECT_EQ(img.width, 30);
    EXPECT_EQ(img.height, 2);
    EXPECT_EQ(img.Row(1)[29 * 4], 9 * 10 + 1);  // canvas (9, row 2 from the top)
}

TEST(Document, SaveCompositionSkipsHiddenLayers) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    LayerTable& t = doc.Layers();
    t.header.canvasWidth = 3;
    t.header.canvasHeight = 2;
    t.header.bitsPerPixel = 24;
    Fill(t, AddLayer(t, 0, 0, 0, 3, 2), 1, 2, 3, 255);
    Fill(t, AddLayer(t, 1, 0, 0, 3, 2), 200, 200, 200, 255);
    t.layer(1).visible = 0;
    doc.ComposeForSave();
    ASSERT_EQ(doc.FlatImage().size(), 24u);
    EXPECT_EQ(doc.FlatImage()[0], 1);
    EXPECT_EQ(doc.FlatImage()[23], 255);
}

TEST(Document, MergeWritesTheResultIntoTheStartLayer) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    LayerTable& t = doc.Layers();
    t.header.canvasWidth = 6;
    t.header.canvasHeight = 4;
    t.header.bitsPerPixel = 24;
    Fill(t, AddLayer(t, 0, 0, 0, 6, 4), 9, 9, 9, 255);
    const int lower = AddLayer(t, 3, 2, 1, 2, 2);
    Fill(t, lower, 100, 110, 120, 255);
    const int upper = AddLayer(t, 7, -1, 0, 4, 4);
    Fill(t, upper, 50, 60, 70, 0);
    t.PutAlpha(upper, 2, 3, 255);  // canvas (1, 0)
    ASSERT_TRUE(doc.ComposeIntoLayer(lower, 2));
    const Layer& l = t.layer(lower);
    EXPECT_EQ(l.x, 0);
    EXPECT_EQ(l.width, 6);
    EXPECT_EQ(l.stride, 20u);
    EXPECT_EQ(t.planesOf(lower).alpha.size(), 24u);
    EXPECT_EQ(t.planesOf(lower).effect.size(), 24u);
    // Stored rows run bottom-up: canvas row 0 is stored row 3.
    EXPECT_EQ(t.ColorAt(lower, 1, 3), packBgr(70, 60, 50));
    EXPECT_EQ(t.AlphaAt(lower, 1, 3), 255);
    EXPECT_EQ(t.ColorAt(lower, 2, 2), packBgr(120, 110, 100));
    EXPECT_EQ(t.AlphaAt(lower, 0, 0), 0);
    EXPECT_EQ(doc.WorkingPixels().size(), l.pixelSize);
}

TEST(Document, FlattenIntoAPalettePictureUsesNearestIndices) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    LayerTable& t = doc.Layers();
    t.header.canvasWidth = 3;
    t.header.canvasHeight = 1;
    t.header.bitsPerPixel = 4;
    t.header.paletteSize = 16;
    t.palette.assign(16, Rgbquad{});
    t.palette[5] = {200, 0, 0, 0};
    AddLayer(t, 0, 0, 0, 3, 1);
    Fill(t, 0, 0, 0, 0, 255);
    AddLayer(t, 1, 1, 0, 1, 1);
    t.PutColor(1, 0, 0, packBgr(0, 0, 190));  // nearest to entry 5
    t.PutAlpha(1, 0, 0, 255);
    ASSERT_TRUE(doc.ComposeIntoLayer(t.bottom, 0));
    EXPECT_EQ(t.planesOf(0).pixels[0], 0x05);  // pixels 0 and 1: indices 0 and 5
    EXPECT_EQ(t.ColorAt(0, 1, 0), packBgr(0, 0, 200));
}

TEST(Compositor, EmptyAndDegenerateRequestsComposeNothing) {
    auto t = Canvas(8, 8);
    AddLayer(*t, 0, 0, 0, 8, 8);
    DisplayRequest q = Compositor::CentredRequest(*t, 100, 100, 1.0);
    q.zoomX = 0;
    EXPECT_TRUE(Compositor::ComposeDisplay(*t, q).Empty());
    q = Compositor::CentredRequest(*t, 100, 100, 1.0);
    q.left = 0;
    q.right = 20;  // the picture starts at 46: nothing of it in the clip box
    EXPECT_TRUE(Compositor::ComposeDisplay(*t, q).Empty());
    q = Compositor::CentredRequest(*t, 1 << 20, 1 << 20, 1 << 16);
    EXPECT_TRUE(Compositor::ComposeDisplay(*t, q).Empty());  // 2^38 pixels: refused
    auto empty = Canvas(0, 0);
    EXPECT_TRUE(Compositor::ComposeFull(*empty, -1, 0).Empty());
    // A list whose links run in a circle still ends.
    auto loop = Canvas(4, 4);
    AddLayer(*loop, 0, 0, 0, 4, 4);
    AddLayer(*loop, 1, 0, 0, 4, 4);
    loop->layer(1).next = 0;
    EXPECT_EQ(Compositor::ComposeFull(*loop, loop->bottom, 0).width, 4);
}

TEST(Compositor, OpaqueLayersHideOnlyWhatTheyFullyCover) {
    // Sampled at zoom 1/2, canvas column 14 is the eighth column of the first group of eight:
    // the one transparent pixel there must let the layer below show through.
    for (double zoom : {0.5, 1.0}) {
        auto t = Canvas(64, 2);
        AddLayer(*t, 0, 0, 0, 64, 2);
        for (size_t i = 0; i < t->planesOf(0).pixels.size(); ++i)
            t->planesOf(0).pixels[i] = uint8_t(i * 7);
        t->planesOf(0).alpha.assign(128, 255);
        AddLayer(*t, 1, 0, 0, 64, 2);
        Fill(*t, 1, 1, 2, 3, 255);
        t->PutAlpha(1, 14, 0, 0);
        t->PutAlpha(1, 14, 1, 0);
        t->PutAlpha(1, 7, 1, 0);
        const DisplayRequest q = Compositor::CentredRequest(*t, 64, 2, zoom);
        ExpectSame(Compositor::ComposeDisplay(*t, q), reference::Display(*t, q));
        ExpectSame(Compositor::ComposeFull(*t, t->bottom, 0), reference::Full(*t, t->bottom, 0));
    }
}

TEST(Compositor, LayersAnywhereAnInt32ReachesComposeWithoutOverflow) {
    // Layers far outside the canvas, at the ends of the int32 range and past ±2^30, beside
    // layers that cover it: every path must skip the far ones and draw the rest as usual.
    const int32_t far[] = {INT32_MIN,     INT32_MIN + 1, -(1 << 30), (1 << 30),
                           INT32_MAX - 3, INT32_MAX,     -3,         5};
    std::mt19937 rng(41);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        auto t = Canvas(37, 29, round % 3 == 0 ? 8 : 24);
        for (int slot = 0; slot < 6; ++slot) {
            AddLayer(*t, slot, 0, 0, pick(1, 40), pick(1, 30),
                     pick(0, 4) == 0 ? LayerKind::Text : 0);
            Layer& l = t->layer(slot);
            l.x = far[pick(0, 7)];
            l.y = far[pick(0, 7)];
            l.transparency = uint8_t(pick(0, 2) * 100);
            l.blendMode = uint8_t(pick(0, 9));
            for (auto& b : t->planesOf(slot).pixels) b = uint8_t(rng());
            for (auto& b : t->planesOf(slot).alpha) b = uint8_t(pick(0, 2) == 0 ? 255 : rng());
        }
        ExpectSame(Compositor::ComposeFull(*t, t->bottom, 0), reference::Full(*t, t->bottom, 0));
        for (double zoom : {0.25, 0.5, 1.0, 3.0}) {
            DisplayRequest q = Compositor::CentredRequest(*t, 60, 50, zoom);
            ExpectSame(Compositor::ComposeDisplay(*t, q), reference::Display(*t, q));
            q.originX = -7;  // scrolled
            ExpectSame(Compositor::ComposeDisplay(*t, q, 2), reference::Display(*t, q));
        }
        // Merge: three layers from the second one written into it.
        const auto order = t->Order();
        const int start = order.size() > 1 ? order[1] : order[0];
        const Image32 merged = Compositor::ComposeFull(*t, start, 3);
        ExpectSame(merged, reference::Full(*t, start, 3));
        ASSERT_TRUE(Compositor::ComposeIntoLayer(*t, start, 3));
        EXPECT_EQ(t->layer(start).x, 0);
        EXPECT_EQ(t->layer(start).width, 37);
        const LayerPlanes& p = t->planesOf(start);
        for (int r = 0; r < 29; ++r)
            for (int x = 0; x < 37; ++x) {
                const uint8_t* want = merged.Row(r) + x * 4;
                ASSERT_EQ(p.alpha[size_t(r) * 37 + x], want[3]);
                if (t->header.bitsPerPixel == 24) {
                    const uint8_t* got = p.pixels.data() + r * t->layer(start).stride + x * 3;
                    ASSERT_EQ(std::memcmp(got, want, 3), 0);
                }
            }
    }
}
