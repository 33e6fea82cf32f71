#pragma once
// The movie player's engine: decodes a movie or sound file (FFmpeg) and keeps the play state
// stopped, paused or running. A timer in the shell calls Advance() with the time gone by; the
// engine then has the picture for that moment and has handed the sound up to a little ahead of
// it to the audio output.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillet {

enum class PlayState { Stopped = 0, Paused = 1, Running = 2 };

// 16-bit interleaved samples at the file's own rate, one or two channels.
struct AudioFormat {
    int sampleRate = 0;
    int channels = 0;
};

// Where the sound goes (Qt Multimedia's audio output in the shell, a recorder in tests).
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // A new file's sound begins; what was queued is dropped.
    virtual void Start(const AudioFormat& format) = 0;
    // Takes as many sample frames as it has room for; gives the number taken.
    virtual size_t Write(const int16_t* samples, size_t frames) = 0;
    virtual void Suspend() {}
    virtual void Resume() {}
    // Drops what is queued and goes quiet.
    virtual void Stop() = 0;
};

class MoviePlayerEngine {
public:
    // What the player shows when a name cannot be played.
    static constexpr const char* kInvalidName = "비디오파일명이 올바르지 않습니다.";

    explicit MoviePlayerEngine(AudioOutput* audio = nullptr);
    ~MoviePlayerEngine();
    MoviePlayerEngine(const MoviePlayerEngine&) = delete;
    MoviePlayerEngine& operator=(const MoviePlayerEngine&) = delete;

    // Replaces the file. False (the engine then holds none) when it cannot be played; the
    // reason goes to the diagnostic lines.
    bool Open(const std::string& path);
    void Close();
    bool HasFile() const;
    const std::string& FileName() const { return path_; }
    // The file has sound but no pictures: the picture area stays empty.
    bool AudioOnly() const;

    PlayState State() const { return state_; }
    // Runs from where it is: the start after a stop, the same place after a pause.
    bool Play();
    // Only while running.
    void Pause();
    // Stops and goes back to the start.
    void Stop();
    // Back to the start, stopped, showing the first picture.
    void Rewind();

    // Moves the play position on by `seconds` while running. True when the picture changed.
    // At the end of the file the engine stops and rewinds.
    bool Advance(double seconds);
    double Position() const;
    double Duration() const;

    // The picture to show: blue, green, red, alpha bytes, top row first; empty before the
    // first picture and for sound files.
    const std::vector<uint8_t>& Picture() const;
    int PictureWidth() const;
    int PictureHeight() const;

    // Debug lines in the wording of the player's diagnostics.
    const std::vector<std::string>& Diagnostics() const { return diagnostics_; }

private:
    struct Media;
    std::unique_ptr<Media> m_;
    AudioOutput* audio_;
    std::string path_;
    PlayState state_ = PlayState::Stopped;
    std::vector<std::string> diagnostics_;
};

}  // namespace quillet
