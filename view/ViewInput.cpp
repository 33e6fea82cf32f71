// Mouse, keys, focus and the outline timer of a document window: what reaches the current tool.
#include "document/CBrevDoc.h"
#include "view/ToolState.h"
#include "view/ToolTable.h"
#include "view/ViewState.h"
#include "view/ViewZoom.h"

namespace quillet {

ToolOperation* ViewState::CurrentOperation() const {
    return ctx_.registry ? ctx_.registry->find(ctx_.tools.currentTool) : nullptr;
}

ToolEvent ViewState::EventAt(ViewPoint zoomed) { return {doc_, ctx_.tools, zoomed}; }

int ViewState::Cursor() const { return CursorFor(ctx_.tools.currentTool, leftDown_); }

void ViewState::DropSelection() {
    DocViewState& v = doc_.ViewShared();
    doc_.SetSelectionActive(false);
    v.selectionShown = false;
    v.outlineReady = false;
    v.polygonVertices = 0;
    v.recomposeNeeded = true;
    animation_.stop();
}

void ViewState::ButtonDown(ViewPoint window) {
    EndNudgeRun();
    leftDown_ = true;
    lastRaw_ = window;
    const ViewPoint z = ToZoomed(window);
    DocViewState& v = doc_.ViewShared();
    v.anchors.circlePress = {z.x, z.y};
    v.anchors.moveLast = {z.x, z.y};
    const ToolId tool = ctx_.tools.currentTool;
    if (tool == ToolId::PolygonSelect && v.selectionShown) DropSelection();
    if (tool == ToolId::RectSelect || tool == ToolId::CircleSelect ||
        tool == ToolId::FreehandSelect || (tool == ToolId::MagicWand && !v.addToSelection))
        DropSelection();
    ToolDown(z);
}

void ViewState::ToolDown(ViewPoint z) {
    switch (ctx_.tools.currentTool) {
        case ToolId::Move:
            MoveDown(z);
            break;
        case ToolId::ZoomIn:
            ZoomIn(doc_, AnchorPoint{z.x, z.y});
            break;
        case ToolId::ZoomOut:
            ZoomOut(doc_, AnchorPoint{z.x, z.y});
            break;
        default:
            if (ToolOperation* op = CurrentOperation()) {
                ToolEvent e = EventAt(z);
                op->down(e);
            }
    }
}

void ViewState::MouseMove(ViewPoint window, bool leftHeld) {
    if (animation_.resume()) {
        doc_.ViewShared().selectionShown = true;
        doc_.ViewShared().recomposeNeeded = true;
    }
    if (lastRaw_ && *lastRaw_ == window) return;
    lastRaw_ = window;
    const ViewPoint z = ToZoomed(window);
    if (leftHeld && leftDown_) {
        ToolDrag(z);
    } else if (!leftHeld) {
        if (ToolOperation* op = CurrentOperation()) {
            ToolEvent e = EventAt(z);
            op->hover(e);
        }
    }
}

void ViewState::ToolDrag(ViewPoint z) {
    if (ctx_.tools.currentTool == ToolId::Move) {
        MoveDrag(z);
        return;
    }
    if (ToolOperation* op = CurrentOperation()) {
        ToolEvent e = EventAt(z);
        op->drag(e);
    }
}

void ViewState::ButtonUp(ViewPoint window) {
    const bool wasDown = leftDown_;
    leftDown_ = false;
    if (!wasDown) return;
    ToolUp(ToZoomed(window));
}

void ViewState::ToolUp(ViewPoint z) {
    if (ctx_.tools.currentTool == ToolId::Move) {
        MoveUp();
        return;
    }
    if (ToolOperation* op = CurrentOperation()) {
        ToolEvent e = EventAt(z);
        op->up(e);
    }
}

void ViewState::DoubleClick(ViewPoint window) {
    const ToolId tool = ctx_.tools.currentTool;
    DocViewState& v = doc_.ViewShared();
    const bool selectionTool = tool == ToolId::RectSelect || tool == ToolId::CircleSelect ||
                               tool == ToolId::FreehandSelect || tool == ToolId::PolygonSelect;
    if (v.selectionShown && selectionTool) {
        DropSelection();
        return;
    }
    if (tool == ToolId::MagicWand) {
        if (!v.addToSelection) DropSelection();
        return;
    }
    // Closing a polygon belongs to the polygon tool.
    if (ToolOperation* op = CurrentOperation()) {
        ToolEvent e = EventAt(ToZoomed(window));
        op->doubleClick(e);
    }
}

void ViewState::KeyDown(int key, unsigned flags) {
    doc_.ViewShared().addToSelection = flags == kLeftShiftRepeatFlags;
    if (key == VirtualKey::Control) ctrlHeld_ = true;
    if (ctrlHeld_) {
        if (key == VirtualKey::Plus)
            ZoomIn(doc_, AnchorPoint{0, 0});
        else if (key == VirtualKey::Minus)
            ZoomOut(doc_, AnchorPoint{0, 0});
        else if (key == VirtualKey::One)
            ZoomOneToOne(doc_);
    }
    int dx = 0, dy = 0;
    switch (key) {
        case VirtualKey::Left:
            dx = -1;
            break;
        case VirtualKey::Up:
            dy = -1;
            break;
        case VirtualKey::Right:
            dx = 1;
            break;
        case VirtualKey::Down:
            dy = 1;
            break;
        default:
            break;
    }
    const bool nudge = (dx || dy) && ctx_.tools.currentTool == ToolId::Move;
    const bool modifierOnly = key == VirtualKey::Shift || key == VirtualKey::Control;
    if (!nudge && !modifierOnly) EndNudgeRun();
    if (!nudge) return;
    const int slot = doc_.CurrentLayer();
    if (!LayerTable::IsValidIndex(slot) || !doc_.Layers().layer(slot).used) return;
    if (nudgeSlot_ != slot) EndNudgeRun();
    MoveLayerBy(dx, dy);
    nudgeSlot_ = slot;
    doc_.SetModified(true);
}

void ViewState::KeyUp(int key) {
    doc_.ViewShared().addToSelection = false;
    if (key == VirtualKey::Control) ctrlHeld_ = false;
}

void ViewState::FocusGained() {
    if (animation_.resume()) {
        doc_.ViewShared().selectionShown = true;
        doc_.ViewShared().recomposeNeeded = true;
    }
}

void ViewState::FocusLost() {
    EndNudgeRun();
    animation_.focusLost(doc_.ViewShared().selectionShown);
    doc_.ViewShared().outlinePaused = animation_.paused();
}

bool ViewState::TimerTick() {
    const bool repaint = animation_.tick(doc_.Busy());
    doc_.ViewShared().outlinePaused = animation_.paused();
    return repaint;
}

}  // namespace quillet
