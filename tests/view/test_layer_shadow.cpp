// The layer shadow: the sliding-sum computation against the literal (2d)² definition, the
// formula's edge cases, and the command with its journal step, its dialog session and VLR.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>

#include "document/DocumentFiles.h"
#include "document/EditCycle.h"
#include "document/compositor/Compositor.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/TempDir.h"
#include "tests/view/ViewTestDoc.h"
#include "view/tools/LayerShadow.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

// The definition read literally, rows from the top: every pixel reads its (2d)² window and the
// 3 × 3 box around its offset point, outside the plane counting 0.
std::vector<uint8_t> LiteralShadow(const std::vector<uint8_t>& alpha, int W, int H,
                                   const ShadowSettings& s) {
    std::vector<uint8_t> out(alpha.size(), 0);
    if (s.distance == 0) return out;
    auto at = [&](int x, int y) -> int {
        if (x < 0 || y < 0 || x >= W || y >= H) return 0;
        return alpha[size_t(H - 1 - y) * W + x];
    };
    const int d = s.distance;
    const double theta = (s.angle < 0 ? s.angle + 360 : s.angle) * 0.01745328888888889;
    const int e = s.opacity > 100 ? 255 : 2 * s.opacity + 55;
    const double g = e / 255.0;
    const double f = (s.softness + 155) / 255.0 * double(d * d) * 3.0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (at(x, y) > 180) continue;
            const int ox = int(std::trunc(std::cos(theta) * d + x));
            const int oy = int(std::trunc(-std::sin(theta) * d + y));
            int box = 0;
            for (int i = -1; i <= 1; ++i)
                for (int j = -1; j <= 1; ++j) box += at(ox + j, oy + i);
            const double A = box / 9.0 / 255.0;
            int sum = 0;
            for (int i = -d; i <= d - 1; ++i)
                for (int j = -d; j <= d - 1; ++j) sum += at(x + j, y + i);
            const double S = sum / 255.0;
            const double v = std::trunc(255.0 * std::min(S / f, 1.0) * A * g);
            out[size_t(H - 1 - y) * W + x] = uint8_t(std::clamp(v, 0.0, 255.0));
        }
    return out;
}

std::vector<uint8_t> Computed(const std::vector<uint8_t>& alpha, int W, int H,
                              const ShadowSettings& s, int threads = 1) {
    std::vector<uint8_t> out(alpha.size(), 77);
    ComputeShadowPlane(alpha.data(), W, H, s, out.data(), threads);
    return out;
}

TEST(ShadowPlane, SlidingSumsGiveTheValuesOfTheLiteralDefinition) {
    std::mt19937 rng(5);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 120; ++round) {
        const int W = pick(1, 60), H = pick(1, 50);
        std::vector<uint8_t> alpha(size_t(W) * H);
        // Blobs of opaque pixels with soft and empty parts between them.
        for (auto& a : alpha) a = uint8_t(pick(0, 2) == 0 ? 255 : pick(0, 1) ? 0 : pick(0, 255));
        ShadowSettings s;
        s.distance = round < 10 ? kMaxShadowDistance : pick(1, 20);
        s.opacity = pick(5, 100);
        s.softness = pick(0, 99);
        static const int kAngles[] = {0, 45, 90, 135, 180, 270, 359, -90, -1, 33};
        s.angle = kAngles[round % 10];
        const auto want = LiteralShadow(alpha, W, H, s);
        ASSERT_EQ(Computed(alpha, W, H, s, 1), want) << "round " << round;
        ASSERT_EQ(Computed(alpha, W, H, s, 2), want) << "round " << round;
    }
}

// A 20 × 20 opaque plane with one transparent pixel at (5, 5) (from the top).
std::vector<uint8_t> OpaqueWithHole(uint8_t hole) {
    std::vector<uint8_t> alpha(400, 255);
    alpha[size_t(19 - 5) * 20 + 5] = hole;
    return alpha;
}

uint8_t ValueAt(const std::vector<uint8_t>& plane, int x, int y) {
    return plane[size_t(19 - y) * 20 + x];
}

TEST(ShadowPlane, OpacitySetsTheStrongestValueAndOpaquePixelsNeverReceive) {
    ShadowSettings s;
    s.distance = 2;
    s.softness = 0;
    s.opacity = 100;  // e = 255
    EXPECT_EQ(ValueAt(Computed(OpaqueWithHole(0), 20, 20, s), 5, 5), 255);
    s.opacity = 5;  // e = 65
    EXPECT_EQ(ValueAt(Computed(OpaqueWithHole(0), 20, 20, s), 5, 5), 65);
    s.opacity = 70;  // e = 195
    EXPECT_EQ(ValueAt(Computed(OpaqueWithHole(180), 20, 20, s), 5, 5), 195);
    // Above 180 a pixel casts but never receives; nor does any opaque pixel around it.
    const auto plane = Computed(OpaqueWithHole(181), 20, 20, s);
    EXPECT_TRUE(std::all_of(plane.begin(), plane.end(), [](uint8_t v) { return v == 0; }));
}

TEST(ShadowPlane, DistanceZeroClearsAndNegativeAnglesCountFrom360) {
    std::vector<uint8_t> alpha(30 * 20, 0);
    for (int y = 5; y < 12; ++y)
        for (int x = 8; x < 20; ++x) alpha[size_t(19 - y) * 30 + x] = 255;
    ShadowSettings s;
    s.angle = -90;
    const auto down = Computed(alpha, 30, 20, s);
    s.angle = 270;
    EXPECT_EQ(Computed(alpha, 30, 20, s), down);
    s.angle = 90;
    EXPECT_NE(Computed(alpha, 30, 20, s), down);
    s.distance = 0;
    const auto cleared = Computed(alpha, 30, 20, s);
    EXPECT_TRUE(std::all_of(cleared.begin(), cleared.end(), [](uint8_t v) { return v == 0; }));
}

