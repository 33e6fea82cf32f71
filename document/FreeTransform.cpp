// The warp of a layer onto its corner handles.
#include "document/FreeTransform.h"

#include <algorithm>
#include <cmath>

#include "document/CBrevDoc.h"
#include "document/GeometryEdit.h"
#include "image/RaViru.h"

namespace quillet {

using namespace geometry;

namespace {

struct Vec {
    double x = 0, y = 0;
};

Vec unit(double dx, double dy) {
    const double n = std::hypot(dx, dy);
    return n > 0 ? Vec{dx / n, dy / n} : Vec{};
}

bool isZero(Vec v) { return v.x == 0 && v.y == 0; }

Vec edge(const CornerHandles& h, int from, int to) {
    return unit(double(h.x[size_t(to)] - h.x[size_t(from)]),
                double(h.y[size_t(to)] - h.y[size_t(from)]));
}

}  // namespace

WarpQuad QuadOfHandles(const CornerHandles& h, int originX, int originY) {
    // The source's axes at the quadrilateral: along its rows (bottom and top edges) and down
    // its columns (left and right edges). A flat side borrows its opposite, a flat pair the
    // other axis turned a quarter, a single pixel the canvas's own axes.
    Vec bottomU = edge(h, 0, 1), topU = edge(h, 3, 2);
    Vec leftV = edge(h, 3, 0), rightV = edge(h, 2, 1);
    if (isZero(bottomU)) bottomU = topU;
    if (isZero(topU)) topU = bottomU;
    if (isZero(leftV)) leftV = rightV;
    if (isZero(rightV)) rightV = leftV;
    if (isZero(bottomU) && isZero(leftV)) {
        bottomU = topU = {1, 0};
        leftV = rightV = {0, 1};
    } else if (isZero(bottomU)) {
        bottomU = topU = {leftV.y, -leftV.x};
    } else if (isZero(leftV)) {
        leftV = rightV = {-bottomU.y, bottomU.x};
    }
    // Corner k: its row axis, its column axis, and which way out each points.
    const Vec u[4] = {bottomU, bottomU, topU, topU};
    const Vec v[4] = {leftV, rightV, rightV, leftV};
    const double su[4] = {-1, 1, 1, -1};
    const double sv[4] = {1, 1, -1, -1};
    WarpQuad q;
    for (int k = 0; k < 4; ++k) {
        q.x[k] = h.x[size_t(k)] - originX + 0.5 + 0.5 * (su[k] * u[k].x + sv[k] * v[k].x);
        q.y[k] = h.y[size_t(k)] - originY + 0.5 + 0.5 * (su[k] * u[k].y + sv[k] * v[k].y);
    }
    return q;
}

HandleBox BoxOfHandles(const CornerHandles& h) {
    const WarpQuad q = QuadOfHandles(h);
    const double left = std::floor(*std::min_element(q.x, q.x + 4) + 1e-9);
    const double top = std::floor(*std::min_element(q.y, q.y + 4) + 1e-9);
    const double right = std::ceil(*std::max_element(q.x, q.x + 4) - 1e-9);
    const double bottom = std::ceil(*std::max_element(q.y, q.y + 4) - 1e-9);
    constexpr double kLimit = 1e9;  // far beyond any picture; keeps the casts defined
    if (!(right - left < kLimit) || !(bottom - top < kLimit) || std::fabs(left) > kLimit ||
        std::fabs(top) > kLimit)
        return {};
    return HandleBox{int(left), int(top), int(right - left), int(bottom - top)};
}

CornerHandles BoxCornerHandles(const HandleBox& b) {
    const int right = b.x + b.width - 1, bottom = b.y + b.height - 1;
    return CornerHandles{{b.x, right, right, b.x}, {bottom, bottom, b.y, b.y}};
}

CornerHandles LayerCornerHandles(const Layer& l) {
    return BoxCornerHandles(HandleBox{l.x, l.y, l.width, l.height});
}

HandleBox ContentBox(const LayerTable& t, int slot) {
    const Layer& l = t.layer(slot);
    const std::vector<uint8_t>& alpha = t.planesOf(slot).alpha;
    int left = l.width, right = -1, top = l.height, bottom = -1;  // rows from the top
    if (alpha.size() >= size_t(l.width) * size_t(l.height))
        for (int r = 0; r < l.height; ++r) {
            const uint8_t* row = alpha.data() + size_t(r) * size_t(l.width);
            int first = 0;
            while (first < l.width && row[first] == 0) ++first;
            if (first == l.width) continue;
            int last = l.width - 1;
            while (row[last] == 0) --last;
            const int y = l.height - 1 - r;
            left = std::min(left, first);
            right = std::max(right, last);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    if (right < 0) left = 0, right = l.width - 1, top = 0, bottom = l.height - 1;
    const int W = std::max(1, t.header.canvasWidth), H = std::max(1, t.header.canvasHeight);
    const int x0 = std::clamp(l.x + left, 0, W - 1), x1 = std::clamp(l.x + right, 0, W - 1);
    const int y0 = std::clamp(l.y + top, 0, H - 1), y1 = std::clamp(l.y + bottom, 0, H - 1);
    return HandleBox{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

CornerHandles RotatedLayerHandles(const Layer& l, double degrees) {
    const CornerHandles corners = LayerCornerHandles(l);
    const double pi = 2 * std::acos(0.0);
    const double a = degrees * pi / 180, c = std::cos(a), s = std::sin(a);
    const double cx = l.x + (l.width - 1) / 2.0, cy = l.y + (l.height - 1) / 2.0;
    CornerHandles out;
    for (size_t k = 0; k < 4; ++k) {
        const double dx = corners.x[k] - cx, dy = corners.y[k] - cy;
        // Rows run down the screen, so this turns clockwise for positive angles.
        out.x[k] = int32_t(std::floor(cx + dx * c - dy * s + 0.5));
        out.y[k] = int32_t(std::floor(cy + dx * s + dy * c + 0.5));
    }
    return out;
}

namespace {

// The source part and the quadrilateral of a warp, checked.
struct WarpSetup {
    WarpSource source;
    WarpQuad quad;
    HandleBox box;
    int bits = 0;
};

bool setUp(const LayerTable& t, int slot, const Layer& src, const LayerPlanes& planes,
           const HandleBox& from, const CornerHandles& handles, WarpSetup& out) {
    const int bits = t.LayerBits(slot);
    if (bits < 8 || src.width < 1 || src.height < 1) return false;
    if (planes.pixels.size() < size_t(src.stride) * size_t(src.height) ||
        planes.alpha.size() < size_t(src.width) * size_t(src.height))
        return false;
    // The part in the layer's own pixels, rows from the top, then its first stored row.
    const int left = std::max(0, from.x - src.x), top = std::max(0, from.y - src.y);
    const int right = std::min(src.width, from.x + from.width - src.x);
    const int bottom = std::min(src.height, from.y + from.height - src.y);
    if (right <= left || bottom <= top) return false;
    const int w = right - left, h = bottom - top;
    const size_t firstRow = size_t(src.height - bottom);
    const HandleBox box = BoxOfHandles(handles);
    if (box.width < 1 || box.height < 1 ||
        uint64_t(box.width) * uint64_t(box.height) > kMaxImagePixels)
        return false;
    const WarpQuad quad = QuadOfHandles(handles, box.x, box.y);
    if (!WarpGridValid(quad, w, h)) return false;
    const bool effect = planes.effect.size() >= size_t(src.width) * size_t(src.height);
    const size_t planeAt = firstRow * size_t(src.width) + size_t(left);
    out.source = WarpSource{ConstPlaneRef{planes.pixels.data() + firstRow * src.stride +
                                              size_t(left) * size_t(bits / 8),
                                          src.stride, w, h, bits},
                            planes.alpha.data() + planeAt,
                            effect ? planes.effect.data() + planeAt : nullptr, size_t(src.width)};
    out.quad = quad;
    out.box = box;
    out.bits = bits;
    return true;
}

// What the quadrilateral leaves uncovered is as a new layer holds it.
constexpr uint8_t kOutside[4] = {255, 255, 255, 255};

// Palette indices cannot be blended: a palette picture takes the nearest source pixel.
WarpSampling samplingFor(int bits) {
    return bits == 8 ? WarpSampling::Nearest : WarpSampling::Bilinear;
}

}  // namespace

bool WarpLayerFrom(LayerTable& t, int slot, const Layer& src, const LayerPlanes& planes,
                   const HandleBox& from, const CornerHandles& handles) {
    WarpSetup w;
    if (!setUp(t, slot, src, planes, from, handles, w)) return false;
    const HandleBox& box = w.box;
    NewPlanes out = AllocatePlanes(t, slot, box.width, box.height);
    const WarpTarget target{PlaneRef{out.pixels.data(), out.stride, box.width, box.height, w.bits},
                            out.alpha.data(), out.effect.data(), kOutside};
    WarpPlane(w.source, target, w.quad, samplingFor(w.bits),
              GeometryThreads(uint64_t(box.width) * uint64_t(box.height)));
    AdoptPlanes(t, slot, std::move(out), box.x, box.y);
    t.Touch(slot);
    return true;
}

bool WarpLayerPreview(LayerTable& t, int slot, const Layer& src, const LayerPlanes& planes,
                      const HandleBox& from, const CornerHandles& handles,
                      const std::vector<int>& canvasColumns, const std::vector<int>& canvasRows) {
    WarpSetup w;
    if (!setUp(t, slot, src, planes, from, handles, w)) return false;
    const HandleBox& box = w.box;
    // The samples that fall on the new rectangle, in its own columns and rows.
    std::vector<int> columns, rows;
    for (int c : canvasColumns)
        if (c >= box.x && c < box.x + box.width) columns.push_back(c - box.x);
    for (int r : canvasRows)
        if (r >= box.y && r < box.y + box.height) rows.push_back(r - box.y);
    Layer& l = t.layer(slot);
    LayerPlanes& p = t.planesOf(slot);
    l.x = box.x;
    l.y = box.y;
    l.width = box.width;
    l.height = box.height;
    l.stride = uint32_t(StrideFor(t.header.bitsPerPixel, box.width));
    l.planeSize = uint32_t(box.width) * uint32_t(box.height);
    l.pixelSize = l.stride * uint32_t(box.height);
    p.pixels.resize(l.pixelSize);
    p.alpha.assign(l.planeSize, 0);
    p.effect.assign(l.planeSize, 0);
    const WarpTarget target{PlaneRef{p.pixels.data(), l.stride, box.width, box.height, w.bits},
                            p.alpha.data(), p.effect.data(), kOutside};
    WarpPlaneAt(w.source, target, w.quad, samplingFor(w.bits), columns.data(), int(columns.size()),
                rows.data(), int(rows.size()),
                GeometryThreads(uint64_t(columns.size()) * uint64_t(rows.size())));
    t.Touch(slot);
    return true;
}

bool TransformLayer(CBrevDoc& doc, const CornerHandles& handles, int slot,
                    std::u16string_view label) {
    if (doc.Busy()) return false;
    slot = LayerAllowed(doc, slot);
    if (slot < 0) return false;
    LayerTable& t = doc.Layers();
    const Layer& l = t.layer(slot);
    LayerProgress progress(doc, uint64_t(l.width) * uint64_t(l.height));
    if (!WarpLayerFrom(t, slot, Layer(l), t.planesOf(slot), ContentBox(t, slot), handles))
        return false;
    FinishEdit(doc, label, StepKind::PixelEdit, slot);
    return true;
}

void SaveLayerCopy(const LayerTable& t, int slot, LayerCopy& copy) {
    copy.record = t.layer(slot);
    copy.planes = t.planesOf(slot);
    copy.valid = true;
}

void RestoreLayerCopy(LayerTable& t, int slot, const LayerCopy& copy) {
    if (!copy.valid) return;
    t.layer(slot) = copy.record;
    t.planesOf(slot) = copy.planes;
    t.Touch(slot);
}

}  // namespace quillet
