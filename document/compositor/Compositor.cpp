// Compositing plans: which canvas pixels a composition needs, and one pass per drawn layer.
#include "document/compositor/Compositor.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "document/LayerTable.h"
#include "document/compositor/CompositorEngine.h"
#include "image/RaViru.h"

namespace quillet {

using namespace compositing;

namespace {

// floor((window position − origin) / zoom), clamped to the canvas.
int SourceOf(int position, int origin, double zoom, int canvasSize) {
    const double v = std::floor((double(position) - double(origin)) / zoom);
    if (!(v >= 0)) return 0;
    if (v >= double(canvasSize - 1)) return canvasSize - 1;
    return int(v);
}

void FinishColumns(Plan& plan, const std::vector<int>& columns) {
    plan.distinctColumns.clear();
    plan.expand.assign(columns.size(), 0);
    for (size_t j = 0; j < columns.size(); ++j) {
        if (plan.distinctColumns.empty() || plan.distinctColumns.back() != columns[j])
            plan.distinctColumns.push_back(columns[j]);
        plan.expand[j] = int(plan.distinctColumns.size()) - 1;
    }
    plan.contiguous = true;
    for (size_t k = 1; k < plan.distinctColumns.size(); ++k)
        if (plan.distinctColumns[k] != plan.distinctColumns[0] + int(k)) plan.contiguous = false;
    if (plan.distinctColumns.size() == columns.size()) plan.expand.clear();
}

bool BuffersMatch(const Layer& l, const LayerPlanes& p, int bits) {
    if (l.width < 1 || l.height < 1) return false;
    const uint64_t plane = uint64_t(l.width) * uint64_t(l.height);
    const uint64_t rowBits = uint64_t(l.width) * uint64_t(bits);
    return uint64_t(l.stride) * 8 >= rowBits &&
           p.pixels.size() >= uint64_t(l.stride) * uint64_t(l.height) && p.alpha.size() >= plane;
}

}  // namespace

namespace compositing {

std::vector<LayerPass> PreparePasses(const LayerTable& table, int startSlot, int count,
                                     const Plan& plan, bool alone) {
    std::vector<LayerPass> passes;
    const int limit = count > 0 ? count : kLayerSlots;
    const int pictureBits = table.header.bitsPerPixel;
    const auto& cols = plan.distinctColumns;
    int slot = startSlot;
    // Walks end at -1, at an index outside the table, or after 40 layers on a damaged list.
    for (int walked = 0; walked < limit && walked < kLayerSlots && LayerTable::IsValidIndex(slot);
         ++walked, slot = table.layer(slot).next) {
        const Layer& l = table.layer(slot);
        if (!l.IsVisible() && !alone) continue;  // skipped, still counted
        const bool text = l.kind == LayerKind::Text;
        const int bits = text ? 8 : pictureBits;
        if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) continue;
        const LayerPlanes& planes = table.planesOf(slot);
        if (!BuffersMatch(l, planes, bits)) continue;

        LayerPass p;
        p.bottom = alone || slot == table.bottom;
        p.mode = alone ? BlendMode::Normal : l.Blend();
        p.bits = bits;
        p.x = l.x;
        p.y = l.y;
        p.width = l.width;
        p.height = l.height;
        p.pixels = planes.pixels.data();
        p.stride = l.stride;
        p.alpha = planes.alpha.data();
        if (text) {
            // Drawn in its text colour whatever the picture's palette.
            p.source = kConstant;
            p.colour[0] = uint8_t(l.textColour);
            p.colour[1] = uint8_t(l.textColour >> 8);
            p.colour[2] = uint8_t(l.textColour >> 16);
        } else if (bits <= 8) {
            p.source = kIndexed;
            const size_t entries = size_t(1) << bits;
            for (size_t i = 0; i < entries; ++i) {
                if (table.header.paletteSize == 0) {
                    // Indexed pixels without a palette read as grey levels.
                    p.lut[i][0] = p.lut[i][1] = p.lut[i][2] = uint8_t(i);
                } else if (i < table.palette.size() && i < size_t(table.header.paletteSize)) {
                    const Rgbquad& q = table.palette[i];
                    p.lut[i][0] = q.blue;
                    p.lut[i][1] = q.green;
                    p.lut[i][2] = q.red;
                }  // indices beyond the palette read as black
            }
        } else {
            p.source = bits == 24 ? kBgr24 : kBgra32;
        }
        p.coverage[0] = 0.0f;
        p.rest[0] = 1.0f;
        for (unsigned R = 1; R < 256; ++R) {
            p.coverage[R] = CoverageOf(R, l.transparency);
            p.rest[R] = 1.0f - p.coverage[R];
        }

        // The distinct columns this layer covers: a contiguous range, since they increase.
        const int64_t left = l.x, right = int64_t(l.x) + l.width;
        if (plan.contiguous && !cols.empty()) {
            p.k0 = int(std::clamp<int64_t>(left - cols[0], 0, int64_t(cols.size())));
            p.k1 = int(std::clamp<int64_t>(right - cols[0], 0, int64_t(cols.size())));
        } else {
            p.k0 = int(std::lower_bound(cols.begin(), cols.end(), left,
                                        [](int c, int64_t v) { return c < v; }) -
                       cols.begin());
            p.k1 = int(std::lower_bound(cols.begin(), cols.end(), right,
                                        [](int c, int64_t v) { return c < v; }) -
                       cols.begin());
            for (int k = p.k0; k < p.k1; ++k)
                p.columns.push_back(int32_t(int64_t(cols[size_t(k)]) - l.x));
        }
        p.replaces = (p.bottom || p.mode == BlendMode::Normal) && p.coverage[255] == 1.0f;
        if (p.k1 > p.k0) passes.push_back(std::move(p));
    }
    return passes;
}

}  // namespace compositing

