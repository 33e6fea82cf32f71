// Gradients: the two axis ramps, the ramps along a sloped guide line against the projection of
// every pixel on the line, coverage of the selection, and the command on a document.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "document/EditCycle.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/TempDir.h"
#include "tests/view/ViewTestDoc.h"
#include "view/tools/Gradient.h"
#include "view/tools/RectangleSelection.h"

using namespace quillet;

namespace {

struct Planes {
    int w = 0, h = 0;
    std::vector<uint8_t> px, alpha, sel;
    Planes(int width, int height) : w(width), h(height) {
        px.assign(size_t(w * h * 3), 7);
        alpha.assign(size_t(w * h), 0);
    }
    LayerPixels View() {
        LayerPixels p;
        p.pixels = px.data();
        p.stride = size_t(w) * 3;
        p.alpha = alpha.data();
        p.width = w;
        p.height = h;
        p.selection = sel.empty() ? nullptr : sel.data();
        return p;
    }
    // Colour at column x, row y counted from the top, as 0x00RRGGBB.
    uint32_t At(int x, int y) const {
        const uint8_t* p = &px[size_t(((h - 1 - y) * w + x) * 3)];
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
};

GradientOptions Options(GradientShape shape, GradientColours colours) {
    return {shape, colours, 0xFF8040, 0x0020C0};
}

// The colour of (x, y) from its projection on the guide line, with selection columns l..r.
uint32_t Projected(const GuideLine& g, const GradientOptions& o, int l, int r, int x, int y) {
    const double dx = g.x2 - g.x1, dy = g.y2 - g.y1;
    const double along = ((x - g.x1) * dx + (y - g.y1) * dy) / (dx * dx + dy * dy);
    const double p = g.x1 + dx * along - l, b = r - l;
    double t;
    if (o.shape == GradientShape::Mirrored) {
        t = std::min(1.0, std::fabs(b / 2 - p) / (b / 2));
    } else {
        t = std::clamp((b - p) / b, 0.0, 1.0);
        if (g.x2 <= g.x1) t = 1 - t;
    }
    uint32_t out = 0;
    for (int ch = 2; ch >= 0; --ch) {
        const int f = int(o.foreground >> (ch * 8) & 0xFF),
                  k = int(o.background >> (ch * 8) & 0xFF);
        const int c =
            o.colours == GradientColours::Foreground ? int(t * f) : int((1 - t) * k + t * f);
        out = out << 8 | uint32_t(c);
    }
    return out;
}

bool Near(uint32_t a, uint32_t b) {
    for (int s = 0; s < 24; s += 8)
        if (std::abs(int(a >> s & 0xFF) - int(b >> s & 0xFF)) > 1) return false;
    return true;
}

}  // namespace

TEST(Gradient, VerticalGuideLinesGiveMirroredRampsToBlack) {
    const GradientOptions o = Options(GradientShape::Linear, GradientColours::ForegroundBackground);
    Planes up(4, 10), down(4, 10);
    ASSERT_TRUE(GradientPixels(up.View(), {1, 9, 1, 0}, o));
    ASSERT_TRUE(GradientPixels(down.View(), {1, 0, 1, 9}, o));
    for (int y = 0; y < 10; ++y) {
        const int row = 9 - y;  // storage row
        const int gUp = 10 - row, gDown = row;
        const uint32_t wantUp = uint32_t(0xFF * gUp / 10) << 16 | uint32_t(0x80 * gUp / 10) << 8 |
                                uint32_t(0x40 * gUp / 10);
        const uint32_t wantDown = uint32_t(0xFF * gDown / 10) << 16 |
                                  uint32_t(0x80 * gDown / 10) << 8 | uint32_t(0x40 * gDown / 10);
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(up.At(x, y), wantUp) << y;
            EXPECT_EQ(down.At(x, y), wantDown) << y;
        }
    }
    EXPECT_EQ(up.At(0, 9), 0xFF8040u);  // the bottom row, where the line started
    EXPECT_EQ(down.At(0, 0), 0xE57339u);
    for (uint8_t a : up.alpha) EXPECT_EQ(a, 255);
}

TEST(Gradient, HorizontalGuideLineRampsOverTheColumns) {
    Planes p(8, 3);
    ASSERT_TRUE(GradientPixels(p.View(), {7, 1, 0, 1},
                               Options(GradientShape::Mirrored, GradientColours::Foreground)));
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(p.At(x, 2), uint32_t(0xFF * (8 - x) / 8) << 16 |
                                  uint32_t(0x80 * (8 - x) / 8) << 8 | uint32_t(0x40 * (8 - x) / 8));
}

