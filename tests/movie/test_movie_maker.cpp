#include <gtest/gtest.h>

#include <filesystem>

#include "MovieTestSupport.h"
#include "movie/FrameSink.h"
#include "movie/Joins.h"
#include "movie/MovieMaker.h"
#include "movie/MovieWriter.h"
#include "movie/ShowPictures.h"
#include "platform/TextRasterizer.h"

using namespace quillet;
using namespace quillet::movietest;

namespace {
struct Recorded : MovieProgress {
    std::vector<std::string> statuses, logs;
    std::vector<int> percents;
    int cancelAfterPercent = -1;
    void Status(const std::string& t) override { statuses.push_back(t); }
    void Log(const std::string& t) override { logs.push_back(t); }
    void Progress(int p) override { percents.push_back(p); }
    bool Cancelled() const override {
        return cancelAfterPercent >= 0 && !percents.empty() &&
               percents.back() >= cancelAfterPercent;
    }
};

// Three pictures of different shapes, saved as BMP files.
std::vector<std::string> ThreePictures(const TempDir& dir) {
    std::vector<std::string> paths;
    const int sizes[3][2] = {{80, 60}, {60, 80}, {100, 50}};
    for (int i = 0; i < 3; ++i) {
        paths.push_back(dir.file("picture" + std::to_string(i) + ".bmp"));
        EXPECT_TRUE(SaveBmp(Pattern(sizes[i][0], sizes[i][1], i + 1), paths.back()));
    }
    return paths;
}

MovieProject ShowProject(const TempDir& dir, const std::vector<std::string>& pictures) {
    MovieProject p;
    for (const std::string& path : pictures) p.pictures.push_back({path, JoinKind::Fade});
    p.holdFrames = 12;
    p.width = 320;
    p.height = 240;
    p.workFolder = dir.file("work");
    std::filesystem::create_directories(p.workFolder);
    p.outputPath = dir.file("show.avi");
    return p;
}

struct Both : FrameSink {
    MovieWriter& writer;
    std::vector<Frame24> frames;
    explicit Both(MovieWriter& w) : writer(w) {}
    bool Put(const Frame24& f) override {
        frames.push_back(f);
        return writer.Write(f).ok();
    }
};
}  // namespace

// Three pictures, fades, a caption and a WAV track: one MPEG-4 stream tagged XVID at
// 30000/1001 with the frames the joins and holds make, one PCM stream as long as the track.
TEST(MovieMaker, ImageShowWritesXvidVideoAndPcmSound) {
    TempDir dir;
    MovieProject p = ShowProject(dir, ThreePictures(dir));
    WriteWav(dir.file("tone.wav"), 22050, 2.5);
    p.soundPath = dir.file("tone.wav");
    p.captions.push_back({u"가나 Aa", CaptionMotion::Still, 0.1, 70, 0.2});  // frames 3..8
    p.captionFont.pixelHeight = 20;
    FixedTextRasterizer text;
    Recorded progress;
    MovieMaker maker(p, progress, &text);
    const MovieResult r = maker.Run();
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_TRUE(maker.SoundWritten());
    const int frames = 3 * 12 + 2 * FadeFrameCount();
    EXPECT_EQ(maker.FramesWritten(), frames);
    EXPECT_FALSE(std::filesystem::exists(p.workFolder + "/" + kMidMovieName));

    const auto streams = ProbeStreams(p.outputPath);
    ASSERT_EQ(streams.size(), 2u);
    const auto& v = streams[0];
    EXPECT_EQ(v.at("codec_type"), "video");
    EXPECT_EQ(v.at("codec_name"), "mpeg4");
    EXPECT_EQ(v.at("codec_tag_string"), "XVID");
    EXPECT_EQ(v.at("r_frame_rate"), "30000/1001");
    EXPECT_EQ(v.at("nb_frames"), std::to_string(frames));
    EXPECT_EQ(v.at("width"), "320");
    const auto& a = streams[1];
    EXPECT_EQ(a.at("codec_type"), "audio");
    EXPECT_EQ(a.at("codec_name"), "pcm_s16le");
    EXPECT_EQ(a.at("sample_rate"), "22050");
    EXPECT_EQ(a.at("nb_frames"), std::to_string(22050 * 5 / 2));  // 2.5 s of samples

    EXPECT_EQ(progress.statuses.front(), " 영상쇼 변환 시작");
    EXPECT_EQ(progress.statuses.back(), " (작업 완료)");
    EXPECT_EQ(progress.logs.back(), " 삽입 완료");
    EXPECT_EQ(progress.percents.back(), 0);  // the bar is reset at the end

    // Decoded back, the held first picture matches its composed frame, and the caption shows
    // in the frames of its time only.
    const std::vector<Frame24> decoded = DecodeWithFfmpeg(p.outputPath, 320, 240);
    ASSERT_EQ(int(decoded.size()), frames);
    Frame24 first;
    ASSERT_TRUE(LoadPicture(p.pictures[0].path, first).ok());
    const Frame24 fitted = Scaled(first, 320, 240);
    EXPECT_GE(Psnr(decoded[10], fitted), 30.0);
    EXPECT_EQ(decoded[1].bytes, decoded[10].bytes);
    EXPECT_LT(Psnr(decoded[5], decoded[10]), 30.0);
    EXPECT_EQ(decoded[2].bytes, decoded[10].bytes);
    EXPECT_EQ(decoded[9].bytes, decoded[10].bytes);
}

