// apply's geometry operations: the canvas commands, or with --layer the layer commands.
#include "cli/Apply.h"
#include "document/CBrevDoc.h"
#include "document/GeometryCommands.h"

namespace quillet::cli {

namespace {

bool flip(const ApplyContext& c, FlipAxis axis) {
    return c.layer >= 0 ? FlipLayer(c.doc, axis, c.layer) : FlipCanvas(c.doc, axis);
}

QuarterTurn turnOf(int choice) {
    return choice == 0   ? QuarterTurn::Clockwise
           : choice == 1 ? QuarterTurn::Anticlockwise
                         : QuarterTurn::Half;
}

bool sameSize(const CBrevDoc& doc, int width, int height) {
    return doc.Layers().header.canvasWidth == width && doc.Layers().header.canvasHeight == height;
}

}  // namespace

void AddGeometryOperations(std::vector<ApplyOperation>& r) {
    r.push_back({"flip-horizontal",
                 "mirror the picture left to right (\"수평제비회전\"); with --layer that layer",
                 {},
                 true,
                 [](const ApplyContext& c) { return flip(c, FlipAxis::Horizontal); }});
    r.push_back({"flip-vertical",
                 "mirror the picture top to bottom (\"수직제비회전\"); with --layer that layer",
                 {},
                 true,
                 [](const ApplyContext& c) { return flip(c, FlipAxis::Vertical); }});
    r.push_back({"mirror",
                 "mirror the display image, the current layer (\"거울변환\")",
                 {},
                 true,
                 [](const ApplyContext& c) { return MirrorDisplayImage(c.doc); }});
    r.push_back({"rotate",
                 "turn the canvas clockwise by 90, back by 90 or by 180; with --layer that layer",
                 {{"degrees", 0, 2, 0, false, {"90", "-90", "180"}}},
                 true,
                 [](const ApplyContext& c) {
                     const QuarterTurn t = turnOf(c.values[0]);
                     return c.layer >= 0 ? RotateLayer(c.doc, t, c.layer) : RotateCanvas(c.doc, t);
                 }});
    r.push_back(
        {"resize",
         "resample every layer to a canvas of width x height (\"이미지크기\")",
         {{"width", 1, kMaxGeometrySide, 0, true}, {"height", 1, kMaxGeometrySide, 0, true}},
         false,
         [](const ApplyContext& c) {
             return sameSize(c.doc, c.values[0], c.values[1]) ||
                    ResampleDocument(c.doc, c.values[0], c.values[1]);
         }});
    r.push_back({"canvas-size",
                 "give the picture a canvas of width x height, placed by the anchor 0..8 in "
                 "reading order (\"캔버스크기조정\")",
                 {{"width", 1, kMaxGeometrySide, 0, true},
                  {"height", 1, kMaxGeometrySide, 0, true},
                  {"anchor", 0, kAnchorCount - 1, 4}},
                 false,
                 [](const ApplyContext& c) {
                     return sameSize(c.doc, c.values[0], c.values[1]) ||
                            ResizeCanvas(c.doc, c.values[0], c.values[1], c.values[2]);
                 }});
}

}  // namespace quillet::cli
