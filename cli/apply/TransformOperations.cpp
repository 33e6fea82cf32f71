// Free rotation and the warp onto four handles for quillet-cli apply: the current layer (or
// --layer's), as the transform panels apply it.
#include "cli/apply/ApplyOperation.h"
#include "document/CBrevDoc.h"
#include "document/EditCycle.h"
#include "document/FreeTransform.h"
#include "document/GeometryCommands.h"

namespace quillet::cli {

namespace {

constexpr ApplyParameter kRotateFree[] = {
    {"degrees", -359, 359, 0, {}, "clockwise on screen; -90 turns as 270", true}};

EditOutcome rotateFree(CBrevDoc& doc, const ApplyValues& v) {
    int degrees = v.Int("degrees");
    if (degrees < 0) degrees += 360;
    if (degrees == 0) return EditOutcome::Unchanged;
    return RotateLayerFree(doc, degrees, v.layer) ? EditOutcome::Done : EditOutcome::Refused;
}

// Handles within any canvas the program makes, and room to drag beyond it.
constexpr int64_t kHandleLimit = 2 * 30000;
constexpr ApplyParameter kTransform[] = {
    {"x0", -kHandleLimit, kHandleLimit, 0, {}, "bottom-left handle, canvas pixels", true},
    {"y0", -kHandleLimit, kHandleLimit, 0, {}, "", true},
    {"x1", -kHandleLimit, kHandleLimit, 0, {}, "bottom-right handle", true},
    {"y1", -kHandleLimit, kHandleLimit, 0, {}, "", true},
    {"x2", -kHandleLimit, kHandleLimit, 0, {}, "top-right handle", true},
    {"y2", -kHandleLimit, kHandleLimit, 0, {}, "", true},
    {"x3", -kHandleLimit, kHandleLimit, 0, {}, "top-left handle", true},
    {"y3", -kHandleLimit, kHandleLimit, 0, {}, "", true}};

EditOutcome transform(CBrevDoc& doc, const ApplyValues& v) {
    CornerHandles h;
    const char* const xs[] = {"x0", "x1", "x2", "x3"};
    const char* const ys[] = {"y0", "y1", "y2", "y3"};
    for (size_t k = 0; k < 4; ++k) {
        h.x[k] = v.Int(xs[k]);
        h.y[k] = v.Int(ys[k]);
    }
    return TransformLayer(doc, h, v.layer) ? EditOutcome::Done : EditOutcome::Refused;
}

constexpr ApplyOperation kOperations[] = {
    {"rotate-free", "자유회전: the layer turned about its centre, smoothly", kRotateFree,
     rotateFree, nullptr, nullptr, ApplyTarget::Layers},
    {"transform",
     "자유변환: the layer's content warped onto four handles (0 bottom-left, 1 bottom-right, "
     "2 top-right, 3 top-left)",
     kTransform, transform, nullptr, nullptr, ApplyTarget::Layers},
};

}  // namespace

std::span<const ApplyOperation> TransformOperations() { return kOperations; }

}  // namespace quillet::cli
