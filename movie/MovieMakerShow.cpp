// The image show: each picture fitted between the bands, joined to the one before and held.
#include <algorithm>
#include <cstdio>

#include "movie/Joins.h"
#include "movie/MovieMaker.h"
#include "movie/MovieOutput.h"

namespace quillet {

namespace {
std::string Printf(const char* format, int a, int b, int c = 0, int d = 0) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}

int64_t ExpectedFrames(const MovieProject& p) {
    int64_t frames = int64_t(p.pictures.size()) * p.holdFrames;
    for (size_t i = 1; i < p.pictures.size(); ++i) {
        const JoinKind j = p.pictures[i].join;
        if (j == JoinKind::Fade)
            frames += FadeFrameCount();
        else if (j == JoinKind::Lines)
            frames += kLineJoinFrames;
        else if (IsPanorama(j))
            frames += 2 * MovingJoinFrames(p.transitionSpeed) + 1 + FadeFrameCount();
        else
            frames += MovingJoinFrames(p.transitionSpeed);
    }
    return frames;
}
}  // namespace

MovieResult MovieMaker::RunImageShow(const std::string& moviePath) {
    progress_.Status(" 영상쇼 변환 시작");
    if (p_.pictures.empty())
        return MovieResult::Fail(MovieError::EmptyList, "the frame list is empty");

    const int W = p_.width, H = p_.height;
    BandLayout bands;
    LoadBand(p_.workFolder, true, W, H, p_.bandHeight, p_.blankBand, bands.top);
    LoadBand(p_.workFolder, false, W, H, p_.bandHeight, p_.blankBand, bands.bottom);
    const FrameRect area = bands.PictureArea(W, H);

    MovieOutput out(p_, progress_, rasterizer_);
    out.SetExpectedFrames(ExpectedFrames(p_));
    if (MovieResult r = out.Open(moviePath); !r.ok()) return r;

    JoinSetting setting{area, p_.transitionSpeed};
    FrameScaler scaler;
    Frame24 canvas = bands.Canvas(W, H);
    const Frame24 empty = canvas;
    bool first = true;
    const int count = int(p_.pictures.size());
    for (int i = 0; i < count; ++i) {
        const ShowPicture& line = p_.pictures[size_t(i)];
        Frame24 picture;
        if (MovieResult r = LoadPicture(line.path, picture); !r.ok()) {
            progress_.Log(r.message);
            continue;
        }
        progress_.Status(
            Printf(" %d ⅹ %d (Top %d Bot %d)", W, H, bands.TopHeight(), bands.BottomHeight()));
        Frame24 next = empty;
        scaler.Scale(picture, next, area);
        bool ok = true;
        if (!first) {
            progress_.Status(" 연결부처리...");
            Frame24 zoomed;
            if (IsPanorama(line.join))
                zoomed = Scaled(picture, std::max(2, area.width * 3 / 2),
                                std::max(2, area.height * 3 / 2));
            ok = WriteJoin(line.join, canvas, next, zoomed.Empty() ? nullptr : &zoomed, setting,
                           scaler, out);
        } else {
            canvas = next;
        }
        first = false;
        if (ok) {
            progress_.Status(Printf(" 전체 %d 이미지 중 %d 번째", count, i + 1));
            progress_.Status(" 주영상삽입");
            ok = WriteHold(canvas, p_.holdFrames, line.pan, setting, scaler, out);
        }
        if (!ok) return out.Error();
    }
    if (out.Frames() == 0)
        return MovieResult::Fail(MovieError::Unreadable, "no picture of the list could be read");
    progress_.Status(" 중간 처리 완료");
    if (MovieResult r = out.Finish(); !r.ok()) return r;
    framesWritten_ = out.Frames();
    soundWritten_ = out.HasSound();
    progress_.Status(" (작업 완료)");
    return MovieResult::Ok();
}

}  // namespace quillet
