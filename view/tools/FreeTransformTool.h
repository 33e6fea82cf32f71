#pragma once
// Free transform (scale, distort, perspective) and free rotate of the current layer with four
// corner handles. The document keeps the handles and the layer as it was; these functions are
// the commands, the mouse steps and the panel's buttons, the same with or without a window.
#include "document/FreeTransformState.h"
#include "view/ToolId.h"
#include "view/ToolOperation.h"

namespace quillet {

class CBrevDoc;
struct ToolState;

// Shown when a transform is applied at a zoom other than 1:1.
extern const char* const kTransformZoomMessage;

TransformMode TransformModeOf(ToolId tool);

// Commands 4250, 4251, 4252: nothing when the mode is current already or the tool switch is
// refused. The zoom goes to 1:1, the layer is put aside, the handles take the corners of its
// content, the selection goes and the outline is drawn; the panel is then open.
bool EnterFreeTransform(CBrevDoc& doc, ToolState& tools, ToolId mode);
// Command 1415: the handles take the layer's own corners; the rotate panel is then open.
bool EnterFreeRotate(CBrevDoc& doc, ToolState& tools);

// The handle nearest to the canvas point; among equal distances the lowest index.
int NearestHandle(const CornerHandles& handles, int x, int y);

// Mouse steps in canvas pixels. A drag step moves the handles by the mode's rule and previews
// the warp at the resolution the document's windows show; button up applies it to the whole
// layer (no journal step).
void GrabHandle(CBrevDoc& doc, int x, int y);
void DragHandle(CBrevDoc& doc, int x, int y);
void ReleaseHandle(CBrevDoc& doc, int x, int y);

// The layer warped from the one put aside onto the handles, with no journal step. At a zoom
// other than 1:1 the user is told, the zoom is reset and the layer stays as it was put aside;
// false then, and when the handles make a flat quadrilateral.
bool ApplyTransformPreview(CBrevDoc& doc);

// The rotate panel's angle: outside −359 … 359 ignored (false), negative angles taken + 360;
// the handles turn about the layer's centre and, with `preview`, the layer with them.
bool SetFreeRotateAngle(CBrevDoc& doc, double degrees, bool preview);

// The panel's OK: the final warp, recorded as one journal step ("자유변환", "자유변환(원근)"
// or "자유회전"); the panel closes and no tool is current.
bool CommitFreeTransform(CBrevDoc& doc, ToolState& tools);
// The panel's Cancel: the layer as it was when the panel opened.
void CancelFreeTransform(CBrevDoc& doc, ToolState& tools);

// The mouse handlers of the three modes.
class FreeTransformTool : public ToolOperation {
public:
    void down(ToolEvent& e) override;
    void drag(ToolEvent& e) override;
    void up(ToolEvent& e) override;
};

}  // namespace quillet
