#include "view/tools/PathTools.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "document/CBrevDoc.h"
#include "platform/UserPort.h"
#include "view/LayerGrowth.h"
#include "view/ToolState.h"
#include "view/ToolTable.h"

namespace quillet {

namespace {

// Where the view's point lies on the current layer, without growing it.
std::optional<GuidePoint> LayerPointOf(const CBrevDoc& doc, ViewPoint zoomed) {
    const LayerTable& t = doc.Layers();
    if (!t.InList(doc.CurrentLayer())) return std::nullopt;
    const LayerPoint p = ToLayer(t.layer(doc.CurrentLayer()), CanvasOf(zoomed, doc.Zoom()));
    return GuidePoint{p.x, p.y};
}

bool OnTextLayer(CBrevDoc& doc) {
    const LayerTable& t = doc.Layers();
    if (!t.InList(doc.CurrentLayer()) || !t.layer(doc.CurrentLayer()).IsText()) return false;
    doc.User().showMessage(kPathOnTextLayer, MessageIcon::Warning);
    return true;
}

// Squared distance from p to the segment a–b.
double SegmentDistance(GuidePoint p, GuidePoint a, GuidePoint b) {
    const double dx = b.x - a.x, dy = b.y - a.y, len = dx * dx + dy * dy;
    double t = len > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
    return ex * ex + ey * ey;
}

}  // namespace

uint32_t GuideDistance(GuidePoint a, GuidePoint b) {
    if (a.x < 0 || a.y < 0 || b.x < 0 || b.y < 0) return std::numeric_limits<uint32_t>::max();
    const uint64_t dx = uint64_t(std::abs(int64_t(a.x) - b.x));
    const uint64_t dy = uint64_t(std::abs(int64_t(a.y) - b.y));
    return uint32_t(std::min<uint64_t>(dx * dx + dy * dy, std::numeric_limits<uint32_t>::max()));
}

int NearestGuidePoint(const GuidePath& path, GuidePoint p) {
    int best = -1;
    uint32_t bestDistance = 0;
    for (int i = 0; i < path.Count(); ++i) {
        const uint32_t d = GuideDistance(p, path.points[size_t(i)]);
        if (best < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

bool AddGuidePoint(CBrevDoc& doc, GuidePoint p) {
    GuidePath& path = doc.ViewShared().path;
    if (path.Count() >= 4 && path.points.back() == path.points.front()) return false;
    if (path.closed) {
        if (doc.User().ask(kRemoveFinishedPath, Buttons::OkCancel) != Answer::Ok) return false;
        path.Clear();
        return true;
    }
    const int nearest = NearestGuidePoint(path, p);
    if (nearest == 0 && GuideDistance(p, path.points[0]) < kCloseDistance) {
        path.closed = true;
        return true;
    }
    if (path.Count() >= GuidePath::kMaxPoints) {
        doc.User().showMessage(kTooManyGuidePoints, MessageIcon::Warning);
        return false;
    }
    path.points.push_back(p);
    return true;
}

int PickGuidePoint(const GuidePath& path, GuidePoint p) {
    const int n = path.Count();
    int best = -1;
    uint32_t bestDistance = 0;
    auto consider = [&](int i, GuidePoint s) {
        const uint32_t d = GuideDistance(p, s);
        if (best < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    };
    for (int i = 0; i < n; ++i) {
        const GuidePoint a = path.points[size_t(i)];
        consider(i, a);
        for (int side : {-1, 1}) {
            int j = i + side;
            if (path.closed) j = (j + n) % n;
            if (j < 0 || j >= n || j == i) continue;
            const GuidePoint b = path.points[size_t(j)];
            const double mx = (a.x + b.x) / 2.0, my = (a.y + b.y) / 2.0;
            const int steps = int(std::max(std::fabs(mx - a.x), std::fabs(my - a.y)));
            for (int k = 1; k <= steps; ++k) {
                const double f = double(k) / steps;
                consider(i, {int(std::lround(a.x + (mx - a.x) * f)),
                             int(std::lround(a.y + (my - a.y) * f))});
            }
        }
    }
    return best;
}

void MoveGuidePoint(GuidePath& path, int index, GuidePoint p) {
    const int n = path.Count();
    if (index < 0 || index >= n) return;
    const bool ends = n > 1 && path.points.front() == path.points.back();
    path.points[size_t(index)] = p;
    if (ends && index == 0) path.points.back() = p;
    if (ends && index == n - 1) path.points.front() = p;
}

void InsertGuidePoint(GuidePath& path, GuidePoint p) {
    const int n = path.Count();
    if (n == 0) return;
    if (n == 1) {
        path.points.push_back(p);
        return;
    }
    int at = 1;
    double best = std::numeric_limits<double>::max();
    const int edges = path.closed ? n : n - 1;
    for (int i = 0; i < edges; ++i) {
        const double d =
            SegmentDistance(p, path.points[size_t(i)], path.points[size_t((i + 1) % n)]);
        if (d < best) {
            best = d;
            at = i + 1;
        }
    }
    path.points.insert(path.points.begin() + at, p);
}

void RemoveGuidePoint(GuidePath& path, GuidePoint p) {
    if (path.Empty()) return;
    if (path.Count() <= 2) {
        path.Clear();
        return;
    }
    path.points.erase(path.points.begin() + NearestGuidePoint(path, p));
}

void PathTool::down(ToolEvent& e) {
    CBrevDoc& doc = e.doc;
    moving_ = -1;
    if (!doc.Layers().InList(doc.CurrentLayer()) || OnTextLayer(doc)) return;
    GuidePath& path = doc.ViewShared().path;
    switch (e.tools.currentTool) {
        case ToolId::PathPlace: {
            if (path.closed || (path.Count() >= 4 && path.points.back() == path.points.front())) {
                AddGuidePoint(doc, {});  // asks, or does nothing; the point is not placed
                return;
            }
            // A point beside the layer grows it first; the points placed keep their canvas
            // place when its origin moves.
            const Layer& layer = doc.Layers().layer(doc.CurrentLayer());
            const int x = layer.x, y = layer.y;
            const LayerPoint p = CurrentLayerPoint(doc, e.zoomed, u"경로 만들기");
            path.OriginMoved(layer.x - x, layer.y - y);
            AddGuidePoint(doc, {p.x, p.y});
            return;
        }
        case ToolId::PathMove:
            if (auto p = LayerPointOf(doc, e.zoomed)) {
                moving_ = PickGuidePoint(path, *p);
                MoveGuidePoint(path, moving_, *p);
            }
            return;
        case ToolId::PathInsert:
            if (auto p = LayerPointOf(doc, e.zoomed)) InsertGuidePoint(path, *p);
            return;
        case ToolId::PathDelete:
            if (auto p = LayerPointOf(doc, e.zoomed)) RemoveGuidePoint(path, *p);
            return;
        default:
            return;
    }
}

void PathTool::drag(ToolEvent& e) {
    if (e.tools.currentTool != ToolId::PathMove || moving_ < 0) return;
    if (auto p = LayerPointOf(e.doc, e.zoomed))
        MoveGuidePoint(e.doc.ViewShared().path, moving_, *p);
}

void PathTool::up(ToolEvent&) { moving_ = -1; }

std::optional<int> PathTool::hoverCursor(CBrevDoc& doc, const ToolState& tools,
                                         ViewPoint zoomed) const {
    const GuidePath& path = doc.ViewShared().path;
    const std::optional<GuidePoint> p = LayerPointOf(doc, zoomed);
    if (!p || path.Empty()) return std::nullopt;
    if (tools.currentTool == ToolId::PathPlace) {
        if (GuideDistance(*p, path.points[0]) < kCloseDistance) return CursorId::DropOrHandle;
    } else if (tools.currentTool == ToolId::PathMove || tools.currentTool == ToolId::PathDelete) {
        const int i = NearestGuidePoint(path, *p);
        if (GuideDistance(*p, path.points[size_t(i)]) < kGrabDistance)
            return CursorId::DropOrHandle;
    }
    return std::nullopt;
}

}  // namespace quillet
