#include "view/tools/Selection.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "document/CBrevDoc.h"
#include "document/LayerOps.h"
#include "view/tools/OutlineFill.h"
#include "view/tools/SpanFill.h"

namespace quillet {

namespace {

bool HasCurrentLayer(const CBrevDoc& doc) { return doc.Layers().InList(doc.CurrentLayer()); }

// Blue, green and red of a layer's pixels, row by row (rows from the top): straight from rows of
// 3 or 4 bytes, or through the table's reader for indexed layers.
class LayerColours {
public:
    LayerColours(const LayerTable& t, int slot)
        : t_(t), slot_(slot), l_(t.layer(slot)), p_(t.planesOf(slot)) {
        bytes_ = t.LayerBits(slot) / 8;
        usable_ = l_.width > 0 && l_.height > 0 && p_.alpha.size() >= l_.planeSize &&
                  p_.pixels.size() >= l_.pixelSize && !l_.IsText();
    }
    bool usable() const { return usable_; }

    struct Row {
        const uint8_t* pixels;
        const uint8_t* alpha;
        int bytes;
        const LayerTable* table;  // indexed layers only
        int slot, row;
        uint32_t bgr(int x) const {
            if (bytes >= 3) {
                const uint8_t* p = pixels + size_t(x) * size_t(bytes);
                return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
            }
            return table->ColorAt(slot, x, row);
        }
    };
    Row row(int y) const {
        const int r = l_.height - 1 - y;
        return {p_.pixels.data() + size_t(r) * l_.stride,
                p_.alpha.data() + size_t(r) * size_t(l_.width),
                bytes_,
                &t_,
                slot_,
                r};
    }
    uint32_t bgr(int x, int y) const { return row(y).bgr(x); }
    uint8_t alpha(int x, int y) const { return row(y).alpha[x]; }

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

// out[x] = 1 where the pixel is not transparent and its distance from `reference` is below
// `limit`, else 0: one pass over a row that the compiler can keep in vector registers.
void SimilarRow(const LayerColours::Row& px, int width, uint32_t reference, int limit,
                uint8_t* out) {
    const int b0 = int(reference & 0xFF), g0 = int(reference >> 8 & 0xFF),
              r0 = int(reference >> 16 & 0xFF);
    if (px.bytes >= 3) {
        const uint8_t* p = px.pixels;
        const size_t step = size_t(px.bytes);
        for (int x = 0; x < width; ++x, p += step) {
            const int d = std::abs(p[0] - b0) + std::abs(p[1] - g0) + std::abs(p[2] - r0);
            out[x] = uint8_t((px.alpha[x] != 0) & (d < limit));
        }
        return;
    }
    for (int x = 0; x < width; ++x)
        out[x] = uint8_t((px.alpha[x] != 0) & (ColourDistance(px.bgr(x), reference) < limit));
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
    // Which pixels are similar enough is worked out a whole row at a time, for the rows the
    // flood reaches.
    struct Similar {
        SelectionMask& m;
        const LayerColours& colours;
        uint32_t reference;
        int tolerance;
        uint8_t* similar;  // width × height, rows from the top; valid where `done`
        std::vector<uint8_t>& done;
        auto At(int y) const {
            uint8_t* s = similar + size_t(y) * size_t(m.width);
            if (!done[size_t(y)]) {
                SimilarRow(colours.row(y), m.width, reference, tolerance, s);
                done[size_t(y)] = 1;
            }
            return [mask = m.RowFromTop(y), s](int x) {
                return (mask[x] == MaskValue::Unselected) & (s[x] != 0);
            };
        }
    };
    if (colours.alpha(x, y) != 0) {
        std::unique_ptr<uint8_t[]> similar(new uint8_t[size_t(m.width) * size_t(m.height)]);
        std::vector<uint8_t> done(size_t(m.height), 0);
        FillSpansFrom(m, x, y, MaskValue::Selected,
                      Similar{m, colours, reference, tolerance, similar.get(), done});
    }
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
    std::vector<uint8_t> similar(size_t(m.width));
    for (int py = 0; py < m.height; ++py) {
        uint8_t* row = m.RowFromTop(py);
        // Inclusive, unlike the wand.
        SimilarRow(colours.row(py), m.width, reference, tolerance + 1, similar.data());
        int count = 0;
        for (int x = 0; x < m.width; ++x) {
            row[x] = similar[size_t(x)] ? MaskValue::Selected : row[x];
            count += similar[size_t(x)];
        }
        pick.count += count;
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
