#pragma once
// The end of a run's frame chain: captions over the frame, the quarter turn, the writer with
// the sound track beside it, progress and cancelling.
#include <memory>
#include <optional>

#include "movie/Captions.h"
#include "movie/FrameSink.h"
#include "movie/MovieProject.h"
#include "movie/MovieResult.h"
#include "movie/MovieWriter.h"
#include "movie/SoundTrack.h"

namespace quillet {

class MovieOutput : public FrameSink {
public:
    MovieOutput(const MovieProject& project, MovieProgress& progress,
                const TextRasterizer* rasterizer);

    // Decodes the sound track (a sound that cannot be read leaves the movie silent) and opens
    // the writer on `path`.
    MovieResult Open(const std::string& path);
    bool Put(const Frame24& frame) override;
    MovieResult Finish();

    // Why Put() refused a frame.
    const MovieResult& Error() const { return error_; }
    int64_t Frames() const { return frames_; }
    bool HasSound() const { return !sound_.Empty(); }
    // The frames the run expects to write, for the progress bar.
    void SetExpectedFrames(int64_t frames) { expected_ = frames; }

private:
    const MovieProject& project_;
    MovieProgress& progress_;
    std::optional<CaptionOverlay> captions_;
    SoundTrack sound_;
    MovieWriter writer_;
    MovieResult error_;
    Frame24 captioned_, turned_;
    int64_t frames_ = 0;
    int64_t expected_ = 0;
    int lastPercent_ = -1;
};

}  // namespace quillet
