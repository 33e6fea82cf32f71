#include "view/tools/RectangleSelection.h"

#include <algorithm>
#include <cstring>

#include "document/CBrevDoc.h"

namespace quillet {

namespace {

constexpr int kOutlineMs = 400;

// Clears the mask over the current layer and sets 1 where `inside(x, y)` holds within the
// rectangle (layer coordinates, rows from the top), then shows the selection.
template <class Inside>
bool SelectWithin(CBrevDoc& doc, int left, int top, int right, int bottom, Inside inside) {
    LayerTable& t = doc.Layers();
    const int slot = doc.CurrentLayer();
    if (!t.InList(slot)) return false;
    const Layer& l = t.layer(slot);
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    t.mask.Reset(l.x, l.y, l.width, l.height, 0);
    for (int y = std::max(top, 0); y <= std::min(bottom, l.height - 1); ++y) {
        // Mask rows keep the layer's storage order: the bottom row first.
        uint8_t* row = t.mask.bytes.data() + size_t(l.height - 1 - y) * size_t(l.width);
        for (int x = std::max(left, 0); x <= std::min(right, l.width - 1); ++x)
            row[x] = inside(left, top, right, bottom, x, y) ? 1 : 0;
    }
    doc.SetSelectionActive(true);
    DocViewState& v = doc.ViewShared();
    v.selectionShown = true;
    v.outlineReady = true;
    v.recomposeNeeded = true;
    doc.NotifySelectionOutlineTimer(kOutlineMs);
    doc.NotifyViewsUpdate();
    return true;
}

}  // namespace

bool SelectRectangle(CBrevDoc& doc, int left, int top, int right, int bottom) {
    return SelectWithin(doc, left, top, right, bottom,
                        [](int, int, int, int, int, int) { return true; });
}

bool SelectEllipse(CBrevDoc& doc, int left, int top, int right, int bottom) {
    return SelectWithin(doc, left, top, right, bottom,
                        [](int l, int t, int r, int b, int x, int y) {
                            const double rx = (r - l + 1) / 2.0, ry = (b - t + 1) / 2.0;
                            const double dx = (x + 0.5 - l - rx) / rx, dy = (y + 0.5 - t - ry) / ry;
                            return dx * dx + dy * dy <= 1.0;
                        });
}

}  // namespace quillet
