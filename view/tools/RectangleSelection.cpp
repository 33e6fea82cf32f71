#include "view/tools/RectangleSelection.h"

#include <algorithm>
#include <cstring>

#include "document/CBrevDoc.h"

namespace quillet {

namespace {
constexpr int kOutlineMs = 400;
}

bool SelectRectangle(CBrevDoc& doc, int left, int top, int right, int bottom) {
    LayerTable& t = doc.Layers();
    const int slot = doc.CurrentLayer();
    if (!t.InList(slot)) return false;
    const Layer& l = t.layer(slot);
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    t.mask.Reset(l.x, l.y, l.width, l.height, 0);
    const int x0 = std::max(left, 0), x1 = std::min(right, l.width - 1);
    for (int y = std::max(top, 0); y <= std::min(bottom, l.height - 1) && x0 <= x1; ++y) {
        // Mask rows keep the layer's storage order: the bottom row first.
        const size_t row = size_t(l.height - 1 - y) * size_t(l.width);
        std::memset(t.mask.bytes.data() + row + size_t(x0), 1, size_t(x1 - x0 + 1));
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

}  // namespace quillet
