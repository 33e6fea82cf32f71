#pragma once
// The gradient tool: a colour ramp over the selected part of the current layer, laid out along
// a guide line the user drags.
#include <cstdint>

#include "image/effects/LayerPixels.h"
#include "view/ToolOperation.h"

namespace quillet {

class CBrevDoc;
struct FrameSettings;
enum class EditOutcome;

inline constexpr char16_t kGradientLabel[] = u"그라디언트";
inline constexpr const char* kGradientNeedsDrag = "클릭이 아닌 드래깅으로 기준선을 먼저 잡으세요";

// "선형변화" runs one way; "정규변화" mirrors around the middle.
enum class GradientShape : int { Linear = 1, Mirrored = 2 };
// "전경" ramps the foreground to black; "전경+배경" the foreground to the background.
enum class GradientColours : int { Foreground = 1, ForegroundBackground = 2 };

struct GradientOptions {
    GradientShape shape = GradientShape::Linear;
    GradientColours colours = GradientColours::Foreground;
    uint32_t foreground = 0;  // 0x00RRGGBB
    uint32_t background = 0xFFFFFF;
};

// From (x1, y1) to (x2, y2) in layer coordinates, rows counted from the layer's top.
struct GuideLine {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    bool operator==(const GuideLine&) const = default;
};

// Paints the ramp into every selected pixel of `to` (opaque afterwards). A vertical guide line
// ramps the foreground to black over the rows, a horizontal one over the columns, both without
// the shape and colour options; any other runs along lines of equal colour perpendicular to it,
// the ramp spanning the columns of the selection. False when no pixel is selected.
bool GradientPixels(const LayerPixels& to, const GuideLine& guide, const GradientOptions& options);

// The gradient command on the current layer: a text layer is refused with the document's
// message, a guide line of no length with kGradientNeedsDrag; otherwise one journal step
// "그라디언트".
EditOutcome ApplyGradient(CBrevDoc& doc, const GuideLine& guide, const GradientOptions& options);

// The panel's choices, held by the main frame.
struct GradientChoice {
    GradientShape shape = GradientShape::Linear;
    GradientColours colours = GradientColours::Foreground;
};

// Button down sets the anchor; a drag moves the guide line's end (the view draws it); button
// up applies the gradient along anchor → release point.
class GradientTool : public ToolOperation {
public:
    GradientTool(const FrameSettings& settings, const GradientChoice& choice)
        : settings_(settings), choice_(choice) {}
    void down(ToolEvent& event) override;
    void drag(ToolEvent& event) override;
    void up(ToolEvent& event) override;

private:
    const FrameSettings& settings_;
    const GradientChoice& choice_;
};

}  // namespace quillet
