#pragma once
// The filters of the filter dialog: names, parameters with their ranges and defaults.
#include <array>
#include <optional>
#include <span>
#include <string_view>

namespace quillet {

// In the order of the filter list.
enum class FilterId : int {
    Erode,           // "물체축소"
    Dilate,          // "물체확장"
    Blur,            // "흐리게"
    Soften,          // "부드럽게"
    Sharpen,         // "강조"
    Edges,           // "윤곽선"
    MedianNoise,     // "노이즈제거(A)"
    SpeckleNoise,    // "노이즈제거(B)"
    Emboss,          // "엠보스"
    Stamp,           // "찍어붙이기"
    Confetti,        // "색종이뿌리기"
    LineColouring,   // "선효과채색"
    Lens,            // "렌즈효과"
    Bathroom,        // "욕실효과"
    Watercolour,     // "수채화"
    PaperFibres,     // "한지효과"
    Raindrops,       // "빗방울"
    FrostedGlass,    // "유리성에"
    EdgeEmphasis,    // "경계강조"
    RegionGrowing,   // "영역확장"
    Bubbles,         // "방울채색"
    OilPaint,        // "유화"
    Dalmatian,       // "달마시안"
    LuminanceCurve,  // "부드럽게B"
};
inline constexpr int kFilterCount = 24;

struct FilterParameter {
    std::u16string_view caption;
    int minimum = 0;
    int maximum = 0;
    int defaultValue = 0;
};

struct FilterRecord {
    FilterId id;
    std::u16string_view name;  // also the undo label
    std::string_view utf8Name;
    int parameterCount = 0;
    std::array<FilterParameter, 3> parameters{};
    bool random = false;  // draws from the document's generator
};

using FilterValues = std::array<int, 3>;

std::span<const FilterRecord> FilterTable();
const FilterRecord& FilterRecordOf(FilterId id);
std::optional<FilterId> FilterByName(std::string_view utf8Name);
// The record's defaults; values outside a range clamped into it.
FilterValues DefaultFilterValues(FilterId id);
FilterValues ClampFilterValues(FilterId id, FilterValues values);

}  // namespace quillet
