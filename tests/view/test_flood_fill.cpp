// The fill tool against a literal pixel-by-pixel flood (eight neighbours, a stack of single
// pixels, visited bytes), and the fill command on a document: selection, text layer, undo.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "document/EditCycle.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/TempDir.h"
#include "tests/view/ViewTestDoc.h"
#include "view/tools/FloodFill.h"
#include "view/tools/RectangleSelection.h"

using namespace quillet;

namespace {

struct Planes {
    int w = 0, h = 0;
    std::vector<uint8_t> px, alpha, sel;  // 3 bytes a pixel; sel empty: no selection
    LayerPixels View(bool withSelection = true) {
        LayerPixels p;
        p.pixels = px.data();
        p.stride = size_t(w) * 3;
        p.alpha = alpha.data();
        p.width = w;
        p.height = h;
        p.selection = withSelection && !sel.empty() ? sel.data() : nullptr;
        return p;
    }
};

// The selection-edge weight counted directly over the window.
int NaiveWeight(const Planes& p, int x, int row, int r) {
    int count = 0;
    for (int y = row - r; y <= row + r; ++y)
        for (int c = x - r; c <= x + r; ++c)
            if (y >= 0 && y < p.h && c >= 0 && c < p.w && p.sel[size_t(y * p.w + c)]) ++count;
    const int half = 2 * r * r;
    return std::min(255, std::max(0, count - half) * 256 / half);
}

// Steps 3 to 5 of the fill, one pixel at a time.
Planes ReferenceFill(const Planes& in, int sx, int srow, const FillOptions& o) {
    Planes out = in;
    const int w = in.w, h = in.h;
    auto at = [&](int x, int y) { return size_t(y * w + x); };
    const uint8_t* r0 = &in.px[at(sx, srow) * 3];
    const uint8_t fg[3] = {uint8_t(o.colour), uint8_t(o.colour >> 8), uint8_t(o.colour >> 16)};
    std::vector<uint8_t> visited(size_t(w * h), 0);
    std::vector<std::pair<int, int>> stack{{sx, srow}};
    while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        const bool selected = in.sel.empty() || in.sel[at(x, y)];
        if (selected) {
            uint8_t* d = &out.px[at(x, y) * 3];
            if (o.feather < 1 || in.sel.empty()) {
                out.alpha[at(x, y)] = 255;
                for (int c = 0; c < 3; ++c) d[c] = fg[c];
            } else {
                const int v = NaiveWeight(in, x, y, o.feather);
                const uint8_t old = in.alpha[at(x, y)];
                for (int c = 0; c < 3; ++c) {
                    const int e = old ? in.px[at(x, y) * 3 + size_t(c)] : fg[c];
                    d[c] = uint8_t((e * (255 - v) + fg[c] * v) / 255);
                }
                out.alpha[at(x, y)] = uint8_t(std::max<int>(old, v));
            }
        }
        const int order[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                 {1, 0},   {-1, 1}, {0, 1},  {1, 1}};
        for (const auto& n : order) {
            const int nx = x + n[0], ny = y + n[1];
            if (nx < 0 || ny < 0 || nx >= w || ny >= h || o.tolerance < 1 || visited[at(nx, ny)])
                continue;
            const uint8_t* p = &in.px[at(nx, ny) * 3];
            const int d = std::abs(p[0] - r0[0]) + std::abs(p[1] - r0[1]) + std::abs(p[2] - r0[2]);
            const int a = in.alpha[at(nx, ny)];
            if (a == 0 || d * (a / 255) < o.tolerance) {
                visited[at(nx, ny)] = 1;
                stack.push_back({nx, ny});
            }
        }
    }
    return out;
}

Planes FillRun(const Planes& in, int x, int row, const FillOptions& o) {
    Planes from = in, to = in;
    LayerPixels f = from.View(false), t = to.View();
    FloodFillPixels(f, t, x, row, o);
    return to;
}

