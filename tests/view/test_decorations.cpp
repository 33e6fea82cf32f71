// Decorations on layers of their own: line patterns, photo frames and month calendars.
#include <gtest/gtest.h>

#include <random>

#include "document/EditCycle.h"
#include "platform/RecordingUserPort.h"
#include "platform/TextRasterizer.h"
#include "tests/support/TempDir.h"
#include "tests/view/ViewTestDoc.h"
#include "view/tools/Calendar.h"
#include "view/tools/DecorationLayer.h"
#include "view/tools/LinePattern.h"
#include "view/tools/PhotoFrame.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

struct DecorDoc {
    testsupport::TempDir dir{"quillet_decor"};
    RecordingUserPort user;
    CBrevDoc doc{user};
    DecorDoc(int w, int h) {
        doc.Journal().SetFolder(dir.path().string() + '/');
        AddPatternLayer(doc, w, h);
        doc.RecordStep(u"Opening....", StepKind::PixelEdit);
    }
    const LayerTable& t() const { return doc.Layers(); }
    // Colour and alpha at (x, y) of a layer, y from the top.
    uint32_t colour(int slot, int x, int y) const {
        return t().ColorAt(slot, x, t().layer(slot).height - 1 - y);
    }
    int alpha(int slot, int x, int y) const {
        return t().AlphaAt(slot, x, t().layer(slot).height - 1 - y);
    }
};

// The pattern's points read literally from its definition, rows from the top.
std::vector<uint8_t> LiteralPattern(int W, int H, int type, int s) {
    std::vector<uint8_t> on(size_t(W) * H, 0);
    auto put = [&](int64_t x, int64_t y) {
        if (x >= 0 && y >= 0 && x < W && y < H) on[size_t(y) * W + size_t(x)] = 1;
    };
    const int L = std::max(W, H);
    if (type == 4)
        for (int y = 0; y < H; y += s)
            for (int x = 0; x < W; ++x) put(x, y);
    if (type == 5)
        for (int x = 0; x < W; x += s)
            for (int y = 0; y < H; ++y) put(x, y);
    if (type == 6)
        for (int k = -L; k < L; k += s)
            for (int i = 0; i < L; ++i) put(k + i, i);
    if (type == 7)
        for (int k = 0; k < 3 * L; k += s)
            for (int i = 0; i < L; ++i) put(i, k - i);
    return on;
}

TEST(LinePattern, EveryTypeDrawsExactlyItsPoints) {
    std::mt19937 rng(11);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 40; ++round) {
        const int W = pick(1, 70), H = pick(1, 70);
        DecorDoc d(W, H);
        const LinePatternSettings s{kFirstLinePattern + round % 4, pick(2, 9), 0x3366CC};
        ASSERT_EQ(PutLinePattern(d.doc, s), EditOutcome::Done);
        const int slot = FindLayerNamed(d.t(), kLinePatternLayerName);
        ASSERT_GE(slot, 0);
        const auto want = LiteralPattern(W, H, s.type, s.spacing);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const bool on = want[size_t(y) * W + x];
                ASSERT_EQ(d.alpha(slot, x, y), on ? 255 : 0) << x << "," << y << " type " << s.type;
                if (on) {
                    ASSERT_EQ(d.colour(slot, x, y), 0x3366CCu);
                }
            }
    }
}

TEST(LinePattern, DiagonalsStartBeyondTheCanvasAndSpacingIsAtLeastTwo) {
    DecorDoc d(100, 50);
    // Type 6 from k = −100 in steps of 6 meets the top row at x = 2 (k = 2), not at 0.
    ASSERT_EQ(PutLinePattern(d.doc, {6, 6, 0}), EditOutcome::Done);
    const int slot = FindLayerNamed(d.t(), kLinePatternLayerName);
    EXPECT_EQ(d.alpha(slot, 2, 0), 255);
    EXPECT_EQ(d.alpha(slot, 0, 0), 0);
    EXPECT_EQ(d.alpha(slot, 0, 4), 255);  // k = −4
    EXPECT_EQ(Normalised({4, 1, 0}).spacing, 2);
    EXPECT_EQ(Normalised({4, -5, 0}).spacing, 2);
}

