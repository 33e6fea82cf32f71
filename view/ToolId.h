#pragma once
// The tools a document window sends mouse input to. Each holds the id of the command that
// chooses it; the main frame keeps the current one for every document.
#include <cstdint>

namespace quillet {

enum class ToolId : int32_t {
    None = 0,
    RectSelect = 1342,
    CircleSelect = 4611,
    FreehandSelect = 1343,
    MagicWand = 1344,
    PolygonSelect = 1345,
    ColourRangePick = 3344,
    Move = 1570,
    Spray = 1346,
    Brush = 1347,
    Eraser = 1355,
    Dot = 1350,
    WaterDrop = 1354,
    Line = 1356,
    Polyline = 1357,
    Circle = 1380,
    TouchDeform = 3340,
    ColourPick = 2097,
    Fill = 1352,
    Gradient = 1353,
    PathPlace = 5615,
    PathMove = 5616,
    PathInsert = 5620,
    PathDelete = 5621,
    PathOther = 5622,
    Text = 1382,
    TransformSize = 4250,
    TransformDistort = 4251,
    TransformPerspective = 4252,
    FreeRotate = 1415,
    UndoBrush = 4660,
    ZoomIn = 1420,
    ZoomOut = 1421,
    // Decorations whose dialogs hold the current tool while they are open.
    LinePattern = 4614,
    PhotoFrame = 3392,
    Calendar = 3379,
};

}  // namespace quillet
