#include "view/tools/Gradient.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "document/CBrevDoc.h"
#include "document/EditCycle.h"
#include "platform/UserPort.h"
#include "view/FrameSettings.h"
#include "view/LayerGrowth.h"

namespace quillet {

namespace {

struct Bgr {
    int c[3];
};

Bgr Channels(uint32_t colour) {
    return {{int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)}};
}

// Writes one selected pixel: colour and full alpha.
inline void Put(uint8_t* px, uint8_t* alpha, int b, int g, int r) {
    px[0] = uint8_t(b);
    px[1] = uint8_t(g);
    px[2] = uint8_t(r);
    *alpha = 255;
}

// Vertical and horizontal guide lines: the foreground times g / n per channel, g from the row
// or the column.
void AxisRamp(const LayerPixels& to, const Bgr& fg, bool vertical, bool downwards) {
    const int bpp = std::max(3, to.bytesPerPixel);
    const int h = to.height, w = to.width;
    // A ramp across the columns is one row's worth, the same in every row.
    std::vector<uint8_t> columnRamp;
    if (!vertical) {
        columnRamp.resize(size_t(w) * 3);
        for (int c = 0; c < w; ++c)
            for (int k = 0; k < 3; ++k)
                columnRamp[size_t(c) * 3 + size_t(k)] = uint8_t(fg.c[k] * (w - c) / w);
    }
    for (int row = 0; row < h; ++row) {
        uint8_t* px = to.Row(row);
        uint8_t* a = to.AlphaRow(row);
        const uint8_t* sel = to.SelectionRow(row);
        if (vertical) {
            // Rows count from the bottom: g = H − row, mirrored when the line runs downwards.
            int g = h - row;
            if (downwards) g = h - g;
            const int b = fg.c[0] * g / h, gg = fg.c[1] * g / h, r = fg.c[2] * g / h;
            for (int x = 0; x < w; ++x)
                if (!sel || sel[x]) Put(px + size_t(x) * size_t(bpp), a + x, b, gg, r);
        } else {
            for (int x = 0; x < w; ++x) {
                if (sel && !sel[x]) continue;
                const uint8_t* c = &columnRamp[size_t(x) * 3];
                Put(px + size_t(x) * size_t(bpp), a + x, c[0], c[1], c[2]);
            }
        }
    }
}

// Horizontal bounds of the selected pixels; false when none is selected.
bool SelectedColumns(const LayerPixels& to, int& left, int& right) {
    if (!to.selection) {
        left = 0;
        right = to.width - 1;
        return true;
    }
    left = to.width;
    right = -1;
    for (int row = 0; row < to.height; ++row) {
        const uint8_t* sel = to.SelectionRow(row);
        for (int x = 0; x < std::min(left, to.width); ++x)
            if (sel[x]) {
                left = x;
                break;
            }
        for (int x = to.width - 1; x > right; --x)
            if (sel[x]) {
                right = x;
                break;
            }
    }
    return right >= left;
}

// Any other guide line: each pixel lies on the line of slope k = −1 / s through it, s the guide
// line's slope, and takes the colour of where that line crosses the guide line. The crossing
// moves by a constant step along a row, so each row is a straight walk through a table of the
// ramp's colours at 1/4096 steps of t.
void SlopedRamp(const LayerPixels& to, const GuideLine& gl, const GradientOptions& o, int left,
                int right) {
    constexpr int kSteps = 4096;
    const int bpp = std::max(3, to.bytesPerPixel);
    const double s = double(gl.y1 - gl.y2) / double(gl.x1 - gl.x2);
    const double k = -1.0 / s;
    const double den = k - s;
    const double b = right - left;
    const bool mirrored = o.shape == GradientShape::Mirrored;
    const bool reversed = !mirrored && gl.x2 <= gl.x1;
    const bool twoColours = o.colours == GradientColours::ForegroundBackground;
    const Bgr fg = Channels(o.foreground), bg = Channels(o.background);

    std::vector<uint8_t> ramp(size_t(kSteps + 1) * 4);
    for (int i = 0; i <= kSteps; ++i) {
        const double t = double(i) / kSteps;
        for (int ch = 0; ch < 3; ++ch)
            ramp[size_t(i) * 4 + size_t(ch)] =
                uint8_t(twoColours ? int((1 - t) * bg.c[ch] + t * fg.c[ch]) : int(t * fg.c[ch]));
    }
    // The table index as a linear function q = q0 + qx · x of the column within a row:
    // linear t = (b − p) / b, reversed 1 − t; mirrored t = |b / 2 − p| / (b / 2); p the
    // crossing's x − left. A selection one column wide has no room for a ramp: the foreground.
    const double stepP = k / den;
    double scale = 0;
    if (b > 0) scale = mirrored ? kSteps / (b / 2) : kSteps / b;
    const double qx = (reversed || mirrored ? stepP : -stepP) * scale;
    const uint8_t* table = ramp.data();
    for (int row = 0; row < to.height; ++row) {
        const int y = to.height - 1 - row;  // rows from the top, as the guide line's
        const double p0 = (gl.y1 - y - s * gl.x1) / den - left;
        double q0;
        if (b <= 0)
            q0 = kSteps;
        else if (mirrored)
            q0 = (p0 - b / 2) * scale;
        else
            q0 = reversed ? p0 * scale : (b - p0) * scale;
        uint8_t* px = to.Row(row);
        uint8_t* a = to.AlphaRow(row);
        const uint8_t* sel = to.SelectionRow(row);
        for (int x = 0; x < to.width; ++x) {
            if (sel && !sel[x]) continue;
            double q = q0 + qx * x;
            if (mirrored) q = std::fabs(q);
            const int i = q <= 0 ? 0 : q >= kSteps ? kSteps : int(q + 0.5);
            const uint8_t* c = table + size_t(i) * 4;
            uint8_t* d = px + size_t(x) * size_t(bpp);
            d[0] = c[0];
            d[1] = c[1];
            d[2] = c[2];
            a[x] = 255;
        }
    }
}

}  // namespace

