#include "movie/MovieTypes.h"

#include <algorithm>

namespace quillet {

namespace {
constexpr std::array<JoinInfo, kJoinCount> kJoins{{
    {JoinKind::Fade, "앞뒤영상 중첩(F)", "Fade 연결", "F"},
    {JoinKind::Lines, "라인단위 중첩(L)", "선중복 연결", "L"},
    {JoinKind::Zoom, "부풀리기(B)", "줌인 연결", "B"},
    {JoinKind::PanoramaDown, "파노라마(P↓)", "파노라마 연결", "P↓"},
    {JoinKind::PanoramaRight, "파노라마(P→)", "파노라마 연결", "P→"},
    {JoinKind::PanoramaDownLeft, "파노라마(P↙)", "파노라마 연결", "P↙"},
    {JoinKind::PushRight, "밀어내기(→)", "밀어내기", "→"},
    {JoinKind::PushLeft, "밀어내기(←)", "밀어내기", "←"},
    {JoinKind::PushDown, "밀어내기(↓)", "밀어내기", "↓"},
    {JoinKind::PushUp, "밀어내기(↑)", "밀어내기", "↑"},
}};

constexpr std::array<std::string_view, kJoinCount> kJoinNames{
    "fade",          "lines",      "zoom",      "pan-down",  "pan-right",
    "pan-down-left", "push-right", "push-left", "push-down", "push-up"};

}  // namespace

OutputSize OutputSizeForText(std::string_view text) {
    for (const OutputSize& s : kOutputSizes)
        if (s.text == text) return s;
    return kOutputSizes[0];
}

const std::array<JoinInfo, kJoinCount>& Joins() { return kJoins; }

const JoinInfo& InfoOf(JoinKind kind) { return kJoins[size_t(kind)]; }

bool IsPanorama(JoinKind kind) {
    return kind == JoinKind::PanoramaDown || kind == JoinKind::PanoramaRight ||
           kind == JoinKind::PanoramaDownLeft;
}

bool JoinFromName(std::string_view name, JoinKind& kind) {
    for (size_t i = 0; i < kJoinCount; ++i) {
        if (kJoinNames[i] == name || kJoins[i].code == name) {
            kind = kJoins[i].kind;
            return true;
        }
    }
    return false;
}

std::string_view PanText(PanDirection pan) {
    static constexpr std::array<std::string_view, kPanCount> texts{
        "전환패닝없음", "아래쪽으로", "위쪽으로", "왼쪽으로", "오른쪽으로"};
    return texts[size_t(pan)];
}

std::string_view CaptionMotionText(CaptionMotion motion) {
    static constexpr std::array<std::string_view, kCaptionMotionCount> texts{
        "고정", "왼쪽으로", "오른쪽으로", "위쪽으로", "아래쪽으로"};
    return texts[size_t(motion)];
}

}  // namespace quillet
