#include "app/CommandGate.h"

namespace quillet {
namespace {

using enum CommandId;

// Polygon selection, zoom in and out, and the anchor-line (path) buttons.
bool worksWithAnchorLinePanel(CommandId id) {
    return id == PolygonSelect || id == ZoomIn || id == ZoomOut || id == PathPlace ||
           id == PathMove || id == PathInsert || id == PathDelete || id == PathOther;
}

bool isFreeTransformMode(CommandId id) {
    return id == TransformSize || id == TransformDistort || id == TransformPerspective;
}

}  // namespace

bool gateAllows(const FrameCommandState& state, CommandId id) {
    if (!worksWithAnchorLinePanel(id) && state.anchorLinePanelVisible) return false;
    if (state.freeTransformPanelVisible && !isFreeTransformMode(id)) return false;
    return true;
}

bool passGate(FrameCommandState& state, CommandId id) {
    const CommandInfo* info = findCommand(id);
    const GateUse use = info ? info->gate : GateUse::Refusal;
    if (use == GateUse::Exempt) return true;
    if (!gateAllows(state, id)) return false;
    if (use == GateUse::Tool && id != Flatten) state.pressedButton = id;
    return true;
}

}  // namespace quillet