Planes RandomPicture(std::mt19937& rng, int w, int h) {
    Planes p;
    p.w = w;
    p.h = h;
    p.px.resize(size_t(w * h * 3));
    p.alpha.resize(size_t(w * h));
    // A few base colours with small noise, so areas of similar colour meet and part.
    const uint8_t base[3][3] = {{40, 80, 120}, {44, 83, 121}, {200, 10, 90}};
    for (int i = 0; i < w * h; ++i) {
        const int k = int(rng() % 3);
        for (int c = 0; c < 3; ++c) p.px[size_t(i * 3 + c)] = uint8_t(base[k][c] + int(rng() % 4));
        const unsigned a = rng() % 10;
        p.alpha[size_t(i)] = a == 0 ? 0 : a == 1 ? uint8_t(1 + rng() % 254) : 255;
    }
    return p;
}

}  // namespace

TEST(FloodFill, MatchesThePixelByPixelFloodOnRandomPictures) {
    std::mt19937 rng(24);
    for (int round = 0; round < 300; ++round) {
        const int w = 1 + int(rng() % 40), h = 1 + int(rng() % 30);
        Planes in = RandomPicture(rng, w, h);
        const int kind = int(rng() % 3);  // no selection, a rectangle, scattered pixels
        if (kind) {
            in.sel.assign(size_t(w * h), 0);
            const int l = int(rng() % w), r = l + int(rng() % (w - l));
            const int t = int(rng() % h), b = t + int(rng() % (h - t));
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    in.sel[size_t(y * w + x)] =
                        kind == 1 ? (x >= l && x <= r && y >= t && y <= b) : (rng() % 3 != 0);
        }
        const FillOptions o{uint32_t(rng() & 0xFFFFFF), int(rng() % 61),
                            rng() % 2 ? 0 : 1 + int(rng() % 4)};
        const int x = int(rng() % w), row = int(rng() % h);
        const Planes want = ReferenceFill(in, x, row, o);
        const Planes got = FillRun(in, x, row, o);
        ASSERT_EQ(got.px, want.px) << "round " << round;
        ASSERT_EQ(got.alpha, want.alpha) << "round " << round;
    }
}

TEST(FloodFill, ToleranceIsStrictAndZeroPaintsOnlyTheClickedPixel) {
    Planes in;
    in.w = 3;
    in.h = 1;
    // Reference 100,100,100; a neighbour 9 away on the left, 10 away on the right.
    in.px = {103, 103, 103, 100, 100, 100, 110, 100, 100};
    in.alpha = {255, 255, 255};
    Planes out = FillRun(in, 1, 0, {0x0000FF, 10, 0});
    EXPECT_EQ(out.px, (std::vector<uint8_t>{255, 0, 0, 255, 0, 0, 110, 100, 100}));
    out = FillRun(in, 1, 0, {0x0000FF, 0, 0});
    EXPECT_EQ(out.px, (std::vector<uint8_t>{103, 103, 103, 255, 0, 0, 110, 100, 100}));
}

TEST(FloodFill, PartlyTransparentPixelsAlwaysJoinAndDiagonalsConnect) {
    Planes in;
    in.w = 4;
    in.h = 4;
    in.px.assign(48, 0);
    for (size_t i = 0; i < 48; i += 3) in.px[i] = uint8_t(i * 5);  // every colour far apart
    in.alpha.assign(16, 128);
    Planes out = FillRun(in, 2, 2, {0x123456, 1, 0});
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(out.alpha[size_t(i)], 255);
        EXPECT_EQ(out.px[size_t(i * 3 + 2)], 0x12);
    }
    // An opaque chequer of two far colours: the diagonal neighbours of the same colour join.
    in.alpha.assign(16, 255);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) in.px[size_t((y * 4 + x) * 3)] = (x + y) % 2 ? 200 : 0;
    out = FillRun(in, 0, 0, {0x0000FF, 5, 0});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(out.px[size_t((y * 4 + x) * 3)], (x + y) % 2 ? 200 : 255) << x << ',' << y;
}

