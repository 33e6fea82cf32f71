#pragma once
// Tool feedback drawn over the view's picture: the path's edges and guide-point markers, and the
// gradient's guide line while it is dragged.
class QPainter;

namespace quillet {

class ViewState;
struct ViewSettings;

// Whether the current tool shows feedback that follows the pointer.
bool ToolOverlayFollowsPointer(ViewState& state);
void DrawToolOverlay(QPainter& painter, ViewState& state, const ViewSettings& settings);

}  // namespace quillet
