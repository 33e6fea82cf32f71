// The geometry commands on documents: the composed picture transformed exactly (layers off the
// canvas included), the undo labels and kinds, undo giving the bytes back, text-layer refusals,
// resampling, the canvas anchors and progress.
#include <gtest/gtest.h>

#include "document/GeometryCommands.h"
#include "document/compositor/Compositor.h"
#include "tests/document/test_journal_support.h"

using namespace journal_test;

namespace {

const char* const kPictureHasText =
    "[글]레이어가 포함되어 있습니다. [레스터 형식 변환] 후 다시 실행하십시요.";
const char* const kLayerIsText = "[글]레이어 입니다. [레스터 형식 변환] 후 다시 실행하십시요.";

// The picture as the compositor gives it, addressed from the top row.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> px;
    uint32_t at(int x, int Y) const { return px[size_t(Y) * size_t(width) + size_t(x)]; }
};

Picture compose(const LayerTable& t) {
    const Image32 full = Compositor::ComposeFull(t, t.bottom, 0);
    Picture p{full.width, full.height, std::vector<uint32_t>(size_t(full.width) * full.height)};
    for (int y = 0; y < full.height; ++y) {
        const int Y = full.bottomUp ? full.height - 1 - y : y;
        std::memcpy(&p.px[size_t(Y) * size_t(p.width)], &full.bytes[size_t(y) * full.width * 4],
                    size_t(full.width) * 4);
    }
    return p;
}

// A picture with two layers besides the opened one: one hanging off the bottom-left corner,
// one off the top-right.
struct Doc : JournalDoc {
    Doc(int w = 9, int h = 7) : JournalDoc(1, w, h) {
        open(1);
        add(4, 3, -2, 5, 2);
        add(5, 5, 6, -1, 3);
        // Row padding is no pixel: zero it as the codecs leave it, so that pictures turned
        // back and forth compare byte for byte.
        for (int slot : t().Order()) {
            const Layer& l = t().layer(slot);
            for (int y = 0; y < l.height; ++y)
                for (uint32_t i = uint32_t(l.width) * 3; i < l.stride; ++i)
                    t().planesOf(slot).pixels[y * l.stride + i] = 0;
        }
        // A step that saves every layer, so that undo finds them as they are now.
        doc.RecordStep(u"채우기", StepKind::CanvasResize, -1);
    }
};

using ScreenMap = void (*)(int W, int H, int x, int Y, int& outX, int& outY);

struct CanvasCase {
    const char* name;
    bool (*run)(CBrevDoc&);
    const char16_t* label;
    int kind;
    bool swaps;
    ScreenMap map;  // where a pixel of the old picture lands
};

const CanvasCase kCanvasCases[] = {
    {"flip-h", [](CBrevDoc& d) { return FlipCanvas(d, FlipAxis::Horizontal); }, u"수평제비회전",
     int(StepKind::Rotate), false,
     [](int W, int, int x, int Y, int& ox, int& oy) { ox = W - 1 - x, oy = Y; }},
    {"flip-v", [](CBrevDoc& d) { return FlipCanvas(d, FlipAxis::Vertical); }, u"수직제비회전",
     int(StepKind::Rotate), false,
     [](int, int H, int x, int Y, int& ox, int& oy) { ox = x, oy = H - 1 - Y; }},
    {"cw", [](CBrevDoc& d) { return RotateCanvas(d, QuarterTurn::Clockwise); }, u"캔버스 90 우회전",
     int(StepKind::Rotate), true,
     [](int, int H, int x, int Y, int& ox, int& oy) { ox = H - 1 - Y, oy = x; }},
    {"acw", [](CBrevDoc& d) { return RotateCanvas(d, QuarterTurn::Anticlockwise); },
     u"캔버스 90 좌회전", int(StepKind::Rotate), true,
     [](int W, int, int x, int Y, int& ox, int& oy) { ox = Y, oy = W - 1 - x; }},
    {"half", [](CBrevDoc& d) { return RotateCanvas(d, QuarterTurn::Half); }, u"캔버스 180 회전",
     int(StepKind::Rotate), false,
     [](int W, int H, int x, int Y, int& ox, int& oy) { ox = W - 1 - x, oy = H - 1 - Y; }},
};

}  // namespace

