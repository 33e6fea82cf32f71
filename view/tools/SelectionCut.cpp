#include "view/tools/SelectionCut.h"

#include <algorithm>
#include <vector>

#include "document/CBrevDoc.h"
#include "document/EditCycle.h"
#include "document/LayerOps.h"
#include "platform/ClipboardPort.h"
#include "view/tools/Selection.h"

namespace quillet {

namespace {

// The canvas box of the selected (1) bytes of the mask, clipped to the current layer; false
// when none is selected. The same box the clipboard copy takes.
bool SelectedCanvasBox(const CBrevDoc& doc, int& left, int& top) {
    const SelectionMask& m = doc.Layers().mask;
    const Layer& l = doc.Layers().layer(doc.CurrentLayer());
    int minX = m.width, minY = m.height;
    for (int y = 0; y < m.height; ++y) {
        const uint8_t* row = m.RowFromTop(y);
        const uint8_t* first = std::find(row, row + m.width, MaskValue::Selected);
        if (first == row + m.width) continue;
        minX = std::min(minX, int(first - row));
        minY = std::min(minY, y);
    }
    if (minY == m.height) return false;
    left = std::max(m.x + minX, l.x);
    top = std::max(m.y + minY, l.y);
    return true;
}

}  // namespace

void FeatherErase(const uint8_t* mask, int width, int height, int feather, uint8_t* alpha,
                  uint8_t* effect) {
    if (!mask || width < 1 || height < 1) return;
    const int r = std::max(feather, kMinEraseFeather);
    const int area = 2 * r * r;
    const size_t w = size_t(width);
    // Selected bytes per column over the rows y − r .. y + r, slid down one row at a time.
    std::vector<int> columns(w, 0);
    auto addRow = [&](int row, int sign) {
        if (row < 0 || row >= height) return;
        const uint8_t* m = mask + size_t(row) * w;
        for (size_t x = 0; x < w; ++x) columns[x] += sign * (m[x] == 1);
    };
    for (int row = 0; row < r && row < height; ++row) addRow(row, 1);
    for (int y = 0; y < height; ++y) {
        addRow(y + r, 1);
        addRow(y - r - 1, -1);
        const uint8_t* m = mask + size_t(y) * w;
        if (std::all_of(m, m + w, [](uint8_t b) { return b == 0; })) continue;
        uint8_t* a = alpha + size_t(y) * w;
        uint8_t* e = effect + size_t(y) * w;
        int sum = 0;
        for (int x = 0; x < r && x < width; ++x) sum += columns[size_t(x)];
        for (int x = 0; x < width; ++x) {
            if (x + r < width) sum += columns[size_t(x + r)];
            if (x - r - 1 >= 0) sum -= columns[size_t(x - r - 1)];
            if (m[x] == 0) continue;
            const int h = std::max(0, sum - area);
            const int v = std::min(255, h * 256 / area);
            const uint8_t k = a[x] == 255 ? uint8_t(255 - v) : uint8_t(0);
            a[x] = std::min<uint8_t>(k, 150);
            e[x] = k;
        }
    }
}

bool EraseSelectedArea(CBrevDoc& doc, int feather) {
    const int slot = EditableCurrentLayer(doc, TextLayerRule::Refuse);
    if (slot < 0) return false;
    doc.RestoreFromSnapshot(slot);
    if (!AlignSelectionMask(doc)) return false;
    LayerTable& t = doc.Layers();
    const Layer& l = t.layer(slot);
    LayerPlanes& p = t.planesOf(slot);
    if (p.effect.size() != l.planeSize) p.effect.assign(l.planeSize, 0);
    if (t.mask.bytes.size() != l.planeSize || p.alpha.size() != l.planeSize) return false;
    // Mask and planes keep the same row order, so they pair up byte for byte.
    FeatherErase(t.mask.bytes.data(), l.width, l.height, feather, p.alpha.data(), p.effect.data());
    t.Touch(slot);
    doc.ViewShared().recomposeNeeded = true;
    return true;
}

bool CutSelection(CBrevDoc& doc, ClipboardPort& clipboard, int feather) {
    const int slot = EditableCurrentLayer(doc, TextLayerRule::Refuse);
    if (slot < 0) return false;
    CopyToClipboard(doc, clipboard);
    if (!EraseSelectedArea(doc, feather)) return false;
    doc.RecordStep(u"자르기", StepKind::PixelEdit, slot);
    doc.NotifyViewsUpdate();
    return true;
}

int FloatSelection(CBrevDoc& doc, ClipboardPort& clipboard, int feather) {
    const int source = EditableCurrentLayer(doc, TextLayerRule::Refuse);
    if (source < 0 || !doc.SelectionActive() || !AlignSelectionMask(doc)) return -1;
    int left = 0, top = 0;
    std::vector<uint8_t> dib = SelectionToPackedDib(doc);
    if (dib.empty() || !SelectedCanvasBox(doc, left, top)) return -1;
    DocViewState& v = doc.ViewShared();
    v.selectionMovePending = true;
    clipboard.setPackedDib(dib);
    EraseSelectedArea(doc, feather);
    doc.CopyToSnapshot(source);
    const int floating = PastePackedDib(doc, dib);
    if (floating < 0) {
        v.selectionMovePending = false;
        doc.RestoreFromSnapshot(source);
        return -1;
    }
    // The lifted area stays where it was until the drag moves it.
    Layer& f = doc.Layers().layer(floating);
    f.x = left;
    f.y = top;
    doc.CopyToSnapshot(floating);
    doc.SetSelectionActive(false);
    v.recomposeNeeded = true;
    doc.NotifyViewsUpdate();
    return floating;
}

}  // namespace quillet