bool GradientPixels(const LayerPixels& to, const GuideLine& g, const GradientOptions& o) {
    if (to.Empty() || to.bytesPerPixel < 3) return false;
    int left = 0, right = 0;
    if (!SelectedColumns(to, left, right)) return false;
    if (g.x1 == g.x2)
        AxisRamp(to, Channels(o.foreground), true, g.y1 < g.y2);
    else if (g.y1 == g.y2)
        AxisRamp(to, Channels(o.foreground), false, false);
    else
        SlopedRamp(to, g, o, left, right);
    return true;
}

EditOutcome ApplyGradient(CBrevDoc& doc, const GuideLine& guide, const GradientOptions& options) {
    const int slot = EditableCurrentLayer(doc, TextLayerRule::Refuse);
    if (slot < 0) return EditOutcome::Refused;
    if (guide.x1 == guide.x2 && guide.y1 == guide.y2) {
        doc.User().showMessage(kGradientNeedsDrag, MessageIcon::Warning);
        return EditOutcome::Refused;
    }
    // Indexed pictures keep palette indices in their rows: no room for a ramp.
    if (IsIndexedPicture(doc.Layers())) return EditOutcome::Unchanged;
    const Layer& l = doc.Layers().layer(slot);
    std::vector<uint8_t> storage;
    if (const uint8_t* sel = SelectionFor(doc, slot, storage);
        sel && std::none_of(sel, sel + size_t(l.width) * size_t(l.height),
                            [](uint8_t m) { return m != 0; }))
        return EditOutcome::Unchanged;
    // The journal step stores the snapshot too, so the next stroke starts from the ramp.
    return EditLayerPixels(
        doc, slot, kGradientLabel,
        [&](const LayerPixels&, const LayerPixels& to) { GradientPixels(to, guide, options); });
}

void GradientTool::down(ToolEvent& e) {
    DocViewState& v = e.doc.ViewShared();
    v.anchors.drag = {e.zoomed.x, e.zoomed.y};
    v.anchors.farCorner = {e.zoomed.x, e.zoomed.y};
}

void GradientTool::drag(ToolEvent& e) {
    DocViewState& v = e.doc.ViewShared();
    if (v.anchors.drag.IsSet()) v.anchors.farCorner = {e.zoomed.x, e.zoomed.y};
}

void GradientTool::up(ToolEvent& e) {
    CBrevDoc& doc = e.doc;
    DocViewState& v = doc.ViewShared();
    if (!v.anchors.drag.IsSet()) return;
    const ViewPoint from{v.anchors.drag.x, v.anchors.drag.y};
    v.anchors.drag.Reset();
    v.anchors.farCorner.Reset();
    if (!doc.Layers().InList(doc.CurrentLayer())) return;
    const Layer& l = doc.Layers().layer(doc.CurrentLayer());
    const LayerPoint a = ToLayer(l, CanvasOf(from, doc.Zoom()));
    const LayerPoint b = ToLayer(l, CanvasOf(e.zoomed, doc.Zoom()));
    GradientOptions o;
    o.shape = choice_.shape;
    o.colours = choice_.colours;
    o.foreground = LayerColourOf(settings_.foreground);
    o.background = LayerColourOf(settings_.background);
    ApplyGradient(doc, {a.x, a.y, b.x, b.y}, o);
}

}  // namespace quillet
