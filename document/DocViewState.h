#pragma once
#include <initializer_list>
// What a document keeps for the windows that show it: zoom anchor, tool anchor points, the
// stretch flag and the selection display flags. They belong to the document, not to one view,
// so they survive the view and are shared by every window on the document.
#include <cstdint>

#include "document/GuidePath.h"

namespace quillet {

struct AnchorPoint {
    int32_t x = -1;  // -1: unset
    int32_t y = -1;
    bool IsSet() const { return x != -1 || y != -1; }
    void Reset() { x = y = -1; }
};

// Tool anchor points in zoomed coordinates; a zoom change rescales every set one.
struct ToolAnchors {
    AnchorPoint drag;          // rectangle, circle selection, line, gradient, polyline, brush
    AnchorPoint farCorner;     // far corner of a drag
    AnchorPoint freehandLast;  // freehand selection's last point
    AnchorPoint polygonStart;  // polygon selection's first vertex
    AnchorPoint circlePress;   // circle tool's press point
    AnchorPoint eraserLast;
    AnchorPoint moveLast;  // move tool's last point

    template <class F>
    void ForEach(F&& f) {
        for (AnchorPoint* p : {&drag, &farCorner, &freehandLast, &polygonStart, &circlePress,
                               &eraserLast, &moveLast})
            f(*p);
    }
    void ResetAll() {
        ForEach([](AnchorPoint& p) { p.Reset(); });
    }
};

struct DocViewState {
    bool stretchView = false;
    AnchorPoint zoomAnchor;  // zoomed coordinates at the old zoom; unset: keep the scroll place
    ToolAnchors anchors;
    // Copy of the last view's scroll position and client size, for the tool operations.
    int scrollX = 0;
    int scrollY = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    bool keepFrameSize = false;  // one-shot: the next zoom update does not resize the frame
    // Selection display.
    bool selectionShown = false;
    bool outlineReady = false;
    bool outlinePaused = false;
    int polygonVertices = 0;
    bool selectionMovePending = false;
    bool recomposeNeeded = true;
    bool addToSelection = false;  // the add-to-selection modifier (left Shift held)
    // After a selection was dropped the first polygon click only clears this.
    bool polygonGuard = false;
    // Changes whenever the selection mask's bytes change, so that views rebuild the outline
    // without composing the layers again.
    uint32_t maskRevision = 0;
    GuidePath path;  // the path panel's guide points
};

}  // namespace quillet