// Frames that went through the writer come back from an independent decoder within 30 dB.
// (Line overlap frames alternate single rows of two pictures, which 4:2:0 colour cannot hold;
// their rows are checked before encoding.)
TEST(MovieWriter, DecodedFramesMatchTheComposedOnes) {
    TempDir dir;
    MovieWriter writer;
    MovieWriterOptions options;
    options.width = 160;
    options.height = 120;
    ASSERT_TRUE(writer.Open(dir.file("fade.avi"), options).ok());
    Both sink(writer);
    FrameScaler scaler;
    Frame24 canvas = Scaled(Pattern(90, 70, 1), 160, 120);
    const Frame24 next = Scaled(Pattern(70, 90, 2), 160, 120);
    ASSERT_TRUE(WriteFade(canvas, next, sink));
    ASSERT_TRUE(WriteHold(canvas, 3, PanDirection::None, {{0, 0, 160, 120}, 10}, scaler, sink));
    ASSERT_TRUE(writer.Finish().ok());
    const std::vector<Frame24> decoded = DecodeWithFfmpeg(dir.file("fade.avi"), 160, 120);
    ASSERT_EQ(decoded.size(), sink.frames.size());
    for (size_t i = 0; i < decoded.size(); ++i)
        ASSERT_GE(Psnr(decoded[i], sink.frames[i]), 30.0) << "frame " << i;
}

TEST(MovieWriter, AnUnfinishedMovieIsRemovedAndAWrongFrameRefused) {
    TempDir dir;
    {
        MovieWriter writer;
        MovieWriterOptions options;
        ASSERT_TRUE(writer.Open(dir.file("part.avi"), options).ok());
        EXPECT_TRUE(writer.Write(Frame24(320, 240)).ok());
        EXPECT_EQ(writer.Write(Frame24(100, 100)).code, MovieError::FormatMismatch);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("part.avi")));
    MovieWriter writer;
    const MovieResult r = writer.Open(dir.file("no-such-folder/x.avi"), {});
    EXPECT_EQ(r.code, MovieError::FileInUse);
    EXPECT_NE(r.message.find("사용중입니다"), std::string::npos);
}

TEST(MovieMaker, AnEmptyFrameListReturnsAtOnceWithoutFiles) {
    TempDir dir;
    MovieProject p = ShowProject(dir, {});
    Recorded progress;
    MovieMaker maker(p, progress);
    EXPECT_EQ(maker.Run().code, MovieError::EmptyList);
    EXPECT_FALSE(std::filesystem::exists(p.outputPath));
    EXPECT_TRUE(std::filesystem::is_empty(p.workFolder));
}

TEST(MovieMaker, AnUnreadableSoundStillGivesASilentMovie) {
    TempDir dir;
    MovieProject p = ShowProject(dir, ThreePictures(dir));
    p.pictures.resize(1);
    {
        FILE* f = std::fopen(dir.file("broken.mp3").c_str(), "wb");
        std::fputs("not a sound at all", f);
        std::fclose(f);
    }
    p.soundPath = dir.file("broken.mp3");
    Recorded progress;
    MovieMaker maker(p, progress);
    const MovieResult r = maker.Run();
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_FALSE(maker.SoundWritten());
    EXPECT_EQ(progress.logs.back(), " 오디오 없음");
    const auto streams = ProbeStreams(p.outputPath);
    ASSERT_EQ(streams.size(), 1u);
    EXPECT_EQ(streams[0].at("codec_type"), "video");
}

