#include "view/tools/FloodFill.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "document/CBrevDoc.h"
#include "document/EditCycle.h"
#include "image/effects/PixelIndex.h"
#include "platform/UserPort.h"
#include "view/FrameSettings.h"
#include "view/LayerGrowth.h"
#include "view/ToolState.h"

namespace quillet {

namespace {

struct Span {
    int left;
    int right;
    int row;
};

// Sums of selected pixels over every rectangle from the mask's corner, (w + 1) × (h + 1), so a
// pixel's feather window is counted in four reads whatever the feather radius.
std::vector<uint32_t> SelectedSums(const uint8_t* selection, int w, int h) {
    std::vector<uint32_t> sums(size_t(w + 1) * size_t(h + 1), 0);
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = selection + size_t(y) * size_t(w);
        const uint32_t* above = sums.data() + size_t(y) * size_t(w + 1);
        uint32_t* out = sums.data() + size_t(y + 1) * size_t(w + 1);
        uint32_t run = 0;
        for (int x = 0; x < w; ++x) {
            run += s[x] != 0;
            out[x + 1] = above[x + 1] + run;
        }
    }
    return sums;
}

// The alpha a feathered fill gives a selected pixel: the selected share of the
// (2r + 1) × (2r + 1) window around it, past half the window, scaled to 255 (the selection
// edge rule of cutting). 255 deep inside the selection, low at its edge.
class FeatherWeight {
public:
    FeatherWeight(const uint8_t* selection, int w, int h, int feather) : w_(w), h_(h), r_(feather) {
        if (selection && feather >= 1) sums_ = SelectedSums(selection, w, h);
    }
    bool Active() const { return !sums_.empty(); }
    // x, row in the mask's storage order.
    int At(int x, int row) const {
        const int x0 = std::max(0, x - r_), x1 = std::min(w_, x + r_ + 1);
        const int y0 = std::max(0, row - r_), y1 = std::min(h_, row + r_ + 1);
        const size_t W = size_t(w_ + 1);
        const int64_t count =
            int64_t(sums_[size_t(y1) * W + size_t(x1)]) - sums_[size_t(y0) * W + size_t(x1)] -
            sums_[size_t(y1) * W + size_t(x0)] + sums_[size_t(y0) * W + size_t(x0)];
        const int64_t half = 2 * int64_t(r_) * r_;
        const int64_t over = std::max<int64_t>(0, count - half);
        return int(std::min<int64_t>(255, over * 256 / half));
    }

private:
    int w_, h_, r_;
    std::vector<uint32_t> sums_;
};

// Whether an unvisited pixel joins: transparent and partly transparent pixels always do,
// opaque ones when their difference sum from the reference is below the tolerance. A tester
// holds its row's pointers by value: the visited bytes written between tests cannot make the
// compiler read them again.
struct TrueColourTest {
    const uint8_t* pixels;
    const uint8_t* alpha;
    int bpp, b0, g0, r0, tolerance;
    bool operator()(int x) const {
        if (alpha[x] != 255) return true;
        const uint8_t* p = pixels + size_t(x) * size_t(bpp);
        return std::abs(p[0] - b0) + std::abs(p[1] - g0) + std::abs(p[2] - r0) < tolerance;
    }
};

// Colour reads and paint for true-colour planes.
class TrueColourPlanes {
public:
    using Test = TrueColourTest;
    TrueColourPlanes(const LayerPixels& from, const LayerPixels& to, uint32_t colour)
        : from_(from), to_(to), bpp_(std::max(3, from.bytesPerPixel)) {
        fg_[0] = uint8_t(colour);
        fg_[1] = uint8_t(colour >> 8);
        fg_[2] = uint8_t(colour >> 16);
    }
    void Reference(int x, int row) {
        const uint8_t* p = from_.Row(row) + size_t(x) * size_t(bpp_);
        ref_[0] = p[0];
        ref_[1] = p[1];
        ref_[2] = p[2];
    }
    Test Tester(int row, int tolerance) const {
        return {from_.Row(row), from_.AlphaRow(row), bpp_, ref_[0], ref_[1], ref_[2], tolerance};
    }
    // Paints the selected pixels of [left, right]; with a feather the colour goes over the old
    // one by the edge weight v / 255 and the alpha never drops.
    void PaintRun(int row, int left, int right, const FeatherWeight& feather) const {
        const uint8_t* sel = to_.SelectionRow(row);
        uint8_t* d = to_.Row(row);
        uint8_t* a = to_.AlphaRow(row);
        const int bpp = bpp_;
        const uint8_t b = fg_[0], g = fg_[1], r = fg_[2];
        if (!feather.Active()) {
            for (int x = left; x <= right; ++x) {
                if (sel && !sel[x]) continue;
                uint8_t* p = d + size_t(x) * size_t(bpp);
                p[0] = b;
                p[1] = g;
                p[2] = r;
                a[x] = 255;
            }
            return;
        }
        const uint8_t* s = from_.Row(row);
        const uint8_t* oldAlpha = from_.AlphaRow(row);
        for (int x = left; x <= right; ++x) {
            if (sel && !sel[x]) continue;
            const int v = feather.At(x, row);
            const uint8_t* o = s + size_t(x) * size_t(bpp);
            uint8_t* p = d + size_t(x) * size_t(bpp);
            for (int c = 0; c < 3; ++c) {
                const int e = oldAlpha[x] ? o[c] : fg_[c];
                p[c] = uint8_t((e * (255 - v) + fg_[c] * v) / 255);
            }
            a[x] = std::max<uint8_t>(oldAlpha[x], uint8_t(v));
        }
    }

private:
    const LayerPixels& from_;
    const LayerPixels& to_;
    int bpp_;
    uint8_t fg_[3];
    int ref_[3] = {0, 0, 0};
};

struct IndexedTest {
    const uint8_t* pixels;
    const uint8_t* alpha;
    const IndexedRows* ix;
    Rgbquad ref;
    int tolerance;
    bool operator()(int x) const {
        if (alpha[x] != 255) return true;
        const unsigned i = PixelIndex(pixels, x, ix->bits);
        const Rgbquad q = i < unsigned(ix->paletteCount) ? ix->palette[i] : Rgbquad{};
        return std::abs(q.blue - ref.blue) + std::abs(q.green - ref.green) +
                   std::abs(q.red - ref.red) <
               tolerance;
    }
};

// Indexed planes: colours through the palette; paint writes the foreground's entry and the
// feather softens only the alpha.
class IndexedPlanes {
public:
    using Test = IndexedTest;
    IndexedPlanes(const LayerPixels& from, const LayerPixels& to, const IndexedRows& indexed)
        : from_(from), to_(to), ix_(indexed) {}
    void Reference(int x, int row) {
        const unsigned i = PixelIndex(from_.Row(row), x, ix_.bits);
        ref_ = i < unsigned(ix_.paletteCount) ? ix_.palette[i] : Rgbquad{};
    }
    Test Tester(int row, int tolerance) const {
        return {from_.Row(row), from_.AlphaRow(row), &ix_, ref_, tolerance};
    }
    void PaintRun(int row, int left, int right, const FeatherWeight& feather) const {
        const uint8_t* sel = to_.SelectionRow(row);
        for (int x = left; x <= right; ++x) {
            if (sel && !sel[x]) continue;
            PutPixelIndex(to_.Row(row), x, ix_.bits, ix_.foregroundIndex);
            to_.AlphaRow(row)[x] = feather.Active() ? std::max<uint8_t>(from_.AlphaRow(row)[x],
                                                                        uint8_t(feather.At(x, row)))
                                                    : 255;
        }
    }

private:
    const LayerPixels& from_;
    const LayerPixels& to_;
    IndexedRows ix_;
    Rgbquad ref_{};
};

template <class Planes>
class Flood {
public:
    Flood(const LayerPixels& from, const LayerPixels& to, Planes& planes, const FillOptions& o,
          UserPort* progress)
        : width_(from.width),
          height_(from.height),
          planes_(planes),
          tolerance_(o.tolerance),
          feather_(to.selection, to.width, to.height, o.feather),
          progress_(progress) {}

