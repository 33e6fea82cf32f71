#include "view/ViewZoom.h"

#include "document/CBrevDoc.h"
#include "view/ToolChoice.h"
#include "view/ToolState.h"
#include "view/ToolTable.h"

namespace quillet {

namespace {

void Apply(CBrevDoc& doc, double zoom, AnchorPoint anchor) {
    DocViewState& v = doc.ViewShared();
    v.zoomAnchor = anchor;
    v.recomposeNeeded = true;
    doc.SetZoom(zoom);
}

}  // namespace

bool ZoomIn(CBrevDoc& doc, AnchorPoint anchor) {
    if (doc.Zoom() >= kMaxZoom) return false;
    doc.ViewShared().anchors.ForEach([](AnchorPoint& p) {
        if (p.IsSet()) p = {p.x * 2, p.y * 2};
    });
    Apply(doc, doc.Zoom() * 2, anchor);
    return true;
}

bool ZoomOut(CBrevDoc& doc, AnchorPoint anchor) {
    if (doc.Zoom() <= kMinZoom) return false;
    doc.ViewShared().anchors.ForEach([](AnchorPoint& p) {
        if (p.IsSet()) p = {p.x / 2, p.y / 2};
    });
    Apply(doc, doc.Zoom() / 2, anchor);
    return true;
}

void ZoomOneToOne(CBrevDoc& doc) {
    // Anchor points are zoomed coordinates: they follow the factor back to 1 as they follow
    // every doubling and halving.
    const double back = 1.0 / doc.Zoom();
    doc.ViewShared().anchors.ForEach([back](AnchorPoint& p) {
        if (p.IsSet()) p = {int(p.x * back), int(p.y * back)};
    });
    Apply(doc, 1.0, AnchorPoint{});
}

void ZoomCommand(ToolState& tools, CBrevDoc& doc, ToolId zoomTool) {
    if (tools.currentTool == zoomTool || IsFreeTransformTool(tools.currentTool)) return;
    const DocViewState& v = doc.ViewShared();
    const bool drawing =
        tools.currentTool == ToolId::FreehandSelect ||
        (tools.currentTool == ToolId::PolygonSelect && v.polygonVertices > 0 && !v.selectionShown);
    if (drawing) {
        if (zoomTool == ToolId::ZoomIn)
            ZoomIn(doc, AnchorPoint{});
        else
            ZoomOut(doc, AnchorPoint{});
        return;
    }
    ChooseTool(tools, zoomTool, &doc);
}

}  // namespace quillet
