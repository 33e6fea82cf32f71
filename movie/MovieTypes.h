#pragma once
// The fixed tables of the movie maker: output sizes, joins between pictures, pan and caption
// directions.
#include <array>
#include <string>
#include <string_view>

namespace quillet {

// Every movie runs at 30000/1001 frames per second.
constexpr int kMovieRateNum = 30000;
constexpr int kMovieRateDen = 1001;

struct OutputSize {
    std::string_view text;  // as the size list shows it
    int width;
    int height;
};

inline constexpr std::array<OutputSize, 5> kOutputSizes{{
    {"320 * 240", 320, 240},
    {"240 * 320", 240, 320},
    {"384 * 680", 384, 680},
    {"768 * 1366", 768, 1366},
    {"1366 * 768", 1366, 768},
}};

// The size for a list text; any other text gives 320 x 240.
OutputSize OutputSizeForText(std::string_view text);

// Joins from one picture to the next, in the order of the list "이미지연결방식".
enum class JoinKind {
    Fade,
    Lines,
    Zoom,
    PanoramaDown,
    PanoramaRight,
    PanoramaDownLeft,
    PushRight,
    PushLeft,
    PushDown,
    PushUp,
};
inline constexpr int kJoinCount = 10;

struct JoinInfo {
    JoinKind kind;
    std::string_view choice;     // the list label
    std::string_view shownName;  // what the frame list shows
    std::string_view code;       // short code: "F", "L", "B", "P↓", ...
};

const JoinInfo& InfoOf(JoinKind kind);
const std::array<JoinInfo, kJoinCount>& Joins();
bool IsPanorama(JoinKind kind);
// The join whose code or English name (fade, lines, zoom, pan-down, ...) is `name`.
bool JoinFromName(std::string_view name, JoinKind& kind);

// Panning of a picture while it is held.
enum class PanDirection { None, Down, Up, Left, Right };
inline constexpr int kPanCount = 5;
std::string_view PanText(PanDirection pan);  // "전환패닝없음", "아래쪽으로", ...

// How a caption moves while it is shown.
enum class CaptionMotion { Still, Left, Right, Up, Down };
inline constexpr int kCaptionMotionCount = 5;
std::string_view CaptionMotionText(CaptionMotion motion);

}  // namespace quillet
