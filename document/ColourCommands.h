#pragma once
// The colour adjustments of the image menu as document commands, and the live preview their
// dialogs run. Every route (menu, dialog OK, quillet-cli apply) calls the same command, which
// records the same journal step.
#include <string_view>
#include <variant>

#include "document/EditCycle.h"
#include "image/effects/Levels.h"
#include "image/effects/Tone.h"

namespace quillet {

class CBrevDoc;

struct BrightnessContrastValues {
    int brightness = 0;  // −255..255
    int contrast = 0;    // −255..255
};
struct ChannelValues {
    int red = 0, green = 0, blue = 0;  // −255..255
};
struct SaturationValue {
    int value = 0;  // −255..255
};
struct ThresholdValues {
    ThresholdMode mode = ThresholdMode::FloydSteinberg;
    int value = 128;  // 0..255: threshold, or density for ordered dithering
};

using ColourAdjustment = std::variant<BrightnessContrastValues, ChannelValues, SaturationValue,
                                      LevelsRequest, ThresholdValues>;

// Undo labels.
inline constexpr std::u16string_view kLabelBrightnessContrast = u"명도·대비 조절";
inline constexpr std::u16string_view kLabelColourAdjust = u"색상조정";
inline constexpr std::u16string_view kLabelAutoColour = u"자동 색상 조정";
inline constexpr std::u16string_view kLabelNormalise = u"컬러 정규화";
inline constexpr std::u16string_view kLabelInvert = u"반전변환";
inline constexpr std::u16string_view kLabelGreyscale = u"그레이스케일 변환";
inline constexpr std::u16string_view kLabelDesaturate = u"레이어 채도 감소";
inline constexpr std::u16string_view kLabelThreshold = u"임계치변환";
inline constexpr std::u16string_view kLabelReduce256 = u"8비트칼라 최적변환";

std::u16string_view LabelOf(const ColourAdjustment& adjustment);
// Whether the adjustment works on every layer (the threshold) or on the current one.
bool CoversEveryLayer(const ColourAdjustment& adjustment);

// The command: brightness/contrast, channels, saturation and levels change the current layer
// (the palette of an indexed picture) and refuse text layers; the threshold changes every
// raster layer in layer order. Values of 0 for brightness and contrast change nothing.
EditOutcome ApplyColourAdjustment(CBrevDoc& doc, const ColourAdjustment& adjustment,
                                  Progress* progress = nullptr);

// Dialog preview. Begin copies what the adjustment may change into the preview table (false
// when the document cannot be edited now); Show restores it and applies `adjustment` in one
// pass; Cancel restores it; Commit restores it and runs the command, recording one step.
bool BeginAdjustmentPreview(CBrevDoc& doc, bool everyLayer);
// `kept`: the histogram of the copy, when the caller has it (the levels then need one pass).
void ShowAdjustmentPreview(CBrevDoc& doc, const ColourAdjustment& adjustment,
                           const Histogram* kept = nullptr);
void CancelAdjustmentPreview(CBrevDoc& doc);
EditOutcome CommitAdjustmentPreview(CBrevDoc& doc, const ColourAdjustment& adjustment);
// The current layer's histogram as the pixel distribution dialog shows it.
Histogram CurrentLayerHistogram(CBrevDoc& doc);

// Commands without a dialog.
EditOutcome AutoColour(CBrevDoc& doc);       // levels, automatic
EditOutcome NormaliseColour(CBrevDoc& doc);  // levels, normalising
EditOutcome InvertLayer(CBrevDoc& doc);
EditOutcome DesaturateLayer(CBrevDoc& doc);    // a text layer's colour, or every pixel
EditOutcome GreyscaleDocument(CBrevDoc& doc);  // desaturation of every layer
// The 8-bit optimal conversion: one octree palette of 256 colours for every layer's pixels;
// every raster layer becomes 8-bit indexed. Nothing happens at 8 bits or less.
EditOutcome ReduceTo256Colours(CBrevDoc& doc);
// The conversion to 24-bit colour of a picture below 24 bits.
EditOutcome ConvertToRgb24(CBrevDoc& doc);

}  // namespace quillet