    int64_t Run(int x, int row) {
        planes_.Reference(x, row);
        if (tolerance_ < 1) {
            planes_.PaintRun(row, x, x, feather_);
            return 1;
        }
        visited_.assign(size_t(width_) * size_t(height_), 0);
        // The clicked pixel belongs whatever its colour; its row run grows from it.
        Visited(row)[x] = 1;
        stack_.push_back(Grow(x, row, planes_.Tester(row, tolerance_), Visited(row)));
        int64_t reached = 0;
        while (!stack_.empty()) {
            const Span s = stack_.back();
            stack_.pop_back();
            planes_.PaintRun(s.row, s.left, s.right, feather_);
            reached += s.right - s.left + 1;
            Report(reached);
            if (s.row + 1 < height_) Scan(s, s.row + 1);
            if (s.row > 0) Scan(s, s.row - 1);
        }
        return reached;
    }

private:
    using Test = typename Planes::Test;

    uint8_t* Visited(int row) { return visited_.data() + size_t(row) * size_t(width_); }

    // Extends the visited pixel x of `row` over joining neighbours on both sides.
    Span Grow(int x, int row, const Test joins, uint8_t* seen) const {
        int left = x, right = x;
        const int last = width_ - 1;
        while (left > 0 && !seen[left - 1] && joins(left - 1)) seen[--left] = 1;
        while (right < last && !seen[right + 1] && joins(right + 1)) seen[++right] = 1;
        return {left, right, row};
    }

