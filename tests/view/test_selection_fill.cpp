// Closed outlines: polygon and freehand edges filled from the seed the fill finds, compared with
// a point-in-polygon reference; the circle outline; the seed search's corner cases.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "view/tools/OutlineFill.h"

using namespace quillet;

namespace {

struct Pt {
    double x, y;
};

// Even-odd point-in-polygon for a point that lies on no edge.
bool Inside(const std::vector<Pt>& poly, double x, double y) {
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Pt a = poly[i], b = poly[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

double SegmentDistance(Pt p, Pt a, Pt b) {
    const double dx = b.x - a.x, dy = b.y - a.y, len = dx * dx + dy * dy;
    double t = len > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

SelectionMask Outlined(int w, int h, const std::vector<Pt>& poly) {
    SelectionMask m;
    m.Reset(0, 0, w, h, MaskValue::Selected);
    for (size_t i = 0; i < poly.size(); ++i) {
        const Pt a = poly[i], b = poly[(i + 1) % poly.size()];
        DrawOutlineLine(m, int(a.x), int(a.y), int(b.x), int(b.y));
    }
    return m;
}

// Every pixel at least a pixel away from the outline is selected exactly when the reference puts
// it inside; outline pixels stay outline values.
void ExpectFilledLikeReference(int w, int h, const std::vector<Pt>& poly) {
    SelectionMask m = Outlined(w, h, poly);
    ASSERT_TRUE(FillClosedOutline(m));
    int compared = 0, inside = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t v = m.RowFromTop(y)[x];
            if (v == MaskValue::Outline) continue;
            double nearest = 1e9;
            for (size_t i = 0; i < poly.size(); ++i)
                nearest = std::min(nearest, SegmentDistance({double(x), double(y)}, poly[i],
                                                            poly[(i + 1) % poly.size()]));
            if (nearest < 1.0) continue;
            const bool want = Inside(poly, x, y);
            inside += want;
            ++compared;
            ASSERT_EQ(v, want ? MaskValue::Selected : MaskValue::Unselected) << x << ',' << y;
        }
    EXPECT_GT(inside, 0);
    EXPECT_GT(compared, w * h / 3);
}

}  // namespace

TEST(OutlineFill, ConvexConcaveAndBorderTouchingPolygonsMatchThePointInPolygonReference) {
    ExpectFilledLikeReference(60, 50, {{5, 5}, {50, 8}, {40, 45}, {8, 30}});
    // A "U": the notch between the arms stays out.
    ExpectFilledLikeReference(
        70, 60, {{5, 5}, {20, 5}, {20, 40}, {45, 40}, {45, 5}, {60, 5}, {60, 55}, {5, 55}});
    // A star with sharp concave corners.
    std::vector<Pt> star;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? 12 : 34, a = i * M_PI / 5;
        star.push_back({std::round(40 + r * std::sin(a)), std::round(40 - r * std::cos(a))});
    }
    ExpectFilledLikeReference(80, 80, star);
    // Edges along the layer's border: the top-left corner and the right edge are on it.
    ExpectFilledLikeReference(40, 30, {{0, 0}, {39, 0}, {39, 29}, {10, 20}});
}

TEST(OutlineFill, FreehandStrokeOfManyShortSegments) {
    // A wobbly closed loop as a mouse draws it: many short segments.
    std::vector<Pt> loop;
    for (int i = 0; i < 90; ++i) {
        const double a = i * 2 * M_PI / 90, r = 25 + 6 * std::sin(5 * a);
        loop.push_back({std::round(45 + r * std::cos(a)), std::round(40 + r * std::sin(a))});
    }
    ExpectFilledLikeReference(90, 80, loop);
}

TEST(OutlineFill, SeedSearchCornerCases) {
    SelectionMask m;
    m.Reset(0, 0, 20, 10, MaskValue::Selected);
    // No outline at all, or outline pixels never more than 3 apart: no seed, only the outline
    // stays selected.
    EXPECT_FALSE(FindOutlineSeed(m));
    DrawOutlineLine(m, 4, 2, 7, 2);
    EXPECT_FALSE(FillClosedOutline(m));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(m.RowFromTop(y)[x], y == 2 && x >= 4 && x <= 7 ? 2 : 0);
    // A box 4 columns wide proposes the midpoint of its inner row.
    SelectionMask box;
    box.Reset(0, 0, 20, 10, MaskValue::Selected);
    DrawOutlineLine(box, 2, 2, 6, 2), DrawOutlineLine(box, 6, 2, 6, 6);
    DrawOutlineLine(box, 6, 6, 2, 6), DrawOutlineLine(box, 2, 6, 2, 2);
    ASSERT_TRUE(FindOutlineSeed(box));
    EXPECT_EQ(*FindOutlineSeed(box), (MaskPoint{4, 3}));
}

TEST(OutlineFill, LinesAreClippedAndEightConnected) {
    SelectionMask m;
    m.Reset(0, 0, 10, 10, 0);
    DrawOutlineLine(m, -20, -20, 30, 30);  // through the diagonal and far beyond
    int outline = 0;
    for (int i = 0; i < 10; ++i) outline += m.RowFromTop(i)[i] == MaskValue::Outline;
    EXPECT_EQ(outline, 10);
    int total = 0;
    for (uint8_t b : m.bytes) total += b;
    EXPECT_EQ(total, 20);
    // The mask keeps its rows bottom-up: the top row is the last one in memory.
    m.Reset(0, 0, 3, 2, 0);
    DrawOutlineLine(m, 0, 0, 2, 0);
    EXPECT_EQ(m.bytes, (std::vector<uint8_t>{0, 0, 0, 2, 2, 2}));
}
