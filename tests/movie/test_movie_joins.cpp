#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "MovieTestSupport.h"
#include "movie/FrameSink.h"
#include "movie/Joins.h"
#include "movie/MovieTypes.h"

using namespace quillet;
using movietest::Pattern;

namespace {
struct Recorder : FrameSink {
    std::vector<Frame24> frames;
    int refuseAfter = -1;
    bool Put(const Frame24& f) override {
        if (refuseAfter >= 0 && int(frames.size()) >= refuseAfter) return false;
        frames.push_back(f);
        return true;
    }
};

bool SameRow(const Frame24& a, const Frame24& b, int y) {
    return std::memcmp(a.Row(y), b.Row(y), size_t(a.width) * 3) == 0;
}
}  // namespace

TEST(MovieTables, SizesJoinsAndDirections) {
    EXPECT_EQ(OutputSizeForText("1366 * 768").width, 1366);
    EXPECT_EQ(OutputSizeForText("768 * 1366").height, 1366);
    EXPECT_EQ(OutputSizeForText("384 * 680").width, 384);
    const OutputSize other = OutputSizeForText("1366*768");
    EXPECT_EQ(other.width, 320);
    EXPECT_EQ(other.height, 240);
    EXPECT_EQ(InfoOf(JoinKind::Fade).shownName, "Fade 연결");
    EXPECT_EQ(InfoOf(JoinKind::PanoramaDownLeft).code, "P↙");
    EXPECT_EQ(InfoOf(JoinKind::PushUp).choice, "밀어내기(↑)");
    JoinKind k;
    ASSERT_TRUE(JoinFromName("lines", k));
    EXPECT_EQ(k, JoinKind::Lines);
    ASSERT_TRUE(JoinFromName("P→", k));
    EXPECT_EQ(k, JoinKind::PanoramaRight);
    EXPECT_FALSE(JoinFromName("wipe", k));
    EXPECT_EQ(PanText(PanDirection::None), "전환패닝없음");
}

// Fade: every byte old × (1 − t) + new × t in single precision, truncated, with t stepping by
// 0.01 from 0 while below 1; then the new picture alone.
TEST(MovieJoins, FadeMatchesTheFormulaByteForByte) {
    const Frame24 oldPic = Pattern(38, 20, 1), newPic = Pattern(38, 20, 2);
    Frame24 canvas = oldPic;
    Recorder rec;
    ASSERT_TRUE(WriteFade(canvas, newPic, rec));
    ASSERT_EQ(int(rec.frames.size()), FadeFrameCount());
    EXPECT_EQ(FadeFrameCount(), 102);  // 0.01f summed reaches 1 only after the 101st frame
    float t = 0.0f;
    for (size_t i = 0; i + 1 < rec.frames.size(); ++i, t += 0.01f) {
        for (size_t b = 0; b < oldPic.bytes.size(); ++b) {
            const uint8_t want =
                uint8_t(int(float(oldPic.bytes[b]) * (1.0f - t) + float(newPic.bytes[b]) * t));
            ASSERT_EQ(rec.frames[i].bytes[b], want) << "frame " << i << " byte " << b;
        }
    }
    EXPECT_EQ(rec.frames.front().bytes, oldPic.bytes);
    EXPECT_EQ(rec.frames.back().bytes, newPic.bytes);
    EXPECT_EQ(canvas.bytes, newPic.bytes);
}

TEST(MovieJoins, LineOverlapBuildsTheNewPictureInInterleavedRows) {
    const Frame24 oldPic = Pattern(40, 95, 1), newPic = Pattern(40, 95, 3);
    Frame24 canvas = oldPic;
    Recorder rec;
    ASSERT_TRUE(WriteLines(canvas, newPic, rec));
    ASSERT_EQ(rec.frames.size(), 30u);
    for (int k = 0; k < 30; ++k) {
        for (int y = 0; y < 95; ++y) {
            // Rows counted from the bottom; row y is new once its turn (y mod 30) has come.
            const bool isNew = y % 30 <= k;
            EXPECT_TRUE(SameRow(rec.frames[size_t(k)], isNew ? newPic : oldPic, y))
                << "frame " << k << " row " << y;
        }
    }
    EXPECT_EQ(canvas.bytes, newPic.bytes);
}