int Compositor::ScaledSize(int canvasSize, double zoom) {
    const double v = std::floor(double(canvasSize) * zoom);
    if (!(v > 0)) return 0;
    return v >= double(INT_MAX / 2) ? INT_MAX / 2 : int(v);
}

int Compositor::CentredOrigin(int windowSize, int canvasSize, double zoom) {
    return std::max(0, (windowSize - ScaledSize(canvasSize, zoom)) / 2);
}

DisplayRequest Compositor::CentredRequest(const LayerTable& table, int windowWidth,
                                          int windowHeight, double zoom) {
    DisplayRequest r;
    r.zoomX = r.zoomY = zoom;
    r.originX = CentredOrigin(windowWidth, table.header.canvasWidth, zoom);
    r.originY = CentredOrigin(windowHeight, table.header.canvasHeight, zoom);
    r.right = windowWidth;
    r.bottom = windowHeight;
    return r;
}

DisplayRequest Compositor::StretchRequest(const LayerTable& table, int windowWidth,
                                          int windowHeight) {
    DisplayRequest r;
    const int w = std::max(1, table.header.canvasWidth), h = std::max(1, table.header.canvasHeight);
    r.zoomX = double(windowWidth) / w;
    r.zoomY = double(windowHeight) / h;
    r.originX = CentredOrigin(windowWidth, w, r.zoomX);
    r.originY = CentredOrigin(windowHeight, h, r.zoomY);
    r.right = windowWidth;
    r.bottom = windowHeight;
    return r;
}

Image32 Compositor::ComposeDisplay(const LayerTable& table, const DisplayRequest& q, int threads) {
    Image32 out;
    ComposeDisplayInto(table, q, out, threads);
    return out;
}

Image32 Compositor::ComposeFull(const LayerTable& table, int startSlot, int count, int threads) {
    Image32 out;
    ComposeFullInto(table, startSlot, count, out, threads);
    return out;
}

