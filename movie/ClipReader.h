#pragma once
// Reads the pictures of a video clip (any format FFmpeg reads) at rising times, scaled to the
// size asked for.
#include <memory>
#include <string>

#include "movie/Frame24.h"
#include "movie/MovieResult.h"

namespace quillet {

class ClipReader {
public:
    ClipReader();
    ~ClipReader();
    ClipReader(const ClipReader&) = delete;
    ClipReader& operator=(const ClipReader&) = delete;

    MovieResult Open(const std::string& path);
    double Seconds() const;    // the clip's length
    double FrameRate() const;  // 10.0 when the file gives none
    int Width() const;
    int Height() const;

    // The picture shown at `seconds` (the last one starting at or before it), scaled into
    // `area` of `target`. Times must not fall: reading goes forward only, after one seek to
    // the first time asked for. False when the clip has no picture there.
    bool PictureAt(double seconds, Frame24& target, FrameRect area);

private:
    struct State;
    std::unique_ptr<State> s_;
};

}  // namespace quillet
