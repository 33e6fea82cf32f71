#pragma once
// The movie maker's runs without a window: the image show (pictures joined by transitions) or
// the video conversion (one or two clips between the bands), captions drawn over the frames,
// the sound track beside them, written to "tMid.avi" in the working folder and then moved to
// the output name. Every step reports through MovieProgress; a cancelled or failed run leaves
// no movie behind.
#include <string>

#include "movie/MovieProject.h"
#include "movie/MovieResult.h"

namespace quillet {

class TextRasterizer;

inline constexpr const char* kMidMovieName = "tMid.avi";

class MovieMaker {
public:
    // `rasterizer` draws the captions; without one they are left out.
    MovieMaker(MovieProject project, MovieProgress& progress,
               const TextRasterizer* rasterizer = nullptr);

    // The whole run: the show or the conversion, then the movie takes the output name.
    MovieResult Run();

    // The parts, for callers that want them alone (the movie is left at `moviePath`).
    MovieResult RunImageShow(const std::string& moviePath);
    MovieResult RunVideoConversion(const std::string& moviePath);

    // Frames written by the last run.
    int64_t FramesWritten() const { return framesWritten_; }
    // The sound that went into the movie: the track was readable and is in the file.
    bool SoundWritten() const { return soundWritten_; }

private:
    class Output;
    std::string WorkPath(const std::string& name) const;

    MovieProject p_;
    MovieProgress& progress_;
    const TextRasterizer* rasterizer_;
    int64_t framesWritten_ = 0;
    bool soundWritten_ = false;
};

// Moves a finished movie to its name: a rename, or a copy within the target's folder renamed
// over it when the two folders lie on different file systems.
MovieResult MoveMovie(const std::string& from, const std::string& to);

}  // namespace quillet