void Compositor::ComposeDisplayInto(const LayerTable& table, const DisplayRequest& q, Image32& out,
                                    int threads) {
    Plan plan;
    if (!PlanDisplay(table, q, out, plan)) return;
    ComposeAll(PreparePasses(table, table.bottom, 0, plan), plan, out, threads);
}

void Compositor::ComposeLayerAloneInto(const LayerTable& table, int slot, const DisplayRequest& q,
                                       Image32& out) {
    Plan plan;
    if (!LayerTable::IsValidIndex(slot) || !PlanDisplay(table, q, out, plan)) return;
    ComposeAll(PreparePasses(table, slot, 1, plan, true), plan, out, 1);
}

bool Compositor::PlanDisplay(const LayerTable& table, const DisplayRequest& q, Image32& out,
                             Plan& plan) {
    out.x = out.y = out.width = out.height = 0;
    out.bottomUp = false;
    // The buffer is kept for reuse (the rows are cleared as they are composed); an early return
    // leaves the image empty.
    std::vector<uint8_t> buffer = std::move(out.bytes);
    out.bytes.clear();
    const int W = table.header.canvasWidth, H = table.header.canvasHeight;
    if (W < 1 || H < 1 || !(q.zoomX > 0) || !(q.zoomY > 0)) return false;
    // The part of the area the picture occupies.
    const int64_t px1 = int64_t(q.originX) + ScaledSize(W, q.zoomX);
    const int64_t py1 = int64_t(q.originY) + ScaledSize(H, q.zoomY);
    const int left = std::max(q.left, q.originX), top = std::max(q.top, q.originY);
    const int right = int(std::min<int64_t>(q.right, px1));
    const int bottom = int(std::min<int64_t>(q.bottom, py1));
    if (right <= left || bottom <= top) return false;
    // A view asks for its clip box; an area no screen has is refused rather than allocated.
    if (!FitsPixelLimit(int64_t(right) - left, int64_t(bottom) - top)) return false;

    std::vector<int> columns(size_t(right - left));
    for (int j = 0; j < right - left; ++j)
        columns[size_t(j)] = SourceOf(left + j, q.originX, q.zoomX, W);
    FinishColumns(plan, columns);
    plan.rows.resize(size_t(bottom - top));
    for (int i = 0; i < bottom - top; ++i)
        plan.rows[size_t(i)] = SourceOf(top + i, q.originY, q.zoomY, H);

    out.x = left;
    out.y = top;
    out.width = right - left;
    out.height = bottom - top;
    buffer.resize(size_t(out.width) * size_t(out.height) * 4);
    out.bytes = std::move(buffer);
    return true;
}

void Compositor::ComposeFullInto(const LayerTable& table, int startSlot, int count, Image32& out,
                                 int threads) {
    out.x = out.y = out.width = out.height = 0;
    out.bottomUp = true;
    // The buffer is kept for reuse (the rows are cleared as they are composed); an early return
    // leaves the image empty.
    std::vector<uint8_t> buffer = std::move(out.bytes);
    out.bytes.clear();
    const int W = table.header.canvasWidth, H = table.header.canvasHeight;
    if (W < 1 || H < 1 || !FitsPixelLimit(W, H)) return;
    Plan plan;
    plan.distinctColumns.resize(size_t(W));
    for (int j = 0; j < W; ++j) plan.distinctColumns[size_t(j)] = j;
    plan.rows.resize(size_t(H));
    for (int r = 0; r < H; ++r) plan.rows[size_t(r)] = H - 1 - r;  // bottom row first
    out.width = W;
    out.height = H;
    out.bottomUp = true;
    buffer.resize(size_t(W) * size_t(H) * 4);
    out.bytes = std::move(buffer);
    const auto passes = PreparePasses(table, startSlot, count, plan);
    ComposeAll(passes, plan, out, threads);
}

}  // namespace quillet