// Moving joins end on the new picture, touch only the picture area and stop when the sink
// refuses a frame.
TEST(MovieJoins, MovingJoinsEndOnTheNewPictureAndKeepTheBands) {
    const int W = 64, H = 48;
    Frame24 oldPic = Pattern(W, H, 1), newPic = Pattern(W, H, 2);
    // Both carry the same bands: 6 rows at the top, 4 at the bottom.
    const Frame24 bandSource = Pattern(W, H, 4);
    for (int r : {0, 1, 2, 3, 4, 5, H - 4, H - 3, H - 2, H - 1}) {
        std::memcpy(oldPic.TopRow(r), bandSource.TopRow(r), W * 3);
        std::memcpy(newPic.TopRow(r), bandSource.TopRow(r), W * 3);
    }
    const JoinSetting setting{{0, 6, W, H - 10}, 20};
    const Frame24 zoomed = Scaled(newPic, W * 3 / 2, (H - 10) * 3 / 2);
    FrameScaler scaler;
    for (const JoinInfo& j : Joins()) {
        Frame24 canvas = oldPic;
        Recorder rec;
        ASSERT_TRUE(WriteJoin(j.kind, canvas, newPic, &zoomed, setting, scaler, rec)) << j.choice;
        ASSERT_GE(rec.frames.size(), 2u) << j.choice;
        EXPECT_EQ(rec.frames.back().bytes, newPic.bytes) << j.choice;
        EXPECT_EQ(canvas.bytes, newPic.bytes) << j.choice;
        // The fade's truncation may take 1 off a byte that both pictures share.
        const int slack = j.kind == JoinKind::Fade || IsPanorama(j.kind) ? 1 : 0;
        for (const Frame24& f : rec.frames)
            for (int r : {0, 5, H - 4, H - 1})
                for (int b = 0; b < W * 3; ++b)
                    ASSERT_LE(std::abs(f.TopRow(r)[b] - bandSource.TopRow(r)[b]), slack)
                        << j.choice << " band row " << r;

        Frame24 again = oldPic;
        Recorder refusing;
        refusing.refuseAfter = 3;
        EXPECT_FALSE(WriteJoin(j.kind, again, newPic, &zoomed, setting, scaler, refusing));
        EXPECT_EQ(refusing.frames.size(), 3u);
    }
}

TEST(MovieJoins, PushMovesTheOldPictureOutInItsDirection) {
    const int W = 60, H = 30;
    const Frame24 oldPic = Pattern(W, H, 1), newPic = Pattern(W, H, 2);
    Frame24 canvas = oldPic;
    Recorder rec;
    const JoinSetting setting{{0, 0, W, H}, 20};
    ASSERT_TRUE(WritePush(JoinKind::PushRight, canvas, newPic, setting, rec));
    const int n = MovingJoinFrames(20);
    ASSERT_EQ(int(rec.frames.size()), n);
    // Frame i shows the old picture shifted right by W × (i + 1) / n.
    const int i = n / 2 - 1, d = W * (i + 1) / n;
    const Frame24& f = rec.frames[size_t(i)];
    for (int y = 0; y < H; ++y) {
        EXPECT_EQ(std::memcmp(f.TopRow(y) + d * 3, oldPic.TopRow(y), size_t(W - d) * 3), 0);
        EXPECT_EQ(std::memcmp(f.TopRow(y), newPic.TopRow(y) + (W - d) * 3, size_t(d) * 3), 0);
    }
}

TEST(MovieJoins, HoldRepeatsThePictureOrPansFromIt) {
    const Frame24 pic = Pattern(50, 40, 2);
    FrameScaler scaler;
    const JoinSetting setting{{0, 0, 50, 40}, 10};
    Frame24 canvas = pic;
    Recorder still;
    ASSERT_TRUE(WriteHold(canvas, 7, PanDirection::None, setting, scaler, still));
    ASSERT_EQ(still.frames.size(), 7u);
    for (const Frame24& f : still.frames) EXPECT_EQ(f.bytes, pic.bytes);

    Recorder panned;
    ASSERT_TRUE(WriteHold(canvas, 20, PanDirection::Down, setting, scaler, panned));
    ASSERT_EQ(panned.frames.size(), 20u);
    EXPECT_EQ(panned.frames.front().bytes, pic.bytes);  // it starts on the picture as it is
    EXPECT_NE(panned.frames.back().bytes, pic.bytes);
    EXPECT_EQ(canvas.bytes, panned.frames.back().bytes);  // the next join starts from here
}

TEST(MovieFrames, RowsArePaddedAndTurnedClockwise) {
    Frame24 f(5, 3);
    EXPECT_EQ(f.stride, 16u);
    EXPECT_EQ(f.bytes.size(), 48u);
    for (uint8_t b : f.bytes) ASSERT_EQ(b, 255);  // a new canvas starts white
    FillRect(f, {0, 0, 1, 1}, 1, 2, 3);           // top-left pixel
    Frame24 t;
    RotateClockwise(f, t);
    ASSERT_EQ(t.width, 3);
    ASSERT_EQ(t.height, 5);
    const uint8_t* p = t.TopRow(0) + 2 * 3;  // top-left goes to the top-right
    EXPECT_EQ(p[0], 1);
    EXPECT_EQ(p[2], 3);
    Frame24 back;
    Frame24 back2, back3;
    RotateClockwise(t, back);
    RotateClockwise(back, back2);
    RotateClockwise(back2, back3);
    EXPECT_EQ(back3.bytes, f.bytes);
}