TEST(FloodFill, SpreadsThroughUnselectedPixelsButPaintsOnlySelectedOnes) {
    Planes in;
    in.w = 9;
    in.h = 1;
    in.px.assign(27, 50);
    in.alpha.assign(9, 255);
    in.alpha[5] = 0;  // an unselected transparent pixel keeps its alpha
    in.sel = {1, 1, 1, 0, 0, 0, 1, 1, 1};
    const Planes out = FillRun(in, 0, 0, {0xFFFFFF, 10, 0});
    for (int x = 0; x < 9; ++x) {
        EXPECT_EQ(out.px[size_t(x * 3)], in.sel[size_t(x)] ? 255 : 50) << x;
        EXPECT_EQ(out.alpha[size_t(x)], x == 5 ? 0 : 255) << x;
    }
}

TEST(FloodFill, FeatherSoftensTowardsTheSelectionEdge) {
    Planes in;
    in.w = 40;
    in.h = 1 + 20;
    in.px.assign(size_t(in.w * in.h * 3), 0);
    in.alpha.assign(size_t(in.w * in.h), 0);
    in.sel.assign(size_t(in.w * in.h), 1);
    const Planes out = FillRun(in, 20, 10, {0xFFFFFF, 10, 6});
    const uint8_t* row = &out.alpha[size_t(10 * in.w)];
    EXPECT_LT(row[0], row[3]);
    EXPECT_LT(row[3], row[20]);
    EXPECT_EQ(row[20], 255);
    // Without a selection there is no edge to soften.
    in.sel.clear();
    const Planes plain = FillRun(in, 20, 10, {0xFFFFFF, 10, 6});
    for (uint8_t a : plain.alpha) EXPECT_EQ(a, 255);
}

TEST(FillCommand, OneStepInsideTheSelectionNothingOutsideAndUndoRestores) {
    testsupport::TempDir dir;
    RecordingUserPort user;
    CBrevDoc doc(user);
    doc.Journal().SetFolder(dir.path().string());
    const int slot = quillet::testing::AddPatternLayer(doc, 20, 10);
    ASSERT_GE(slot, 0);
    doc.RecordStep(u"Opening....", StepKind::PixelEdit, slot);
    const std::vector<uint8_t> before = doc.Layers().planesOf(slot).pixels;
    ASSERT_TRUE(SelectRectangle(doc, 2, 2, 6, 5));
    EXPECT_EQ(FillAt(doc, 10, 8, {0x00FF00, 60, 0}), EditOutcome::Unchanged);
    EXPECT_EQ(FillAt(doc, 40, 3, {0x00FF00, 60, 0}), EditOutcome::Unchanged);
    EXPECT_EQ(doc.Journal().StepIndex(), 0);
    ASSERT_EQ(FillAt(doc, 3, 3, {0x00FF00, 60, 0}), EditOutcome::Done);
    const auto steps = quillet::testing::RecordedSteps(doc);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[1].label, u"채우기");
    const LayerTable& t = doc.Layers();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 2 && x <= 6 && y >= 2 && y <= 5;
            const uint32_t want = inside ? 0x00FF00 : quillet::testing::PatternColour(x, y);
            ASSERT_EQ(t.ColorAt(slot, x, 9 - y), want) << x << ',' << y;
        }
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.Layers().planesOf(slot).pixels, before);
}

TEST(FillCommand, TextLayerIsRefusedWithItsMessage) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    quillet::testing::AddPatternLayer(doc, 20, 10);
    quillet::testing::AddPatternLayer(doc, 20, 10, 0, 0, -1, -1, LayerKind::Text);
    EXPECT_EQ(FillAt(doc, 1, 1, {}), EditOutcome::Refused);
    EXPECT_EQ(user.lastText(), kTextLayerRefused);
}
