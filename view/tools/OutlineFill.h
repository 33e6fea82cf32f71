#pragma once
// Closed outlines in the selection mask: the edges the freehand, polygon and path tools draw
// with outline values, and the fill that turns a closed outline into a selected area.
// Coordinates are current-layer coordinates with rows counted from the layer's top.
#include <cstdint>
#include <optional>

#include "document/SelectionMask.h"

namespace quillet {

struct MaskPoint {
    int x = 0;
    int y = 0;
    bool operator==(const MaskPoint&) const = default;
};

// Writes `value` along the line from (x0, y0) to (x1, y1), both ends included, stepping along
// the longer axis. Points outside the mask are skipped.
void DrawOutlineLine(SelectionMask& mask, int x0, int y0, int x1, int y1,
                     uint8_t value = MaskValue::Outline);

// The seed of the fill: rows from the top; in a row the first outline pixel opens a run, a later
// one more than 3 columns away proposes the midpoint, which is taken when its column has outline
// pixels above and below it; a closer one restarts the run. Without an accepted proposal the
// last one; none when nothing was proposed.
std::optional<MaskPoint> FindOutlineSeed(const SelectionMask& mask);

// Every byte that is not an outline byte becomes 0, then everything 4-connected to the seed that
// is not outline becomes 1. False when there was no seed: only the outline stays selected.
bool FillClosedOutline(SelectionMask& mask);

}  // namespace quillet
