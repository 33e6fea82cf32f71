#include "view/qt/TransformHandles.h"

#include <QPainter>
#include <QPolygonF>

#include "document/CBrevDoc.h"

namespace quillet {

void DrawTransformHandles(QImage& frame, const CBrevDoc& doc, const DisplayRequest& q,
                          const QRect& clip) {
    const FreeTransformState& s = doc.FreeTransform();
    if (!s.Active()) return;
    // Handles stand for pixels: lines and squares go through the pixels' centres.
    auto at = [&q](size_t k, const CornerHandles& h) {
        return QPointF(q.originX + (h.x[k] + 0.5) * q.zoomX, q.originY + (h.y[k] + 0.5) * q.zoomY);
    };
    QPolygonF outline;
    for (size_t k = 0; k < 4; ++k) outline << at(k, s.handles);
    QPainter p(&frame);
    p.setClipRect(clip);
    p.setRenderHint(QPainter::Antialiasing, false);
    // Dashes in black over white show on any picture.
    p.setPen(QPen(Qt::white, 1));
    p.drawPolygon(outline);
    QPen dashes(Qt::black, 1, Qt::DashLine);
    p.setPen(dashes);
    p.drawPolygon(outline);
    if (s.mode == TransformMode::Rotate) return;
    constexpr double kHalf = 4;
    for (size_t k = 0; k < 4; ++k) {
        const QPointF c = outline[int(k)];
        const QRectF square(c.x() - kHalf, c.y() - kHalf, 2 * kHalf, 2 * kHalf);
        const bool grabbed = s.dragging && int(k) == s.grabbed;
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(grabbed ? QBrush(Qt::black) : QBrush(Qt::white));
        p.drawRect(square);
    }
}

}  // namespace quillet
