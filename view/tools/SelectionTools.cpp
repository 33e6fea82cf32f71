#include "view/tools/SelectionTools.h"

#include <algorithm>

#include "document/CBrevDoc.h"
#include "view/LayerGrowth.h"
#include "view/ToolState.h"
#include "view/tools/OutlineFill.h"
#include "view/tools/RectangleSelection.h"

namespace quillet {

namespace {

// Current-layer coordinates of a zoomed point; the selection tools clip, they never grow the
// layer.
LayerPoint At(const CBrevDoc& doc, ViewPoint zoomed) {
    const int slot = doc.CurrentLayer();
    if (!doc.Layers().InList(slot)) return {};
    return ToLayer(doc.Layers().layer(slot), CanvasOf(zoomed, doc.Zoom()));
}
LayerPoint At(const CBrevDoc& doc, const AnchorPoint& p) { return At(doc, ViewPoint{p.x, p.y}); }

bool SamePoint(const AnchorPoint& a, ViewPoint b) { return a.x == b.x && a.y == b.y; }

// The outline tools start on a mask of the current layer's size.
bool Ready(CBrevDoc& doc) { return !doc.Busy() && AlignSelectionMask(doc); }

}  // namespace

// --- Rectangle --------------------------------------------------------------------------------

void RectangleSelectTool::down(ToolEvent& e) {
    DocViewState& v = e.doc.ViewShared();
    v.anchors.drag = {e.zoomed.x, e.zoomed.y};
    v.anchors.farCorner = {e.zoomed.x, e.zoomed.y};
}

void RectangleSelectTool::drag(ToolEvent& e) {
    DocViewState& v = e.doc.ViewShared();
    v.anchors.farCorner = {e.zoomed.x, e.zoomed.y};
    if (!v.anchors.drag.IsSet() || SamePoint(v.anchors.drag, e.zoomed) || !Ready(e.doc)) return;
    const LayerPoint a = At(e.doc, v.anchors.drag), b = At(e.doc, e.zoomed);
    const int left = std::min(a.x, b.x), right = std::max(a.x, b.x);
    const int top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
    // The rubber band: outline values on the four edges over an all-selected mask.
    FillSelectionMask(e.doc, MaskValue::Selected);
    SelectionMask& m = e.doc.Layers().mask;
    DrawOutlineLine(m, left, top, right, top);
    DrawOutlineLine(m, left, bottom, right, bottom);
    DrawOutlineLine(m, left, top, left, bottom);
    DrawOutlineLine(m, right, top, right, bottom);
}

void RectangleSelectTool::up(ToolEvent& e) {
    DocViewState& v = e.doc.ViewShared();
    if (!v.anchors.drag.IsSet() || e.doc.Busy()) return;
    const LayerPoint a = At(e.doc, v.anchors.drag), b = At(e.doc, e.zoomed);
    SelectRectangle(e.doc, a.x, a.y, b.x, b.y);
}

// --- Circle -----------------------------------------------------------------------------------

void CircleSelectTool::down(ToolEvent& e) {
    drawn_ = false;
    e.doc.ViewShared().anchors.drag = {e.zoomed.x, e.zoomed.y};
}

void CircleSelectTool::drag(ToolEvent& e) {
    const AnchorPoint& centre = e.doc.ViewShared().anchors.drag;
    if (!centre.IsSet() || e.doc.Busy()) return;
    const LayerPoint c = At(e.doc, centre), p = At(e.doc, e.zoomed);
    if (DrawCircleOutline(e.doc, c.x, c.y, p.x, p.y)) drawn_ = true;
}

void CircleSelectTool::up(ToolEvent& e) {
    if (!drawn_) return;
    drawn_ = false;
    ShowSelection(e.doc, false);
}

// --- Freehand ---------------------------------------------------------------------------------

void FreehandSelectTool::down(ToolEvent& e) {
    if (!Ready(e.doc)) return;
    DocViewState& v = e.doc.ViewShared();
    v.anchors.drag = {e.zoomed.x, e.zoomed.y};
    v.anchors.freehandLast = {e.zoomed.x, e.zoomed.y};
}

void FreehandSelectTool::drag(ToolEvent& e) {
    DocViewState& v = e.doc.ViewShared();
    if (!v.anchors.freehandLast.IsSet() || !Ready(e.doc)) return;
    const LayerPoint a = At(e.doc, v.anchors.freehandLast), b = At(e.doc, e.zoomed);
    DrawOutlineLine(e.doc.Layers().mask, a.x, a.y, b.x, b.y);
    TouchSelection(e.doc);
    v.anchors.freehandLast = {e.zoomed.x, e.zoomed.y};
}

void FreehandSelectTool::up(ToolEvent& e) {
    DocViewState& v = e.doc.ViewShared();
    if (!v.anchors.freehandLast.IsSet() || !v.anchors.drag.IsSet() || !Ready(e.doc)) return;
    const LayerPoint a = At(e.doc, v.anchors.freehandLast), b = At(e.doc, v.anchors.drag);
    DrawOutlineLine(e.doc.Layers().mask, a.x, a.y, b.x, b.y);
    v.anchors.freehandLast.Reset();
    ShowSelection(e.doc, false);
}

// --- Polygon ----------------------------------------------------------------------------------

void PolygonSelectTool::down(ToolEvent& e) {
    DocViewState& v = e.doc.ViewShared();
    if (v.polygonGuard) {
        v.polygonGuard = false;
        return;
    }
    if (!Ready(e.doc)) return;
    if (v.polygonVertices == 0 || !v.anchors.drag.IsSet()) {
        v.anchors.polygonStart = {e.zoomed.x, e.zoomed.y};
        v.anchors.drag = {e.zoomed.x, e.zoomed.y};
        v.polygonVertices = 1;
        return;
    }
    const LayerPoint a = At(e.doc, v.anchors.drag), b = At(e.doc, e.zoomed);
    DrawOutlineLine(e.doc.Layers().mask, a.x, a.y, b.x, b.y);
    TouchSelection(e.doc);
    v.anchors.drag = {e.zoomed.x, e.zoomed.y};
    ++v.polygonVertices;
}

void PolygonSelectTool::doubleClick(ToolEvent& e) {
    DocViewState& v = e.doc.ViewShared();
    if (v.polygonVertices == 0 || !v.anchors.polygonStart.IsSet() || !Ready(e.doc)) return;
    const LayerPoint a = At(e.doc, e.zoomed), b = At(e.doc, v.anchors.polygonStart);
    DrawOutlineLine(e.doc.Layers().mask, a.x, a.y, b.x, b.y);
    ShowSelection(e.doc, false);
}

// --- Magic wand and colour range --------------------------------------------------------------

void MagicWandTool::down(ToolEvent& e) {
    if (e.doc.Busy()) return;
    const LayerPoint p = At(e.doc, e.zoomed);
    const int tolerance = e.tools.slider1.enabled ? e.tools.slider1.value : kWandDefaultTolerance;
    MagicWandAt(e.doc, p.x, p.y, tolerance, e.doc.ViewShared().addToSelection);
}

void ColourRangeTool::down(ToolEvent& e) {
    if (e.doc.Busy()) return;
    const LayerPoint p = At(e.doc, e.zoomed);
    const std::optional<ColourRangePick> pick =
        SelectColourRangeAt(e.doc, p.x, p.y, tolerance, add);
    if (pick && picked) picked(e.doc, *pick);
}

void SelectionTools::registerIn(ToolRegistry& r) {
    r.add(ToolId::RectSelect, rectangle);
    r.add(ToolId::CircleSelect, circle);
    r.add(ToolId::FreehandSelect, freehand);
    r.add(ToolId::PolygonSelect, polygon);
    r.add(ToolId::MagicWand, wand);
    r.add(ToolId::ColourRangePick, colourRange);
}

}  // namespace quillet
