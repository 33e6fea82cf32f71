#pragma once
// The path tools of the path panel: placing, moving, inserting and removing guide points of the
// document's path. The view draws the path over the picture; turning it into a selection and
// stroking it live in PathCommit.h.
#include <cstdint>
#include <optional>

#include "document/GuidePath.h"
#include "view/ToolOperation.h"

namespace quillet {

class CBrevDoc;

inline constexpr const char* kTooManyGuidePoints = "경로 설정에 사용된 안내점이 너무 많습니다.";
inline constexpr const char* kRemoveFinishedPath = "현재 완성된 경로를 제거하시겠습니까?";
inline constexpr const char* kRemoveWorkedPath = "작업한 경로를 제거하시겠습니까?";
inline constexpr const char* kPathOnTextLayer =
    "Text레이어가 아닌 다른 레이어를 선택하시고 진행하십시요";

// Squared distances below these count as near: closing on the first point, and the reach of
// the move and remove cursors.
inline constexpr uint32_t kCloseDistance = 10;
inline constexpr uint32_t kGrabDistance = 2500;

// dx² + dy², or the largest unsigned value when any coordinate is negative.
uint32_t GuideDistance(GuidePoint a, GuidePoint b);
// The first of the guide points nearest to p; -1 for an empty path.
int NearestGuidePoint(const GuidePath& path, GuidePoint p);

// Placing a point (5615): nothing on an explicitly closed path (4 points or more, the last on
// the first); on a closed one the user is asked whether to remove it; a point within squared
// distance 10 of the first closes the path; the 301st is refused with kTooManyGuidePoints.
// True when the path changed.
bool AddGuidePoint(CBrevDoc& doc, GuidePoint p);
// The guide point to move for a pointer at p: the one with the nearest sample along the two
// half-edges next to it (from the point to the middle of each edge, a sample per unit along
// the longer axis). -1 for an empty path.
int PickGuidePoint(const GuidePath& path, GuidePoint p);
// Moves point `index` to p; the first and the last move together while they coincide.
void MoveGuidePoint(GuidePath& path, int index, GuidePoint p);
// Inserts p between the two guide points whose edge is nearest to it (appends to a path of one).
void InsertGuidePoint(GuidePath& path, GuidePoint p);
// Removes the guide point nearest to p; a path of 2 points or fewer is cleared.
void RemoveGuidePoint(GuidePath& path, GuidePoint p);

// The mouse on the path tools; 5622 has no click action.
class PathTool : public ToolOperation {
public:
    void down(ToolEvent& event) override;
    void drag(ToolEvent& event) override;
    void up(ToolEvent& event) override;
    std::optional<int> hoverCursor(CBrevDoc& doc, const ToolState& tools,
                                   ViewPoint zoomed) const override;

private:
    int moving_ = -1;
};

}  // namespace quillet