TEST(LinePattern, ASecondPatternReplacesTheFirstInTheSameLayer) {
    DecorDoc d(30, 20);
    ASSERT_EQ(PutLinePattern(d.doc, {4, 2, 0xFF0000}), EditOutcome::Done);
    const int slot = FindLayerNamed(d.t(), kLinePatternLayerName);
    EXPECT_EQ(d.doc.Journal().Entry(1).kind, StepKind::AddLayer);
    EXPECT_EQ(d.doc.Journal().Entry(1).label, u"패턴 레이어 넣기");
    EXPECT_EQ(d.doc.CurrentLayer(), 0);  // the picture stays current
    ASSERT_EQ(PutLinePattern(d.doc, {5, 3, 0x00FF00}), EditOutcome::Done);
    EXPECT_EQ(FindLayerNamed(d.t(), kLinePatternLayerName), slot);
    EXPECT_EQ(d.t().Count(), 2);
    EXPECT_EQ(d.alpha(slot, 1, 0), 0);  // the first pattern's row is gone
    EXPECT_EQ(d.alpha(slot, 3, 1), 255);
    // Undoing the second pattern gives the first back rather than removing the layer.
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_TRUE(d.t().InList(slot));
    EXPECT_EQ(d.alpha(slot, 1, 0), 255);
    EXPECT_EQ(d.alpha(slot, 3, 1), 0);
}

TEST(DecorationLayer, CancelRemovesAMadeLayerAndRestoresAReusedOne) {
    DecorDoc d(30, 20);
    {
        DecorationLayer session(d.doc, kPhotoFrameLayerName);
        const int slot = session.Prepare();
        ASSERT_GE(slot, 0);
        DrawPhotoFrame(d.doc.Layers(), slot, {});
        EXPECT_EQ(d.t().Count(), 2);
        session.Cancel();
        EXPECT_EQ(d.t().Count(), 1);
        EXPECT_EQ(d.doc.Journal().StepIndex(), 0);
    }
    ASSERT_EQ(PutPhotoFrame(d.doc, {0, 0xFFFFFF, 0, 3}), EditOutcome::Done);
    const int slot = FindLayerNamed(d.t(), kPhotoFrameLayerName);
    DecorationLayer session(d.doc, kPhotoFrameLayerName);
    ASSERT_EQ(session.Prepare(), slot);
    DrawPhotoFrame(d.doc.Layers(), slot, {0, 0xFFFFFF, 0, 8});
    EXPECT_EQ(d.alpha(slot, 6, 10), 255);
    session.Cancel();
    EXPECT_EQ(d.alpha(slot, 6, 10), 0);
    EXPECT_EQ(d.alpha(slot, 2, 10), 255);
}

TEST(PhotoFrame, GradedRingsFromBlackAtTheEdge) {
    DecorDoc d(100, 80);
    const uint32_t c = 0xC86432;  // red 200, green 100, blue 50
    ASSERT_EQ(PutPhotoFrame(d.doc, {0, c, 0, 10}), EditOutcome::Done);
    const int slot = FindLayerNamed(d.t(), kPhotoFrameLayerName);
    ASSERT_GE(slot, 1);
    EXPECT_EQ(d.doc.Journal().Entry(1).label, u"사진틀 넣기");
    EXPECT_EQ(d.doc.Journal().Entry(1).kind, StepKind::AddLayer);
    for (int x = 0; x < 100; ++x) {
        EXPECT_EQ(d.colour(slot, x, 0), 0u);
        EXPECT_EQ(d.colour(slot, x, 79), 0u);  // the bottom ring 0 is row 79
    }
    // Ring 9: 90 % of the main colour, on all four sides.
    const uint32_t ring9 = (180u << 16) | (90u << 8) | 45u;
    for (auto [x, y] : {std::pair{9, 40}, {90, 40}, {50, 9}, {50, 70}, {9, 9}, {90, 70}}) {
        EXPECT_EQ(d.colour(slot, x, y), ring9) << x << "," << y;
        EXPECT_EQ(d.alpha(slot, x, y), 255);
    }
    for (int i = 0; i < 10; ++i) {
        const uint32_t want = (200u * i / 10) << 16 | (100u * i / 10) << 8 | (50u * i / 10);
        EXPECT_EQ(d.colour(slot, i, 40), want);
        EXPECT_EQ(d.colour(slot, 50, 79 - i), want);
    }
    // Inside the border nothing is drawn.
    EXPECT_EQ(d.alpha(slot, 10, 10), 0);
    EXPECT_EQ(d.alpha(slot, 89, 69), 0);
}

