// Free transform and free rotate: the modes, the handle rules, the preview and the panel's
// buttons.
#include "view/tools/FreeTransformTool.h"

#include <cmath>
#include <cstdlib>

#include "document/CBrevDoc.h"
#include "document/FreeTransform.h"
#include "document/GeometryCommands.h"
#include "document/GeometryEdit.h"
#include "platform/UserPort.h"
#include "view/ToolChoice.h"
#include "view/ToolState.h"
#include "view/ViewZoom.h"

namespace quillet {

const char* const kTransformZoomMessage = "자유변형은 줌 100% 상태에서 동작함";

namespace {

constexpr uint8_t kOutlineValue = 2;
constexpr uint8_t kMarkerValue = 5;
constexpr int kHandleHalf = 3;  // handle squares of 7 × 7 mask pixels

void dropSelection(CBrevDoc& doc) {
    DocViewState& v = doc.ViewShared();
    if (doc.SelectionActive() || v.selectionShown) doc.NotifySelectionOutlineTimer(0);
    doc.SetSelectionActive(false);
    v.selectionShown = false;
    v.outlineReady = false;
    v.polygonVertices = 0;
    v.recomposeNeeded = true;
}

// The mask over the current layer, all selectable, then the four edges as outline pixels and
// the handles as small squares, the grabbed one filled with markers.
void drawOutline(CBrevDoc& doc) {
    const FreeTransformState& s = doc.FreeTransform();
    LayerTable& t = doc.Layers();
    if (!t.InList(s.slot)) return;
    const Layer& l = t.layer(s.slot);
    SelectionMask& m = t.mask;
    m.Reset(l.x, l.y, l.width, l.height, 1);
    auto put = [&](int cx, int cy, uint8_t value) {
        const int x = cx - l.x, y = cy - l.y;
        if (x < 0 || y < 0 || x >= l.width || y >= l.height) return;
        m.bytes[size_t(l.height - 1 - y) * size_t(l.width) + size_t(x)] = value;
    };
    for (size_t k = 0; k < 4; ++k) {
        const size_t n = (k + 1) & 3;
        int x0 = s.handles.x[k], y0 = s.handles.y[k];
        const int x1 = s.handles.x[n], y1 = s.handles.y[n];
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            put(x0, y0, kOutlineValue);
            if (x0 == x1 && y0 == y1) break;
            const int e2 = 2 * err;
            if (e2 >= dy) err += dy, x0 += sx;
            if (e2 <= dx) err += dx, y0 += sy;
        }
    }
    for (int k = 0; k < 4; ++k)
        for (int dy = -kHandleHalf; dy <= kHandleHalf; ++dy)
            for (int dx = -kHandleHalf; dx <= kHandleHalf; ++dx) {
                const bool border = std::abs(dx) == kHandleHalf || std::abs(dy) == kHandleHalf;
                const int x = s.handles.x[size_t(k)] + dx, y = s.handles.y[size_t(k)] + dy;
                if (k == s.grabbed && s.dragging)
                    put(x, y, kMarkerValue);
                else if (border)
                    put(x, y, kOutlineValue);
            }
    doc.ViewShared().recomposeNeeded = true;
}

void clearState(CBrevDoc& doc, ToolState& tools) {
    doc.FreeTransform() = FreeTransformState{};
    tools.freeTransformPanelOpen = false;
    tools.currentTool = ToolId::None;
}

// The end of a transform: the mask follows the layer again, everything is shown afresh.
void finish(CBrevDoc& doc, int slot) {
    LayerTable& t = doc.Layers();
    if (t.InList(slot)) {
        const Layer& l = t.layer(slot);
        t.mask.Reset(l.x, l.y, l.width, l.height, 1);
    }
    doc.ViewShared().recomposeNeeded = true;
    doc.NotifyViewsUpdate();
}

bool putAside(CBrevDoc& doc, int slot, bool keepOriginal) {
    FreeTransformState& s = doc.FreeTransform();
    LayerTable& t = doc.Layers();
    if (!keepOriginal) SaveLayerCopy(t, slot, s.original);
    SaveLayerCopy(t, slot, s.start);
    doc.CopyToSnapshot(slot);
    s.slot = slot;
    s.grabbed = 0;
    s.dragging = false;
    return true;
}

// Canvas pixels a window samples at the document's zoom, over the part the windows show
// (the whole canvas when no window has told its size).
void viewSamples(const CBrevDoc& doc, std::vector<int>& columns, std::vector<int>& rows) {
    const PictureHeader& h = doc.Layers().header;
    const DocViewState& v = doc.ViewShared();
    const double z = doc.Zoom();
    auto axis = [z](int canvas, int scroll, int client, std::vector<int>& out) {
        const int zoomed = int(double(canvas) * z);
        int first = 0, last = zoomed;
        if (client > 0) {
            first = std::clamp(scroll, 0, zoomed);
            last = std::min(zoomed, first + client);
        }
        out.clear();
        for (int p = first; p < last; ++p) {
            const int c = std::min(canvas - 1, int(std::floor(p / z)));
            if (out.empty() || out.back() != c) out.push_back(c);
        }
    };
    axis(h.canvasWidth, v.scrollX, v.clientWidth, columns);
    axis(h.canvasHeight, v.scrollY, v.clientHeight, rows);
}

void previewOnView(CBrevDoc& doc) {
    FreeTransformState& s = doc.FreeTransform();
    std::vector<int> columns, rows;
    viewSamples(doc, columns, rows);
    if (!WarpLayerPreview(doc.Layers(), s.slot, s.start.record, s.start.planes, s.source, s.handles,
                          columns, rows))
        RestoreLayerCopy(doc.Layers(), s.slot, s.start);
}

int horizontalPartner(int k) { return k ^ 1; }  // 0–1 bottom edge, 2–3 top edge
int verticalPartner(int k) { return 3 - k; }    // 0–3 left edge, 1–2 right edge

}  // namespace

