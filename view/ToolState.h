#pragma once
// The tool state the main frame holds for every document: the current and previous tool, the
// selection kind the outline animation reads, the tool option bar's two sliders, and a pending
// layer drop between windows.
#include <string>

#include "view/ToolId.h"

namespace quillet {

namespace SelectionKind {
constexpr int Rectangle = 0;
constexpr int Circle = 1;
constexpr int Freehand = 2;
constexpr int MagicWand = 3;
constexpr int Polygon = 4;
constexpr int Path = 6;
}  // namespace SelectionKind

struct OptionSlider {
    bool enabled = false;
    std::string label;  // empty while disabled: the bar shows its idle text
    int value = 0;
    int minimum = 0;
    int maximum = 0;
    bool operator==(const OptionSlider&) const = default;
};

struct ToolState {
    ToolId currentTool = ToolId::None;
    ToolId previousTool = ToolId::None;
    int selectionKind = SelectionKind::Rectangle;
    OptionSlider slider1;
    OptionSlider slider2;
    int feather = 0;  // current feather value offered by the selection tools
    // Panels that restrict the choice of tools while they are open.
    bool pathPanelOpen = false;
    bool freeTransformPanelOpen = false;
    // A layer dragged out of a window with the move tool waits on the clipboard for a drop.
    // The source is only compared, never used: it may have closed since.
    bool dropPending = false;
    const void* dropSource = nullptr;
};

}  // namespace quillet
