// Flips, turns, resampling and canvas size for quillet-cli apply: the canvas commands, or with
// --layer the layer commands.
#include "cli/apply/ApplyOperation.h"
#include "document/CBrevDoc.h"
#include "document/EditCycle.h"
#include "document/GeometryCommands.h"

namespace quillet::cli {

namespace {

// The geometry commands answer false both when they refuse and when there is nothing to do;
// the command line tells the two apart beforehand where it can (an unchanged size).
EditOutcome outcome(bool done) { return done ? EditOutcome::Done : EditOutcome::Refused; }

bool sameSize(const CBrevDoc& doc, const ApplyValues& v) {
    return doc.Layers().header.canvasWidth == v.Int("width") &&
           doc.Layers().header.canvasHeight == v.Int("height");
}

template <FlipAxis Axis>
EditOutcome flip(CBrevDoc& doc, const ApplyValues& v) {
    return outcome(v.layer >= 0 ? FlipLayer(doc, Axis, v.layer) : FlipCanvas(doc, Axis));
}

constexpr std::string_view kTurns[] = {"90", "-90", "180"};
constexpr ApplyParameter kRotate[] = {
    {"degrees", 0, 2, 0, kTurns, "clockwise on screen; -90 turns back"}};

EditOutcome rotate(CBrevDoc& doc, const ApplyValues& v) {
    constexpr QuarterTurn turns[] = {QuarterTurn::Clockwise, QuarterTurn::Anticlockwise,
                                     QuarterTurn::Half};
    const QuarterTurn turn = turns[v.Int("degrees")];
    return outcome(v.layer >= 0 ? RotateLayer(doc, turn, v.layer) : RotateCanvas(doc, turn));
}

constexpr ApplyParameter kResize[] = {{"width", 1, kMaxGeometrySide, 0, {}, "pixels", true},
                                      {"height", 1, kMaxGeometrySide, 0, {}, "pixels", true}};
constexpr ApplyParameter kCanvasSize[] = {
    {"width", 1, kMaxGeometrySide, 0, {}, "pixels", true},
    {"height", 1, kMaxGeometrySide, 0, {}, "pixels", true},
    {"anchor", 0, kAnchorCount - 1, 4, {}, "where the picture goes, in reading order (4 centre)"}};

constexpr ApplyOperation kOperations[] = {
    {"flip-horizontal",
     "수평제비회전: the canvas left to right",
     {},
     flip<FlipAxis::Horizontal>,
     nullptr,
     nullptr,
     ApplyTarget::Layers},
    {"flip-vertical",
     "수직제비회전: the canvas top to bottom",
     {},
     flip<FlipAxis::Vertical>,
     nullptr,
     nullptr,
     ApplyTarget::Layers},
    {"mirror",
     "거울변환: the current layer's picture left to right",
     {},
     [](CBrevDoc& d, const ApplyValues&) { return outcome(MirrorDisplayImage(d)); },
     nullptr,
     nullptr,
     ApplyTarget::Layers},
    {"rotate", "캔버스 90 우회전, 90 좌회전, 180 회전: the canvas turned, its size following",
     kRotate, rotate, nullptr, nullptr, ApplyTarget::Layers},
    {"resize", "이미지크기: every layer resampled to a canvas of width x height", kResize,
     [](CBrevDoc& d, const ApplyValues& v) {
         return sameSize(d, v) ? EditOutcome::Unchanged
                               : outcome(ResampleDocument(d, v.Int("width"), v.Int("height")));
     },
     nullptr, nullptr, ApplyTarget::Canvas},
    {"canvas-size", "캔버스크기조정: a canvas of width x height, the picture placed by the anchor",
     kCanvasSize,
     [](CBrevDoc& d, const ApplyValues& v) {
         return sameSize(d, v)
                    ? EditOutcome::Unchanged
                    : outcome(ResizeCanvas(d, v.Int("width"), v.Int("height"), v.Int("anchor")));
     },
     nullptr, nullptr, ApplyTarget::Canvas},
};

}  // namespace

std::span<const ApplyOperation> GeometryOperations() { return kOperations; }

}  // namespace quillet::cli
