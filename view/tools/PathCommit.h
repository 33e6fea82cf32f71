#pragma once
// What a finished path becomes: a selection (its closed outline filled), or a brush stroke along
// its edges.
#include <cstdint>

namespace quillet {

class CBrevDoc;
enum class EditOutcome;

inline constexpr const char* kNeedMoreGuidePoints = "안내 점이 더 필요합니다.";
inline constexpr const char* kPathNotClosed = "경로가 닫혀 있지 않습니다.";
inline constexpr char16_t kStrokePathLabel[] = u"경로따라 선긋기";

// The closed path's outline and interior become the selection of the current layer, and the
// path is cleared. A path of 2 points or fewer, or an open one, is refused with its message.
// The caller makes the polygon tool current.
bool PathToSelection(CBrevDoc& doc);

struct PathStroke {
    int length = 100;  // "선길이": the share of the path drawn, in percent
    int brushSize = 5;
    bool soft = true;
    uint32_t colour = 0;  // 0x00RRGGBB
};

// Strokes the path's edges in order with the brush (the closing edge too when closed), over the
// layer as it was before (the snapshot), without a selection: the edges add up their truncated
// lengths, and the edge that passes length% of the total is drawn only up to there. One journal
// step "경로따라 선긋기"; the path is cleared.
EditOutcome StrokePath(CBrevDoc& doc, const PathStroke& stroke);

}  // namespace quillet
