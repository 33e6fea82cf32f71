#include "view/tools/PathCommit.h"

#include <cmath>
#include <memory>

#include "document/CBrevDoc.h"
#include "document/EditCycle.h"
#include "image/codecs/NearestPalette.h"
#include "platform/UserPort.h"
#include "view/tools/BrushStamp.h"
#include "view/tools/OutlineFill.h"

namespace quillet {

namespace {

constexpr int kOutlineMs = 400;

// The edges in order: consecutive points, then the closing edge of a closed path.
template <class Edge>
void ForEachEdge(const GuidePath& path, Edge&& edge) {
    const int n = path.Count();
    for (int i = 0; i + 1 < n; ++i) edge(path.points[size_t(i)], path.points[size_t(i + 1)]);
    if (path.closed && n > 1) edge(path.points[size_t(n - 1)], path.points[0]);
}

int EdgeLength(GuidePoint a, GuidePoint b) {
    return int(std::hypot(double(b.x - a.x), double(b.y - a.y)));
}

}  // namespace

bool PathToSelection(CBrevDoc& doc) {
    GuidePath& path = doc.ViewShared().path;
    if (path.Count() <= 2) {
        doc.User().showMessage(kNeedMoreGuidePoints, MessageIcon::Warning);
        return false;
    }
    if (!path.closed) {
        doc.User().showMessage(kPathNotClosed, MessageIcon::Warning);
        return false;
    }
    LayerTable& t = doc.Layers();
    const int slot = doc.CurrentLayer();
    if (!t.InList(slot)) return false;
    const Layer& l = t.layer(slot);
    t.mask.Reset(l.x, l.y, l.width, l.height, MaskValue::Unselected);
    ForEachEdge(path, [&](GuidePoint a, GuidePoint b) {
        DrawOutlineLine(t.mask, a.x, a.y, b.x, b.y, MaskValue::Outline);
    });
    FillClosedOutline(t.mask);
    path.Clear();
    doc.SetSelectionActive(true);
    DocViewState& v = doc.ViewShared();
    v.selectionShown = true;
    v.outlineReady = true;
    v.recomposeNeeded = true;
    doc.NotifySelectionOutlineTimer(kOutlineMs);
    doc.NotifyViewsUpdate();
    return true;
}

EditOutcome StrokePath(CBrevDoc& doc, const PathStroke& stroke) {
    const int slot = EditableCurrentLayer(doc, TextLayerRule::Refuse);
    if (slot < 0) return EditOutcome::Refused;
    GuidePath& path = doc.ViewShared().path;
    if (path.Empty()) return EditOutcome::Unchanged;
    // The stroke works on the whole layer, over the state before any preview.
    LayerTable& t = doc.Layers();
    const Layer& l = t.layer(slot);
    doc.SetSelectionActive(false);
    doc.ViewShared().selectionShown = false;
    doc.ViewShared().outlineReady = false;
    t.mask.Reset(l.x, l.y, l.width, l.height, MaskValue::Selected);
    doc.RestoreFromSnapshot(slot);

    int total = 0;
    ForEachEdge(path, [&](GuidePoint a, GuidePoint b) { total += EdgeLength(a, b); });
    const int limit = int(stroke.length / 100.0 * total);
    std::unique_ptr<NearestPalette> nearest;
    if (IsIndexedPicture(t))
        nearest = std::make_unique<NearestPalette>(t.palette.data(), int(t.palette.size()));
    const BrushStamp stamp(stroke.brushSize, stroke.soft);
    const int height = l.height;
    const EditOutcome done = EditLayerPixels(
        doc, slot, kStrokePathLabel, [&](const LayerPixels&, const LayerPixels& to) {
            StampTarget target{to, nullptr, 0, nearest.get()};
            if (nearest) {
                target.palette = t.palette.data();
                target.paletteCount = int(t.palette.size());
            }
            int drawn = 0;
            bool ended = false;
            ForEachEdge(path, [&](GuidePoint a, GuidePoint b) {
                if (ended) return;
                const int length = EdgeLength(a, b);
                double scale = 1.0;
                // The edge that passes the limit is drawn only up to it, and ends the stroke.
                if (drawn + length > limit) {
                    scale = length > 0 ? double(limit - drawn) / length : 0.0;
                    ended = true;
                }
                drawn += length;
                PaintLine(target, stamp, a.x, height - 1 - a.y, b.x, height - 1 - b.y,
                          stroke.colour, scale);
            });
        });
    path.Clear();
    return done;
}

}  // namespace quillet
