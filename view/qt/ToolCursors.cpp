// Cursor pictures of the tool table: 32 × 32, black strokes with a white rim so that they stay
// visible on any picture.
#include "view/qt/ToolCursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>
#include <map>

#include "view/ToolTable.h"

namespace quillet {

namespace {

// Strokes a path twice: a wide white rim, then the black line.
void Stroke(QPainter& p, const QPainterPath& path, bool fillWhite = false) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setBrush(fillWhite ? QBrush(Qt::white) : QBrush(Qt::NoBrush));
    p.setPen(QPen(Qt::black, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

QPainterPath Magnifier(bool plus) {
    QPainterPath path;
    path.addEllipse(QPointF(12, 12), 8, 8);
    path.moveTo(18, 18);
    path.lineTo(28, 28);
    path.moveTo(8, 12);
    path.lineTo(16, 12);
    if (plus) {
        path.moveTo(12, 8);
        path.lineTo(12, 16);
    }
    return path;
}

QPainterPath FourArrows() {
    QPainterPath path;
    path.moveTo(16, 3);
    path.lineTo(16, 29);
    path.moveTo(3, 16);
    path.lineTo(29, 16);
    for (auto [x, y, dx, dy] : {std::array{16, 3, 1, 0}, std::array{16, 29, 1, 0},
                                std::array{3, 16, 0, 1}, std::array{29, 16, 0, 1}}) {
        // Arrow heads point outwards along the line they end.
        const int ox = x == 16 ? 0 : (x < 16 ? 4 : -4), oy = y == 16 ? 0 : (y < 16 ? 4 : -4);
        path.moveTo(x + ox - 4 * dx, y + oy - 4 * dy);
        path.lineTo(x, y);
        path.lineTo(x + ox + 4 * dx, y + oy + 4 * dy);
    }
    return path;
}

struct Picture {
    std::function<void(QPainter&)> draw;
    int hotX;
    int hotY;
};

QCursor Make(const Picture& pic) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    pic.draw(p);
    p.end();
    return QCursor(pm, pic.hotX, pic.hotY);
}

Picture PictureFor(int id) {
    switch (id) {
        case CursorId::Move:
            return {[](QPainter& p) { Stroke(p, FourArrows()); }, 16, 16};
        case CursorId::ZoomIn:
            return {[](QPainter& p) { Stroke(p, Magnifier(true)); }, 12, 12};
        case CursorId::ZoomOut:
            return {[](QPainter& p) { Stroke(p, Magnifier(false)); }, 12, 12};
        case CursorId::Picker:
            return {[](QPainter& p) {
                        QPainterPath path;
                        path.moveTo(3, 29);
                        path.lineTo(6, 22);
                        path.lineTo(19, 9);
                        path.lineTo(23, 13);
                        path.lineTo(10, 26);
                        path.closeSubpath();
                        path.addEllipse(QPointF(24, 8), 4, 4);
                        Stroke(p, path, true);
                    },
                    3, 29};
        case CursorId::Eraser:
            return {[](QPainter& p) {
                        QPainterPath path;
                        path.moveTo(4, 22);
                        path.lineTo(18, 8);
                        path.lineTo(26, 16);
                        path.lineTo(12, 30);
                        path.closeSubpath();
                        path.moveTo(11, 15);
                        path.lineTo(19, 23);
                        Stroke(p, path, true);
                    },
                    4, 22};
        case CursorId::Dot:
            return {[](QPainter& p) {
                        QPainterPath path;
                        path.addEllipse(QPointF(16, 16), 6, 6);
                        Stroke(p, path);
                        p.setPen(Qt::NoPen);
                        p.setBrush(Qt::black);
                        p.drawEllipse(QPointF(16, 16), 1.5, 1.5);
                    },
                    16, 16};
        case CursorId::DropOrHandle:
            return {[](QPainter& p) {
                        QPainterPath path;
                        path.moveTo(16, 4);
                        path.cubicTo(16, 4, 7, 16, 7, 21);
                        path.cubicTo(7, 26, 11, 29, 16, 29);
                        path.cubicTo(21, 29, 25, 26, 25, 21);
                        path.cubicTo(25, 16, 16, 4, 16, 4);
                        Stroke(p, path, true);
                    },
                    16, 4};
        case CursorId::Touch:
            return {[](QPainter& p) {
                        QPainterPath path;
                        path.addEllipse(QPointF(16, 16), 10, 10);
                        path.moveTo(16, 2);
                        path.lineTo(16, 10);
                        path.moveTo(16, 22);
                        path.lineTo(16, 30);
                        path.moveTo(2, 16);
                        path.lineTo(10, 16);
                        path.moveTo(22, 16);
                        path.lineTo(30, 16);
                        Stroke(p, path);
                    },
                    16, 16};
        case CursorId::Text:
            return {[](QPainter& p) {
                        QPainterPath path;
                        path.moveTo(11, 5);
                        path.lineTo(21, 5);
                        path.moveTo(16, 5);
                        path.lineTo(16, 27);
                        path.moveTo(11, 27);
                        path.lineTo(21, 27);
                        Stroke(p, path);
                    },
                    16, 16};
        case CursorId::Resize:
            return {[](QPainter& p) {
                        QPainterPath path;
                        path.moveTo(6, 6);
                        path.lineTo(26, 26);
                        path.moveTo(6, 14);
                        path.lineTo(6, 6);
                        path.lineTo(14, 6);
                        path.moveTo(18, 26);
                        path.lineTo(26, 26);
                        path.lineTo(26, 18);
                        Stroke(p, path);
                    },
                    16, 16};
        default:
            return {nullptr, 0, 0};
    }
}

}  // namespace

QCursor ToolCursor(int id) {
    if (id == CursorId::Cross) return QCursor(Qt::CrossCursor);
    // Cursors are drawn once per id; the cache belongs to the user-interface thread.
    static std::map<int, QCursor> made;
    if (auto it = made.find(id); it != made.end()) return it->second;
    const Picture pic = PictureFor(id);
    QCursor c = pic.draw ? Make(pic) : QCursor(Qt::ArrowCursor);
    made.emplace(id, c);
    return c;
}

}  // namespace quillet