TransformMode TransformModeOf(ToolId tool) {
    switch (tool) {
        case ToolId::TransformSize:
            return TransformMode::Scale;
        case ToolId::TransformDistort:
            return TransformMode::Distort;
        case ToolId::TransformPerspective:
            return TransformMode::Perspective;
        case ToolId::FreeRotate:
            return TransformMode::Rotate;
        default:
            return TransformMode::None;
    }
}

bool EnterFreeTransform(CBrevDoc& doc, ToolState& tools, ToolId mode) {
    const TransformMode m = TransformModeOf(mode);
    if (m == TransformMode::None || m == TransformMode::Rotate) return false;
    if (tools.currentTool == mode || doc.Busy()) return false;
    FreeTransformState& s = doc.FreeTransform();
    const bool chained = s.Active();
    const int slot = chained ? s.slot : geometry::LayerAllowed(doc, -1);
    if (slot < 0 || !doc.Layers().InList(slot)) return false;
    if (ChooseTool(tools, mode, &doc) != ToolChoice::Chosen) return false;
    if (doc.Zoom() != 1.0) ZoomOneToOne(doc);
    putAside(doc, slot, chained);
    s.mode = m;
    s.source = ContentBox(doc.Layers(), slot);
    s.handles = s.saved = BoxCornerHandles(s.source);
    tools.freeTransformPanelOpen = true;
    dropSelection(doc);
    drawOutline(doc);
    doc.NotifyViewsUpdate();
    return true;
}

bool EnterFreeRotate(CBrevDoc& doc, ToolState& tools) {
    if (doc.Busy() || doc.FreeTransform().Active()) return false;
    const int slot = geometry::LayerAllowed(doc, -1);
    if (slot < 0) return false;
    if (ChooseTool(tools, ToolId::FreeRotate, &doc) == ToolChoice::Refused) return false;
    putAside(doc, slot, false);
    FreeTransformState& s = doc.FreeTransform();
    s.mode = TransformMode::Rotate;
    const Layer& l = doc.Layers().layer(slot);
    s.source = HandleBox{l.x, l.y, l.width, l.height};
    s.handles = s.saved = LayerCornerHandles(l);
    s.angle = 0;
    dropSelection(doc);
    drawOutline(doc);
    doc.NotifyViewsUpdate();
    return true;
}

int NearestHandle(const CornerHandles& h, int x, int y) {
    int best = 0;
    int64_t bestDistance = -1;
    for (int k = 0; k < 4; ++k) {
        const int64_t dx = int64_t(h.x[size_t(k)]) - x, dy = int64_t(h.y[size_t(k)]) - y;
        const int64_t d = dx * dx + dy * dy;
        if (bestDistance < 0 || d < bestDistance) best = k, bestDistance = d;
    }
    return best;
}

void GrabHandle(CBrevDoc& doc, int x, int y) {
    FreeTransformState& s = doc.FreeTransform();
    if (!s.Active() || s.mode == TransformMode::Rotate) return;
    s.grabbed = NearestHandle(s.handles, x, y);
    s.saved = s.handles;
    s.dragging = true;
    drawOutline(doc);
    doc.NotifyViewsUpdate();
}

void DragHandle(CBrevDoc& doc, int x, int y) {
    FreeTransformState& s = doc.FreeTransform();
    if (!s.Active() || !s.dragging) return;
    const size_t g = size_t(s.grabbed);
    CornerHandles& h = s.handles;
    const CornerHandles& old = s.saved;
    switch (s.mode) {
        case TransformMode::Scale:
            // The handles stay a rectangle: those that shared the grabbed one's x or y follow.
            for (size_t k = 0; k < 4; ++k) {
                if (old.x[k] == old.x[g]) h.x[k] = x;
                if (old.y[k] == old.y[g]) h.y[k] = y;
            }
            break;
        case TransformMode::Distort:
            h.x[g] = x;
            h.y[g] = y;
            break;
        case TransformMode::Perspective: {
            // Along the drag's larger axis only (ties vertical), the partner on that edge the
            // opposite way: a symmetric trapezoid.
            const int dx = x - old.x[g], dy = y - old.y[g];
            h = old;
            if (std::abs(dx) > std::abs(dy)) {
                const size_t p = size_t(horizontalPartner(int(g)));
                h.x[g] = old.x[g] + dx;
                h.x[p] = old.x[p] - dx;
            } else {
                const size_t p = size_t(verticalPartner(int(g)));
                h.y[g] = old.y[g] + dy;
                h.y[p] = old.y[p] - dy;
            }
            break;
        }
        default:
            return;
    }
    previewOnView(doc);
    drawOutline(doc);
    doc.NotifyViewsUpdate();
}

