#include "app/CommandGate.h"

namespace quillet {
namespace {

// Polygon selection, zoom in and out, and the anchor-line (path) buttons.
bool worksWithAnchorLinePanel(int id) {
    return id == 1345 || id == 1420 || id == 1421 || id == 5615 || id == 5616 ||
           (id >= 5620 && id <= 5622);
}

bool isFreeTransformMode(int id) { return id >= 4250 && id <= 4252; }

constexpr int kFlatten = 1500;

}  // namespace

bool gateAllows(const FrameCommandState& state, int id) {
    if (!worksWithAnchorLinePanel(id) && state.anchorLinePanelVisible) return false;
    if (state.freeTransformPanelVisible && !isFreeTransformMode(id)) return false;
    return true;
}

bool passGate(FrameCommandState& state, int id) {
    const CommandInfo* info = findCommand(id);
    const GateUse use = info ? info->gate : GateUse::Refusal;
    if (use == GateUse::Exempt) return true;
    if (!gateAllows(state, id)) return false;
    if (use == GateUse::Tool && id != kFlatten) state.pressedButton = id;
    return true;
}

}  // namespace quillet