TEST(GeometryCommands, CanvasCommandsTransformThePictureAndUndoGivesItBack) {
    for (const CanvasCase& c : kCanvasCases) {
        SCOPED_TRACE(c.name);
        Doc d;
        const TableState before = capture(d.t());
        const Picture old = compose(d.t());
        const int step = d.j().StepIndex();
        ASSERT_TRUE(c.run(d.doc));

        const Picture now = compose(d.t());
        ASSERT_EQ(now.width, c.swaps ? old.height : old.width);
        ASSERT_EQ(now.height, c.swaps ? old.width : old.height);
        for (int Y = 0; Y < old.height; ++Y)
            for (int x = 0; x < old.width; ++x) {
                int nx, ny;
                c.map(old.width, old.height, x, Y, nx, ny);
                ASSERT_EQ(now.at(nx, ny), old.at(x, Y)) << x << "," << Y;
            }
        const StepEntry& e = d.j().Entry(step + 1);
        EXPECT_EQ(e.label, c.label);
        EXPECT_EQ(int(e.kind), c.kind);
        EXPECT_TRUE(d.doc.Modified());

        ASSERT_TRUE(d.doc.Undo());
        EXPECT_TRUE(sameTable(before, d.t()));
        ASSERT_TRUE(d.doc.Redo());
        EXPECT_EQ(compose(d.t()).px, now.px);
    }
}

TEST(GeometryCommands, QuarterTurnsComeBackAndHalfTurnIsBothFlips) {
    Doc d;
    const TableState start = capture(d.t());
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(RotateCanvas(d.doc, QuarterTurn::Clockwise));
    EXPECT_TRUE(sameTable(start, d.t()));
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(RotateLayer(d.doc, QuarterTurn::Anticlockwise, 1));
    EXPECT_TRUE(sameTable(start, d.t()));

    ASSERT_TRUE(RotateCanvas(d.doc, QuarterTurn::Half));
    const TableState half = capture(d.t());
    ASSERT_TRUE(d.doc.Undo());
    ASSERT_TRUE(FlipCanvas(d.doc, FlipAxis::Horizontal));
    ASSERT_TRUE(FlipCanvas(d.doc, FlipAxis::Vertical));
    EXPECT_TRUE(sameTable(half, d.t()));

    // A layer turns about its centre: 5 × 5 stays in place; 4 × 3 keeps its centre within the
    // halves integer division gives.
    const Layer was = d.t().layer(1);
    ASSERT_TRUE(RotateLayer(d.doc, QuarterTurn::Clockwise, 1));
    const Layer& l = d.t().layer(1);
    EXPECT_EQ(l.width, 3);
    EXPECT_EQ(l.height, 4);
    EXPECT_EQ(l.x, was.x + (4 - 3) / 2);
    EXPECT_EQ(l.y, was.y + (3 - 4) / 2);
    EXPECT_EQ(l.stride, 12u);
    EXPECT_EQ(d.j().Entry(d.j().StepIndex()).label, u"레이어 90 우회전");
    EXPECT_EQ(int(d.j().Entry(d.j().StepIndex()).kind), int(StepKind::Rotate));
    ASSERT_TRUE(FlipLayer(d.doc, FlipAxis::Vertical, 2));
    EXPECT_EQ(d.j().Entry(d.j().StepIndex()).label, u"레이어 수직제비회전");
    EXPECT_EQ(int(d.j().Entry(d.j().StepIndex()).kind), int(StepKind::PixelEdit));
}

