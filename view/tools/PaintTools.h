#pragma once
// The painting tools: brush, eraser, line, polyline, circle, dot, spray, water drop, touch
// deform and the colour pick. Each is a ToolOperation on the current layer that reads the main
// frame's foreground colour, brush size and soft flag, writes through one brush stamp and one
// line walker, keeps the snapshot in step and records one journal step per stroke. The same
// objects serve the editor's windows and the command line.
#include <cstdint>
#include <functional>
#include <memory>

#include "view/ToolOperation.h"
#include "view/tools/BrushStamp.h"
#include "view/tools/PaintLayer.h"

namespace quillet {

class CBrevDoc;
struct FrameSettings;

// The touch-deform panel as the tool reads it: closed, the tool warps 160 × 120 with strength 1.
struct TouchDeformSettings {
    static constexpr int kClosedWidth = 160;
    static constexpr int kClosedHeight = 120;
    bool panelOpen = false;
    int mode = 0;  // 0, 1 or 2 (buttons 5353, 5354, 5355); the falloff is on for mode 1
    double strength = 1.0;
    int width = kClosedWidth;  // the panel's size gives the area
    int height = kClosedHeight;
};

class PaintTools {
public:
    explicit PaintTools(FrameSettings& settings);
    ~PaintTools();
    PaintTools(const PaintTools&) = delete;
    PaintTools& operator=(const PaintTools&) = delete;

    // Adds every painting tool to the registry.
    void Register(ToolRegistry& registry);
    ToolOperation& Operation(ToolId id);

    TouchDeformSettings& TouchDeform() { return touch_; }
    // Told after the colour pick made a new foreground colour (0x00BBGGRR).
    void SetColourPicked(std::function<void(uint32_t)> picked) { picked_ = std::move(picked); }

    // Settings as the tools read them: the colour as the layer accessors hold it (0x00RRGGBB).
    uint32_t Colour() const;
    int Size() const;
    bool Soft() const;
    const BrushStamp& Stamp();  // the brush for the current size and flag

    // Speech balloon (4619): the circle tool's outline through the rim (300, H − 200) about the
    // centre (300, H − 150), canvas points with H the canvas height, whatever the zoom; one
    // step labelled as the circle's. False when the current layer is refused.
    bool PutSpeechBalloon(CBrevDoc& doc);

    // Makes `colour` (0x00BBGGRR) the foreground colour and tells the main frame.
    void PickColour(uint32_t bbggrr);

private:
    struct Tools;
    FrameSettings& settings_;
    TouchDeformSettings touch_;
    std::function<void(uint32_t)> picked_;
    BrushStamp stamp_{0, true};
    std::unique_ptr<Tools> tools_;
};

}  // namespace quillet
