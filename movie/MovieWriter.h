#pragma once
// Writes an AVI movie: MPEG-4 Part 2 video tagged "XVID" at 30000/1001 frames per second, every
// frame a key frame, and optionally the sound track as 16-bit PCM interleaved with it. A movie
// that is not finished is removed when the writer goes.
#include <cstdint>
#include <memory>
#include <string>

#include "movie/Frame24.h"
#include "movie/MovieResult.h"

namespace quillet {

struct SoundTrack;

struct MovieWriterOptions {
    int width = 320;
    int height = 240;
    std::string encoder = "mpeg4";      // an FFmpeg MPEG-4 encoder by name
    int quantiser = 3;                  // 1 (best) .. 31
    const SoundTrack* sound = nullptr;  // kept by the caller until finish()
};

class MovieWriter {
public:
    MovieWriter();
    ~MovieWriter();
    MovieWriter(const MovieWriter&) = delete;
    MovieWriter& operator=(const MovieWriter&) = delete;

    MovieResult Open(const std::string& path, const MovieWriterOptions& options);
    // The frame must have the size the writer was opened with.
    MovieResult Write(const Frame24& frame);
    // Flushes the encoder, writes the rest of the sound and the file's index.
    MovieResult Finish();
    int64_t FramesWritten() const;

private:
    struct State;
    std::unique_ptr<State> s_;
};

}  // namespace quillet