TEST(Gradient, SlopedLinesFollowTheProjectionOnTheGuideLine) {
    std::mt19937 rng(7);
    for (int round = 0; round < 60; ++round) {
        Planes p(5 + int(rng() % 50), 5 + int(rng() % 40));
        GuideLine g{int(rng() % p.w), int(rng() % p.h), int(rng() % p.w), int(rng() % p.h)};
        if (g.x1 == g.x2 || g.y1 == g.y2) continue;
        const GradientOptions o = Options(
            rng() % 2 ? GradientShape::Linear : GradientShape::Mirrored,
            rng() % 2 ? GradientColours::Foreground : GradientColours::ForegroundBackground);
        ASSERT_TRUE(GradientPixels(p.View(), g, o));
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x)
                ASSERT_TRUE(Near(p.At(x, y), Projected(g, o, 0, p.w - 1, x, y)))
                    << round << ": " << x << ',' << y << ' ' << std::hex << p.At(x, y);
        for (uint8_t a : p.alpha) ASSERT_EQ(a, 255);
    }
}

TEST(Gradient, DiagonalEndsAndMiddleByShape) {
    const int n = 41;
    // From the top-left corner to the bottom-right one: the lines of equal colour run across.
    const GuideLine g{0, 0, n - 1, n - 1};
    Planes lin(n, n), mir(n, n), back(n, n);
    GradientPixels(lin.View(), g,
                   Options(GradientShape::Linear, GradientColours::ForegroundBackground));
    GradientPixels(mir.View(), g,
                   Options(GradientShape::Mirrored, GradientColours::ForegroundBackground));
    GradientPixels(back.View(), {n - 1, n - 1, 0, 0},
                   Options(GradientShape::Linear, GradientColours::ForegroundBackground));
    EXPECT_EQ(lin.At(0, 0), 0xFF8040u);          // foreground at the start
    EXPECT_EQ(lin.At(n - 1, n - 1), 0x0020C0u);  // background at the end (and beyond)
    EXPECT_EQ(back.At(0, 0), 0x0020C0u);         // right to left turns the ramp round
    EXPECT_EQ(mir.At(0, 0), 0xFF8040u);
    EXPECT_EQ(mir.At(n - 1, n - 1), 0xFF8040u);
    EXPECT_EQ(mir.At(n / 2, n / 2), 0x0020C0u);  // background in the middle
    // Across the guide line: the pixels of one perpendicular line share their colour.
    for (int i = 0; i <= 20; ++i) EXPECT_EQ(lin.At(10 + i, 30 - i), lin.At(20, 20));
}

TEST(Gradient, OnlySelectedPixelsChangeAndTheRampSpansTheirColumns) {
    Planes p(30, 10);
    p.sel.assign(300, 0);
    for (int y = 2; y < 8; ++y)
        for (int x = 10; x <= 20; ++x) p.sel[size_t(y * 30 + x)] = 1;
    const GradientOptions o = Options(GradientShape::Linear, GradientColours::ForegroundBackground);
    const GuideLine g{0, 0, 29, 3};
    ASSERT_TRUE(GradientPixels(p.View(), g, o));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 30; ++x) {
            const bool sel = p.sel[size_t((9 - y) * 30 + x)] != 0;
            EXPECT_EQ(p.alpha[size_t((9 - y) * 30 + x)], sel ? 255 : 0);
            if (sel)
                EXPECT_TRUE(Near(p.At(x, y), Projected(g, o, 10, 20, x, y))) << x << ',' << y;
            else
                EXPECT_EQ(p.At(x, y), 0x070707u);
        }
    // One column selected: no room for a ramp, the foreground throughout.
    std::fill(p.sel.begin(), p.sel.end(), 0);
    p.sel[55] = p.sel[85] = 1;
    ASSERT_TRUE(GradientPixels(p.View(), g, o));
    EXPECT_EQ(p.At(25, 8), 0xFF8040u);
    std::fill(p.sel.begin(), p.sel.end(), 0);
    EXPECT_FALSE(GradientPixels(p.View(), g, o));
}

TEST(GradientCommand, NeedsADragRecordsOneStepAndUndoes) {
    testsupport::TempDir dir;
    RecordingUserPort user;
    CBrevDoc doc(user);
    doc.Journal().SetFolder(dir.path().string());
    const int slot = quillet::testing::AddPatternLayer(doc, 30, 20);
    doc.RecordStep(u"Opening....", StepKind::PixelEdit, slot);
    const std::vector<uint8_t> before = doc.Layers().planesOf(slot).pixels;
    const GradientOptions o = Options(GradientShape::Linear, GradientColours::Foreground);
    EXPECT_EQ(ApplyGradient(doc, {5, 5, 5, 5}, o), EditOutcome::Refused);
    EXPECT_EQ(user.lastText(), kGradientNeedsDrag);
    ASSERT_EQ(ApplyGradient(doc, {0, 5, 29, 6}, o), EditOutcome::Done);
    const auto steps = quillet::testing::RecordedSteps(doc);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[1].label, u"그라디언트");
    EXPECT_EQ(doc.Layers().ColorAt(slot, 0, 19), 0xFF8040u);
    // The snapshot holds the ramp: the next stroke starts from it.
    EXPECT_EQ(doc.Snapshot().planesOf(slot).pixels, doc.Layers().planesOf(slot).pixels);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.Layers().planesOf(slot).pixels, before);
    // Vertical lines are recorded as well.
    ASSERT_EQ(ApplyGradient(doc, {3, 0, 3, 19}, o), EditOutcome::Done);
    EXPECT_EQ(quillet::testing::RecordedSteps(doc).size(), 2u);
}
