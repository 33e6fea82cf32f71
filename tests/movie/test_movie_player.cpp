#include <gtest/gtest.h>

#include "MovieTestSupport.h"
#include "movie/MoviePlayerEngine.h"
#include "movie/MovieWriter.h"
#include "movie/SoundTrack.h"

using namespace quillet;
using namespace quillet::movietest;

namespace {
struct RecordingAudio : AudioOutput {
    AudioFormat format;
    size_t frames = 0;
    int starts = 0, suspends = 0, resumes = 0, stops = 0;
    void Start(const AudioFormat& f) override {
        format = f;
        ++starts;
    }
    size_t Write(const int16_t*, size_t n) override {
        frames += n;
        return n;
    }
    void Suspend() override { ++suspends; }
    void Resume() override { ++resumes; }
    void Stop() override { ++stops; }
};

// A 2-second movie whose pictures change colour every second, with a 2-second tone.
std::string MakeMovie(const TempDir& dir) {
    WriteWav(dir.file("tone.wav"), 8000, 2.0);
    SoundTrack sound;
    EXPECT_TRUE(DecodeSound(dir.file("tone.wav"), sound).ok());
    MovieWriter writer;
    MovieWriterOptions options;
    options.width = 64;
    options.height = 48;
    options.sound = &sound;
    const std::string path = dir.file("movie.avi");
    EXPECT_TRUE(writer.Open(path, options).ok());
    for (int i = 0; i < 60; ++i) {
        Frame24 f(64, 48);
        FillRect(f, {0, 0, 64, 48}, i < 30 ? 0 : 255, 0, i < 30 ? 255 : 0);
        EXPECT_TRUE(writer.Write(f).ok());
    }
    EXPECT_TRUE(writer.Finish().ok());
    return path;
}

// Red in the first second, blue after it (pictures are blue, green, red, alpha).
bool ShowsRed(const MoviePlayerEngine& e) { return e.Picture().size() > 2 && e.Picture()[2] > 200; }
}  // namespace

TEST(MoviePlayerEngine, PlaysPausesStopsAndRewinds) {
    TempDir dir;
    const std::string path = MakeMovie(dir);
    RecordingAudio audio;
    MoviePlayerEngine engine(&audio);
    ASSERT_TRUE(engine.Open(path));
    EXPECT_FALSE(engine.AudioOnly());
    EXPECT_EQ(engine.State(), PlayState::Stopped);
    EXPECT_EQ(engine.PictureWidth(), 64);
    EXPECT_TRUE(ShowsRed(engine));  // the first picture shows before playing
    EXPECT_EQ(audio.format.sampleRate, 8000);
    EXPECT_EQ(audio.format.channels, 1);

    engine.Pause();  // pausing while stopped does nothing
    EXPECT_EQ(engine.State(), PlayState::Stopped);
    ASSERT_TRUE(engine.Play());
    EXPECT_EQ(engine.State(), PlayState::Running);
    EXPECT_FALSE(engine.Advance(0.010));
    engine.Advance(0.5);
    EXPECT_TRUE(ShowsRed(engine));
    EXPECT_GE(audio.frames, size_t(8000 * 0.5));  // sound is handed out ahead of the picture

    engine.Advance(0.7);
    EXPECT_FALSE(ShowsRed(engine));
    engine.Pause();
    EXPECT_EQ(engine.State(), PlayState::Paused);
    EXPECT_EQ(audio.suspends, 1);
    const double at = engine.Position();
    EXPECT_FALSE(engine.Advance(1.0));  // paused: time stands still
    EXPECT_DOUBLE_EQ(engine.Position(), at);
    engine.Play();  // a pause goes on where it was
    EXPECT_EQ(audio.resumes, 1);
    EXPECT_DOUBLE_EQ(engine.Position(), at);

    engine.Stop();
    EXPECT_EQ(engine.State(), PlayState::Stopped);
    EXPECT_DOUBLE_EQ(engine.Position(), 0.0);
    EXPECT_TRUE(ShowsRed(engine));  // back at the start

    engine.Play();
    for (int i = 0; i < 30 && engine.State() == PlayState::Running; ++i) engine.Advance(0.1);
    EXPECT_EQ(engine.State(), PlayState::Stopped);  // played to the end, ready again
    EXPECT_GE(audio.frames, size_t(8000 * 2.0 * 0.99));
    EXPECT_TRUE(ShowsRed(engine));
}

TEST(MoviePlayerEngine, ASoundFilePlaysWithAnEmptyPicture) {
    TempDir dir;
    WriteWav(dir.file("tone.wav"), 16000, 1.0);
    RecordingAudio audio;
    MoviePlayerEngine engine(&audio);
    ASSERT_TRUE(engine.Open(dir.file("tone.wav")));
    EXPECT_TRUE(engine.AudioOnly());
    EXPECT_TRUE(engine.Picture().empty());
    engine.Play();
    for (int i = 0; i < 20 && engine.State() == PlayState::Running; ++i) engine.Advance(0.1);
    EXPECT_EQ(engine.State(), PlayState::Stopped);
    EXPECT_EQ(audio.frames, 16000u);
    EXPECT_TRUE(engine.Picture().empty());
}

TEST(MoviePlayerEngine, AnUnreadableNameIsRefused) {
    TempDir dir;
    MoviePlayerEngine engine;
    EXPECT_FALSE(engine.Open(dir.file("nothing-here.avi")));
    EXPECT_FALSE(engine.HasFile());
    EXPECT_FALSE(engine.Play());
    ASSERT_EQ(engine.Diagnostics().size(), 1u);
    EXPECT_EQ(engine.Diagnostics()[0].rfind("*** Failed(", 0), 0u);
    EXPECT_NE(engine.Diagnostics()[0].find("in RenderFile("), std::string::npos);
    EXPECT_STREQ(MoviePlayerEngine::kInvalidName, "비디오파일명이 올바르지 않습니다.");

    // A file that is there but holds no media is refused the same way.
    FILE* f = std::fopen(dir.file("text.avi").c_str(), "wb");
    std::fputs("plain words", f);
    std::fclose(f);
    EXPECT_FALSE(engine.Open(dir.file("text.avi")));
}
