// The move tool: dragging the current layer, the arrow keys, and carrying a layer from one
// document window into another through the clipboard.
#include <cmath>

#include "document/CBrevDoc.h"
#include "document/LayerOps.h"
#include "platform/ClipboardPort.h"
#include "view/ToolState.h"
#include "view/ToolTable.h"
#include "view/ViewState.h"

namespace quillet {

namespace {
// Canvas coordinate of a zoomed one, rounded down so that successive differences add up to the
// distance between the first and the last point at any zoom.
int CanvasFloor(int zoomed, double zoom) { return int(std::floor(double(zoomed) / zoom)); }
}  // namespace

void ViewState::MoveLayerBy(int dx, int dy) {
    const int slot = doc_.CurrentLayer();
    if (!LayerTable::IsValidIndex(slot) || !doc_.Layers().layer(slot).used) return;
    Layer& l = doc_.Layers().layer(slot);
    l.x += dx;
    l.y += dy;
    doc_.CopyToSnapshot(slot);
    doc_.ViewShared().recomposeNeeded = true;
    doc_.NotifyViewsUpdate();
}

bool ViewState::EndNudgeRun() {
    const int slot = nudgeSlot_;
    nudgeSlot_ = -1;
    if (slot < 0 || !doc_.Layers().layer(slot).used) return false;
    doc_.RecordStep(FindTool(ToolId::Move)->undoLabel, StepKind::PixelEdit, slot);
    doc_.NotifyLayerListChanged();
    return true;
}

void ViewState::MoveDown(ViewPoint z) {
    const int slot = doc_.CurrentLayer();
    if (!LayerTable::IsValidIndex(slot) || !doc_.Layers().layer(slot).used) return;
    moveDrag_ = true;
    moveTransferred_ = false;
    moveSlot_ = slot;
    moveStartRaw_ = lastRaw_.value_or(ViewPoint{-1, -1});
    moveStartLayer_ = {doc_.Layers().layer(slot).x, doc_.Layers().layer(slot).y};
    doc_.ViewShared().anchors.moveLast = {z.x, z.y};
}

void ViewState::MoveDrag(ViewPoint z) {
    if (!moveDrag_ || doc_.CurrentLayer() != moveSlot_) return;
    AnchorPoint& last = doc_.ViewShared().anchors.moveLast;
    const double zoom = doc_.Zoom();
    const int dx = CanvasFloor(z.x, zoom) - CanvasFloor(last.x, zoom);
    const int dy = CanvasFloor(z.y, zoom) - CanvasFloor(last.y, zoom);
    last = {z.x, z.y};
    if (dx == 0 && dy == 0) return;
    Layer& l = doc_.Layers().layer(moveSlot_);
    l.x += dx;
    l.y += dy;
    doc_.ViewShared().recomposeNeeded = true;
    doc_.NotifyViewsUpdate();
}

void ViewState::MoveUp() {
    const bool dragged = moveDrag_;
    moveDrag_ = false;
    if (!dragged || !LayerTable::IsValidIndex(moveSlot_)) return;
    doc_.CopyToSnapshot(moveSlot_);
    // A layer carried to another window went back to its place: nothing to record here.
    if (!moveTransferred_ && !doc_.ViewShared().selectionMovePending)
        doc_.RecordStep(FindTool(ToolId::Move)->undoLabel, StepKind::PixelEdit, moveSlot_);
    doc_.NotifyLayerListChanged();
    doc_.ViewShared().recomposeNeeded = true;
    doc_.NotifyViewsUpdate();
}

bool ViewState::MoveDragLeft() {
    if (!moveDrag_ || !ctx_.clipboard || !LayerTable::IsValidIndex(moveSlot_)) return false;
    Layer& l = doc_.Layers().layer(moveSlot_);
    l.x = moveStartLayer_.x;
    l.y = moveStartLayer_.y;
    std::vector<uint8_t> dib = LayerToPackedDib(doc_.Layers(), moveSlot_);
    moveDrag_ = false;
    moveTransferred_ = true;
    doc_.CopyToSnapshot(moveSlot_);
    doc_.ViewShared().recomposeNeeded = true;
    doc_.NotifyViewsUpdate();
    if (dib.empty()) return false;
    ctx_.clipboard->setPackedDib(std::move(dib));
    ctx_.tools.dropPending = true;
    ctx_.tools.dropSource = &doc_;
    return true;
}

bool ViewState::AcceptPendingDrop() {
    ToolState& t = ctx_.tools;
    if (!t.dropPending || t.dropSource == &doc_ || !ctx_.clipboard) return false;
    t.dropPending = false;
    t.dropSource = nullptr;
    const auto dib = ctx_.clipboard->packedDib();
    if (!dib) return false;
    return PastePackedDib(doc_, *dib) >= 0;
}

}  // namespace quillet
