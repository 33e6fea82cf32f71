#pragma once
// The mouse handlers of the selection tools: rectangle, circle, freehand, polygon, magic wand
// and the colour-range pick. The view has already dropped the selection where the tool asks
// for it (its dispatch rules); each handler converts its zoomed points to the current layer.
#include <functional>

#include "view/ToolOperation.h"
#include "view/tools/Selection.h"

namespace quillet {

class RectangleSelectTool : public ToolOperation {
public:
    void down(ToolEvent& e) override;
    void drag(ToolEvent& e) override;
    void up(ToolEvent& e) override;
};

class CircleSelectTool : public ToolOperation {
public:
    void down(ToolEvent& e) override;
    void drag(ToolEvent& e) override;
    void up(ToolEvent& e) override;

private:
    bool drawn_ = false;  // a drag of zero length leaves the mask as it was
};

class FreehandSelectTool : public ToolOperation {
public:
    void down(ToolEvent& e) override;
    void drag(ToolEvent& e) override;
    void up(ToolEvent& e) override;
};

class PolygonSelectTool : public ToolOperation {
public:
    void down(ToolEvent& e) override;
    void doubleClick(ToolEvent& e) override;
};

class MagicWandTool : public ToolOperation {
public:
    void down(ToolEvent& e) override;
};

// The colour-range pick: mode and tolerance come from the colour-range dialog, which hears of
// every pick.
class ColourRangeTool : public ToolOperation {
public:
    void down(ToolEvent& e) override;

    int tolerance = 0;  // 0 to 255
    bool add = false;   // mode 1: add to the selection
    std::function<void(CBrevDoc&, const ColourRangePick&)> picked;
};

// One of each, registered under their tool ids.
struct SelectionTools {
    RectangleSelectTool rectangle;
    CircleSelectTool circle;
    FreehandSelectTool freehand;
    PolygonSelectTool polygon;
    MagicWandTool wand;
    ColourRangeTool colourRange;

    void registerIn(ToolRegistry& registry);
};

}  // namespace quillet
