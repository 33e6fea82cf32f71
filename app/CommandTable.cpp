#include "app/CommandTable.h"

#include <algorithm>
#include <array>

namespace quillet {
namespace {

using T = CommandTarget;
using G = GateUse;

// Menu order follows the table order: each menu's entries appear here in sequence.
// clang-format off
constexpr CommandInfo kCommands[] = {
    // 파일
    {57600, "새파일(&N)", {"Ctrl+N"}, T::App, G::Refusal, "document: new-image dialog, then a new document"},
    {57601, "열기(&O)", {"Ctrl+O"}, T::App, G::Refusal, "file browser: open by the browser setting"},
    {57602, "닫기(&C)", {}, T::Doc, G::Refusal, "document: close"},
    {57603, "저장하기(&S)", {"Ctrl+S"}, T::Doc, G::Refusal, "document: save"},
    {57604, "새이름으로(&A)", {"Ctrl+Shift+S"}, T::Doc, G::Refusal, "document: save as"},
    {1474, "외부 장치 선택...", {}, T::Frame, G::Refusal, "acquisition: choose the scanner source"},
    {1475, "외부 이미지 입력 ", {}, T::Frame, G::Refusal, "acquisition: acquire a picture"},
    {57609, "이미지 인쇄", {}, T::Frame, G::Refusal, "printing: print the image"},
    {57606, "프린터지정(R)", {}, T::App, G::Refusal, "printing: printer set-up"},
    {1571, "환경설정", {}, T::Frame, G::Tool, "settings: settings dialog"},
    {4204, "코덱 다운로드", {}, T::App, G::Refusal, "update check: codec installation page"},
    {57665, "종료(&x)", {}, T::App, G::Exempt, "start-up/shutdown: close sequence"},
    {57616, "Recent File", {}, T::App, G::Refusal, "recent files (9 entries)"},
    // 편집
    {57643, "실행취소(&Z)", {"Ctrl+Z"}, T::Doc, G::Refusal, "journal: undo"},
    {57644, "실행반복(&Y)", {"Ctrl+Y"}, T::Doc, G::Refusal, "journal: redo"},
    {57635, "자르기(&t)", {"Ctrl+X", "Delete"}, T::Doc, G::Refusal, "selections: cut the selection"},
    {57634, "복사(&C)", {"Ctrl+C", "Ctrl+Insert"}, T::Doc, G::Refusal, "layer operations: copy"},
    {4604, "이미지복사", {}, T::Doc, G::Refusal, "layer operations: copy the image"},
    {57637, "붙이기(&P)", {"Ctrl+V"}, T::Doc, G::Refusal, "layer operations: paste (only with a bitmap on the clipboard)"},
    {1482, "잘라서새로만들기", {}, T::Doc, G::Tool, "selections: selection into a new document"},
    // 그리기
    {1354, "물방울", {}, T::Doc, G::Tool, "painting: water-drop tool"},
    {1347, "붓 그리기", {}, T::Doc, G::Tool, "painting: brush tool"},
    {1356, "선분", {}, T::Doc, G::Tool, "painting: line tool"},
    {1380, "원 그리기", {}, T::Doc, G::Tool, "painting: circle tool"},
    {1357, "다각선", {}, T::Doc, G::Tool, "painting: polyline tool"},
    {1346, "스프레이", {}, T::Doc, G::Tool, "painting: spray tool"},
    {1355, "지우개", {}, T::Doc, G::Tool, "painting: eraser"},
    {1352, "채우기", {}, T::Doc, G::Tool, "fill and gradient: fill"},
    // 영상
    {1450, "명도·대비", {}, T::App, G::Tool, "colour adjustments: brightness and contrast dialog"},
    {1503, "색상조정", {}, T::App, G::Tool, "colour adjustments: colour adjustment dialog"},
    {2533, "픽셀분포조정", {}, T::Doc, G::Refusal, "colour adjustments: levels"},
    {2076, "자동색상조정", {}, T::Doc, G::Refusal, "colour adjustments: automatic colour"},
    {1413, "반전변환", {}, T::Doc, G::Refusal, "colour adjustments: invert"},
    {1414, "그레이스케일 표현", {}, T::Doc, G::Refusal, "colour adjustments: grayscale"},
    {2113, "이진영상 으로", {}, T::Doc, G::Refusal, "colour adjustments: threshold dialog bar"},
    {1476, "적안 제거", {}, T::Doc, G::Tool, "filters: red-eye tool"},
    // 레이어
    {1552, "레이어추가", {}, T::Doc, G::Refusal, "layer operations: add layer"},
    {1553, "레이어삭제", {}, T::Doc, G::Refusal, "layer operations: delete layer"},
    {3500, "복제 레이어 만들기", {}, T::Doc, G::Refusal, "layer operations: duplicate layer"},
    {1500, "떡이미지만들기", {}, T::Doc, G::Tool, "layer operations: flatten"},
    {1557, "아래쪽 레이어로  합치기", {}, T::Doc, G::Refusal, "layer operations: merge down"},
    {1555, "위쪽 레이어로 합치기", {}, T::Doc, G::Refusal, "layer operations: merge up"},
    {1558, "그림자 효과", {"Ctrl+Shift+L"}, T::Doc, G::Tool, "layer effects: shadow effect"},
    {1545, "레스터 형식으로 변환", {}, T::Doc, G::Refusal, "layer operations: rasterize"},
    // 선택
    {1570, "이동", {}, T::Doc, G::Tool, "view: move tool"},
    {1342, "사각선택", {}, T::Doc, G::Tool, "selections: rectangle selection"},
    {4611, "원선택", {}, T::Doc, G::Tool, "selections: ellipse selection"},
    {1345, "다각형선택", {}, T::Doc, G::Tool, "selections: polygon selection"},
    {1343, "자유선택", {}, T::Doc, G::Tool, "selections: freehand selection"},
    {1344, "자동선택", {}, T::Doc, G::Tool, "selections: magic wand"},
    {3327, "색상범위지정 선택", {}, T::Doc, G::Tool, "selections: colour range"},
    {2058, "선택반전", {}, T::Doc, G::Refusal, "selections: invert selection"},
    {2060, "선택/명령 해제", {"Ctrl+D"}, T::Doc, G::Tool, "selections: deselect and cancel the tool"},
    // 변형 및 꾸미기
    {1431, "이미지 크기 조정", {}, T::App, G::Tool, "geometry: image size dialog"},
    {1415, "자유회전", {}, T::Doc, G::Tool, "free transform: free rotate"},
    {4210, "90   시계방향", {}, T::Doc, G::Refusal, "geometry: rotate the layer 90 clockwise"},
    {4214, "90   반시계방향", {}, T::Doc, G::Refusal, "geometry: rotate the layer 90 anticlockwise"},
    {4221, "180  회전", {}, T::Doc, G::Refusal, "geometry: rotate the layer 180"},
    {4219, "수직제비회전", {}, T::Doc, G::Refusal, "geometry: flip the layer vertically"},
    {4220, "수평제비회전", {}, T::Doc, G::Refusal, "geometry: flip the layer horizontally"},
    {1491, " 90  시계방향", {}, T::Doc, G::Refusal, "geometry: rotate the canvas 90 clockwise"},
    {1492, " 90  반시계방향", {}, T::Doc, G::Refusal, "geometry: rotate the canvas 90 anticlockwise"},
    {4222, "180  회전", {}, T::Doc, G::Refusal, "geometry: rotate the canvas 180"},
    {1411, "수직제비회전", {}, T::Doc, G::Refusal, "geometry: flip the canvas vertically"},
    {1410, "수평제비회전", {}, T::Doc, G::Refusal, "geometry: flip the canvas horizontally"},
    {4250, "크기", {}, T::Doc, G::Tool, "free transform: scale"},
    {4251, "뒤틀림", {}, T::Doc, G::Tool, "free transform: distort"},
    {4252, "원근감", {}, T::Doc, G::Tool, "free transform: perspective"},
    {3379, "달력 넣기", {}, T::Doc, G::Tool, "decorations: calendar"},
    {3392, "사진틀 넣기", {}, T::Doc, G::Tool, "decorations: photo frame"},
    {1353, "그라디언트", {}, T::Doc, G::Tool, "fill and gradient: gradient"},
    {1432, "캔버스 크기 늘리기", {}, T::Doc, G::Tool, "geometry: canvas size"},
    {3339, "늘리고쭈구리기", {}, T::Doc, G::Tool, "free transform: stretch and squeeze"},
    {4614, "빗살무뉘넣기", {}, T::Doc, G::Tool, "layer effects: comb pattern"},
    {4619, "말풍선 넣기", {}, T::Doc, G::Tool, "layer effects: speech balloon"},
    // 보기
    {1554, "레이어.작업내역", {}, T::Frame, G::Tool, "layer panel: toggle the layer and history panel"},
    {1405, "늘여보기(&e)", {}, T::Doc, G::Refusal, "view: stretch view"},
    {1420, "확대", {"Ctrl++", "Ctrl+="}, T::Doc, G::Tool, "view: zoom in"},
    {1421, "축소", {"Ctrl+-"}, T::Doc, G::Tool, "view: zoom out"},
    {1422, "(1:1)보기 ", {"Ctrl+1"}, T::Doc, G::Refusal, "view: actual size"},
    {1572, "격자보기", {}, T::Doc, G::Refusal, "view: toggle the grid"},
    // 창
    {1412, "레이어 복제창", {}, T::Doc, G::Refusal, "layer operations: layer duplicate window"},
    {57648, "이미지 복제창(&N)", {}, T::Doc, G::Refusal, "view: new window on the document"},
    {57650, "계단식 보기(&C)", {}, T::Frame, G::Refusal, "main frame: cascade"},
    {57651, "타일 보기(&T)", {}, T::Frame, G::Refusal, "main frame: tile"},
    {1426, "모두닫기", {}, T::App, G::Refusal, "main frame: close all documents without questions"},
    // 도움말
    {57664, "'Velloran Quillet'에 관하여(&A)...", {}, T::App, G::Refusal, "main frame: about dialog"},
    {2074, "'Velloran' 웹사이트 연결", {}, T::App, G::Refusal, "update check: the maker's web site"},

    // Keys without menu entries.
    {57607, "", {"Ctrl+P"}, T::Frame, G::Refusal, "printing: print"},
    {2068, "", {"Ctrl+Shift+E"}, T::Doc, G::Refusal, "document command of its own issue"},

    // Tool-bar commands without menu entries.
    {1424, "", {}, T::Frame, G::Tool, "capture: screen capture"},
    {1510, "", {}, T::Frame, G::Tool, "painting: toggle the brush-settings panel"},
    {1511, "", {}, T::Frame, G::Tool, "main frame: toggle the one-click camera panel"},
    {5008, "", {}, T::Frame, G::Exempt, "start-up/shutdown: close sequence"},
    {5009, "", {}, T::Frame, G::Tool, "movie: toggle the movie maker and player"},
    {1384, "", {}, T::App, G::Refusal, "main frame: foreground colour dialog"},
    {1385, "", {}, T::App, G::Refusal, "main frame: background colour dialog"},
    {1386, "", {}, T::App, G::Refusal, "main frame: swap foreground and background colours"},
    {1407, "비트맵 예제 그림", {}, T::App, G::Refusal, "document: bitmap resource picture"},
    {1416, "JPEG 예제 그림", {}, T::App, G::Refusal, "document: JPEG resource picture"},
    {1417, "GIF 예제 그림", {}, T::App, G::Refusal, "document: GIF resource picture"},
    {1425, "TIFF 예제 그림", {}, T::App, G::Refusal, "document: TIFF resource picture"},
    // Only in the layer list's context menu.
    {3994, "", {}, T::Doc, G::Refusal, "layer operations: rename the layer"},
    // Tools chosen from the tool bars only.
    {1350, "", {}, T::Doc, G::Tool, "painting: dot tool"},
    {2097, "", {}, T::Doc, G::Tool, "painting: colour pick"},
    {3340, "", {}, T::Doc, G::Tool, "painting: touch deform"},
    {3344, "", {}, T::Doc, G::Tool, "selections: colour-range pick"},
    {1382, "", {}, T::Doc, G::Tool, "text layers: text tool"},
    {4660, "", {}, T::Doc, G::Tool, "undo brush"},
    {1509, "", {}, T::Doc, G::Tool, "paths: path panel"},
    {5615, "", {}, T::Doc, G::Tool, "paths: add guide points"},
    {5616, "", {}, T::Doc, G::Tool, "paths: move guide points"},
    {5620, "", {}, T::Doc, G::Tool, "paths: path tool"},
    {5621, "", {}, T::Doc, G::Tool, "paths: path tool"},
    {5622, "", {}, T::Doc, G::Tool, "paths: path tool"},
};
// clang-format on

using E = MenuEntry;
constexpr E cmd(int id) { return E{E::Command, id, {}, 0}; }
constexpr E sep() { return E{E::Separator, 0, {}, 0}; }
constexpr E sub(std::string_view caption, int count) { return E{E::SubMenu, 0, caption, count}; }
constexpr E cmdAs(int id, std::string_view caption) { return E{E::Command, id, caption, 0}; }

constexpr E kFile[] = {cmd(57600), cmd(57601), cmd(57602), cmd(57603), cmd(57604), sep(),
                       cmd(1474),  cmd(1475),  sep(),      cmd(57609), cmd(57606), sep(),
                       cmd(1571),  cmd(4204),  sep(),      cmd(57616), sep(),      cmd(57665)};
constexpr E kEdit[] = {cmd(57643), cmd(57644), sep(),      cmd(57635),
                       cmd(57634), cmd(4604),  cmd(57637), cmd(1482)};
constexpr E kDraw[] = {cmd(1354), cmd(1347), cmd(1356), cmd(1380), cmd(1357),
                       cmd(1346), cmd(1355), sep(),     cmd(1352)};
constexpr E kImage[] = {cmd(1450), cmd(1503), cmd(2533), cmd(2076), sep(),
                        cmd(1413), cmd(1414), cmd(2113), sep(),     cmd(1476)};
constexpr E kLayer[] = {cmd(1552), cmd(1553), cmd(3500), sep(),     cmd(1500),
                        cmd(1557), cmd(1555), sep(),     cmd(1558), cmd(1545)};
constexpr E kSelect[] = {cmd(1570), sep(),     cmd(1342), cmd(4611), cmd(1345), cmd(1343),
                         cmd(1344), cmd(3327), sep(),     cmd(2058), cmd(2060)};
// clang-format off
constexpr E kTransform[] = {
    cmd(1431), cmd(1415), sep(),
    sub("레이어 회전", 5), cmd(4210), cmd(4214), cmd(4221), cmd(4219), cmd(4220),
    sub("캔버스 회전", 5), cmd(1491), cmd(1492), cmd(4222), cmd(1411), cmd(1410),
    sub("자유변형", 3), cmd(4250), cmd(4251), cmd(4252), sep(),
    cmd(3379), cmd(3392), cmd(1353), sep(),
    cmd(1432), cmd(3339), sep(),
    cmd(4614), cmd(4619)};
// clang-format on
constexpr E kView[] = {cmd(1554), sep(),     cmd(1405), cmd(1420),
                       cmd(1421), cmd(1422), sep(),     cmd(1572)};
constexpr E kWindow[] = {cmd(1412), cmd(57648), cmd(57650), cmd(57651), sep(), cmd(1426)};
// The built-in pictures open from the help menu as samples to try the tools on.
constexpr E kHelp[] = {cmd(57664), cmd(2074), sep(),     sub("예제 그림(&S)", 4),
                       cmd(1407),  cmd(1416), cmd(1417), cmd(1425)};

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

constexpr E kViewContext[] = {cmdAs(1420, "확대"),
                              cmdAs(1421, "축소"),
                              cmdAs(2060, "선택/명령 해제"),
                              sep(),
                              cmdAs(57634, "복사"),
                              cmdAs(57637, "붙이기"),
                              sep(),
                              cmdAs(57643, "실행취소"),
                              cmdAs(57644, "실행반복"),
                              sep(),
                              cmdAs(4604, "이미지복사")};
constexpr E kLayerContext[] = {cmdAs(57634, "복사"),
                               cmdAs(57637, "붙이기"),
                               sep(),
                               cmdAs(3500, "레이어 복제"),
                               cmdAs(1553, "레이어 삭제"),
                               cmdAs(1552, "레이어 추가"),
                               cmdAs(3994, "레이어 이름 변경"),
                               sep(),
                               cmdAs(1500, "떡 이미지 만들기"),
                               cmdAs(1545, "레스터 만들기")};

constexpr int kFlySelect[] = {1342, 1343, 3327};
constexpr int kFlyTransform[] = {4250, 4251, 4252};
constexpr int kFlyLine[] = {1356, 1357, 1380};
constexpr int kFlyBrush[] = {1347, 1346, 1350};

constexpr ToolButtonDef kMainBar[] = {
    {57600, "새 문서를 작성합니다"},
    {57601, "이미지 열기"},
    {57603, "이미지 저장"},
    {57607, "이미지 프린트"},
    {1475, "외부장치로 부터 읽어들임"},
    {0, ""},
    {57643, "실행 취소"},
    {57644, "다시 실행"},
    {0, ""},
    {1420, "화면 확대"},
    {1421, "화면 축소"},
    {1422, "화면 보기를 1:1 로"},
    {0, ""},
    {1503, "색조정"},
    {1450, "명도·대비"},
    {1431, "이미지크기"},
    {3339, "자유변형 크기"},
    {1432, "캔버스 크기 조정"},
    {0, ""},
    {1554, "레이어보기창"},
    {1500, "떡이미지 만들기"},
    {1571, "환경설정"},
    {5009, "이미지 쇼 만들기"},
    {0, ""},
    {2074, "Velloran 웹사이트"},
};

constexpr ToolButtonDef kToolsBar[] = {
    {4660, "작업내역브러쉬"},
    {0, ""},
    {1342, "마우스드래깅으로 사각영역을 지정함", kFlySelect},
    {4611, "원형으로 영역을 선택함"},
    {1345, "다각형 형태의 영역 지정"},
    {1344, "클릭지점과 같은 색상의 영역을 자동으로 선택"},
    {2060, "영역/명령 선택을 해제함"},
    {1482, "복사뒤 새로 만들기"},
    {0, ""},
    {1570, "이동(레스터형식)"},
    {1415, "자유회전"},
    {4250, "자유변형", kFlyTransform},
    {0, ""},
    {1356, "선그리기", kFlyLine},
    {1347, "붓으로 그리기", kFlyBrush},
    {1510, "값지정"},
    {1352, "채우기"},
    {1353, "그라디언트"},
    {1354, "물방울 효과"},
    {1355, "지우개"},
    {1382, "글자입력"},
    {2097, "픽셀값 추출"},
    {1509, "경로설정"},
};

struct Prompt {
    int id;
    std::string_view text;
};
constexpr Prompt kPrompts[] = {
    {1342, "마우스 드래깅의 사각영역을 선택함"},
    {1344, "클릭지점과 같은 색상의 영역을 자동으로 선택"},
    {1345, "다각형 형태의 영역을 선택함"},
    {1570, "이동"},
    {1346, "스프레이 방식으로 칠하기"},
    {1347, "붓 방식으로 칠하기"},
    {1350, "점을 찍듯이 칠하기"},
    {1354, "물방울을 떨어뜨리는 효과로 칠하기"},
    {1356, "선 그리기"},
    {1357, "다각형 그리기"},
    {1380, "원 그리기"},
    {2097, "픽셀의 색상을 추출합니다"},
    {1352, "선택영역을 동일색으로 채움"},
    {1415, "회전"},
    {1420, "화면 보기를 확대한다 "},
    {1421, "화면 보기를 축소한다 "},
};

// Names for tool-only commands, used where a fly-out lists them.
constexpr Prompt kToolCaptions[] = {
    {1350, "점찍기"},   {2097, "픽셀값 추출"}, {1382, "글자입력"},         {4660, "작업내역브러쉬"},
    {1509, "경로설정"}, {1510, "값지정"},      {5009, "이미지 쇼 만들기"}, {57607, "이미지 프린트"},
};

}  // namespace

std::span<const CommandInfo> commandTable() { return kCommands; }

const CommandInfo* findCommand(int id) {
    for (const CommandInfo& c : kCommands)
        if (c.id == id) return &c;
    return nullptr;
}

std::span<const MenuDef> mainMenu() { return kMainMenu; }
std::span<const MenuEntry> viewContextMenu() { return kViewContext; }
std::span<const MenuEntry> layerListContextMenu() { return kLayerContext; }
std::span<const ToolButtonDef> mainToolBar() { return kMainBar; }
std::span<const ToolButtonDef> toolsToolBar() { return kToolsBar; }

std::string_view commandPrompt(int id) {
    for (const Prompt& p : kPrompts)
        if (p.id == id) return p.text;
    return {};
}

std::string_view toolCaption(int id) {
    if (const CommandInfo* c = findCommand(id); c && !c->caption.empty()) return c->caption;
    for (const Prompt& p : kToolCaptions)
        if (p.id == id) return p.text;
    return {};
}

}  // namespace quillet
