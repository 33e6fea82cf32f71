#include "view/ToolChoice.h"

#include "document/CBrevDoc.h"
#include "platform/UserPort.h"
#include "view/ToolState.h"
#include "view/ToolTable.h"

namespace quillet {

const char* const kTextLayerMessage = "현재는 [Text:글] 레이어. \n\r레이어창에서 다른 레이어 선택";

namespace {

bool OnTextLayer(const CBrevDoc& doc) {
    const int slot = doc.CurrentLayer();
    return LayerTable::IsValidIndex(slot) && doc.Layers().layer(slot).IsText();
}

int SelectionKindOf(ToolId id) {
    switch (id) {
        case ToolId::CircleSelect:
            return SelectionKind::Circle;
        case ToolId::FreehandSelect:
            return SelectionKind::Freehand;
        case ToolId::MagicWand:
            return SelectionKind::MagicWand;
        case ToolId::PolygonSelect:
            return SelectionKind::Polygon;
        default:
            return SelectionKind::Rectangle;
    }
}

OptionSlider Feather(const ToolState& s) { return {true, "경계퍼짐", s.feather, 0, 30}; }

}  // namespace

bool FrameAllowsTool(const ToolState& s, ToolId id) {
    if (s.pathPanelOpen)
        return id == ToolId::PolygonSelect || id == ToolId::ZoomIn || id == ToolId::ZoomOut ||
               IsPathTool(id);
    if (s.freeTransformPanelOpen) return IsFreeTransformTool(id);
    return true;
}

ToolChoice ChooseTool(ToolState& s, ToolId id, CBrevDoc* doc) {
    if (s.currentTool == id) return ToolChoice::AlreadyCurrent;
    const bool selectionTool = IsSelectionTool(id);
    if (selectionTool && doc && OnTextLayer(*doc)) {
        doc->User().showMessage(kTextLayerMessage, MessageIcon::Warning);
        return ToolChoice::Refused;
    }
    if (!FrameAllowsTool(s, id)) return ToolChoice::Refused;

    if (id == ToolId::FreehandSelect || id == ToolId::MagicWand || id == ToolId::PolygonSelect)
        s.previousTool = s.currentTool;
    s.currentTool = id;
    if (doc) doc->ViewShared().anchors.ResetAll();

    s.slider1 = {};
    s.slider2 = {};
    if (id == ToolId::MagicWand) {
        s.selectionKind = SelectionKind::MagicWand;
        s.slider1 = {true, "포함한계치", 25, 0, 60};
        s.slider2 = Feather(s);
        s.slider2.minimum = s.slider2.maximum = 0;  // only the first slider takes a range
    } else if (selectionTool && id != ToolId::ColourRangePick) {
        s.selectionKind = SelectionKindOf(id);
        s.slider1 = Feather(s);
    } else if (id == ToolId::WaterDrop) {
        s.slider1 = {true, "퍼짐정도", 10, 5, 30};
    } else if (id == ToolId::Fill) {
        s.slider1 = {true, "포함한계치", 10, 0, 60};
        s.slider2 = Feather(s);
        s.slider2.minimum = s.slider2.maximum = 0;
    } else if (IsPathTool(id)) {
        s.selectionKind = SelectionKind::Path;
    }
    return ToolChoice::Chosen;
}

}  // namespace quillet