TEST(PhotoFrame, BevelledRingsFollowTheirFormulas) {
    DecorDoc d(60, 40);
    const uint32_t c = 0x80C0F0;
    const int n = 6;
    ASSERT_EQ(PutPhotoFrame(d.doc, {1, c, 0, n}), EditOutcome::Done);
    const int slot = FindLayerNamed(d.t(), kPhotoFrameLayerName);
    auto scaled = [&](double f) {
        uint32_t out = 0;
        for (int k = 0; k < 3; ++k)
            out |= uint32_t(std::min(255.0, std::trunc(((c >> (8 * k)) & 0xFF) * f))) << (8 * k);
        return out;
    };
    for (int i = 0; i < n; ++i) {
        for (int x = i + 1; x < 60 - i - 1; ++x) {
            const uint32_t want = scaled(std::min(1.0, double(x) / (60 - i) + 0.2));
            ASSERT_EQ(d.colour(slot, x, i), want);
            ASSERT_EQ(d.colour(slot, x, 39 - i), want);
        }
        for (int y = i; y < 40 - i; ++y) {
            ASSERT_EQ(d.colour(slot, i, y), scaled(std::max(0.0, double(i) / n - 0.2)));
            ASSERT_EQ(d.colour(slot, 59 - i, y), scaled(std::min(1.3, double(n - i) / n + 0.8)));
        }
    }
}

TEST(PhotoFrame, OwnStylesStayWithinTheBorderAndASecondFrameReusesTheLayer) {
    for (int style : {2, 3}) {
        DecorDoc d(50, 36);
        ASSERT_EQ(PutPhotoFrame(d.doc, {style, 0x112233, 0xDDEEFF, 7}), EditOutcome::Done);
        const int slot = FindLayerNamed(d.t(), kPhotoFrameLayerName);
        bool both = false;
        for (int y = 0; y < 36; ++y)
            for (int x = 0; x < 50; ++x) {
                const int edge = std::min({x, y, 49 - x, 35 - y});
                ASSERT_EQ(d.alpha(slot, x, y), edge < 7 ? 255 : 0) << style;
                both |= edge < 7 && d.colour(slot, x, y) == 0xDDEEFFu;
            }
        EXPECT_TRUE(both) << "style " << style << " uses its secondary colour";
        ASSERT_EQ(PutPhotoFrame(d.doc, {0, 0xFFFFFF, 0, 2}), EditOutcome::Done);
        EXPECT_EQ(FindLayerNamed(d.t(), kPhotoFrameLayerName), slot);
        EXPECT_EQ(d.t().Count(), 2);
        EXPECT_EQ(d.alpha(slot, 5, 18), 0);  // the wider frame before is gone
        EXPECT_EQ(d.doc.Journal().Entry(2).kind, StepKind::PixelEdit);
    }
}

TEST(Calendar, GregorianMonths) {
    EXPECT_EQ(GregorianMonth(2024, 6).firstWeekday, 6);  // a Saturday
    EXPECT_EQ(GregorianMonth(2024, 6).days, 30);
    EXPECT_EQ(GregorianMonth(2024, 2).firstWeekday, 4);
    EXPECT_EQ(GregorianMonth(2024, 2).days, 29);
    EXPECT_EQ(GregorianMonth(2023, 2).days, 28);
    EXPECT_EQ(GregorianMonth(1900, 2).days, 28);
    EXPECT_EQ(GregorianMonth(2000, 2).days, 29);
    EXPECT_EQ(GregorianMonth(2000, 1).firstWeekday, 6);
    EXPECT_EQ(GregorianMonth(2023, 10).firstWeekday, 0);
    EXPECT_EQ(GregorianMonth(1, 1).firstWeekday, 1);
    EXPECT_EQ(CalendarLayerName(6), u" [달력] 6월");
    EXPECT_EQ(CalendarLayerName(12), u" [달력]12월");
}

