#include "view/tools/Selection.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "document/CBrevDoc.h"
#include "document/LayerOps.h"
#include "view/tools/OutlineFill.h"
#include "view/tools/SpanFill.h"

namespace quillet {

namespace {

bool HasCurrentLayer(const CBrevDoc& doc) { return doc.Layers().InList(doc.CurrentLayer()); }

// Blue, green and red of a layer pixel, read straight from rows of 3 or 4 bytes or through the
// palette of an indexed layer.
class LayerColours {
public:
    LayerColours(const LayerTable& t, int slot)
        : t_(t), slot_(slot), l_(t.layer(slot)), p_(t.planesOf(slot)) {
        bytes_ = t.LayerBits(slot) / 8;
        usable_ = l_.width > 0 && l_.height > 0 && p_.alpha.size() >= l_.planeSize &&
                  p_.pixels.size() >= l_.pixelSize && !l_.IsText();
    }
    bool usable() const { return usable_; }
    // Rows from the top.
    uint32_t bgr(int x, int y) const {
        const int row = l_.height - 1 - y;
        if (bytes_ >= 3) {
            const uint8_t* p = p_.pixels.data() + size_t(row) * l_.stride + size_t(x) * bytes_;
            return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
        }
        return t_.ColorAt(slot_, x, row);
    }
    uint8_t alpha(int x, int y) const {
        return p_.alpha[size_t(l_.height - 1 - y) * size_t(l_.width) + size_t(x)];
    }

private:
    const LayerTable& t_;
    int slot_;
    const Layer& l_;
    const LayerPlanes& p_;
    int bytes_ = 3;
    bool usable_ = false;
};

inline int ColourDistance(uint32_t a, uint32_t b) {
    return std::abs(int(a & 0xFF) - int(b & 0xFF)) +
           std::abs(int((a >> 8) & 0xFF) - int((b >> 8) & 0xFF)) +
           std::abs(int((a >> 16) & 0xFF) - int((b >> 16) & 0xFF));
}

}  // namespace

bool AlignSelectionMask(CBrevDoc& doc) {
    if (!HasCurrentLayer(doc)) return false;
    LayerTable& t = doc.Layers();
    const Layer& l = t.layer(doc.CurrentLayer());
    SelectionMask& old = t.mask;
    if (old.x == l.x && old.y == l.y && old.width == l.width && old.height == l.height &&
        old.Consistent())
        return true;
    SelectionMask m;
    m.Reset(l.x, l.y, std::max(0, l.width), std::max(0, l.height),
            doc.ViewShared().selectionShown ? MaskValue::Unselected : MaskValue::Selected);
    if (old.Consistent()) {
        // The overlap on the canvas, copied row by row (rows from the top in both).
        const int64_t left = std::max<int64_t>(m.x, old.x);
        const int64_t right = std::min<int64_t>(int64_t(m.x) + m.width, int64_t(old.x) + old.width);
        const int64_t top = std::max<int64_t>(m.y, old.y);
        const int64_t bottom =
            std::min<int64_t>(int64_t(m.y) + m.height, int64_t(old.y) + old.height);
        for (int64_t cy = top; cy < bottom && left < right; ++cy)
            std::memcpy(m.RowFromTop(int(cy - m.y)) + (left - m.x),
                        old.RowFromTop(int(cy - old.y)) + (left - old.x), size_t(right - left));
    }
    old = std::move(m);
    TouchSelection(doc);
    return true;
}

void FillSelectionMask(CBrevDoc& doc, uint8_t value) {
    std::fill(doc.Layers().mask.bytes.begin(), doc.Layers().mask.bytes.end(), value);
    TouchSelection(doc);
}

void OutlineToSelected(CBrevDoc& doc) {
    for (uint8_t& b : doc.Layers().mask.bytes)
        if (b == MaskValue::Outline) b = MaskValue::Selected;
    TouchSelection(doc);
}

void TouchSelection(CBrevDoc& doc) { ++doc.ViewShared().maskRevision; }

void ShowSelection(CBrevDoc& doc, bool ready) {
    doc.SetSelectionActive(true);
    DocViewState& v = doc.ViewShared();
    v.selectionShown = true;
    v.outlineReady = ready;
    v.outlinePaused = false;
    TouchSelection(doc);
    doc.NotifySelectionOutlineTimer(kSelectionOutlineMs);
}

bool CompleteOutline(CBrevDoc& doc) {
    DocViewState& v = doc.ViewShared();
    if (!v.selectionShown || v.outlineReady) return false;
    v.outlineReady = true;
    FillClosedOutline(doc.Layers().mask);
    TouchSelection(doc);
    return true;
}

void DropSelection(CBrevDoc& doc, bool keepMask) {
    DocViewState& v = doc.ViewShared();
    doc.NotifySelectionOutlineTimer(0);
    v.selectionShown = false;
    v.outlineReady = false;
    v.outlinePaused = false;
    v.polygonVertices = 0;
    v.anchors.ResetAll();
    v.zoomAnchor.Reset();
    v.polygonGuard = true;
    doc.SetSelectionActive(false);
    if (!keepMask) FillSelectionMask(doc, MaskValue::Selected);
    TouchSelection(doc);
    // A moved selection goes back into its layer where it now lies.
    if (doc.Layers().FirstFloatingLayer() >= 0) DropFloatingLayer(doc);
    v.selectionMovePending = false;
    doc.NotifyViewsUpdate();
}

bool InvertSelection(CBrevDoc& doc) {
    if (!HasCurrentLayer(doc) || doc.Busy()) return false;
    AlignSelectionMask(doc);
    for (uint8_t& b : doc.Layers().mask.bytes)
        b = b == MaskValue::Unselected ? MaskValue::Selected : MaskValue::Unselected;
    doc.SetSelectionActive(!doc.SelectionActive());
    TouchSelection(doc);
    doc.ViewShared().recomposeNeeded = true;
    doc.NotifyViewsUpdate();
    return true;
}

bool MagicWandAt(CBrevDoc& doc, int x, int y, int tolerance, bool add) {
    if (!HasCurrentLayer(doc) || !AlignSelectionMask(doc)) return false;
    LayerTable& t = doc.Layers();
    const int slot = doc.CurrentLayer();
    const Layer& l = t.layer(slot);
    SelectionMask& m = t.mask;
    const LayerColours colours(t, slot);
    if (!colours.usable() || m.width != l.width || m.height != l.height || !m.Contains(x, y))
        return false;
    if (add)
        OutlineToSelected(doc);
    else
        FillSelectionMask(doc, MaskValue::Unselected);
    const uint32_t reference = colours.bgr(x, y);
    // A transparent pixel is never selected, not even the clicked one.
    if (colours.alpha(x, y) != 0)
        FillSpansFrom(m, x, y, MaskValue::Selected, [&](int px, int py) {
            return m.RowFromTop(py)[px] == MaskValue::Unselected && colours.alpha(px, py) != 0 &&
                   ColourDistance(colours.bgr(px, py), reference) < tolerance;
        });
    ShowSelection(doc, true);
    doc.ViewShared().recomposeNeeded = true;
    return true;
}

std::optional<ColourRangePick> SelectColourRangeAt(CBrevDoc& doc, int x, int y, int tolerance,
                                                   bool add) {
    if (!HasCurrentLayer(doc)) return std::nullopt;
    const int slot = doc.CurrentLayer();
    if (!add) {
        doc.RestoreFromSnapshot(slot);
        DropSelection(doc);
        if (!AlignSelectionMask(doc)) return std::nullopt;
        FillSelectionMask(doc, MaskValue::Unselected);
    } else {
        if (!AlignSelectionMask(doc)) return std::nullopt;
        OutlineToSelected(doc);
    }
    LayerTable& t = doc.Layers();
    const Layer& l = t.layer(slot);
    SelectionMask& m = t.mask;
    const LayerColours colours(t, slot);
    if (!colours.usable() || !m.Contains(x, y) || m.width != l.width || m.height != l.height)
        return std::nullopt;
    ColourRangePick pick;
    const uint32_t reference = colours.bgr(x, y);
    pick.colour = reference;
    for (int py = 0; py < m.height; ++py) {
        uint8_t* row = m.RowFromTop(py);
        for (int px = 0; px < m.width; ++px)
            if (colours.alpha(px, py) != 0 &&
                ColourDistance(colours.bgr(px, py), reference) <= tolerance) {
                row[px] = MaskValue::Selected;
                ++pick.count;
            }
    }
    pick.percent = double(pick.count) / (double(l.width) * double(l.height)) * 100.0;
    ShowSelection(doc, true);
    doc.ViewShared().recomposeNeeded = true;
    doc.NotifyViewsUpdate();
    return pick;
}

std::string ColourRangeCountText(const ColourRangePick& pick) {
    char text[96];
    std::snprintf(text, sizeof text, "픽셀수 %d   (%.2f)%s           ", pick.count, pick.percent,
                  "%");
    return text;
}

bool DrawCircleOutline(CBrevDoc& doc, int cx, int cy, int px, int py) {
    const double dx = px - cx, dy = py - cy;
    const int r = int(std::sqrt(dx * dx + dy * dy));
    if (r == 0 || !AlignSelectionMask(doc)) return false;
    FillSelectionMask(doc, MaskValue::Unselected);
    SelectionMask& m = doc.Layers().mask;
    auto put = [&m](int x, int y) {
        if (m.Contains(x, y)) m.RowFromTop(y)[x] = MaskValue::Outline;
    };
    // Starting at 0 puts the four points on the axes too: without them the outline has a
    // one-pixel gap at each end of both axes and the fill of its interior runs out of it.
    for (int i = 0;; ++i) {
        const int h = int(std::sqrt(double(r) * r - double(i) * i) + 0.5);
        if (i >= h) {
            put(cx + i, cy + i), put(cx - i, cy + i), put(cx + i, cy - i), put(cx - i, cy - i);
            break;
        }
        put(cx + i, cy + h), put(cx - i, cy + h), put(cx + i, cy - h), put(cx - i, cy - h);
        put(cx + h, cy + i), put(cx - h, cy + i), put(cx + h, cy - i), put(cx - h, cy - i);
    }
    TouchSelection(doc);
    return true;
}

}  // namespace quillet
