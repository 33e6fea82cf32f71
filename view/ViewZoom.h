#pragma once
// Zoom of a document: in, out and 1:1, with the anchor the windows keep in place.
#include "document/DocViewState.h"
#include "view/ToolId.h"

namespace quillet {

class CBrevDoc;
struct ToolState;

constexpr double kMaxZoom = 16.0;
constexpr double kMinZoom = 0.0625;

// Doubling or halving the zoom rescales every set tool anchor point; the windows are updated
// through the document's zoom notification. False when the limit had been reached.
bool ZoomIn(CBrevDoc& doc, AnchorPoint anchor);
bool ZoomOut(CBrevDoc& doc, AnchorPoint anchor);
void ZoomOneToOne(CBrevDoc& doc);

// The zoom-in and zoom-out commands: they choose their zoom tool, except while a freehand
// selection is current or a polygon is being drawn with no selection shown, when they zoom at
// once with no anchor. Nothing while that zoom tool or a free-transform mode is current.
void ZoomCommand(ToolState& tools, CBrevDoc& doc, ToolId zoomTool);

}  // namespace quillet