void ReleaseHandle(CBrevDoc& doc, int x, int y) {
    FreeTransformState& s = doc.FreeTransform();
    if (!s.Active() || !s.dragging) return;
    s.dragging = false;
    if (s.mode == TransformMode::Distort) {
        s.handles.x[size_t(s.grabbed)] = x;
        s.handles.y[size_t(s.grabbed)] = y;
    }
    ApplyTransformPreview(doc);
}

bool ApplyTransformPreview(CBrevDoc& doc) {
    FreeTransformState& s = doc.FreeTransform();
    if (!s.Active()) return false;
    LayerTable& t = doc.Layers();
    bool done = false;
    if (doc.Zoom() != 1.0) {
        RestoreLayerCopy(t, s.slot, s.start);
        doc.User().showMessage(kTransformZoomMessage, MessageIcon::Information);
        ZoomOneToOne(doc);
    } else {
        doc.User().waitCursor(true);
        done = WarpLayerFrom(t, s.slot, s.start.record, s.start.planes, s.source, s.handles);
        doc.User().waitCursor(false);
        // A flat quadrilateral leaves the layer as it was put aside.
        if (!done) RestoreLayerCopy(t, s.slot, s.start);
    }
    doc.CopyToSnapshot(s.slot);
    drawOutline(doc);
    doc.NotifyViewsUpdate();
    return done;
}

bool SetFreeRotateAngle(CBrevDoc& doc, double degrees, bool preview) {
    FreeTransformState& s = doc.FreeTransform();
    if (s.mode != TransformMode::Rotate || !(degrees >= -359 && degrees <= 359)) return false;
    if (degrees < 0) degrees += 360;
    s.angle = degrees;
    s.handles = RotatedLayerHandles(s.start.record, degrees);
    LayerTable& t = doc.Layers();
    if (!preview || degrees == 0 ||
        !WarpLayerFrom(t, s.slot, s.start.record, s.start.planes, s.source, s.handles))
        RestoreLayerCopy(t, s.slot, s.start);
    drawOutline(doc);
    doc.NotifyViewsUpdate();
    return true;
}

bool CommitFreeTransform(CBrevDoc& doc, ToolState& tools) {
    FreeTransformState& s = doc.FreeTransform();
    if (!s.Active()) return false;
    const int slot = s.slot;
    LayerTable& t = doc.Layers();
    bool done = false;
    if (s.mode == TransformMode::Rotate) {
        RestoreLayerCopy(t, slot, s.original);
        done = RotateLayerFree(doc, s.angle, slot);
    } else {
        if (doc.Zoom() != 1.0) {
            // Nothing is applied; the panel stays open at 1:1.
            RestoreLayerCopy(t, slot, s.start);
            doc.User().showMessage(kTransformZoomMessage, MessageIcon::Information);
            ZoomOneToOne(doc);
            drawOutline(doc);
            doc.NotifyViewsUpdate();
            return false;
        }
        RestoreLayerCopy(t, slot, s.start);
        done =
            TransformLayer(doc, s.handles, slot,
                           s.mode == TransformMode::Perspective ? u"자유변환(원근)" : u"자유변환");
    }
    // What could not be applied leaves the layer as the journal knows it.
    if (!done) {
        RestoreLayerCopy(t, slot, s.original);
        doc.CopyToSnapshot(slot);
    }
    clearState(doc, tools);
    finish(doc, slot);
    return done;
}

void CancelFreeTransform(CBrevDoc& doc, ToolState& tools) {
    FreeTransformState& s = doc.FreeTransform();
    if (!s.Active()) return;
    const int slot = s.slot;
    RestoreLayerCopy(doc.Layers(), slot, s.original);
    doc.CopyToSnapshot(slot);
    clearState(doc, tools);
    finish(doc, slot);
}

namespace {
int canvasOf(int zoomed, double zoom) { return int(double(zoomed) / zoom); }
}  // namespace

void FreeTransformTool::down(ToolEvent& e) {
    const double z = e.doc.Zoom();
    GrabHandle(e.doc, canvasOf(e.zoomed.x, z), canvasOf(e.zoomed.y, z));
}

void FreeTransformTool::drag(ToolEvent& e) {
    const double z = e.doc.Zoom();
    DragHandle(e.doc, canvasOf(e.zoomed.x, z), canvasOf(e.zoomed.y, z));
}

void FreeTransformTool::up(ToolEvent& e) {
    const double z = e.doc.Zoom();
    ReleaseHandle(e.doc, canvasOf(e.zoomed.x, z), canvasOf(e.zoomed.y, z));
}

}  // namespace quillet
