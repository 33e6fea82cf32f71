#include "view/ToolTable.h"

#include <array>

namespace quillet {

namespace {

using enum ToolId;
namespace C = CursorId;

constexpr std::array kTools{
    ToolInfo{RectSelect, "사각선택", "마우스 드래깅의 사각영역을 선택함", C::FrameDefault,
             C::FrameDefault, u""},
    ToolInfo{CircleSelect, "원선택", "", C::FrameDefault, C::FrameDefault, u""},
    ToolInfo{FreehandSelect, "자유선택", "", C::FrameDefault, C::FrameDefault, u""},
    ToolInfo{MagicWand, "자동선택", "클릭지점과 같은 색상의 영역을 자동으로 선택", C::FrameDefault,
             C::FrameDefault, u""},
    ToolInfo{PolygonSelect, "다각형선택", "다각형 형태의 영역을 선택함", C::FrameDefault,
             C::FrameDefault, u""},
    ToolInfo{ColourRangePick, "", "", C::Picker, C::Picker, u""},
    ToolInfo{Move, "이동", "이동", C::Move, C::Move, u"전체영상 위치이동"},
    ToolInfo{Spray, "스프레이", "스프레이 방식으로 칠하기", C::FrameDefault, C::Cross, u"스프레이"},
    ToolInfo{Brush, "붓 그리기", "붓 방식으로 칠하기", C::FrameDefault, C::Cross, u"붓그리기"},
    ToolInfo{Eraser, "지우개", "", C::Eraser, C::Eraser, u"영역지우기"},
    ToolInfo{Dot, "", "점을 찍듯이 칠하기", C::FrameDefault, C::Dot, u"점찍기"},
    ToolInfo{WaterDrop, "물방울", "물방울을 떨어뜨리는 효과로 칠하기", C::DropOrHandle,
             C::DropOrHandle, u"물방울"},
    ToolInfo{Line, "선분", "선 그리기", C::FrameDefault, C::Cross, u"선그리기"},
    ToolInfo{Polyline, "다각선", "다각형 그리기", C::FrameDefault, C::FrameDefault,
             u"다각형그리기"},
    ToolInfo{Circle, "원 그리기", "원 그리기", C::FrameDefault, C::FrameDefault, u"원 그리기"},
    ToolInfo{TouchDeform, "", "", C::Touch, C::Touch, u"터치변형"},
    ToolInfo{ColourPick, "", "픽셀의 색상을 추출합니다", C::Picker, C::Picker, u""},
    ToolInfo{Fill, "채우기", "선택영역을 동일색으로 채움", C::FrameDefault, C::FrameDefault,
             u"채우기"},
    ToolInfo{Gradient, "그라디언트", "", C::FrameDefault, C::Cross, u"그라디언트"},
    // The path tools show 2049 only near a guide point; the path tool decides that itself.
    ToolInfo{PathPlace, "", "", C::FrameDefault, C::FrameDefault, u""},
    ToolInfo{PathMove, "", "", C::FrameDefault, C::FrameDefault, u""},
    ToolInfo{PathInsert, "", "", C::FrameDefault, C::FrameDefault, u""},
    ToolInfo{PathDelete, "", "", C::FrameDefault, C::FrameDefault, u""},
    ToolInfo{PathOther, "", "", C::FrameDefault, C::FrameDefault, u""},
    ToolInfo{Text, "", "", C::Text, C::Text, u""},
    ToolInfo{TransformSize, "크기", "", C::Resize, C::Resize, u""},
    ToolInfo{TransformDistort, "뒤틀림", "", C::DropOrHandle, C::DropOrHandle, u""},
    ToolInfo{TransformPerspective, "원근감", "", C::DropOrHandle, C::DropOrHandle, u""},
    ToolInfo{FreeRotate, "자유회전", "회전", C::FrameDefault, C::FrameDefault, u""},
    ToolInfo{UndoBrush, "", "", C::FrameDefault, C::Cross, u"작업취소붓"},
    ToolInfo{ZoomIn, "확대", "화면 보기를 확대한다 ", C::ZoomIn, C::ZoomIn, u""},
    ToolInfo{ZoomOut, "축소", "화면 보기를 축소한다 ", C::ZoomOut, C::ZoomOut, u""},
};

}  // namespace

std::span<const ToolInfo> ToolTable() { return kTools; }

const ToolInfo* FindTool(ToolId id) {
    for (const ToolInfo& t : kTools)
        if (t.id == id) return &t;
    return nullptr;
}

int CursorFor(ToolId tool, bool leftButtonHeld) {
    const ToolInfo* t = FindTool(tool);
    if (!t) return CursorId::FrameDefault;
    return leftButtonHeld ? t->pressedCursor : t->hoverCursor;
}

bool IsSelectionTool(ToolId id) {
    return id == RectSelect || id == CircleSelect || id == FreehandSelect || id == MagicWand ||
           id == PolygonSelect || id == ColourRangePick;
}

bool IsPathTool(ToolId id) {
    return id == PathPlace || id == PathMove || id == PathInsert || id == PathDelete ||
           id == PathOther;
}

bool IsFreeTransformTool(ToolId id) {
    return id == TransformSize || id == TransformDistort || id == TransformPerspective;
}

}  // namespace quillet
