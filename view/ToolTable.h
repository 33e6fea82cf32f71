#pragma once
// The tools a document window dispatches to, as data: tool id, menu caption,
// status-bar prompt, the cursor shown over the view and the journal label of button up.
#include <span>
#include <string_view>

#include "view/ToolId.h"

namespace quillet {

// Cursor resources; 0 means the main frame's current tool cursor, Cross the system cross.
namespace CursorId {
constexpr int FrameDefault = 0;
constexpr int Cross = -1;
constexpr int Dot = 1110;
constexpr int Text = 1404;
constexpr int DropOrHandle = 2049;
constexpr int Move = 2052;
constexpr int Picker = 3353;
constexpr int Touch = 3461;
constexpr int ZoomIn = 4012;
constexpr int Eraser = 4153;
constexpr int Resize = 4600;
constexpr int ZoomOut = 4638;
}  // namespace CursorId

struct ToolInfo {
    ToolId id;
    std::string_view menu;          // empty when the tool has no main-menu caption
    std::string_view prompt;        // status-bar prompt, empty when none
    int hoverCursor;                // CursorId with no button pressed
    int pressedCursor;              // CursorId while the left button is held
    std::u16string_view undoLabel;  // journal label recorded on button up, empty when none
};

std::span<const ToolInfo> ToolTable();
// Null for an identifier that is not a tool.
const ToolInfo* FindTool(ToolId id);
// The cursor to show over the view for the current tool.
int CursorFor(ToolId tool, bool leftButtonHeld);

bool IsSelectionTool(ToolId id);  // rectangle, circle, freehand, magic wand, polygon, colour range
bool IsPathTool(ToolId id);
bool IsFreeTransformTool(ToolId id);

}  // namespace quillet
