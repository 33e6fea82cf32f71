#include "view/SelectionOutline.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "document/CBrevDoc.h"
#include "view/ToolTable.h"

namespace quillet {

namespace {

// Mode 1 counts outline bytes as not selected.
inline uint8_t SelectionClass(uint8_t c) { return c == MaskValue::Outline ? 0 : c; }

// floor((window position − origin) / zoom) minus the mask's canvas position; -1 outside it.
std::vector<int> MaskIndices(int first, int count, int origin, double zoom, int maskPos,
                             int maskSize) {
    std::vector<int> out(size_t(std::max(0, count)));
    for (int i = 0; i < count; ++i) {
        const double v = std::floor((double(first + i) - origin) / zoom) - maskPos;
        out[size_t(i)] = v >= 0 && v < maskSize ? int(v) : -1;
    }
    return out;
}

uint32_t FramePixel(uint32_t bbggrr) {
    return 0xFF000000u | (bbggrr & 0xFF) << 16 | (bbggrr & 0xFF00) | (bbggrr >> 16 & 0xFF);
}

}  // namespace

OverlayMode ChooseOverlayMode(const CBrevDoc& doc, ToolId tool) {
    const int slot = doc.CurrentLayer();
    if (doc.Layers().InList(slot) && doc.Layers().layer(slot).IsText()) return OverlayMode::None;
    const DocViewState& v = doc.ViewShared();
    // A closed outline waits for its fill on the next tick; until then it shows as drawn.
    if (v.selectionShown)
        return v.outlineReady ? OverlayMode::Selection : OverlayMode::ToolFeedback;
    const bool anchored = v.anchors.drag.IsSet();
    if (((tool == ToolId::RectSelect || tool == ToolId::CircleSelect) && anchored) ||
        tool == ToolId::FreehandSelect || tool == ToolId::PolygonSelect ||
        tool == ToolId::FreeRotate || IsFreeTransformTool(tool) || tool == ToolId::PathPlace)
        return OverlayMode::ToolFeedback;
    return OverlayMode::None;
}

OutlineColours OutlineColoursFor(uint32_t outline, uint32_t marker) {
    uint32_t a = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int c = int(outline >> shift & 0xFF), k = 255 - c;
        if (std::abs(k - c) >= 30) a |= uint32_t(k) << shift;
    }
    return {FramePixel(a), FramePixel(outline), FramePixel(marker)};
}

void SelectionOutline::Build(const SelectionMask& mask, const DisplayRequest& q, OverlayMode mode,
                             bool dim) {
    left_ = q.left;
    top_ = q.top;
    width_ = std::max(0, q.right - q.left);
    height_ = std::max(0, q.bottom - q.top);
    dim_ = dim && mode == OverlayMode::Selection;
    classes_.assign(size_t(width_) * size_t(height_), 0);
    drawn_.clear();
    rowStart_.assign(size_t(height_) + 1, 0);
    if (width_ == 0 || height_ == 0 || mode == OverlayMode::None) return;
    if (mask.Consistent() && q.zoomX > 0 && q.zoomY > 0) {
        const std::vector<int> cols =
            MaskIndices(q.left, width_, q.originX, q.zoomX, mask.x, mask.width);
        const std::vector<int> rows =
            MaskIndices(q.top, height_, q.originY, q.zoomY, mask.y, mask.height);
        for (int y = 0; y < height_; ++y) {
            if (rows[size_t(y)] < 0) continue;
            const uint8_t* m = mask.RowFromTop(rows[size_t(y)]);
            uint8_t* out = classes_.data() + size_t(y) * size_t(width_);
            for (int x = 0; x < width_; ++x)
                if (cols[size_t(x)] >= 0) out[x] = m[cols[size_t(x)]];
        }
    }
    const bool selection = mode == OverlayMode::Selection;
    for (int y = 0; y < height_; ++y) {
        rowStart_[size_t(y)] = uint32_t(drawn_.size());
        const uint8_t* row = classes_.data() + size_t(y) * size_t(width_);
        const uint8_t* below = y + 1 < height_ ? row + width_ : nullptr;
        const bool edgeRow = y == 0 || y + 1 == height_;
        const uint8_t follows = mode == OverlayMode::Path || y % 5 >= 3 ? kFollowsPhase : 0;
        int k = 0;  // outline pixels met so far in this row
        for (int x = 0; x < width_; ++x) {
            bool outline;
            if (selection) {
                const uint8_t c = SelectionClass(row[x]);
                outline = (x + 1 < width_ && c != SelectionClass(row[x + 1])) ||
                          (below && c != SelectionClass(below[x])) ||
                          (c == MaskValue::Selected && (edgeRow || x == 0 || x + 1 == width_));
            } else {
                outline = row[x] == MaskValue::Outline || row[x] == MaskValue::Marker;
            }
            if (!outline) continue;
            const bool draw = mode == OverlayMode::Path ? k % 2 == 0 : k < 3 || (k - 3) / 4 % 2;
            ++k;
            if (draw)
                drawn_.push_back(
                    {uint16_t(x), uint8_t(follows | (row[x] == MaskValue::Marker ? kMarker : 0))});
        }
    }
    rowStart_[size_t(height_)] = uint32_t(drawn_.size());
}

void SelectionOutline::Dim(uint32_t* frame, size_t stride) const {
    if (!dim_) return;
    for (int y = 0; y < height_; ++y) {
        const uint8_t* row = classes_.data() + size_t(y) * size_t(width_);
        uint32_t* d = frame + size_t(top_ + y) * stride + size_t(left_);
        for (int x = 0; x < width_; ++x)
            if (SelectionClass(row[x]) != MaskValue::Selected) {
                const uint32_t b = d[x] & 0xFF;
                d[x] = 0xFF000000u | b << 16 | b << 8 | b;
            }
    }
}

void SelectionOutline::Paint(uint32_t* frame, size_t stride, bool phase,
                             const OutlineColours& c) const {
    const uint32_t follow = phase ? c.a : c.b, opposite = phase ? c.b : c.a;
    for (int y = 0; y < height_; ++y) {
        uint32_t* d = frame + size_t(top_ + y) * stride + size_t(left_);
        const Dash* end = drawn_.data() + rowStart_[size_t(y) + 1];
        for (const Dash* p = drawn_.data() + rowStart_[size_t(y)]; p != end; ++p)
            d[p->x] = p->kind & kMarker ? c.marker : p->kind & kFollowsPhase ? follow : opposite;
    }
}

}  // namespace quillet
