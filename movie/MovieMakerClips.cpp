// The video conversion: one or two clips, one after the other, between the bands.
#include <algorithm>
#include <array>
#include <cstdio>

#include "movie/ClipReader.h"
#include "movie/MovieMaker.h"
#include "movie/MovieOutput.h"

namespace quillet {

namespace {
constexpr double kFrameSpacing = 0.0334;  // seconds between output frames

template <typename... Args>
std::string Format(const char* format, Args... args) {
    char text[160];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

void Brighten(Frame24& frame, FrameRect area, int delta) {
    if (delta == 0) return;
    std::array<uint8_t, 256> table;
    for (int v = 0; v < 256; ++v) table[size_t(v)] = uint8_t(std::clamp(v + delta, 0, 255));
    for (int r = 0; r < area.height; ++r) {
        uint8_t* p = frame.TopRow(area.y + r) + size_t(area.x) * 3;
        for (int i = 0; i < area.width * 3; ++i) p[i] = table[p[i]];
    }
}

struct ClipPlan {
    ClipReader reader;
    double from = 0.0, to = 0.0, speed = 1.0;
    int brightness = 0;
    bool open = false;
};
}  // namespace

MovieResult MovieMaker::RunVideoConversion(const std::string& moviePath) {
    progress_.Status(" 동영상 형식 변환");
    const int W = p_.width, H = p_.height;
    BandLayout bands;
    LoadBand(p_.workFolder, true, W, H, p_.bandHeight, p_.blankBand, bands.top);
    LoadBand(p_.workFolder, false, W, H, p_.bandHeight, p_.blankBand, bands.bottom);
    const FrameRect room = bands.PictureArea(W, H);
    const int videoHeight =
        std::max(2, int(int64_t(room.height) * std::clamp(p_.clipAreaPercent, 1, 100) / 100));
    const FrameRect area{0, room.y + (room.height - videoHeight) / 2, W,
                         std::min(videoHeight, room.height)};

    const int clipCount = p_.mode == WorkMode::TwoClips ? 2 : 1;
    std::array<ClipPlan, 2> plans;
    int64_t expected = 0;
    for (int c = 0; c < clipCount; ++c) {
        const ClipInput& in = p_.clips[size_t(c)];
        ClipPlan& plan = plans[size_t(c)];
        progress_.Status(Format(" 동영상 %d (mjpeg->mpg)", c + 1));
        const MovieResult r = in.path.empty()
                                  ? MovieResult::Fail(MovieError::Unreadable, "no clip chosen")
                                  : plan.reader.Open(in.path);
        plan.open = r.ok();
        progress_.Log(plan.open ? " 형식 변환..OK" : " 형식 변환..없음");
        if (!plan.open) {
            progress_.Log(r.message);
            continue;
        }
        const double length = plan.reader.Seconds();
        plan.from = length * std::clamp(in.startPercent, 0, 100) / 100.0;
        plan.to = length * std::clamp(in.endPercent, 0, 100) / 100.0;
        plan.speed = std::max(0.05, in.Speed());
        plan.brightness = std::clamp(in.brightness, -255, 255);
        expected += int64_t((plan.to - plan.from) / plan.speed / kFrameSpacing) + 1;
    }
    if (std::none_of(plans.begin(), plans.end(), [](const ClipPlan& p) { return p.open; }))
        return MovieResult::Fail(MovieError::Unreadable, ".. 변환 실패 : 관련 코덱 오류 등");

    progress_.Status(" 작업준비완료...");
    progress_.Log(Format(" Frame size %d ⅹ %d ", W, H));
    for (int c = 0; c < clipCount; ++c) {
        const ClipPlan& plan = plans[size_t(c)];
        if (!plan.open) continue;
        progress_.Log(Format(" Frame Rate %.2f (%.2f)", plan.reader.FrameRate(),
                             double(kMovieRateNum) / kMovieRateDen));
        progress_.Log(Format(" Movie %d Time %.2f ~ %.2f ", c + 1, plan.from, plan.to));
        progress_.Log(Format(" Movie %d Speed %.2f(%d) ", c + 1, plan.speed,
                             p_.clips[size_t(c)].speedPosition));
    }
    progress_.Log(Format(" 삽입비디오높이 %d ", area.height));

    MovieOutput out(p_, progress_, rasterizer_);
    out.SetExpectedFrames(expected);
    if (MovieResult r = out.Open(moviePath); !r.ok()) return r;
    const Frame24 empty = bands.Canvas(W, H);
    Frame24 canvas = empty;
    const double total = double(expected) * kFrameSpacing;
    for (ClipPlan& plan : plans) {
        if (!plan.open) continue;
        for (int64_t k = 0;; ++k) {
            const double at = plan.from + double(k) * kFrameSpacing * plan.speed;
            if (at > plan.to) break;
            std::copy(empty.bytes.begin(), empty.bytes.end(), canvas.bytes.begin());
            if (!plan.reader.PictureAt(at, canvas, area)) {
                progress_.Log("프레임 추출 오류");
                break;
            }
            Brighten(canvas, area, plan.brightness);
            if (!out.Put(canvas)) return out.Error();
            if (k % 30 == 0)
                progress_.Status(
                    Format("진행상황 %.2f | %.2f", double(out.Frames()) * kFrameSpacing, total));
        }
    }
    if (out.Frames() == 0) return MovieResult::Fail(MovieError::Unreadable, "프레임 추출 오류");
    progress_.Status(" 오디오 준비");
    if (MovieResult r = out.Finish(); !r.ok()) return r;
    framesWritten_ = out.Frames();
    soundWritten_ = out.HasSound();
    progress_.Status(" 동영상 형식 변환 완료");
    return MovieResult::Ok();
}

}  // namespace quillet
