#pragma once
// The selection mask's values and the operations on them that every selection tool shares:
// aligning the mask to the current layer, showing, dropping and inverting the selection, the
// magic wand, the colour range and the circle outline. Points are current-layer coordinates with
// rows counted from the layer's top.
#include <cstdint>
#include <optional>
#include <string>

namespace quillet {

class CBrevDoc;

inline constexpr int kSelectionOutlineMs = 400;
inline constexpr int kWandDefaultTolerance = 25;

// Aligns the mask to the current layer: a mask of the layer's size and origin, 1 everywhere
// while no selection is shown and 0 while one is, with the overlapping part of the old mask
// copied in at its canvas place. False without a current layer.
bool AlignSelectionMask(CBrevDoc& doc);
// Sets every mask byte.
void FillSelectionMask(CBrevDoc& doc, uint8_t value);
// Outline bytes become selected ones: an earlier selection kept when adding to it.
void OutlineToSelected(CBrevDoc& doc);
// The mask changed: views rebuild the outline.
void TouchSelection(CBrevDoc& doc);

// A selection exists and is shown; the animation starts. `ready` when its interior is already
// filled (rectangle, magic wand, colour range); otherwise the first animation tick fills it.
void ShowSelection(CBrevDoc& doc, bool ready);
// The first tick after a freehand, polygon or circle outline: fills its interior. True when it
// filled.
bool CompleteOutline(CBrevDoc& doc);

// Drops the selection: the animation stops, the display flags and the tool anchors are
// cleared, the polygon guard is armed and every mask byte becomes 1 unless `keepMask` (the
// magic wand adding to its selection). A floating layer is merged back into its source layer.
void DropSelection(CBrevDoc& doc, bool keepMask = false);

// Selected bytes become 0 and everything else 1 (outline and marker bytes become 0); the
// selection-exists flag toggles. False without a current layer.
bool InvertSelection(CBrevDoc& doc);

// Selects the area 4-connected to (x, y) whose colours differ from the clicked one by less than
// `tolerance` (sum of the channel differences), skipping transparent pixels. With `add` the
// selection so far stays. False when the point is outside the layer or the layer has no pixels.
bool MagicWandAt(CBrevDoc& doc, int x, int y, int tolerance, bool add);

// What the colour range picked: the colour under the click (0x00RRGGBB), how many pixels were
// selected and their share of the layer in percent.
struct ColourRangePick {
    uint32_t colour = 0;
    int count = 0;
    double percent = 0.0;
};
// Selects every pixel of the layer, connected or not, whose colour differs from the clicked one by
// at most `tolerance`; transparent pixels stay out. Without `add` the layer is restored from its
// snapshot and the selection starts empty.
std::optional<ColourRangePick> SelectColourRangeAt(CBrevDoc& doc, int x, int y, int tolerance,
                                                   bool add);
// The dialog's count line: "픽셀수 %d   (%.2f)%s           ".
std::string ColourRangeCountText(const ColourRangePick& pick);

// Clears the mask and draws the outline of the circle centred on (cx, cy) through (px, py) with
// outline values. False (nothing changed) when the radius is 0.
bool DrawCircleOutline(CBrevDoc& doc, int cx, int cy, int px, int py);

}  // namespace quillet