TEST(GeometryCommands, TextLayersAreRefusedAndNothingChanges) {
    Doc d;
    const int text = d.add(3, 2, 1, 1, 5, true);
    ASSERT_GE(text, 0);
    const TableState before = capture(d.t());
    const int step = d.j().StepIndex();
    for (const CanvasCase& c : kCanvasCases) {
        d.user.entries.clear();
        EXPECT_FALSE(c.run(d.doc)) << c.name;
        EXPECT_EQ(d.user.lastText(), kPictureHasText) << c.name;
    }
    d.user.entries.clear();
    EXPECT_FALSE(ResizeCanvas(d.doc, 20, 20, 4));
    EXPECT_EQ(d.user.lastText(), kPictureHasText);
    for (auto turn : {QuarterTurn::Clockwise, QuarterTurn::Anticlockwise, QuarterTurn::Half}) {
        d.user.entries.clear();
        EXPECT_FALSE(RotateLayer(d.doc, turn, text));
        EXPECT_EQ(d.user.lastText(), kLayerIsText);
    }
    EXPECT_FALSE(FlipLayer(d.doc, FlipAxis::Horizontal, text));
    EXPECT_FALSE(RotateLayerFree(d.doc, 30, text));
    EXPECT_FALSE(MirrorDisplayImage(d.doc));  // the text layer is the current one
    EXPECT_EQ(d.user.lastText(), kLayerIsText);
    EXPECT_TRUE(sameTable(before, d.t()));
    EXPECT_EQ(d.j().StepIndex(), step);
    // Other layers of the same picture still turn on their own.
    EXPECT_TRUE(RotateLayer(d.doc, QuarterTurn::Clockwise, 0));
}

TEST(GeometryCommands, ResamplingScalesEveryLayerAndItsText) {
    JournalDoc d(1, 100, 100);
    d.open(4);
    const int layer = d.add(31, 9, 10, 21, 6);
    const int text = d.add(20, 10, 3, 4, 7, true);
    d.t().layer(text).fontSize = 25;
    d.doc.RecordStep(u"글자수정", StepKind::TextEdit, text);
    const TableState before = capture(d.t());
    const std::vector<uint8_t> pixels = d.t().planesOf(0).pixels;
    const std::vector<uint8_t> alpha = d.t().planesOf(0).alpha;
    const int step = d.j().StepIndex();

    EXPECT_FALSE(ResampleDocument(d.doc, 100, 100));
    EXPECT_EQ(d.j().StepIndex(), step);
    ASSERT_TRUE(ResampleDocument(d.doc, 50, 50));
    const LayerTable& t = d.t();
    EXPECT_EQ(t.header.canvasWidth, 50);
    EXPECT_EQ(t.header.canvasHeight, 50);
    EXPECT_EQ(t.header.canvasPixelCount, 2500u);
    // 2 × 2 blocks averaged; alpha from the nearest pixel of the block's centre.
    const uint32_t stride = 300, newStride = t.layer(0).stride;
    for (int v = 0; v < 50; ++v)
        for (int u = 0; u < 50; ++u) {
            for (int k = 0; k < 3; ++k) {
                int sum = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        sum += pixels[(2 * v + dy) * stride + (2 * u + dx) * 3 + k];
                ASSERT_EQ(t.planesOf(0).pixels[v * newStride + u * 3 + k], (sum + 2) / 4);
            }
            ASSERT_EQ(t.planesOf(0).alpha[v * 50 + u], alpha[(2 * v + 1) * 100 + 2 * u + 1]);
        }
    const Layer& l = t.layer(layer);
    EXPECT_EQ(l.x, 5);
    EXPECT_EQ(l.y, 11);
    EXPECT_EQ(l.width, 16);
    EXPECT_EQ(l.height, 5);
    const Layer& tl = t.layer(text);
    EXPECT_EQ(tl.width, 10);
    EXPECT_EQ(tl.stride, 10u);
    EXPECT_EQ(tl.fontSize, 12);
    EXPECT_EQ(tl.textX, int(before.records[2].textX * 0.5 + 0.5));
    EXPECT_EQ(d.j().Entry(step + 1).label, u"이미지크기");
    EXPECT_EQ(int(d.j().Entry(step + 1).kind), int(StepKind::CanvasResize));
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_TRUE(sameTable(before, d.t()));
}

