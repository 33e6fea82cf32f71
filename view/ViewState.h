#pragma once
// The headless half of a document window: scroll position and extent, the displayed picture
// rectangle, point mapping, the update after a zoom change, the title, and the dispatch of
// mouse and keys to the current tool. The Qt view mirrors its numbers into scroll bars.
#include <optional>
#include <string>
#include <string_view>

#include "document/DocViewState.h"
#include "document/compositor/Compositor.h"
#include "view/OutlineAnimation.h"
#include "view/ToolOperation.h"
#include "view/ViewTypes.h"

namespace quillet {

class CBrevDoc;
class ClipboardPort;
struct ToolState;

// Virtual key codes the view reacts to.
namespace VirtualKey {
constexpr int Shift = 16;
constexpr int Control = 17;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int One = 0x31;
constexpr int Plus = 187;
constexpr int Minus = 189;
}  // namespace VirtualKey

// Key-down flags of a left Shift held down (scan code 0x2A, previous-state bit).
constexpr unsigned kLeftShiftRepeatFlags = 0x402A;

// What the application lends every window: the main frame's tool state, the clipboard and the
// tool operations.
struct ViewContext {
    ToolState& tools;
    ClipboardPort* clipboard = nullptr;
    const ToolRegistry* registry = nullptr;
};

class ViewState {
public:
    ViewState(CBrevDoc& doc, ViewContext context);

    CBrevDoc& Doc() { return doc_; }
    const CBrevDoc& Doc() const { return doc_; }
    ToolState& Tools() { return ctx_.tools; }
    OutlineAnimation& Animation() { return animation_; }

    // Window geometry.
    void SetClientSize(ViewSize size);
    ViewSize ClientSize() const { return client_; }
    ViewPoint Scroll() const { return scroll_; }
    ViewSize ScrollExtent() const { return extent_; }
    ViewPoint ScrollMax() const;
    // Scrolls within the range, stores the position in the document and asks for a recompose.
    void ScrollTo(ViewPoint position);

    // The picture on screen.
    ViewSize ZoomedSize() const;
    ViewRect DisplayedRect() const;
    // Scroll position in effect: 0 in a direction where the picture fits the window.
    ViewPoint EffectiveScroll() const;
    // A window point (clamped to the displayed rectangle) in zoomed coordinates.
    ViewPoint ToZoomed(ViewPoint window) const;
    // The compositor request for a window area.
    DisplayRequest RequestFor(ViewRect area) const;

    // Updates after a document change. Zoom (hint 1025) keeps the zoom anchor, or the scroll
    // place, at the same relative position. Other hints only set the extent.
    void UpdateForZoom();
    void UpdateOther();
    // True once after UpdateForZoom when the child frame should be fitted to the picture (the
    // one-shot keep-frame-size flag suppresses it).
    bool TakeFrameFitRequest();
    // The frame's client size that fits the picture: zoomed size, at most the room from the
    // frame's corner to the main window's client edge less 12, plus 4.
    static ViewSize FrameFitClientSize(ViewSize zoomed, ViewPoint frameTopLeft,
                                       ViewSize mainClient);

    // "%s %d %s (%s)": document name, zoom in percent, "%", current layer name; `extra` is
    // appended as "%s %s".
    std::string Title(std::string_view extra = {}) const;

    // Input. Points are window coordinates.
    void ButtonDown(ViewPoint window);
    void MouseMove(ViewPoint window, bool leftHeld);
    void ButtonUp(ViewPoint window);
    void DoubleClick(ViewPoint window);
    // Key events with virtual key codes; `flags` carries the scan code and previous-state bit.
    void KeyDown(int key, unsigned flags = 0);
    void KeyUp(int key);
    bool CtrlHeld() const { return ctrlHeld_; }
    bool LeftDown() const { return leftDown_; }
    // Cursor for the current tool (CursorId).
    int Cursor() const;

    // Focus and timer.
    void FocusGained();
    void FocusLost();
    bool TimerTick();  // true: repaint
    void DropSelection();

    // Move tool (MoveTool.cpp).
    bool MoveDragging() const { return moveDrag_; }
    // The pointer left the window during a move drag: the layer goes back to where the drag
    // started and is put on the clipboard; the main frame remembers a pending drop.
    bool MoveDragLeft();
    // Pastes a pending drop from another document as a new layer. True when it did.
    bool AcceptPendingDrop();
    void MoveLayerBy(int dx, int dy);
    // Arrow keys with the move tool: each nudge moves the layer and marks the document
    // modified; the run of nudges becomes one journal step when it ends (a pause, another key,
    // a click, the focus leaving, or any command). True when a step was recorded.
    bool NudgeRunOpen() const { return nudgeSlot_ >= 0; }
    bool EndNudgeRun();

private:
    void MoveDown(ViewPoint zoomed);
    void MoveDrag(ViewPoint zoomed);
    void MoveUp();
    void ToolDown(ViewPoint zoomed);
    void ToolDrag(ViewPoint zoomed);
    void ToolUp(ViewPoint zoomed);
    ToolOperation* CurrentOperation() const;
    ToolEvent EventAt(ViewPoint zoomed);
    void StoreGeometry();

    CBrevDoc& doc_;
    ViewContext ctx_;
    OutlineAnimation animation_;
    ViewSize client_;
    ViewPoint scroll_;
    ViewSize extent_;
    bool frameFitRequest_ = false;
    bool ctrlHeld_ = false;
    bool leftDown_ = false;
    bool moveDrag_ = false;
    bool moveTransferred_ = false;
    ViewPoint moveStartRaw_{-1, -1};
    ViewPoint moveStartLayer_{0, 0};
    int moveSlot_ = -1;
    int nudgeSlot_ = -1;  // layer of the open run of arrow-key nudges
    std::optional<ViewPoint> lastRaw_;
};

}  // namespace quillet
