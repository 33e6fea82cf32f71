#pragma once
// The command gate: while the free-transform or the anchor-line panel is open, only the
// commands that belong to that panel pass; a passing tool command becomes the pressed button.
#include "app/CommandTable.h"

namespace quillet {

// What the gate looks at and changes. The Qt frame fills the panel flags before each command.
struct FrameCommandState {
    bool freeTransformPanelVisible = false;
    bool anchorLinePanelVisible = false;
    // The command whose tool-bar button shows pressed.
    CommandId pressedButton = CommandId::None;
    // The tool every document's view dispatches mouse input to, and the one before it (kept by
    // the freehand, magic-wand and polygon selections).
    ToolId currentTool = ToolId::None;
    ToolId previousTool = ToolId::None;
};

// Applies the gate rules to `id` alone: true when the command may proceed.
bool gateAllows(const FrameCommandState& state, CommandId id);

// Runs the gate for a command the way the frame does before dispatching it: exempt commands
// always pass; refused commands change nothing; a passing tool command (other than flatten)
// becomes the pressed button.
bool passGate(FrameCommandState& state, CommandId id);

}  // namespace quillet
