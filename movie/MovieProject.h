#pragma once
// Everything a movie is made of, as the movie maker's controls or quillet-cli set it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "movie/MovieTypes.h"
#include "movie/ShowPictures.h"
#include "platform/TextRasterizer.h"

namespace quillet {

enum class WorkMode { ImageShow, OneClip, TwoClips };

// One line of the frame list: the picture and how the show reaches it and holds it.
struct ShowPicture {
    std::string path;
    JoinKind join = JoinKind::Fade;  // from the previous picture (the first line has none)
    PanDirection pan = PanDirection::None;
};

struct ClipInput {
    std::string path;
    int startPercent = 0;  // the part used, in percent of the clip's length
    int endPercent = 100;
    int brightness = 0;      // −100 (darker) .. 100 (brighter), added to every byte
    int speedPosition = 10;  // the speed slider, 1 .. 40; 10 plays at its own speed
    double Speed() const { return speedPosition / 10.0; }
};

struct Caption {
    std::u16string text;
    CaptionMotion motion = CaptionMotion::Still;
    double startSeconds = 0.0;  // "캡션삽입지점"
    int heightPercent = 80;     // top of the caption, in percent of the frame height
    double seconds = 5.0;       // "지속시간(초)"
};

struct MovieProject {
    WorkMode mode = WorkMode::ImageShow;
    std::vector<ShowPicture> pictures;
    int holdFrames = 100;      // frames each picture is held (duration slider × 4)
    int transitionSpeed = 10;  // (slider maximum − position) × 0.2, truncated

    std::array<ClipInput, 2> clips;
    int clipAreaPercent = 100;  // height of the inserted video in percent of the room for it

    int bandHeight = 50;
    BlankBand blankBand;

    std::string soundPath;
    int soundOffsetPercent = 0;  // the sound starts this far into its file

    std::vector<Caption> captions;
    FontSpec captionFont;
    uint32_t captionColour = 0x000000;  // 0x00RRGGBB

    int width = 320;
    int height = 240;
    bool rotate = false;  // "90도 회전 동영상 출력": turned a quarter clockwise
    std::string encoder = "mpeg4";

    std::string outputPath;
    std::string workFolder;  // this program's own folder for working files
};

// Where a run reports. Called on the thread that runs the movie.
class MovieProgress {
public:
    virtual ~MovieProgress() = default;
    virtual void Status(const std::string& text) { (void)text; }
    virtual void Log(const std::string& text) { (void)text; }
    virtual void Progress(int percent) { (void)percent; }  // 0..100
    virtual bool Cancelled() const { return false; }
};

}  // namespace quillet