TEST(MovieMaker, ACancelledRunLeavesNoMovie) {
    TempDir dir;
    MovieProject p = ShowProject(dir, ThreePictures(dir));
    Recorded progress;
    progress.cancelAfterPercent = 30;
    MovieMaker maker(p, progress);
    const MovieResult r = maker.Run();
    EXPECT_EQ(r.code, MovieError::Cancelled);
    EXPECT_FALSE(std::filesystem::exists(p.outputPath));
    EXPECT_TRUE(std::filesystem::is_empty(p.workFolder));
}

// The show's bands and the quarter turn: a 90-degree movie is as tall as the frame is wide.
TEST(MovieMaker, BandsAndTheTurnedOutput) {
    TempDir dir;
    MovieProject p = ShowProject(dir, ThreePictures(dir));
    p.pictures.resize(1);
    p.rotate = true;
    p.bandHeight = 30;
    ASSERT_TRUE(SaveBand(p.workFolder, true, Pattern(40, 10, 4), 320, 240, 30).ok());
    EXPECT_TRUE(HasBand(p.workFolder, true));
    EXPECT_TRUE(std::filesystem::exists(p.workFolder + "/Tesmofen_FrtImg_768.jpg"));
    p.blankBand = {BlankBand::Single, 0x0000FF, 0};  // red (0x00BBGGRR)
    Recorded progress;
    MovieMaker maker(p, progress);
    ASSERT_TRUE(maker.Run().ok());
    const auto streams = ProbeStreams(p.outputPath);
    ASSERT_EQ(streams.size(), 1u);
    EXPECT_EQ(streams[0].at("width"), "240");
    EXPECT_EQ(streams[0].at("height"), "320");
    const std::vector<Frame24> decoded = DecodeWithFfmpeg(p.outputPath, 240, 320);
    ASSERT_FALSE(decoded.empty());
    // Turned clockwise, the bottom band (blank red) is the left edge.
    const uint8_t* left = decoded[0].TopRow(160) + 3 * 5;
    EXPECT_GT(left[2], 200);
    EXPECT_LT(left[1], 60);
    ClearBands(p.workFolder);
    EXPECT_FALSE(HasBand(p.workFolder, true));
}

// A clip converted between 50 % and 100 % of its length at its own speed.
TEST(MovieMaker, VideoConversionUsesTheClipRange) {
    TempDir dir;
    {
        MovieWriter writer;
        MovieWriterOptions options;
        options.width = 96;
        options.height = 64;
        ASSERT_TRUE(writer.Open(dir.file("clip.avi"), options).ok());
        for (int i = 0; i < 60; ++i) ASSERT_TRUE(writer.Write(Pattern(96, 64, i % 5)).ok());
        ASSERT_TRUE(writer.Finish().ok());
    }
    MovieProject p = ShowProject(dir, {});
    p.mode = WorkMode::OneClip;
    p.clips[0].path = dir.file("clip.avi");
    p.clips[0].startPercent = 50;
    p.clips[0].brightness = 40;
    Recorded progress;
    MovieMaker maker(p, progress);
    const MovieResult r = maker.Run();
    ASSERT_TRUE(r.ok()) << r.message;
    // 1.0 s of clip at 0.0334 s a frame.
    EXPECT_NEAR(double(maker.FramesWritten()), 1.0 / 0.0334, 2.0);
    EXPECT_EQ(progress.statuses.back(), " 동영상 형식 변환 완료");

    p.clips[0].path = dir.file("missing.avi");
    MovieMaker failing(p, progress);
    EXPECT_EQ(failing.Run().code, MovieError::Unreadable);
}

TEST(MovieMaker, MovingTheMovieKeepsTheTargetUntilComplete) {
    TempDir dir;
    {
        FILE* f = std::fopen(dir.file("a").c_str(), "wb");
        std::fputs("movie", f);
        std::fclose(f);
    }
    EXPECT_TRUE(MoveMovie(dir.file("a"), dir.file("b")).ok());
    EXPECT_TRUE(std::filesystem::exists(dir.file("b")));
    EXPECT_FALSE(MoveMovie(dir.file("a"), dir.file("c")).ok());
}
