#include "image/effects/FilterTable.h"

#include <algorithm>

namespace quillet {

namespace {

using F = FilterId;
using P = FilterParameter;

// A default the table leaves out is 0; where 0 lies outside the range the minimum is taken, so
// that a first run never starts from a value its slider cannot show.
// clang-format off
constexpr FilterRecord kFilters[kFilterCount] = {
    {F::Erode, u"물체축소", "물체축소", 1, {P{u"축소허용", 2, 20, 4}}},
    {F::Dilate, u"물체확장", "물체확장", 1, {P{u"확장허용", 2, 20, 4}}},
    {F::Blur, u"흐리게", "흐리게", 1, {P{u"흐림", 1, 9, 4}}},
    {F::Soften, u"부드럽게", "부드럽게", 1, {P{u"부드러움", 1, 9, 4}}},
    {F::Sharpen, u"강조", "강조", 1, {P{u"명암", -50, 50, 0}}},
    {F::Edges, u"윤곽선", "윤곽선", 2, {P{u"추출정도", 0, 5, 0}, P{u"명암정도", -30, 30, 0}}},
    {F::MedianNoise, u"노이즈제거(A)", "노이즈제거(A)", 1, {P{u"잡영크기", 2, 7, 2}}},
    {F::SpeckleNoise, u"노이즈제거(B)", "노이즈제거(B)", 2,
     {P{u"잡영크기", 2, 5, 3}, P{u"흡수정도", 1, 4, 4}}},
    {F::Emboss, u"엠보스", "엠보스", 2, {P{u"추출정도", 1, 10, 1}, P{u"음영표현", 0, 99, 0}}},
    {F::Stamp, u"찍어붙이기", "찍어붙이기", 3,
     {P{u"윤곽정도", 5, 20, 8}, P{u"선분길이", 3, 30, 3}, P{u"색상표현", 1, 99, 1}}, true},
    {F::Confetti, u"색종이뿌리기", "색종이뿌리기", 3,
     {P{u"윤곽정도", 5, 20, 10}, P{u"선분길이", 3, 30, 3}, P{u"색상표현", 1, 20, 2}}, true},
    {F::LineColouring, u"선효과채색", "선효과채색", 2,
     {P{u"선분길이", 0, 7, 5}, P{u"반복", 1, 3, 1}}, true},
    {F::Lens, u"렌즈효과", "렌즈효과", 0, {}},
    {F::Bathroom, u"욕실효과", "욕실효과", 2, {P{u"조정 1", -49, 49, 0}, P{u"조정 2", -49, 49, 0}}},
    {F::Watercolour, u"수채화", "수채화", 2, {P{u"붓크기", 0, 99, 1}, P{u"부드럽게", 0, 99, 0}}},
    {F::PaperFibres, u"한지효과", "한지효과", 1, {P{u"흐림정도", 0, 99, 1}}, true},
    {F::Raindrops, u"빗방울", "빗방울", 2, {P{u"크기", 0, 99, 40}, P{u"빈도", 50, 150, 100}}, true},
    {F::FrostedGlass, u"유리성에", "유리성에", 1, {P{u"흐림정도", 0, 15, 1}}, true},
    {F::EdgeEmphasis, u"경계강조", "경계강조", 2, {P{u"테두리양", 0, 99, 1}, P{u"표시강도", 0, 10, 0}}},
    {F::RegionGrowing, u"영역확장", "영역확장", 1, {P{u"확장허용", 20, 70, 30}}},
    {F::Bubbles, u"방울채색", "방울채색", 2, {P{u"방울크기", 0, 30, 7}, P{u"윤곽선표시", 5, 20, 8}}, true},
    {F::OilPaint, u"유화", "유화", 2, {P{u"붓길이", 0, 10, 5}, P{u"세밀함", 0, 99, 50}}, true},
    {F::Dalmatian, u"달마시안", "달마시안", 2, {P{u"무뉘", 0, 99, 40}, P{u"빈도", 0, 99, 50}}, true},
    {F::LuminanceCurve, u"부드럽게B", "부드럽게B", 0, {}},
};
// clang-format on

}  // namespace

std::span<const FilterRecord> FilterTable() { return kFilters; }

const FilterRecord& FilterRecordOf(FilterId id) { return kFilters[size_t(id)]; }

std::optional<FilterId> FilterByName(std::string_view utf8Name) {
    for (const FilterRecord& r : kFilters)
        if (r.utf8Name == utf8Name) return r.id;
    return std::nullopt;
}

FilterValues DefaultFilterValues(FilterId id) {
    const FilterRecord& r = FilterRecordOf(id);
    FilterValues v{};
    for (int i = 0; i < r.parameterCount; ++i) v[size_t(i)] = r.parameters[size_t(i)].defaultValue;
    return v;
}

FilterValues ClampFilterValues(FilterId id, FilterValues values) {
    const FilterRecord& r = FilterRecordOf(id);
    for (int i = 0; i < 3; ++i) {
        const FilterParameter& p = r.parameters[size_t(i)];
        values[size_t(i)] =
            i < r.parameterCount ? std::clamp(values[size_t(i)], p.minimum, p.maximum) : 0;
    }
    return values;
}

}  // namespace quillet