TEST(Calendar, AMonthStartingOnSaturdayWrapsAfterDayOne) {
    EXPECT_EQ(DayCell(6, 1).column, 6);
    EXPECT_EQ(DayCell(6, 1).row, 0);
    EXPECT_EQ(DayCell(6, 2).column, 0);
    EXPECT_EQ(DayCell(6, 2).row, 1);
    EXPECT_EQ(DayCell(0, 31).column, 2);
    EXPECT_EQ(DayCell(0, 31).row, 4);

    DecorDoc d(480, 480);
    FixedTextRasterizer fixed;
    CalendarRequest q = CalendarRequestFor(2024, 6);
    q.x = 5;
    q.y = 4;
    q.font.size = 40;
    q.font.colour = 0x101010;
    q.sundayColour = 0xE00000;
    q.saturdayColour = 0x0000E0;
    const int slot = AddCalendarLayer(d.doc, fixed, q);
    ASSERT_GE(slot, 1);
    EXPECT_EQ(d.t().layer(slot).Name(), u" [달력] 6월");
    EXPECT_EQ(d.doc.CurrentLayer(), slot);
    EXPECT_EQ(d.doc.Journal().Entry(1).label, u"[달력]");
    EXPECT_EQ(d.doc.Journal().Entry(1).kind, StepKind::AddLayer);

    // Each cell of the grid: whether anything is drawn there, and in which colour.
    const CalendarGrid g = CalendarGridFor(fixed, q.font);
    auto cell = [&](int column, int row, uint32_t& colour) {
        const int x0 = q.x + column * g.column, y0 = q.y + g.title + g.row * (row + 1);
        int drawn = 0;
        for (int y = y0; y < y0 + g.row; ++y)
            for (int x = x0; x < x0 + g.column; ++x)
                if (d.alpha(slot, x, y) > 0) {
                    ++drawn;
                    colour = d.colour(slot, x, y);
                }
        return drawn;
    };
    uint32_t colour = 0;
    EXPECT_GT(cell(6, 0, colour), 0);  // day 1 on the Saturday
    EXPECT_EQ(colour, 0x0000E0u);
    EXPECT_GT(cell(0, 1, colour), 0);  // day 2 on the next Sunday
    EXPECT_EQ(colour, 0xE00000u);
    for (int c = 0; c < 6; ++c) EXPECT_EQ(cell(c, 0, colour), 0) << c;
    EXPECT_GT(cell(0, 5, colour), 0);  // day 30 on the sixth row's Sunday
    EXPECT_EQ(colour, 0xE00000u);
    EXPECT_GT(cell(1, 2, colour), 0);  // day 10 on a Monday
    EXPECT_EQ(colour, 0x101010u);
    EXPECT_EQ(cell(1, 5, colour), 0);
    // A one-digit day starts a quarter column in; a two-digit one at the column's edge.
    auto firstColumn = [&](int column, int row) {
        const int x0 = q.x + column * g.column, y0 = q.y + g.title + g.row * (row + 1);
        for (int x = x0; x < x0 + g.column; ++x)
            for (int y = y0; y < y0 + g.row; ++y)
                if (d.alpha(slot, x, y) > 0) return x - x0;
        return -1;
    };
    auto lead = [&](const std::u16string& text) {
        const LineAlpha a = RasterizeTextLine(fixed, text, q.font);
        for (int x = 0; x < a.width; ++x)
            for (int y = 0; y < a.height; ++y)
                if (a.alpha[size_t(y) * a.width + x] > 0) return x;
        return -1;
    };
    EXPECT_EQ(firstColumn(0, 1), g.column / 4 + lead(u"2"));
    EXPECT_EQ(firstColumn(1, 2), lead(u"10"));

    ASSERT_TRUE(d.doc.Undo());
    EXPECT_EQ(d.t().Count(), 1);
}

}  // namespace
