#pragma once
// Flips, quarter turns, free rotation, resampling and canvas size on a document: each command
// changes the canvas (every layer) or one layer, records its journal step with its undo label
// and refreshes the views. Canvas commands refuse a picture that holds a text layer, layer
// commands a text layer; the user is told and nothing changes.
#include "image/effects/Geometry.h"

namespace quillet {

class CBrevDoc;

enum class FlipAxis { Horizontal, Vertical };

// "수평제비회전" / "수직제비회전": every layer flipped within the canvas.
bool FlipCanvas(CBrevDoc& doc, FlipAxis axis);
// "레이어 수평제비회전" / "레이어 수직제비회전": one layer (-1: the current one) in its place.
bool FlipLayer(CBrevDoc& doc, FlipAxis axis, int slot = -1);

// "캔버스 90 우회전", "캔버스 90 좌회전", "캔버스 180 회전": every layer turned with the
// canvas, whose size follows.
bool RotateCanvas(CBrevDoc& doc, QuarterTurn turn);
// "레이어 90 우회전", "레이어 90 좌회전", "레이어 180 회전": one layer turned about its centre.
bool RotateLayer(CBrevDoc& doc, QuarterTurn turn, int slot = -1);
// "자유회전": one layer rotated by `degrees` (clockwise, above -360 and below 360; multiples
// of 90 turn exactly), nearest neighbour, the corners the rotation opens transparent.
bool RotateLayerFree(CBrevDoc& doc, double degrees, int slot = -1);
// The free-rotation dialog's preview: the layer as the preview copy holds it (copied there when
// the dialog opened) rotated by `degrees`, with no journal step. Restoring the layer from the
// preview copy ends it.
bool PreviewLayerRotation(CBrevDoc& doc, double degrees, int slot = -1);

// "이미지크기": every layer resampled so that the canvas becomes width × height. Nothing
// happens at the current size.
bool ResampleDocument(CBrevDoc& doc, int width, int height);

// Where the old picture goes on a resized canvas: 0..8 in reading order, 4 the centre.
constexpr int kAnchorCount = 9;
// Canvas offset of the old picture's top-left corner for the anchor (screen rows).
void CanvasAnchorOffset(int anchor, int oldWidth, int oldHeight, int newWidth, int newHeight,
                        int& dx, int& dy);
// "캔버스크기조정": the canvas becomes width × height with the picture placed by the anchor;
// the area added is as a new layer holds it (transparent).
bool ResizeCanvas(CBrevDoc& doc, int width, int height, int anchor);

// "거울변환": the display image, the current layer's picture, mirrored left to right (the
// document's image object with it).
bool MirrorDisplayImage(CBrevDoc& doc);

// Largest width or height the size dialogs and the command line accept.
constexpr int kMaxGeometrySide = 30000;

}  // namespace quillet