// Stored rows count from the bottom: anchors 0..2 put the old rows at the top of the new ones.
TEST(GeometryCommands, CanvasSizePlacesThePictureByEveryAnchor) {
    for (int anchor = 0; anchor < kAnchorCount; ++anchor) {
        SCOPED_TRACE(anchor);
        JournalDoc d(1, 10, 7);
        d.open(2);
        const TableState before = capture(d.t());
        const std::vector<uint8_t> old = d.t().planesOf(0).pixels;
        const std::vector<uint8_t> oldAlpha = d.t().planesOf(0).alpha;
        ASSERT_TRUE(ResizeCanvas(d.doc, 13, 12, anchor));
        const LayerTable& t = d.t();
        const Layer& l = t.layer(0);
        ASSERT_EQ(l.width, 13);
        ASSERT_EQ(l.height, 12);
        EXPECT_EQ(l.x, 0);
        EXPECT_EQ(l.y, 0);
        const int col[3] = {0, (13 - 10) / 2, 13 - 10}, row[3] = {12 - 7, (12 - 7) / 2, 0};
        const int f0 = col[anchor % 3], e0 = row[anchor / 3];
        for (int e = 0; e < 12; ++e)
            for (int f = 0; f < 13; ++f) {
                const int j = f - f0, i = e - e0;
                const bool inside = j >= 0 && j < 10 && i >= 0 && i < 7;
                const uint8_t* px = &t.planesOf(0).pixels[e * l.stride + f * 3];
                const uint8_t a = t.planesOf(0).alpha[e * 13 + f];
                if (inside) {
                    ASSERT_EQ(std::memcmp(px, &old[i * 32 + j * 3], 3), 0) << f << "," << e;
                    ASSERT_EQ(a, oldAlpha[i * 10 + j]);
                } else {
                    ASSERT_EQ(px[0] & px[1] & px[2], 255) << f << "," << e;
                    ASSERT_EQ(a, 0);
                }
            }
        EXPECT_EQ(d.j().Entry(1).label, u"캔버스크기조정");
        ASSERT_TRUE(d.doc.Undo());
        EXPECT_TRUE(sameTable(before, d.t()));
    }

    JournalDoc d(1, 100, 100);
    d.open(3);
    ASSERT_TRUE(ResizeCanvas(d.doc, 200, 200, 4));
    const auto& a = d.t().planesOf(0).alpha;
    EXPECT_EQ(a[100 * 200 + 49], 0);
    EXPECT_EQ(a[100 * 200 + 50], d.t().planesOf(0).alpha[100 * 200 + 50]);
    EXPECT_NE(a[100 * 200 + 149], 0);
    EXPECT_EQ(a[100 * 200 + 150], 0);
    EXPECT_FALSE(ResizeCanvas(d.doc, 200, 200, 4));  // unchanged size: nothing happens
}

// A layer hanging off the canvas keeps every pixel when the canvas grows, in its old place
// relative to the picture.
TEST(GeometryCommands, CanvasSizeKeepsLayersOffTheCanvas) {
    Doc d;
    const Picture old = compose(d.t());
    const TableState before = capture(d.t());
    ASSERT_TRUE(ResizeCanvas(d.doc, 14, 10, 8));  // bottom-right: the old picture moves by (5, 3)
    const Picture now = compose(d.t());
    for (int Y = 3; Y < 10; ++Y)
        for (int x = 5; x < 14; ++x) ASSERT_EQ(now.at(x, Y), old.at(x - 5, Y - 3)) << x << "," << Y;
    for (size_t i = 1; i < before.order.size(); ++i) {
        const int slot = before.order[i];
        const Layer& was = before.records[i];
        const Layer& l = d.t().layer(slot);
        // Every old pixel is still there, shifted with the picture.
        for (int y = 0; y < was.height; ++y)
            for (int x = 0; x < was.width; ++x) {
                const int nx = was.x + 5 + x - l.x, nY = was.y + 3 + (was.height - 1 - y) - l.y;
                const int ny = l.height - 1 - nY;
                ASSERT_EQ(std::memcmp(&d.t().planesOf(slot).pixels[ny * l.stride + nx * 3],
                                      &before.planes[i].pixels[y * was.stride + x * 3], 3),
                          0);
                ASSERT_EQ(d.t().planesOf(slot).alpha[ny * l.width + nx],
                          before.planes[i].alpha[y * was.width + x]);
            }
    }
}

