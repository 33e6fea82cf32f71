#pragma once
// The rectangle rule of the selection tools, shared by the rectangle tool and the headless
// commands that take a rectangle.
namespace quillet {

class CBrevDoc;

// Aligns the mask to the current layer, clears it and selects every pixel with
// left ≤ x ≤ right and top ≤ y ≤ bottom (current-layer coordinates, rows counted from the
// layer's top, both edges inclusive; the corners may come in any order). The selection is then
// active, shown and ready. False when there is no current layer.
bool SelectRectangle(CBrevDoc& doc, int left, int top, int right, int bottom);

// As SelectRectangle, selecting the ellipse inscribed in the rectangle instead: the pixels
// whose centres lie within it (the pupil for red-eye removal).
bool SelectEllipse(CBrevDoc& doc, int left, int top, int right, int bottom);

}  // namespace quillet
