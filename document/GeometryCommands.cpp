// Flips, quarter turns, free rotation and the mirror of the display image.
#include "document/GeometryCommands.h"

#include <cmath>

#include "document/GeometryEdit.h"
#include "image/RaViru.h"

namespace quillet {

using namespace geometry;

namespace {

void flipPlanes(LayerTable& t, int slot, FlipAxis axis) {
    const Layer& l = t.layer(slot);
    LayerPlanes& p = t.planesOf(slot);
    const auto flip = axis == FlipAxis::Horizontal ? FlipHorizontal : FlipVertical;
    flip(PixelPlane(t, slot));
    flip(BytePlane(p.alpha, l.width, l.height));
    flip(BytePlane(p.effect, l.width, l.height));
}

// Turns one layer's three planes into new ones; the caller places them.
NewPlanes turnPlanes(CBrevDoc& doc, int slot, QuarterTurn turn, LayerProgress& progress) {
    LayerTable& t = doc.Layers();
    const Layer& l = t.layer(slot);
    int w, h;
    TurnedSize(turn, l.width, l.height, w, h);
    NewPlanes out = AllocatePlanes(t, slot, w, h);
    const int threads = GeometryThreads(uint64_t(w) * uint64_t(h));
    const LayerPlanes& p = t.planesOf(slot);
    TurnPlane(PixelPlane(t, slot), PlaneRef{out.pixels.data(), out.stride, w, h, t.LayerBits(slot)},
              turn, threads, progress.Rows());
    TurnPlane(BytePlane(p.alpha, l.width, l.height), BytePlane(out.alpha, w, h), turn, threads);
    TurnPlane(BytePlane(p.effect, l.width, l.height), BytePlane(out.effect, w, h), turn, threads);
    return out;
}

double turnDegrees(QuarterTurn turn) {
    switch (turn) {
        case QuarterTurn::Clockwise:
            return 90;
        case QuarterTurn::Anticlockwise:
            return -90;
        case QuarterTurn::Half:
            break;
    }
    return 180;
}

uint64_t canvasPixels(const LayerTable& t) {
    return uint64_t(std::max(0, t.header.canvasWidth)) *
           uint64_t(std::max(0, t.header.canvasHeight));
}

// A layer turned in place keeps its centre (integer halves, so four turns come back).
void turnLayerInPlace(CBrevDoc& doc, int slot, QuarterTurn turn, LayerProgress& progress) {
    LayerTable& t = doc.Layers();
    const Layer& l = t.layer(slot);
    const int x = l.x, y = l.y, w = l.width, h = l.height;
    NewPlanes out = turnPlanes(doc, slot, turn, progress);
    const int nx = x + (w - out.width) / 2, ny = y + (h - out.height) / 2;
    AdoptPlanes(t, slot, std::move(out), nx, ny);
}

}  // namespace

bool FlipCanvas(CBrevDoc& doc, FlipAxis axis) {
    if (!CanvasAllowed(doc)) return false;
    LayerTable& t = doc.Layers();
    const int W = t.header.canvasWidth, H = t.header.canvasHeight;
    for (int slot : t.Order()) {
        flipPlanes(t, slot, axis);
        // The layer's place is mirrored with the canvas.
        Layer& l = t.layer(slot);
        if (axis == FlipAxis::Horizontal)
            l.x = W - l.x - l.width;
        else
            l.y = H - l.y - l.height;
    }
    FinishEdit(doc, axis == FlipAxis::Horizontal ? u"수평제비회전" : u"수직제비회전",
               StepKind::Rotate, -1);
    return true;
}

bool FlipLayer(CBrevDoc& doc, FlipAxis axis, int slot) {
    slot = LayerAllowed(doc, slot);
    if (slot < 0) return false;
    flipPlanes(doc.Layers(), slot, axis);
    FinishEdit(doc, axis == FlipAxis::Horizontal ? u"레이어 수평제비회전" : u"레이어 수직제비회전",
               StepKind::PixelEdit, slot);
    return true;
}

bool RotateCanvas(CBrevDoc& doc, QuarterTurn turn) {
    if (!CanvasAllowed(doc)) return false;
    LayerTable& t = doc.Layers();
    const int W = t.header.canvasWidth, H = t.header.canvasHeight;
    LayerProgress progress(doc, canvasPixels(t));
    for (int slot : t.Order()) {
        const Layer& l = t.layer(slot);
        const int x = l.x, y = l.y, w = l.width, h = l.height;
        NewPlanes out = turnPlanes(doc, slot, turn, progress);
        // The layer's rectangle turns with the canvas: a point (X, Y) goes to (H − 1 − Y, X)
        // clockwise, (Y, W − 1 − X) anticlockwise.
        switch (turn) {
            case QuarterTurn::Clockwise:
                AdoptPlanes(t, slot, std::move(out), H - y - h, x);
                break;
            case QuarterTurn::Anticlockwise:
                AdoptPlanes(t, slot, std::move(out), y, W - x - w);
                break;
            case QuarterTurn::Half:
                AdoptPlanes(t, slot, std::move(out), W - x - w, H - y - h);
                break;
        }
    }
    TurnedSize(turn, W, H, t.header.canvasWidth, t.header.canvasHeight);
    t.header.RecomputeCanvasSizes();
    const char16_t* label = turn == QuarterTurn::Clockwise       ? u"캔버스 90 우회전"
                            : turn == QuarterTurn::Anticlockwise ? u"캔버스 90 좌회전"
                                                                 : u"캔버스 180 회전";
    StepExtras extras;
    extras.rotationDegrees = turnDegrees(turn);
    FinishEdit(doc, label, StepKind::Rotate, -1, extras);
    return true;
}

bool RotateLayer(CBrevDoc& doc, QuarterTurn turn, int slot) {
    slot = LayerAllowed(doc, slot);
    if (slot < 0) return false;
    const Layer& l = doc.Layers().layer(slot);
    LayerProgress progress(doc, uint64_t(l.width) * uint64_t(l.height));
    turnLayerInPlace(doc, slot, turn, progress);
    const char16_t* label = turn == QuarterTurn::Clockwise       ? u"레이어 90 우회전"
                            : turn == QuarterTurn::Anticlockwise ? u"레이어 90 좌회전"
                                                                 : u"레이어 180 회전";
    StepExtras extras;
    extras.rotationDegrees = turnDegrees(turn);
    FinishEdit(doc, label, StepKind::Rotate, slot, extras);
    return true;
}

namespace {

// Rotates the layer with no journal step; false when nothing changes or the layer cannot be
// rotated (sub-byte pixels, a result above the pixel limit).
bool rotateFree(CBrevDoc& doc, double degrees, int slot) {
    LayerTable& t = doc.Layers();
    const double turns = degrees / 90;
    const Layer& l = t.layer(slot);
    LayerProgress progress(doc, uint64_t(l.width) * uint64_t(l.height));
    if (turns == std::floor(turns)) {
        // Multiples of 90 move every pixel exactly.
        const int quarter = ((int(turns) % 4) + 4) % 4;
        if (quarter == 0) return false;
        const QuarterTurn turn = quarter == 1   ? QuarterTurn::Clockwise
                                 : quarter == 3 ? QuarterTurn::Anticlockwise
                                                : QuarterTurn::Half;
        turnLayerInPlace(doc, slot, turn, progress);
        return true;
    }
    if (t.LayerBits(slot) < 8) return false;
    const RotationBox box = RotatedBox(l.width, l.height, degrees);
    if (uint64_t(box.width) * uint64_t(box.height) > kMaxImagePixels) return false;
    NewPlanes out = AllocatePlanes(t, slot, box.width, box.height);
    const LayerPlanes& p = t.planesOf(slot);
    // Points outside the layer read as the image's transparent colour with alpha 0.
    const Rgbquad& tc = doc.Image().transparentColour;
    const uint8_t outside[4] = {tc.blue, tc.green, tc.red, 0};
    const uint8_t none[1] = {0};
    RotatePlane(PixelPlane(t, slot), p.alpha.data(),
                PlaneRef{out.pixels.data(), out.stride, box.width, box.height, t.LayerBits(slot)},
                out.alpha.data(), degrees, t.LayerBits(slot) == 8 ? none : outside);
    RotatePlane(BytePlane(p.effect, l.width, l.height), nullptr,
                BytePlane(out.effect, box.width, box.height), nullptr, degrees, none);
    const int x = l.x + (l.width - box.width) / 2, y = l.y + (l.height - box.height) / 2;
    AdoptPlanes(t, slot, std::move(out), x, y);
    return true;
}

bool angleInRange(double degrees) { return degrees > -360 && degrees < 360; }

}  // namespace

bool RotateLayerFree(CBrevDoc& doc, double degrees, int slot) {
    if (!angleInRange(degrees)) return false;
    slot = LayerAllowed(doc, slot);
    if (slot < 0 || !rotateFree(doc, degrees, slot)) return false;
    FinishEdit(doc, u"자유회전", StepKind::PixelEdit, slot);
    return true;
}

bool PreviewLayerRotation(CBrevDoc& doc, double degrees, int slot) {
    if (!angleInRange(degrees)) return false;
    slot = LayerAllowed(doc, slot);
    if (slot < 0) return false;
    doc.RestoreFromPreview(slot);
    rotateFree(doc, degrees, slot);
    doc.NotifyViewsUpdate();
    return true;
}

bool MirrorDisplayImage(CBrevDoc& doc) {
    const int slot = LayerAllowed(doc, -1);
    if (slot < 0) return false;
    MirrorImage(doc.Image());
    flipPlanes(doc.Layers(), slot, FlipAxis::Horizontal);
    FinishEdit(doc, u"거울변환", StepKind::PixelEdit, slot);
    return true;
}

}  // namespace quillet