    // The runs of `row` that touch the span, diagonals included.
    void Scan(const Span& s, int row) {
        uint8_t* seen = Visited(row);
        const Test joins = planes_.Tester(row, tolerance_);
        const int last = std::min(width_ - 1, s.right + 1);
        for (int x = std::max(0, s.left - 1); x <= last; ++x) {
            if (seen[x] || !joins(x)) continue;
            seen[x] = 1;
            const Span run = Grow(x, row, joins, seen);
            stack_.push_back(run);
            x = run.right;
        }
    }

    void Report(int64_t reached) {
        if (!progress_) return;
        const int percent = int(reached * 100 / (int64_t(width_) * height_));
        if (percent == percent_) return;
        percent_ = percent;
        progress_->progress(percent);
    }

    int width_, height_;
    Planes& planes_;
    int tolerance_;
    FeatherWeight feather_;
    UserPort* progress_;
    int percent_ = 0;
    std::vector<uint8_t> visited_;
    std::vector<Span> stack_;
};

}  // namespace

int64_t FloodFillPixels(const LayerPixels& from, const LayerPixels& to, int x, int row,
                        const FillOptions& options, const IndexedRows& indexed,
                        UserPort* progress) {
    if (from.Empty() || !from.SameShape(to) || x < 0 || row < 0 || x >= from.width ||
        row >= from.height)
        return 0;
    if (indexed.palette) {
        IndexedPlanes planes(from, to, indexed);
        return Flood<IndexedPlanes>(from, to, planes, options, progress).Run(x, row);
    }
    TrueColourPlanes planes(from, to, options.colour);
    return Flood<TrueColourPlanes>(from, to, planes, options, progress).Run(x, row);
}

EditOutcome FillAt(CBrevDoc& doc, int x, int y, const FillOptions& options) {
    const int slot = EditableCurrentLayer(doc, TextLayerRule::Refuse);
    if (slot < 0) return EditOutcome::Refused;
    LayerTable& t = doc.Layers();
    const Layer& l = t.layer(slot);
    if (x < 0 || y < 0 || x >= l.width || y >= l.height) return EditOutcome::Unchanged;
    const int row = l.height - 1 - y;
    std::vector<uint8_t> storage;
    const uint8_t* sel = SelectionFor(doc, slot, storage);
    if (sel && !sel[size_t(row) * size_t(l.width) + size_t(x)]) return EditOutcome::Unchanged;
    IndexedRows indexed;
    if (IsIndexedPicture(t)) {
        indexed.palette = t.palette.data();
        indexed.paletteCount = int(t.palette.size());
        indexed.bits = t.LayerBits(slot);
        indexed.foregroundIndex = unsigned(std::max(0, t.NearestPaletteIndex(options.colour)));
    }
    return EditLayerPixels(doc, slot, kFillLabel,
                           [&](const LayerPixels& from, const LayerPixels& to) {
                               FloodFillPixels(from, to, x, row, options, indexed, &doc.User());
                               doc.User().progress(-1);
                           });
}

void FillTool::down(ToolEvent& e) {
    CBrevDoc& doc = e.doc;
    if (!doc.Layers().InList(doc.CurrentLayer())) return;
    const LayerPoint p =
        ToLayer(doc.Layers().layer(doc.CurrentLayer()), CanvasOf(e.zoomed, doc.Zoom()));
    const uint32_t colour = LayerColourOf(settings_.foreground);
    const int tolerance = e.tools.slider1.enabled ? e.tools.slider1.value : 10;
    FillAt(doc, p.x, p.y, {colour, tolerance, e.tools.feather});
}

}  // namespace quillet
