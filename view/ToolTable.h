#pragma once
// The tools a document window dispatches to, as data: command identifier, menu caption,
// status-bar prompt, the cursor shown over the view and the journal label of button up.
#include <span>
#include <string_view>

namespace quillet {

namespace ToolId {
constexpr int RectSelect = 1342;
constexpr int CircleSelect = 4611;
constexpr int FreehandSelect = 1343;
constexpr int MagicWand = 1344;
constexpr int PolygonSelect = 1345;
constexpr int ColourRangePick = 3344;
constexpr int Move = 1570;
constexpr int Spray = 1346;
constexpr int Brush = 1347;
constexpr int Eraser = 1355;
constexpr int Dot = 1350;
constexpr int WaterDrop = 1354;
constexpr int Line = 1356;
constexpr int Polyline = 1357;
constexpr int Circle = 1380;
constexpr int TouchDeform = 3340;
constexpr int ColourPick = 2097;
constexpr int Fill = 1352;
constexpr int Gradient = 1353;
constexpr int PathPlace = 5615;
constexpr int PathMove = 5616;
constexpr int PathInsert = 5620;
constexpr int PathDelete = 5621;
constexpr int PathOther = 5622;
constexpr int Text = 1382;
constexpr int TransformSize = 4250;
constexpr int TransformDistort = 4251;
constexpr int TransformPerspective = 4252;
constexpr int FreeRotate = 1415;
constexpr int UndoBrush = 4660;
constexpr int ZoomIn = 1420;
constexpr int ZoomOut = 1421;
}  // namespace ToolId

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
    int id;
    std::string_view menu;          // empty when the tool has no main-menu caption
    std::string_view prompt;        // status-bar prompt, empty when none
    int hoverCursor;                // CursorId with no button pressed
    int pressedCursor;              // CursorId while the left button is held
    std::u16string_view undoLabel;  // journal label recorded on button up, empty when none
};

std::span<const ToolInfo> ToolTable();
// Null for an identifier that is not a tool.
const ToolInfo* FindTool(int id);
// The cursor to show over the view for the current tool.
int CursorFor(int toolId, bool leftButtonHeld);

bool IsSelectionTool(int id);  // rectangle, circle, freehand, magic wand, polygon, colour range
bool IsPathTool(int id);
bool IsFreeTransformTool(int id);

}  // namespace quillet
