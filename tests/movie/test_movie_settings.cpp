#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "MovieTestSupport.h"
#include "movie/Captions.h"
#include "movie/Compressors.h"
#include "movie/MovieWriter.h"
#include "movie/SoundTrack.h"
#include "tests/support/TempDir.h"

using namespace quillet;
using namespace quillet::movietest;

TEST(MovieCompressors, ListsOpeningMpeg4EncodersAndKeepsTheChoice) {
    const std::vector<Compressor> list = ListCompressors();
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.front().name, "mpeg4");  // FFmpeg's own first
    EXPECT_EQ(CompressorForIndex(list, 0), "mpeg4");
    EXPECT_EQ(CompressorForIndex(list, 99), list.back().name);
    EXPECT_EQ(CompressorForIndex({}, 1), "mpeg4");

    TempDir dir;
    const std::string folder = dir.path().string();
    EXPECT_EQ(ReadCompressorNumber(folder), kDefaultCompressor);  // no file yet
    ASSERT_TRUE(WriteCompressorNumber(folder, 3));
    EXPECT_EQ(ReadCompressorNumber(folder), 3);
    EXPECT_EQ(testsupport::readText(dir.file(kCompressorFile)),
              "[RozOduzuvev]\r\nCompressorNumber=3\r\n");
    testsupport::writeText(dir.file(kCompressorFile),
                           "[Other]\nCompressorNumber=7\n[RozOduzuvev]\nCompressorNumber=x2\n");
    EXPECT_EQ(ReadCompressorNumber(folder), kDefaultCompressor);
}

// An encoder that is there but cannot open (a hardware one without its device) is the missing
// codec: the writer asks about the download page and writes nothing.
TEST(MovieCompressors, AnEncoderThatDoesNotOpenIsTheMissingCodec) {
    const std::vector<Compressor> list = ListCompressors();
    const bool opens = std::any_of(list.begin(), list.end(),
                                   [](const Compressor& c) { return c.name == "mpeg4_v4l2m2m"; });
    if (opens) GTEST_SKIP() << "the hardware encoder opens here";
    TempDir dir;
    MovieWriter writer;
    MovieWriterOptions options;
    options.encoder = "mpeg4_v4l2m2m";
    const MovieResult r = writer.Open(dir.file("x.avi"), options);
    if (r.ok()) GTEST_SKIP() << "no such encoder here: the writer took FFmpeg's own";
    EXPECT_EQ(r.code, MovieError::CodecMissing);
    EXPECT_EQ(
        r.message,
        "무비작성에 필요한 xvid 코덱이 설치되어 있지 않습니다. \n\r 지금 다운로드하시겠습니까?");
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.avi")));
}

TEST(MovieSound, DecodesProbesAndMovesTheStart) {
    TempDir dir;
    WriteWav(dir.file("t.wav"), 11025, 2.0);
    SoundFacts facts;
    ASSERT_TRUE(ProbeSound(dir.file("t.wav"), facts).ok());
    EXPECT_EQ(facts.channels, 1);
    EXPECT_EQ(facts.bitsPerSample, 16);
    EXPECT_EQ(facts.sampleRate, 11025);
    SoundTrack track;
    ASSERT_TRUE(DecodeSound(dir.file("t.wav"), track).ok());
    EXPECT_EQ(track.Frames(), 22050);
    const int16_t quarter = track.samples[22050 / 4];
    track.DropStart(25);
    EXPECT_EQ(track.Frames(), 22050 - 22050 / 4);
    EXPECT_EQ(track.samples[0], quarter);
    track.DropStart(100);
    EXPECT_TRUE(track.Empty());
    EXPECT_EQ(DecodeSound(dir.file("none.wav"), track).code, MovieError::Unreadable);
    EXPECT_FALSE(ProbeSound(dir.file("none.wav"), facts).ok());
}

// Captions show only in their time, at their height, and stay inside the frame when they move
// past its edges.
TEST(MovieCaptions, DrawInTheirTimeAndClipAtTheEdges) {
    FixedTextRasterizer text;
    FontSpec font;
    font.pixelHeight = 16;
    std::vector<Caption> captions{{u"ABC", CaptionMotion::Still, 1.0, 50, 2.0},
                                  {u"가나다라마바사", CaptionMotion::Left, 0.0, 0, 10.0}};
    CaptionOverlay overlay(captions, font, 0x000000, text);
    EXPECT_FALSE(overlay.ActiveAt(-1.0));
    EXPECT_TRUE(overlay.ActiveAt(0.5));
    EXPECT_FALSE(overlay.ActiveAt(10.0));

    const Frame24 white(98, 60);  // rows of 294 bytes padded to 296
    Frame24 f = white;
    overlay.Draw(f, 1.5);  // both: the still one at rows 30.., the moving one at the top
    int changedRows = 0;
    for (int r = 0; r < 60; ++r)
        if (std::memcmp(f.TopRow(r), white.TopRow(r), 294) != 0) ++changedRows;
    EXPECT_GT(changedRows, 0);
    bool middleChanged = false;
    for (int r = 30; r < 46; ++r) middleChanged |= std::memcmp(f.TopRow(r), white.TopRow(r), 294);
    EXPECT_TRUE(middleChanged);
    for (int r = 46; r < 60; ++r) EXPECT_EQ(std::memcmp(f.TopRow(r), white.TopRow(r), 294), 0);
    // At the start the moving caption is still outside the right edge; the padding bytes of
    // every row stay as they were.
    Frame24 g = white;
    overlay.Draw(g, 0.0);
    EXPECT_EQ(g.bytes, white.bytes);
    for (double t : {0.01, 3.0, 9.99}) {
        Frame24 h = white;
        overlay.Draw(h, t);
        for (int y = 0; y < 60; ++y) {
            EXPECT_EQ(h.Row(y)[294], 255);
            EXPECT_EQ(h.Row(y)[295], 255);
        }
    }
}
