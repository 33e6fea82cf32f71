// Colour adjustments for quillet-cli apply.
#include "cli/apply/ApplyOperation.h"
#include "document/ColourCommands.h"

namespace quillet::cli {

namespace {

constexpr ApplyParameter kBrightnessContrast[] = {{"brightness", -255, 255, 0},
                                                  {"contrast", -255, 255, 0}};
constexpr ApplyParameter kChannels[] = {
    {"red", -255, 255, 0}, {"green", -255, 255, 0}, {"blue", -255, 255, 0}};
constexpr ApplyParameter kSaturation[] = {{"value", -255, 255, 0}};
constexpr ApplyParameter kLevels[] = {
    {"channel", 0, 3, 0, {}, "0 luminance (all colours), 1 red, 2 green, 3 blue"},
    {"black", 0, 255, 0},
    {"white", 0, 255, 255}};
constexpr std::string_view kThresholdModes[] = {"fs", "ordered", "absolute"};
constexpr ApplyParameter kThreshold[] = {
    {"mode", 0, 2, 0, kThresholdModes},
    {"value", 0, 255, 128, {}, "threshold, or density for ordered dithering"}};

std::string BlackBelowWhite(const ApplyValues& v) {
    return v["black"] < v["white"] ? std::string() : "black must be below white";
}

constexpr ApplyOperation kOperations[] = {
    {"brightness-contrast", "명도·대비: brightness and contrast of the layer", kBrightnessContrast,
     [](CBrevDoc& d, const ApplyValues& v) {
         return ApplyColourAdjustment(
             d, BrightnessContrastValues{v.Int("brightness"), v.Int("contrast")});
     }},
    {"colour-channels", "색상조정: add to the red, green and blue of the layer", kChannels,
     [](CBrevDoc& d, const ApplyValues& v) {
         return ApplyColourAdjustment(d,
                                      ChannelValues{v.Int("red"), v.Int("green"), v.Int("blue")});
     }},
    {"saturation", "색상조정 (채도): saturation through YUV", kSaturation,
     [](CBrevDoc& d, const ApplyValues& v) {
         return ApplyColourAdjustment(d, SaturationValue{v.Int("value")});
     }},
    {"levels", "픽셀분포조정: black and white points of a channel", kLevels,
     [](CBrevDoc& d, const ApplyValues& v) {
         LevelsRequest r;
         r.channel = HistogramChannel(v.Int("channel"));
         r.black = v.Int("black");
         r.white = v.Int("white");
         return ApplyColourAdjustment(d, r);
     },
     BlackBelowWhite},
    {"auto-colour",
     "자동색상조정: levels from the histogram's 1 % ends",
     {},
     [](CBrevDoc& d, const ApplyValues&) { return AutoColour(d); }},
    {"normalise",
     "컬러 정규화: levels through the cumulative histogram",
     {},
     [](CBrevDoc& d, const ApplyValues&) { return NormaliseColour(d); }},
    {"invert",
     "반전변환: complement the layer's colours",
     {},
     [](CBrevDoc& d, const ApplyValues&) { return InvertLayer(d); }},
    {"greyscale",
     "그레이스케일 표현: every layer grey",
     {},
     [](CBrevDoc& d, const ApplyValues&) { return GreyscaleDocument(d); }},
    {"desaturate-layer",
     "레이어 채도 감소: the layer grey",
     {},
     [](CBrevDoc& d, const ApplyValues&) { return DesaturateLayer(d); }},
    {"threshold", "이진영상 으로: every layer black and white", kThreshold,
     [](CBrevDoc& d, const ApplyValues& v) {
         return ApplyColourAdjustment(
             d, ThresholdValues{ThresholdMode(v.Int("mode")), v.Int("value")});
     }},
    {"reduce-256",
     "8비트칼라 최적변환: 256 colours by octree, every layer indexed",
     {},
     [](CBrevDoc& d, const ApplyValues&) { return ReduceTo256Colours(d); }},
    {"rgb24",
     "RGB 컬러영상으로 변환: an indexed picture back to 24 bits",
     {},
     [](CBrevDoc& d, const ApplyValues&) { return ConvertToRgb24(d); }},
};

}  // namespace

std::span<const ApplyOperation> AdjustOperations() { return kOperations; }

}  // namespace quillet::cli
