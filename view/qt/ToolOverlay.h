#pragma once
// Tool feedback drawn over the view's picture: the path's edges and guide-point markers, and the
// gradient's guide line while it is dragged.
class QPainter;

namespace quillet {

class ViewState;
struct ViewSettings;

// The path's edges and markers and the gradient's guide line, over the view.
void DrawToolOverlay(QPainter& painter, ViewState& state, const ViewSettings& settings);

}  // namespace quillet