// A 40 × 30 picture whose layer above is a transparent sheet with an opaque square.
struct ShadowDoc {
    testsupport::TempDir dir{"quillet_shadow"};
    RecordingUserPort user;
    CBrevDoc doc{user};
    int square = -1;
    ShadowDoc() {
        doc.Journal().SetFolder(dir.path().string() + '/');
        AddPatternLayer(doc, 40, 30);
        square = AddPatternLayer(doc, 40, 30);
        LayerTable& t = doc.Layers();
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                t.PutAlpha(square, x, y, x >= 10 && x < 25 && y >= 8 && y < 20 ? 255 : 0);
        doc.CopyToSnapshot(square);
        doc.RecordStep(u"Opening....", StepKind::PixelEdit);
    }
    int EffectSum() const {
        int sum = 0;
        for (uint8_t v : doc.Layers().planesOf(square).effect) sum += v;
        return sum;
    }
};

TEST(ShadowCommand, RecordsTheSettingsAndUndoTakesTheShadowAway) {
    ShadowDoc d;
    ShadowSettings s;
    s.distance = 5;
    s.opacity = 90;
    s.softness = 20;
    s.angle = 300;
    s.colour = 0x123456;
    ASSERT_EQ(ApplyShadow(d.doc, s), EditOutcome::Done);
    const Layer& l = d.doc.Layers().layer(d.square);
    EXPECT_EQ(ShadowSettingsOf(l, 0), s);
    EXPECT_GT(d.EffectSum(), 0);
    const auto steps = RecordedSteps(d.doc);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[1].label, u"레이어효과(그림자)");
    EXPECT_EQ(steps[1].kind, StepKind::PixelEdit);

    ASSERT_TRUE(d.doc.Undo());
    EXPECT_EQ(d.doc.Layers().layer(d.square).effectValue1, 0);
    EXPECT_EQ(d.EffectSum(), 0);
    ASSERT_TRUE(d.doc.Redo());
    EXPECT_EQ(ShadowSettingsOf(d.doc.Layers().layer(d.square), 0), s);
    EXPECT_GT(d.EffectSum(), 0);

    // Distance 0 takes it away again; the dialog then shows the defaults.
    s.distance = 0;
    ASSERT_EQ(ApplyShadow(d.doc, s), EditOutcome::Done);
    EXPECT_EQ(d.EffectSum(), 0);
    EXPECT_EQ(ShadowSettingsOf(d.doc.Layers().layer(d.square), 0x0000FF),
              (ShadowSettings{7, 70, 50, 0, 0x0000FF}));
}

TEST(ShadowCommand, TextLayerIsRefusedWithItsMessage) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    AddPatternLayer(doc, 20, 20);
    AddPatternLayer(doc, 20, 20, 0, 0, -1, -1, LayerKind::Text);
    EXPECT_EQ(BeginShadow(doc), -1);
    EXPECT_EQ(ApplyShadow(doc, ShadowSettings{}), EditOutcome::Refused);
    EXPECT_EQ(user.texts(), (std::vector<std::string>(2, kTextLayerRefused)));
    EXPECT_EQ(doc.Layers().layer(doc.CurrentLayer()).effectValue1, 0);
}

TEST(ShadowCommand, CancelledPreviewLeavesTheLayerAsItWas) {
    ShadowDoc d;
    ASSERT_EQ(BeginShadow(d.doc), d.square);
    ShadowSettings s;
    s.distance = 9;
    ASSERT_TRUE(PreviewShadow(d.doc, s));
    EXPECT_EQ(d.doc.Layers().layer(d.square).effectValue1, 9);
    EXPECT_GT(d.EffectSum(), 0);
    CancelShadow(d.doc);
    EXPECT_EQ(d.doc.Layers().layer(d.square).effectValue1, 0);
    EXPECT_EQ(d.EffectSum(), 0);
    EXPECT_EQ(d.doc.Journal().StepIndex(), 0);
}

TEST(ShadowCommand, ShadowsSurviveAVlrFile) {
    ShadowDoc d;
    const std::string path = d.dir.file("shadow.vlr");
    ShadowSettings s{12, 60, 30, 135, 0x804020};
    ASSERT_EQ(ApplyShadow(d.doc, s), EditOutcome::Done);
    const std::vector<uint8_t> effect = d.doc.Layers().planesOf(d.square).effect;
    ASSERT_TRUE(SaveDocument(d.doc, path).ok());

    RecordingUserPort user;
    CBrevDoc again(user, 2);
    again.Journal().SetFolder(d.dir.path().string() + '/');
    ASSERT_TRUE(OpenDocument(again, path).ok());
    const LayerTable& t = again.Layers();
    ASSERT_TRUE(t.InList(d.square));
    EXPECT_EQ(ShadowSettingsOf(t.layer(d.square), 0), s);
    EXPECT_EQ(t.planesOf(d.square).effect, effect);
    // And the picture shows it as the document that wrote it did.
    const Image32 before = Compositor::ComposeFull(d.doc.Layers(), d.doc.Layers().bottom, 0);
    const Image32 after = Compositor::ComposeFull(t, t.bottom, 0);
    EXPECT_EQ(before.bytes, after.bytes);
}

}  // namespace
