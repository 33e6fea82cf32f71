#include "movie/MovieOutput.h"

#include <algorithm>

namespace quillet {

MovieOutput::MovieOutput(const MovieProject& project, MovieProgress& progress,
                         const TextRasterizer* rasterizer)
    : project_(project), progress_(progress) {
    if (rasterizer && !project.captions.empty())
        captions_.emplace(project.captions, project.captionFont, project.captionColour,
                          *rasterizer);
}

MovieResult MovieOutput::Open(const std::string& path) {
    if (!project_.soundPath.empty()) {
        progress_.Status(" 오디오 준비");
        const MovieResult r = DecodeSound(project_.soundPath, sound_);
        if (r.ok()) {
            sound_.DropStart(project_.soundOffsetPercent);
        } else {
            progress_.Log(r.message);
            sound_ = {};
        }
    }
    MovieWriterOptions options;
    options.width = project_.rotate ? project_.height : project_.width;
    options.height = project_.rotate ? project_.width : project_.height;
    options.encoder = project_.encoder;
    options.sound = sound_.Empty() ? nullptr : &sound_;
    return writer_.Open(path, options);
}

bool MovieOutput::Put(const Frame24& frame) {
    if (progress_.Cancelled()) {
        error_ = MovieResult::Fail(MovieError::Cancelled, ".. 변환 종료함");
        return false;
    }
    const Frame24* out = &frame;
    const double seconds = double(frames_) * kMovieRateDen / kMovieRateNum;
    if (captions_ && captions_->ActiveAt(seconds)) {
        captioned_ = frame;
        captions_->Draw(captioned_, seconds);
        out = &captioned_;
    }
    if (project_.rotate) {
        RotateClockwise(*out, turned_);
        out = &turned_;
    }
    if (MovieResult r = writer_.Write(*out); !r.ok()) {
        error_ = r;
        return false;
    }
    ++frames_;
    if (expected_ > 0) {
        const int percent = int(std::min<int64_t>(100, frames_ * 100 / expected_));
        if (percent != lastPercent_) progress_.Progress(lastPercent_ = percent);
    }
    return true;
}

MovieResult MovieOutput::Finish() {
    MovieResult r = writer_.Finish();
    if (r.ok() && !project_.soundPath.empty())
        progress_.Log(HasSound() ? " 삽입 완료" : " 오디오 없음");
    return r;
}

}  // namespace quillet
