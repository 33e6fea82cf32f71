// Fill and gradient for quillet-cli apply: the fill and gradient tools' commands, at points in
// the current layer's coordinates (rows from the top). With --select they keep to the rectangle.
#include "cli/apply/ApplyOperation.h"
#include "document/EditCycle.h"
#include "view/tools/FloodFill.h"
#include "view/tools/Gradient.h"

namespace quillet::cli {

namespace {

constexpr int64_t kFar = 1 << 24;  // points anywhere near a layer; far ones change nothing

constexpr ApplyParameter kFill[] = {
    {"x", -kFar, kFar, 0, {}, "column of the clicked pixel", true},
    {"y", -kFar, kFar, 0, {}, "row of the clicked pixel, from the top", true},
    {"colour", 0, 0xFFFFFF, 0x000000, {}, "the fill colour", false, ApplyValueKind::Colour},
    {"tolerance", 0, 60, 10, {}, "포함한계치: neighbours whose difference sum is below it join"},
    {"feather", 0, 30, 0, {}, "경계퍼짐: softens the alpha towards the selection's edge"},
};

EditOutcome fill(CBrevDoc& doc, const ApplyValues& v) {
    return FillAt(doc, v.Int("x"), v.Int("y"),
                  {uint32_t(v["colour"]), v.Int("tolerance"), v.Int("feather")});
}

constexpr std::string_view kShapes[] = {"linear", "mirrored"};
constexpr std::string_view kColours[] = {"fg", "fg-bg"};
constexpr ApplyParameter kGradient[] = {
    {"x1", -kFar, kFar, 0, {}, "start of the guide line", true},
    {"y1", -kFar, kFar, 0, {}, "", true},
    {"x2", -kFar, kFar, 0, {}, "end of the guide line", true},
    {"y2", -kFar, kFar, 0, {}, "", true},
    {"shape", 1, 2, 1, kShapes, "선형변화 one way, 정규변화 mirrored around the middle"},
    {"colours", 1, 2, 1, kColours, "전경 foreground to black, 전경+배경 foreground to background"},
    {"fg", 0, 0xFFFFFF, 0x000000, {}, "foreground colour", false, ApplyValueKind::Colour},
    {"bg", 0, 0xFFFFFF, 0xFFFFFF, {}, "background colour", false, ApplyValueKind::Colour},
};

EditOutcome gradient(CBrevDoc& doc, const ApplyValues& v) {
    GradientOptions o;
    o.shape = GradientShape(v.Int("shape"));
    o.colours = GradientColours(v.Int("colours"));
    o.foreground = uint32_t(v["fg"]);
    o.background = uint32_t(v["bg"]);
    return ApplyGradient(doc, {v.Int("x1"), v.Int("y1"), v.Int("x2"), v.Int("y2")}, o);
}

std::string needsLength(const ApplyValues& v) {
    if (v["x1"] == v["x2"] && v["y1"] == v["y2"])
        return "the guide line needs two different points";
    return {};
}

constexpr ApplyOperation kOperations[] = {
    {"fill", "채우기: flood the area of similar colour at (x, y)", kFill, fill},
    {"gradient", "그라디언트: a colour ramp along the guide line (x1, y1) → (x2, y2)", kGradient,
     gradient, needsLength},
};

}  // namespace

std::span<const ApplyOperation> FillOperations() { return kOperations; }

}  // namespace quillet::cli