TEST(GeometryCommands, FreeRotationAndMirror) {
    Doc d;
    const TableState start = capture(d.t());
    // Quarter angles turn exactly, as the menu's turns do.
    ASSERT_TRUE(RotateLayerFree(d.doc, 90, 1));
    ASSERT_TRUE(RotateLayerFree(d.doc, -270 + 360, 1));
    ASSERT_TRUE(RotateLayer(d.doc, QuarterTurn::Half, 1));
    EXPECT_TRUE(sameTable(start, d.t()));
    EXPECT_FALSE(RotateLayerFree(d.doc, 0, 1));
    EXPECT_FALSE(RotateLayerFree(d.doc, 360, 1));

    ASSERT_TRUE(RotateLayerFree(d.doc, 30, 2));
    const Layer& l = d.t().layer(2);
    const RotationBox box = RotatedBox(5, 5, 30);
    EXPECT_EQ(l.width, box.width);
    EXPECT_EQ(l.height, box.height);
    EXPECT_EQ(d.t().planesOf(2).alpha[0], 0);  // a corner the rotation opened
    EXPECT_EQ(d.j().Entry(d.j().StepIndex()).label, u"자유회전");
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_TRUE(sameTable(start, d.t()));

    d.doc.SetCurrentLayerIndex(0);
    const std::vector<uint8_t> before = d.t().planesOf(0).pixels;
    ASSERT_TRUE(MirrorDisplayImage(d.doc));
    const Layer& bg = d.t().layer(0);
    for (int y = 0; y < bg.height; ++y)
        for (int x = 0; x < bg.width; ++x)
            ASSERT_EQ(std::memcmp(&d.t().planesOf(0).pixels[y * bg.stride + x * 3],
                                  &before[y * bg.stride + (bg.width - 1 - x) * 3], 3),
                      0);
    EXPECT_EQ(d.j().Entry(d.j().StepIndex()).label, u"거울변환");
    EXPECT_EQ(int(d.j().Entry(d.j().StepIndex()).kind), int(StepKind::PixelEdit));
}

TEST(GeometryCommands, LargePicturesReportProgressAndEndIt) {
    JournalDoc d(1, 2100, 2000);
    d.open(1);
    d.user.progressValues.clear();
    ASSERT_TRUE(RotateCanvas(d.doc, QuarterTurn::Clockwise));
    const auto& p = d.user.progressValues;
    ASSERT_GE(p.size(), 3u);
    EXPECT_EQ(p.back(), -1);
    EXPECT_EQ(p[p.size() - 2], 100);
    for (size_t i = 1; i + 1 < p.size(); ++i) EXPECT_GE(p[i], p[i - 1]);
    EXPECT_EQ(d.user.waitCursorDepth, 0);

    d.user.progressValues.clear();
    ASSERT_TRUE(ResampleDocument(d.doc, 2500, 2600));
    EXPECT_EQ(d.user.progressValues.back(), -1);
    EXPECT_GE(d.user.progressValues.size(), 3u);

    JournalDoc small(2, 50, 40);
    small.open(1);
    ASSERT_TRUE(RotateCanvas(small.doc, QuarterTurn::Clockwise));
    EXPECT_TRUE(small.user.progressValues.empty());
}
