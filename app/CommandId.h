#pragma once
// Every command by name, holding the number that menus, keys, tool-bar buttons and the recent-file
// list send. A tool's command is the tool's own id: choosing it makes that tool current.
#include <cstdint>
#include <optional>

#include "view/ToolId.h"
#include "view/ToolTable.h"

namespace quillet {

enum class CommandId : int32_t {
    None = 0,  // no command: a tool-bar separator, no pressed button
    // 파일
    New = 57600,
    Open = 57601,
    Close = 57602,
    Save = 57603,
    SaveAs = 57604,
    SelectSource = 1474,
    Acquire = 1475,
    PrintImage = 57609,
    PrintSetup = 57606,
    Environment = 1571,
    CodecDownload = 4204,
    Exit = 57665,
    RecentFile = 57616,
    // 편집
    Undo = 57643,
    Redo = 57644,
    Cut = 57635,
    Copy = 57634,
    CopyImage = 4604,
    Paste = 57637,
    CutToNewDocument = 1482,
    // 그리기
    WaterDrop = int32_t(ToolId::WaterDrop),
    Brush = int32_t(ToolId::Brush),
    Line = int32_t(ToolId::Line),
    Circle = int32_t(ToolId::Circle),
    Polyline = int32_t(ToolId::Polyline),
    Spray = int32_t(ToolId::Spray),
    Eraser = int32_t(ToolId::Eraser),
    Fill = int32_t(ToolId::Fill),
    // 영상
    BrightnessContrast = 1450,
    ColourAdjust = 1503,
    Levels = 2533,
    AutoColour = 2076,
    Invert = 1413,
    Grayscale = 1414,
    Threshold = 2113,
    RedEye = 1476,
    Normalise = 2077,
    DesaturateLayer = 4224,
    Reduce256 = 2016,
    ConvertRgb24 = 2093,
    FilterFirst = 6201,  // the filters of the filter list, in its order: FilterCommand()
    FilterLast = 6224,
    SplitRgb = 1441,
    SplitYuv = 1442,
    SplitHsl = 1443,
    RemoveTransparency = 1430,
    RemoveAlphaChannel = 1483,
    InvertAlphaChannel = 1485,
    ToggleAlphaPalette = 1486,
    StripAlpha = 1490,
    // 레이어
    AddLayer = 1552,
    DeleteLayer = 1553,
    DuplicateLayer = 3500,
    Flatten = 1500,
    MergeDown = 1557,
    MergeUp = 1555,
    ShadowEffect = 1558,
    Rasterize = 1545,
    // 선택
    Move = int32_t(ToolId::Move),
    RectSelect = int32_t(ToolId::RectSelect),
    CircleSelect = int32_t(ToolId::CircleSelect),
    PolygonSelect = int32_t(ToolId::PolygonSelect),
    FreehandSelect = int32_t(ToolId::FreehandSelect),
    MagicWand = int32_t(ToolId::MagicWand),
    ColourRange = 3327,
    InvertSelection = 2058,
    Deselect = 2060,
    // 변형 및 꾸미기
    ImageSize = 1431,
    FreeRotate = int32_t(ToolId::FreeRotate),
    LayerRotate90Clockwise = 4210,
    LayerRotate90Anticlockwise = 4214,
    LayerRotate180 = 4221,
    LayerFlipVertical = 4219,
    LayerFlipHorizontal = 4220,
    CanvasRotate90Clockwise = 1491,
    CanvasRotate90Anticlockwise = 1492,
    CanvasRotate180 = 4222,
    CanvasFlipVertical = 1411,
    CanvasFlipHorizontal = 1410,
    TransformSize = int32_t(ToolId::TransformSize),
    TransformDistort = int32_t(ToolId::TransformDistort),
    TransformPerspective = int32_t(ToolId::TransformPerspective),
    Calendar = 3379,
    PhotoFrame = 3392,
    Gradient = int32_t(ToolId::Gradient),
    CanvasSize = 1432,
    StretchSqueeze = 3339,
    CombPattern = 4614,
    SpeechBalloon = 4619,
    // 보기
    LayerPanel = 1554,
    StretchView = 1405,
    ZoomIn = int32_t(ToolId::ZoomIn),
    ZoomOut = int32_t(ToolId::ZoomOut),
    ZoomOneToOne = 1422,
    Grid = 1572,
    // 창
    LayerDuplicateWindow = 1412,
    NewWindow = 57648,
    Cascade = 57650,
    Tile = 57651,
    CloseAll = 1426,
    // 도움말
    About = 57664,
    WebSite = 2074,

    // Keys without menu entries.
    Print = 57607,
    KeyOnlyDocumentCommand = 2068,

    // Tool-bar commands without menu entries.
    ScreenCapture = 1424,
    BrushPanel = 1510,
    OneClickCameraPanel = 1511,
    CloseProgram = 5008,
    MovieMaker = 5009,
    FilterDialog = 6200,  // "필터링설정": the filter list's choice
    ForegroundColour = 1384,
    BackgroundColour = 1385,
    SwapColours = 1386,
    BitmapResource = 1407,
    JpegResource = 1416,
    GifResource = 1417,
    TiffResource = 1425,
    // Only in the layer list's context menu.
    RenameLayer = 3994,
    // Tools chosen from the tool bars only.
    Dot = int32_t(ToolId::Dot),
    ColourPick = int32_t(ToolId::ColourPick),
    TouchDeform = int32_t(ToolId::TouchDeform),
    ColourRangePick = int32_t(ToolId::ColourRangePick),
    Text = int32_t(ToolId::Text),
    UndoBrush = int32_t(ToolId::UndoBrush),
    PathPanel = 1509,
    PathPlace = int32_t(ToolId::PathPlace),
    PathMove = int32_t(ToolId::PathMove),
    PathInsert = int32_t(ToolId::PathInsert),
    PathDelete = int32_t(ToolId::PathDelete),
    PathOther = int32_t(ToolId::PathOther),
};

// The recent-file entries: RecentFile and the ones that follow it.
inline constexpr int kRecentFileCount = 9;
constexpr CommandId RecentFileCommand(int index) {
    return CommandId(int32_t(CommandId::RecentFile) + index);
}

// The menu command of the filter at `index` in the filter list.
constexpr CommandId FilterCommand(int index) {
    return CommandId(int32_t(CommandId::FilterFirst) + index);
}

constexpr CommandId CommandOf(ToolId tool) { return CommandId(int32_t(tool)); }
// The tool a command chooses; nothing for commands that are not tools.
inline std::optional<ToolId> ToolOf(CommandId id) {
    const ToolId tool = ToolId(int32_t(id));
    if (id == CommandId::None || !FindTool(tool)) return std::nullopt;
    return tool;
}

}  // namespace quillet
