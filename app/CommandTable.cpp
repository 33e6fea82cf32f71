#include "app/CommandTable.h"

#include "view/ToolTable.h"

namespace quillet {
namespace {

using enum CommandId;
using T = CommandTarget;
using G = GateUse;

// Menu order follows the table order: each menu's entries appear here in sequence.
// clang-format off
constexpr CommandInfo kCommands[] = {
    // 파일
    {New, "새파일(&N)", {"Ctrl+N"}, T::App, G::Refusal},
    {Open, "열기(&O)", {"Ctrl+O"}, T::App, G::Refusal},
    {Close, "닫기(&C)", {}, T::Doc, G::Refusal},
    {Save, "저장하기(&S)", {"Ctrl+S"}, T::Doc, G::Refusal},
    {SaveAs, "새이름으로(&A)", {"Ctrl+Shift+S"}, T::Doc, G::Refusal},
    {SelectSource, "외부 장치 선택...", {}, T::Frame, G::Refusal},
    {Acquire, "외부 이미지 입력 ", {}, T::Frame, G::Refusal},
    {PrintImage, "이미지 인쇄", {}, T::Frame, G::Refusal},
    {PrintSetup, "프린터지정(R)", {}, T::App, G::Refusal},
    {Environment, "환경설정", {}, T::Frame, G::Tool},
    {CodecDownload, "코덱 다운로드", {}, T::App, G::Refusal},
    {Exit, "종료(&x)", {}, T::App, G::Exempt},
    {RecentFile, "Recent File", {}, T::App, G::Refusal},
    // 편집
    {Undo, "실행취소(&Z)", {"Ctrl+Z"}, T::Doc, G::Refusal},
    {Redo, "실행반복(&Y)", {"Ctrl+Y"}, T::Doc, G::Refusal},
    {Cut, "자르기(&t)", {"Ctrl+X", "Delete"}, T::Doc, G::Refusal},
    {Copy, "복사(&C)", {"Ctrl+C", "Ctrl+Insert"}, T::Doc, G::Refusal},
    {CopyImage, "이미지복사", {}, T::Doc, G::Refusal},
    {Paste, "붙이기(&P)", {"Ctrl+V"}, T::Doc, G::Refusal},
    {CutToNewDocument, "잘라서새로만들기", {}, T::Doc, G::Tool},
    // 그리기
    {WaterDrop, "물방울", {}, T::Doc, G::Tool},
    {Brush, "붓 그리기", {}, T::Doc, G::Tool},
    {Line, "선분", {}, T::Doc, G::Tool},
    {Circle, "원 그리기", {}, T::Doc, G::Tool},
    {Polyline, "다각선", {}, T::Doc, G::Tool},
    {Spray, "스프레이", {}, T::Doc, G::Tool},
    {Eraser, "지우개", {}, T::Doc, G::Tool},
    {Fill, "채우기", {}, T::Doc, G::Tool},
    // 영상
    {BrightnessContrast, "명도·대비", {}, T::App, G::Tool},
    {ColourAdjust, "색상조정", {}, T::App, G::Tool},
    {Levels, "픽셀분포조정", {}, T::Doc, G::Refusal},
    {AutoColour, "자동색상조정", {}, T::Doc, G::Refusal},
    {Invert, "반전변환", {}, T::Doc, G::Refusal},
    {Grayscale, "그레이스케일 표현", {}, T::Doc, G::Refusal},
    {Threshold, "이진영상 으로", {}, T::Doc, G::Refusal},
    {RedEye, "적안 제거", {}, T::Doc, G::Tool},
    {Normalise, "컬러 정규화", {}, T::Doc, G::Refusal},
    {DesaturateLayer, "레이어 채도 감소", {}, T::Doc, G::Refusal},
    {Reduce256, "8비트칼라 최적변환", {}, T::Doc, G::Refusal},
    {ConvertRgb24, "RGB 컬러영상으로 변환", {}, T::Doc, G::Refusal},
    {FilterCommand(0), "물체축소", {}, T::Doc, G::Refusal},
    {FilterCommand(1), "물체확장", {}, T::Doc, G::Refusal},
    {FilterCommand(2), "흐리게", {}, T::Doc, G::Refusal},
    {FilterCommand(3), "부드럽게", {}, T::Doc, G::Refusal},
    {FilterCommand(4), "강조", {}, T::Doc, G::Refusal},
    {FilterCommand(5), "윤곽선", {}, T::Doc, G::Refusal},
    {FilterCommand(6), "노이즈제거(A)", {}, T::Doc, G::Refusal},
    {FilterCommand(7), "노이즈제거(B)", {}, T::Doc, G::Refusal},
    {FilterCommand(8), "엠보스", {}, T::Doc, G::Refusal},
    {FilterCommand(9), "찍어붙이기", {}, T::Doc, G::Refusal},
    {FilterCommand(10), "색종이뿌리기", {}, T::Doc, G::Refusal},
    {FilterCommand(11), "선효과채색", {}, T::Doc, G::Refusal},
    {FilterCommand(12), "렌즈효과", {}, T::Doc, G::Refusal},
    {FilterCommand(13), "욕실효과", {}, T::Doc, G::Refusal},
    {FilterCommand(14), "수채화", {}, T::Doc, G::Refusal},
    {FilterCommand(15), "한지효과", {}, T::Doc, G::Refusal},
    {FilterCommand(16), "빗방울", {}, T::Doc, G::Refusal},
    {FilterCommand(17), "유리성에", {}, T::Doc, G::Refusal},
    {FilterCommand(18), "경계강조", {}, T::Doc, G::Refusal},
    {FilterCommand(19), "영역확장", {}, T::Doc, G::Refusal},
    {FilterCommand(20), "방울채색", {}, T::Doc, G::Refusal},
    {FilterCommand(21), "유화", {}, T::Doc, G::Refusal},
    {FilterCommand(22), "달마시안", {}, T::Doc, G::Refusal},
    {FilterCommand(23), "부드럽게B", {}, T::Doc, G::Refusal},
    {SplitRgb, "RGB구분", {}, T::Doc, G::Refusal},
    {SplitYuv, "YUV구분", {}, T::Doc, G::Refusal},
    {SplitHsl, "HSL구분", {}, T::Doc, G::Refusal},
    {RemoveTransparency, "Remove Transparency", {}, T::Doc, G::Refusal},
    {RemoveAlphaChannel, "Remove Alpha Channel", {}, T::Doc, G::Refusal},
    {InvertAlphaChannel, "Invert Alpha Channel", {}, T::Doc, G::Refusal},
    {ToggleAlphaPalette, "Toggle Alpha Palette ", {}, T::Doc, G::Refusal},
    {StripAlpha, "Strip Alpha", {}, T::Doc, G::Refusal},
    // 레이어
    {AddLayer, "레이어추가", {}, T::Doc, G::Refusal},
    {DeleteLayer, "레이어삭제", {}, T::Doc, G::Refusal},
    {DuplicateLayer, "복제 레이어 만들기", {}, T::Doc, G::Refusal},
    {Flatten, "떡이미지만들기", {}, T::Doc, G::Tool},
    {MergeDown, "아래쪽 레이어로  합치기", {}, T::Doc, G::Refusal},
    {MergeUp, "위쪽 레이어로 합치기", {}, T::Doc, G::Refusal},
    {ShadowEffect, "그림자 효과", {"Ctrl+Shift+L"}, T::Doc, G::Tool},
    {Rasterize, "레스터 형식으로 변환", {}, T::Doc, G::Refusal},
    // 선택
    {Move, "이동", {}, T::Doc, G::Tool},
    {RectSelect, "사각선택", {}, T::Doc, G::Tool},
    {CircleSelect, "원선택", {}, T::Doc, G::Tool},
    {PolygonSelect, "다각형선택", {}, T::Doc, G::Tool},
    {FreehandSelect, "자유선택", {}, T::Doc, G::Tool},
    {MagicWand, "자동선택", {}, T::Doc, G::Tool},
    {ColourRange, "색상범위지정 선택", {}, T::Doc, G::Tool},
    {InvertSelection, "선택반전", {}, T::Doc, G::Refusal},
    {Deselect, "선택/명령 해제", {"Ctrl+D"}, T::Doc, G::Tool},
    // 변형 및 꾸미기
    {ImageSize, "이미지 크기 조정", {}, T::App, G::Tool},
    {FreeRotate, "자유회전", {}, T::Doc, G::Tool},
    {LayerRotate90Clockwise, "90   시계방향", {}, T::Doc, G::Refusal},
    {LayerRotate90Anticlockwise, "90   반시계방향", {}, T::Doc, G::Refusal},
    {LayerRotate180, "180  회전", {}, T::Doc, G::Refusal},
    {LayerFlipVertical, "수직제비회전", {}, T::Doc, G::Refusal},
    {LayerFlipHorizontal, "수평제비회전", {}, T::Doc, G::Refusal},
    {CanvasRotate90Clockwise, " 90  시계방향", {}, T::Doc, G::Refusal},
    {CanvasRotate90Anticlockwise, " 90  반시계방향", {}, T::Doc, G::Refusal},
    {CanvasRotate180, "180  회전", {}, T::Doc, G::Refusal},
    {CanvasFlipVertical, "수직제비회전", {}, T::Doc, G::Refusal},
    {CanvasFlipHorizontal, "수평제비회전", {}, T::Doc, G::Refusal},
    {TransformSize, "크기", {}, T::Doc, G::Tool},
    {TransformDistort, "뒤틀림", {}, T::Doc, G::Tool},
    {TransformPerspective, "원근감", {}, T::Doc, G::Tool},
    {Calendar, "달력 넣기", {}, T::Doc, G::Tool},
    {PhotoFrame, "사진틀 넣기", {}, T::Doc, G::Tool},
    {Gradient, "그라디언트", {}, T::Doc, G::Tool},
    {CanvasSize, "캔버스 크기 늘리기", {}, T::Doc, G::Tool},
    {StretchSqueeze, "늘리고쭈구리기", {}, T::Doc, G::Tool},
    {CombPattern, "빗살무뉘넣기", {}, T::Doc, G::Tool},
    {SpeechBalloon, "말풍선 넣기", {}, T::Doc, G::Tool},
    // 보기
    {LayerPanel, "레이어.작업내역", {}, T::Frame, G::Tool},
    {StretchView, "늘여보기(&e)", {}, T::Doc, G::Refusal},
    {ZoomIn, "확대", {"Ctrl++", "Ctrl+="}, T::Doc, G::Tool},
    {ZoomOut, "축소", {"Ctrl+-"}, T::Doc, G::Tool},
    {ZoomOneToOne, "(1:1)보기 ", {"Ctrl+1"}, T::Doc, G::Refusal},
    {Grid, "격자보기", {}, T::Doc, G::Refusal},
    // 창
    {LayerDuplicateWindow, "레이어 복제창", {}, T::Doc, G::Refusal},
    {NewWindow, "이미지 복제창(&N)", {}, T::Doc, G::Refusal},
    {Cascade, "계단식 보기(&C)", {}, T::Frame, G::Refusal},
    {Tile, "타일 보기(&T)", {}, T::Frame, G::Refusal},
    {CloseAll, "모두닫기", {}, T::App, G::Refusal},
    // 도움말
    {About, "'Velloran Quillet'에 관하여(&A)...", {}, T::App, G::Refusal},
    {WebSite, "'Velloran' 웹사이트 연결", {}, T::App, G::Refusal},

    // Keys without menu entries.
    {Print, "", {"Ctrl+P"}, T::Frame, G::Refusal},
    {KeyOnlyDocumentCommand, "", {"Ctrl+Shift+E"}, T::Doc, G::Refusal},

    // Tool-bar commands without menu entries.
    {ScreenCapture, "", {}, T::Frame, G::Tool},
    {BrushPanel, "", {}, T::Frame, G::Tool},
    {OneClickCameraPanel, "", {}, T::Frame, G::Tool},
    {CloseProgram, "", {}, T::Frame, G::Exempt},
    {MovieMaker, "", {}, T::Frame, G::Tool},
    {FilterDialog, "", {}, T::Doc, G::Refusal},
    {ForegroundColour, "", {}, T::App, G::Refusal},
    {BackgroundColour, "", {}, T::App, G::Refusal},
    {SwapColours, "", {}, T::App, G::Refusal},
    {BitmapResource, "비트맵 예제 그림", {}, T::App, G::Refusal},
    {JpegResource, "JPEG 예제 그림", {}, T::App, G::Refusal},
    {GifResource, "GIF 예제 그림", {}, T::App, G::Refusal},
    {TiffResource, "TIFF 예제 그림", {}, T::App, G::Refusal},
    // Only in the layer list's context menu.
    {RenameLayer, "", {}, T::Doc, G::Refusal},
    // Tools chosen from the tool bars only.
    {Dot, "", {}, T::Doc, G::Tool},
    {ColourPick, "", {}, T::Doc, G::Tool},
    {TouchDeform, "", {}, T::Doc, G::Tool},
    {ColourRangePick, "", {}, T::Doc, G::Tool},
    {Text, "", {}, T::Doc, G::Tool},
    {UndoBrush, "", {}, T::Doc, G::Tool},
    {PathPanel, "", {}, T::Doc, G::Tool},
    {PathPlace, "", {}, T::Doc, G::Tool},
    {PathMove, "", {}, T::Doc, G::Tool},
    {PathInsert, "", {}, T::Doc, G::Tool},
    {PathDelete, "", {}, T::Doc, G::Tool},
    {PathOther, "", {}, T::Doc, G::Tool},
};
// clang-format on

using E = MenuEntry;
constexpr E cmd(CommandId id) { return E{E::Command, id, {}, 0}; }
constexpr E sep() { return E{E::Separator, None, {}, 0}; }
constexpr E sub(std::string_view caption, int count) { return E{E::SubMenu, None, caption, count}; }
constexpr E cmdAs(CommandId id, std::string_view caption) { return E{E::Command, id, caption, 0}; }

constexpr E kFile[] = {
    cmd(New),          cmd(Open),          cmd(Close), cmd(Save),       cmd(SaveAs),     sep(),
    cmd(SelectSource), cmd(Acquire),       sep(),      cmd(PrintImage), cmd(PrintSetup), sep(),
    cmd(Environment),  cmd(CodecDownload), sep(),      cmd(RecentFile), sep(),           cmd(Exit)};
constexpr E kEdit[] = {cmd(Undo), cmd(Redo),      sep(),      cmd(Cut),
                       cmd(Copy), cmd(CopyImage), cmd(Paste), cmd(CutToNewDocument)};
constexpr E kDraw[] = {cmd(WaterDrop), cmd(Brush),  cmd(Line), cmd(Circle), cmd(Polyline),
                       cmd(Spray),     cmd(Eraser), sep(),     cmd(Fill)};
// clang-format off
constexpr E kImage[] = {
    cmd(BrightnessContrast), cmd(ColourAdjust), cmd(Levels), cmd(AutoColour), cmd(Normalise), sep(),
    cmd(Invert), cmd(Grayscale), cmd(DesaturateLayer), cmd(Threshold), sep(),
    sub("필터", 24),
    cmd(FilterCommand(0)), cmd(FilterCommand(1)), cmd(FilterCommand(2)), cmd(FilterCommand(3)),
    cmd(FilterCommand(4)), cmd(FilterCommand(5)), cmd(FilterCommand(6)), cmd(FilterCommand(7)),
    cmd(FilterCommand(8)), cmd(FilterCommand(9)), cmd(FilterCommand(10)), cmd(FilterCommand(11)),
    cmd(FilterCommand(12)), cmd(FilterCommand(13)), cmd(FilterCommand(14)), cmd(FilterCommand(15)),
    cmd(FilterCommand(16)), cmd(FilterCommand(17)), cmd(FilterCommand(18)), cmd(FilterCommand(19)),
    cmd(FilterCommand(20)), cmd(FilterCommand(21)), cmd(FilterCommand(22)), cmd(FilterCommand(23)),
    cmd(RedEye), sep(),
    sub("채널 구분", 3), cmd(SplitRgb), cmd(SplitYuv), cmd(SplitHsl),
    sub("색상 모드", 2), cmd(Reduce256), cmd(ConvertRgb24),
    sub("알파 채널", 5),
    cmd(RemoveTransparency), cmd(RemoveAlphaChannel), cmd(InvertAlphaChannel),
    cmd(ToggleAlphaPalette), cmd(StripAlpha)};
// clang-format on
constexpr E kLayer[] = {cmd(AddLayer),     cmd(DeleteLayer), cmd(DuplicateLayer), sep(),
                        cmd(Flatten),      cmd(MergeDown),   cmd(MergeUp),        sep(),
                        cmd(ShadowEffect), cmd(Rasterize)};
constexpr E kSelect[] = {cmd(Move),
                         sep(),
                         cmd(RectSelect),
                         cmd(CircleSelect),
                         cmd(PolygonSelect),
                         cmd(FreehandSelect),
                         cmd(MagicWand),
                         cmd(ColourRange),
                         sep(),
                         cmd(InvertSelection),
                         cmd(Deselect)};
// clang-format off
constexpr E kTransform[] = {
    cmd(ImageSize), cmd(FreeRotate), sep(),
    sub("레이어 회전", 5),
        cmd(LayerRotate90Clockwise), cmd(LayerRotate90Anticlockwise), cmd(LayerRotate180),
        cmd(LayerFlipVertical), cmd(LayerFlipHorizontal),
    sub("캔버스 회전", 5),
        cmd(CanvasRotate90Clockwise), cmd(CanvasRotate90Anticlockwise), cmd(CanvasRotate180),
        cmd(CanvasFlipVertical), cmd(CanvasFlipHorizontal),
    sub("자유변형", 3),
        cmd(TransformSize), cmd(TransformDistort), cmd(TransformPerspective),
    sep(),
    cmd(Calendar), cmd(PhotoFrame), cmd(Gradient), sep(),
    cmd(CanvasSize), cmd(StretchSqueeze), sep(),
    cmd(CombPattern), cmd(SpeechBalloon)};
// clang-format on
constexpr E kView[] = {cmd(LayerPanel),   sep(), cmd(StretchView), cmd(ZoomIn), cmd(ZoomOut),
                       cmd(ZoomOneToOne), sep(), cmd(Grid)};
constexpr E kWindow[] = {
    cmd(LayerDuplicateWindow), cmd(NewWindow), cmd(Cascade), cmd(Tile), sep(), cmd(CloseAll)};
// The built-in pictures open from the help menu as samples to try the tools on.
constexpr E kHelp[] = {cmd(About),
                       cmd(WebSite),
                       sep(),
                       sub("예제 그림(&S)", 4),
                       cmd(BitmapResource),
                       cmd(JpegResource),
                       cmd(GifResource),
                       cmd(TiffResource)};

constexpr MenuDef kMainMenu[] = {
    {"파일(&F)", kFile},
    {"편집(&E)", kEdit},
    {"그리기(&D)", kDraw},
    {"영상(&I)", kImage},
    {"레이어(&L)", kLayer},
    {"선택(&S)", kSelect},
    {"변형 및 꾸미기(&T)", kTransform},
    {"보기(&V)", kView},
    {"창(&W)", kWindow},
    {"도움말(&H)", kHelp},
};

constexpr E kViewContext[] = {cmdAs(ZoomIn, "확대"),
                              cmdAs(ZoomOut, "축소"),
                              cmdAs(Deselect, "선택/명령 해제"),
                              sep(),
                              cmdAs(Copy, "복사"),
                              cmdAs(Paste, "붙이기"),
                              sep(),
                              cmdAs(Undo, "실행취소"),
                              cmdAs(Redo, "실행반복"),
                              sep(),
                              cmdAs(CopyImage, "이미지복사")};
constexpr E kLayerContext[] = {cmdAs(Copy, "복사"),
                               cmdAs(Paste, "붙이기"),
                               sep(),
                               cmdAs(DuplicateLayer, "레이어 복제"),
                               cmdAs(DeleteLayer, "레이어 삭제"),
                               cmdAs(AddLayer, "레이어 추가"),
                               cmdAs(RenameLayer, "레이어 이름 변경"),
                               sep(),
                               cmdAs(Flatten, "떡 이미지 만들기"),
                               cmdAs(Rasterize, "레스터 만들기")};

constexpr CommandId kFlySelect[] = {RectSelect, FreehandSelect, ColourRange};
constexpr CommandId kFlyTransform[] = {TransformSize, TransformDistort, TransformPerspective};
constexpr CommandId kFlyLine[] = {Line, Polyline, Circle};
constexpr CommandId kFlyBrush[] = {Brush, Spray, Dot};

constexpr ToolButtonDef kMainBar[] = {
    {New, "새 문서를 작성합니다"},
    {Open, "이미지 열기"},
    {Save, "이미지 저장"},
    {Print, "이미지 프린트"},
    {Acquire, "외부장치로 부터 읽어들임"},
    {None, ""},
    {Undo, "실행 취소"},
    {Redo, "다시 실행"},
    {None, ""},
    {ZoomIn, "화면 확대"},
    {ZoomOut, "화면 축소"},
    {ZoomOneToOne, "화면 보기를 1:1 로"},
    {None, ""},
    {ColourAdjust, "색조정"},
    {BrightnessContrast, "명도·대비"},
    {FilterDialog, "필터링설정"},
    {ImageSize, "이미지크기"},
    {StretchSqueeze, "자유변형 크기"},
    {CanvasSize, "캔버스 크기 조정"},
    {None, ""},
    {LayerPanel, "레이어보기창"},
    {Flatten, "떡이미지 만들기"},
    {Environment, "환경설정"},
    {MovieMaker, "이미지 쇼 만들기"},
    {None, ""},
    {WebSite, "Velloran 웹사이트"},
};

constexpr ToolButtonDef kToolsBar[] = {
    {UndoBrush, "작업내역브러쉬"},
    {None, ""},
    {RectSelect, "마우스드래깅으로 사각영역을 지정함", kFlySelect},
    {CircleSelect, "원형으로 영역을 선택함"},
    {PolygonSelect, "다각형 형태의 영역 지정"},
    {MagicWand, "클릭지점과 같은 색상의 영역을 자동으로 선택"},
    {Deselect, "영역/명령 선택을 해제함"},
    {CutToNewDocument, "복사뒤 새로 만들기"},
    {None, ""},
    {Move, "이동(레스터형식)"},
    {FreeRotate, "자유회전"},
    {TransformSize, "자유변형", kFlyTransform},
    {None, ""},
    {Line, "선그리기", kFlyLine},
    {Brush, "붓으로 그리기", kFlyBrush},
    {BrushPanel, "값지정"},
    {Fill, "채우기"},
    {Gradient, "그라디언트"},
    {WaterDrop, "물방울 효과"},
    {Eraser, "지우개"},
    {Text, "글자입력"},
    {ColourPick, "픽셀값 추출"},
    {PathPanel, "경로설정"},
};

struct Caption {
    CommandId id;
    std::string_view text;
};

// Names for tool-only commands, used where a fly-out lists them.
constexpr Caption kToolCaptions[] = {
    {Dot, "점찍기"},
    {ColourPick, "픽셀값 추출"},
    {Text, "글자입력"},
    {UndoBrush, "작업내역브러쉬"},
    {PathPanel, "경로설정"},
    {BrushPanel, "값지정"},
    {MovieMaker, "이미지 쇼 만들기"},
    {Print, "이미지 프린트"},
};

}  // namespace

std::span<const CommandInfo> commandTable() { return kCommands; }

const CommandInfo* findCommand(CommandId id) {
    for (const CommandInfo& c : kCommands)
        if (c.id == id) return &c;
    return nullptr;
}

std::span<const MenuDef> mainMenu() { return kMainMenu; }
std::span<const MenuEntry> viewContextMenu() { return kViewContext; }
std::span<const MenuEntry> layerListContextMenu() { return kLayerContext; }
std::span<const ToolButtonDef> mainToolBar() { return kMainBar; }
std::span<const ToolButtonDef> toolsToolBar() { return kToolsBar; }

std::string_view commandPrompt(CommandId id) {
    const std::optional<ToolId> tool = ToolOf(id);
    return tool ? FindTool(*tool)->prompt : std::string_view{};
}

std::string_view toolCaption(CommandId id) {
    if (const CommandInfo* c = findCommand(id); c && !c->caption.empty()) return c->caption;
    for (const Caption& p : kToolCaptions)
        if (p.id == id) return p.text;
    return {};
}

}  // namespace quillet
