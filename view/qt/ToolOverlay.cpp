#include "view/qt/ToolOverlay.h"

#include <QPainter>

#include "document/CBrevDoc.h"
#include "view/ToolState.h"
#include "view/ViewSettings.h"
#include "view/ViewState.h"

namespace quillet {

namespace {

QColor Colour(uint32_t bbggrr) {
    return QColor(int(bbggrr & 0xFF), int((bbggrr >> 8) & 0xFF), int((bbggrr >> 16) & 0xFF));
}

// Window position of a zoomed point.
QPointF Window(const ViewState& state, double zx, double zy) {
    const ViewRect r = state.DisplayedRect();
    const ViewPoint s = state.EffectiveScroll();
    return {zx - s.x + r.left, zy - s.y + r.top};
}

void DrawPath(QPainter& p, ViewState& state, const ViewSettings& settings) {
    const CBrevDoc& doc = state.Doc();
    const GuidePath& path = doc.ViewShared().path;
    const LayerTable& t = doc.Layers();
    if (path.Empty() || !t.InList(doc.CurrentLayer())) return;
    const Layer& l = t.layer(doc.CurrentLayer());
    const double zoom = doc.Zoom();
    // The centre of a layer pixel on screen.
    auto at = [&](GuidePoint g) {
        return Window(state, (l.x + g.x + 0.5) * zoom, (l.y + g.y + 0.5) * zoom);
    };
    p.setPen(QPen(Colour(settings.outlineColour), 1));
    const int n = path.Count();
    for (int i = 0; i + 1 < n; ++i)
        p.drawLine(at(path.points[size_t(i)]), at(path.points[size_t(i + 1)]));
    if (path.closed && n > 1) p.drawLine(at(path.points[size_t(n - 1)]), at(path.points[0]));
    // The guide point's four direct neighbours mark it.
    p.setPen(QPen(Colour(settings.markerColour), 1));
    for (const GuidePoint& g : path.points) {
        const QPointF c = at(g);
        const double d = std::max(1.0, zoom);
        p.drawPoint(c + QPointF(-d, 0));
        p.drawPoint(c + QPointF(d, 0));
        p.drawPoint(c + QPointF(0, -d));
        p.drawPoint(c + QPointF(0, d));
    }
}

}  // namespace

void DrawToolOverlay(QPainter& p, ViewState& state, const ViewSettings& settings) {
    p.save();
    DrawPath(p, state, settings);
    const ToolAnchors& a = state.Doc().ViewShared().anchors;
    if (state.Tools().currentTool == ToolId::Gradient && a.drag.IsSet() && a.farCorner.IsSet()) {
        // The guide line shows on any picture: drawn in the difference of white.
        p.setCompositionMode(QPainter::CompositionMode_Difference);
        p.setPen(QPen(Qt::white, 1));
        p.drawLine(Window(state, a.drag.x, a.drag.y), Window(state, a.farCorner.x, a.farCorner.y));
    }
    p.restore();
}

}  // namespace quillet
