#include "app/qt/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <cmath>

namespace quillet {
namespace {

constexpr int kSize = 24;
const QColor kInk(0x30, 0x30, 0x38);
const QColor kBlue(0x2a, 0x6f, 0xd6);
const QColor kRed(0xd6, 0x3a, 0x2a);
const QColor kGreen(0x2f, 0x9e, 0x44);
const QColor kPaper(0xfb, 0xfb, 0xf4);
const QColor kWood(0xb5, 0x7a, 0x3c);

QPen ink(qreal width = 1.6, QColor c = kInk) {
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}
QPen dashed(QColor c = kInk) {
    QPen p(c, 1.3, Qt::DashLine, Qt::FlatCap, Qt::MiterJoin);
    p.setDashPattern({2.5, 1.8});
    return p;
}

void arrowHead(QPainter& p, QPointF tip, qreal angleDeg, qreal len = 5) {
    const qreal a = angleDeg * M_PI / 180.0;
    const QPointF l(tip.x() - len * std::cos(a - 0.5), tip.y() - len * std::sin(a - 0.5));
    const QPointF r(tip.x() - len * std::cos(a + 0.5), tip.y() - len * std::sin(a + 0.5));
    p.drawLine(tip, l);
    p.drawLine(tip, r);
}

void page(QPainter& p) {
    QPolygonF sheet({{5, 2}, {15, 2}, {20, 7}, {20, 22}, {5, 22}});
    p.setPen(ink(1.3));
    p.setBrush(kPaper);
    p.drawPolygon(sheet);
    p.drawPolyline(QPolygonF({{15, 2}, {15, 7}, {20, 7}}));
}

void magnifier(QPainter& p) {
    p.setPen(ink(2));
    p.setBrush(QColor(0xe8, 0xf1, 0xff));
    p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
    p.setPen(ink(3.2, kWood));
    p.drawLine(QPointF(15, 15), QPointF(21, 21));
    p.setPen(ink(1.8));
}

void selectionMark(QPainter& p, int kind) {
    p.setPen(dashed());
    p.setBrush(Qt::NoBrush);
    switch (kind) {
        case 0:
            p.drawRect(QRectF(3.5, 5.5, 17, 13));
            break;
        case 1:
            p.drawEllipse(QRectF(3.5, 5.5, 17, 13));
            break;
        case 2:
            p.drawPolygon(QPolygonF({{4, 19}, {7, 5}, {20, 9}, {14, 13}, {19, 20}}));
            break;
        default: {
            QPainterPath path(QPointF(5, 16));
            path.cubicTo(2, 6, 12, 2, 16, 7);
            path.cubicTo(22, 12, 18, 21, 11, 19);
            path.closeSubpath();
            p.drawPath(path);
        }
    }
}

void brushShape(QPainter& p) {
    p.setPen(ink(3, kWood));
    p.drawLine(QPointF(20, 3), QPointF(11, 13));
    p.setPen(ink(1.2));
    p.setBrush(kBlue);
    QPainterPath tip(QPointF(11, 12));
    tip.cubicTo(6, 11, 6, 18, 3, 21);
    tip.cubicTo(9, 21, 13, 18, 12, 14);
    tip.closeSubpath();
    p.drawPath(tip);
}

void layerStack(QPainter& p, int count) {
    for (int i = count - 1; i >= 0; --i) {
        const qreal y = 8 + i * 4.5;
        QPolygonF sheet({{12, y - 5}, {21, y}, {12, y + 5}, {3, y}});
        p.setPen(ink(1.2));
        p.setBrush(i == 0 ? QColor(0x7f, 0xb2, 0xff) : QColor(0xcf, 0xdc, 0xf0));
        p.drawPolygon(sheet);
    }
}

void handlesOn(QPainter& p, const QPolygonF& quad) {
    p.setPen(ink(1.3, kBlue));
    p.setBrush(QColor(0xdd, 0xe9, 0xff));
    p.drawPolygon(quad);
    p.setBrush(Qt::white);
    p.setPen(ink(1.1));
    for (const QPointF& c : quad) p.drawRect(QRectF(c.x() - 2, c.y() - 2, 4, 4));
}

bool draw(QPainter& p, CommandId id) {
    using enum CommandId;
    switch (id) {
        case New:
            page(p);
            p.setPen(ink(1.8, kBlue));
            p.drawLine(QPointF(12.5, 10), QPointF(12.5, 18));
            p.drawLine(QPointF(8.5, 14), QPointF(16.5, 14));
            return true;
        case Open:
            p.setPen(ink(1.3));
            p.setBrush(QColor(0xf2, 0xc9, 0x4c));
            p.drawPolygon(QPolygonF({{2, 6}, {9, 6}, {11, 8}, {20, 8}, {20, 20}, {2, 20}}));
            p.setBrush(QColor(0xf8, 0xdc, 0x7c));
            p.drawPolygon(QPolygonF({{5, 11}, {23, 11}, {20, 20}, {2, 20}}));
            return true;
        case Save:
            p.setPen(ink(1.3));
            p.setBrush(kBlue);
            p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
            p.setBrush(kPaper);
            p.drawRect(QRectF(7, 3, 10, 7));
            p.setBrush(QColor(0xdd, 0xdd, 0xdd));
            p.drawRect(QRectF(6, 13, 12, 8));
            return true;
        case Print:
        case PrintImage:
            p.setPen(ink(1.3));
            p.setBrush(kPaper);
            p.drawRect(QRectF(7, 2, 10, 8));
            p.setBrush(QColor(0x9a, 0xa4, 0xb0));
            p.drawRoundedRect(QRectF(2, 9, 20, 9), 2, 2);
            p.setBrush(kPaper);
            p.drawRect(QRectF(6, 15, 12, 7));
            p.setBrush(kGreen);
            p.drawEllipse(QPointF(18.5, 12), 1.2, 1.2);
            return true;
        case SelectSource:  // scanner with a picture coming out
        case Acquire:
            p.setPen(ink(1.3));
            p.setBrush(QColor(0x9a, 0xa4, 0xb0));
            p.drawRoundedRect(QRectF(2, 12, 20, 8), 2, 2);
            p.setBrush(QColor(0x8f, 0xd3, 0xff));
            p.drawRect(QRectF(6, 3, 12, 9));
            p.setPen(ink(1.2, kGreen));
            p.drawPolyline(QPolygonF({{7, 11}, {10, 7}, {13, 10}, {15, 8}, {17, 11}}));
            return true;
        case Undo:
        case Redo: {
            const bool undo = id == Undo;
            p.save();
            if (!undo) {
                p.translate(kSize, 0);
                p.scale(-1, 1);
            }
            p.setPen(ink(2.2, kBlue));
            QPainterPath path(QPointF(6, 10));
            path.cubicTo(12, 3, 22, 7, 19, 16);
            path.cubicTo(18, 19, 15, 20, 13, 20);
            p.drawPath(path);
            arrowHead(p, QPointF(5, 10), 200, 6);
            p.restore();
            return true;
        }
        case ZoomIn:
        case ZoomOut:
        case ZoomOneToOne:
            magnifier(p);
            if (id == ZoomOneToOne) {
                QFont f = p.font();
                f.setPixelSize(7);
                f.setBold(true);
                p.setFont(f);
                p.setPen(kInk);
                p.drawText(QRectF(3.5, 3.5, 13, 13), Qt::AlignCenter, QStringLiteral("1:1"));
            } else {
                p.drawLine(QPointF(7, 10), QPointF(13, 10));
                if (id == ZoomIn) p.drawLine(QPointF(10, 7), QPointF(10, 13));
            }
            return true;
        case ColourAdjust:  // three channels
            p.setPen(Qt::NoPen);
            p.setCompositionMode(QPainter::CompositionMode_Multiply);
            p.setBrush(QColor(255, 90, 90));
            p.drawEllipse(QPointF(9, 9), 6, 6);
            p.setBrush(QColor(90, 220, 90));
            p.drawEllipse(QPointF(15, 9), 6, 6);
            p.setBrush(QColor(90, 140, 255));
            p.drawEllipse(QPointF(12, 15), 6, 6);
            return true;
        case BrightnessContrast:
            p.setPen(ink(1.4));
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(12, 12), 8.5, 8.5);
            p.setBrush(kInk);
            p.drawPie(QRectF(3.5, 3.5, 17, 17), 90 * 16, 180 * 16);
            return true;
        case ImageSize:
        case StretchSqueeze:
        case CanvasSize:
            p.setPen(ink(1.2));
            p.setBrush(QColor(0x8f, 0xd3, 0xff));
            if (id == CanvasSize) {
                p.setPen(dashed());
                p.setBrush(Qt::NoBrush);
                p.drawRect(QRectF(2.5, 2.5, 19, 19));
                p.setPen(ink(1.2));
                p.setBrush(QColor(0x8f, 0xd3, 0xff));
                p.drawRect(QRectF(7, 7, 10, 10));
                return true;
            }
            p.drawRect(id == ImageSize ? QRectF(3, 3, 11, 11) : QRectF(6, 7, 12, 10));
            p.setPen(ink(1.6, kRed));
            if (id == ImageSize) {
                p.drawLine(QPointF(12, 12), QPointF(21, 21));
                arrowHead(p, QPointF(21, 21), 45);
            } else {
                p.drawLine(QPointF(1, 12), QPointF(23, 12));
                arrowHead(p, QPointF(23, 12), 0, 4);
                arrowHead(p, QPointF(1, 12), 180, 4);
            }
            return true;
        case LayerPanel:  // layer and history panel
            layerStack(p, 3);
            return true;
        case Flatten:  // the stack pressed into one
            layerStack(p, 1);
            p.setPen(ink(1.8, kRed));
            p.drawLine(QPointF(12, 14), QPointF(12, 22));
            arrowHead(p, QPointF(12, 22), 90, 4);
            return true;
        case Environment: {  // a gear
            p.setPen(ink(1.3));
            p.setBrush(QColor(0x9a, 0xa4, 0xb0));
            QPolygonF gear;
            for (int i = 0; i < 16; ++i) {
                const qreal r = (i % 2) ? 7.0 : 10.0;
                const qreal a = (i * 22.5) * M_PI / 180.0;
                gear << QPointF(12 + r * std::cos(a), 12 + r * std::sin(a));
            }
            p.drawPolygon(gear);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(12, 12), 3, 3);
            return true;
        }
        case MovieMaker:  // a film strip
            p.setPen(ink(1.2));
            p.setBrush(kInk);
            p.drawRect(QRectF(2, 5, 20, 14));
            p.setBrush(QColor(0x8f, 0xd3, 0xff));
            p.drawRect(QRectF(5, 8, 6, 8));
            p.drawRect(QRectF(13, 8, 6, 8));
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            for (int x = 3; x < 22; x += 4) {
                p.drawRect(QRectF(x, 5.8, 2, 1.4));
                p.drawRect(QRectF(x, 16.8, 2, 1.4));
            }
            return true;
        case WebSite:  // a globe
            p.setPen(ink(1.3, kBlue));
            p.setBrush(QColor(0xdd, 0xe9, 0xff));
            p.drawEllipse(QPointF(12, 12), 9, 9);
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(12, 12), 4, 9);
            p.drawLine(QPointF(3, 12), QPointF(21, 12));
            p.drawLine(QPointF(12, 3), QPointF(12, 21));
            return true;
        case UndoBrush:
            brushShape(p);
            p.setPen(ink(1.6, kRed));
            p.drawArc(QRectF(12, 12, 9, 9), 0, 270 * 16);
            arrowHead(p, QPointF(21, 16.5), 100, 3.5);
            return true;
        case RectSelect:
            selectionMark(p, 0);
            return true;
        case CircleSelect:
            selectionMark(p, 1);
            return true;
        case PolygonSelect:
            selectionMark(p, 2);
            return true;
        case FreehandSelect:
            selectionMark(p, 3);
            return true;
        case ColourRange:
            selectionMark(p, 0);
            p.setPen(ink(1));
            p.setBrush(kRed);
            p.drawEllipse(QPointF(9, 12), 3, 3);
            p.setBrush(kGreen);
            p.drawEllipse(QPointF(15, 12), 3, 3);
            return true;
        case MagicWand:
            p.setPen(ink(2.6, kInk));
            p.drawLine(QPointF(4, 20), QPointF(15, 9));
            p.setPen(ink(1.4, QColor(0xe0, 0xa0, 0x00)));
            for (const auto& [a, b] : {std::pair{QPointF(18, 2), QPointF(18, 8)},
                                       {QPointF(15, 5), QPointF(21, 5)},
                                       {QPointF(16, 3), QPointF(20, 7)},
                                       {QPointF(20, 3), QPointF(16, 7)}})
                p.drawLine(a, b);
            return true;
        case Deselect:
            selectionMark(p, 0);
            p.setPen(ink(2.2, kRed));
            p.drawLine(QPointF(8, 8), QPointF(16, 16));
            p.drawLine(QPointF(16, 8), QPointF(8, 16));
            return true;
        case CutToNewDocument:
            selectionMark(p, 0);
            p.setPen(ink(1.2));
            p.setBrush(kPaper);
            p.drawRect(QRectF(11, 10, 11, 12));
            p.setPen(ink(1.8, kBlue));
            p.drawLine(QPointF(16.5, 13), QPointF(16.5, 19));
            p.drawLine(QPointF(13.5, 16), QPointF(19.5, 16));
            return true;
        case Move: {
            p.setPen(ink(1.8));
            p.drawLine(QPointF(12, 2), QPointF(12, 22));
            p.drawLine(QPointF(2, 12), QPointF(22, 12));
            for (int a : {0, 90, 180, 270})
                arrowHead(
                    p,
                    QPointF(12 + 10 * std::cos(a * M_PI / 180), 12 + 10 * std::sin(a * M_PI / 180)),
                    a, 4);
            return true;
        }
        case FreeRotate:
            p.setPen(ink(1.2));
            p.setBrush(QColor(0xdd, 0xe9, 0xff));
            p.save();
            p.translate(12, 12);
            p.rotate(-20);
            p.drawRect(QRectF(-6, -5, 12, 10));
            p.restore();
            p.setPen(ink(1.8, kRed));
            p.drawArc(QRectF(2, 2, 20, 20), 30 * 16, 120 * 16);
            arrowHead(p, QPointF(3.5, 8), 110, 4);
            return true;
        case TransformSize:
            handlesOn(p, QPolygonF({{4, 6}, {20, 6}, {20, 18}, {4, 18}}));
            return true;
        case TransformDistort:
            handlesOn(p, QPolygonF({{4, 5}, {19, 8}, {21, 19}, {6, 17}}));
            return true;
        case TransformPerspective:
            handlesOn(p, QPolygonF({{8, 5}, {16, 5}, {21, 19}, {3, 19}}));
            return true;
        case Line:
            p.setPen(ink(2.2, kBlue));
            p.drawLine(QPointF(4, 20), QPointF(20, 4));
            return true;
        case Polyline:
            p.setPen(ink(2, kBlue));
            p.drawPolyline(QPolygonF({{3, 19}, {8, 6}, {15, 15}, {21, 4}}));
            return true;
        case Circle:
            p.setPen(ink(2, kBlue));
            p.drawEllipse(QPointF(12, 12), 8, 8);
            return true;
        case Brush:
            brushShape(p);
            return true;
        case Spray:
            p.setPen(ink(1.2));
            p.setBrush(QColor(0x9a, 0xa4, 0xb0));
            p.drawRoundedRect(QRectF(12, 9, 8, 13), 2, 2);
            p.drawRect(QRectF(14, 6, 4, 3));
            p.setPen(Qt::NoPen);
            p.setBrush(kBlue);
            for (const QPointF& d : {QPointF(9, 6), QPointF(6, 8), QPointF(8, 10), QPointF(4, 5),
                                     QPointF(5, 11), QPointF(3, 8), QPointF(7, 4)})
                p.drawEllipse(d, 0.9, 0.9);
            return true;
        case Dot:
            p.setPen(Qt::NoPen);
            p.setBrush(kBlue);
            p.drawEllipse(QPointF(12, 12), 4, 4);
            return true;
        case BrushPanel:  // brush size
            p.setPen(Qt::NoPen);
            p.setBrush(kInk);
            p.drawEllipse(QPointF(4, 12), 1.2, 1.2);
            p.drawEllipse(QPointF(9, 12), 2.2, 2.2);
            p.drawEllipse(QPointF(17, 12), 4.5, 4.5);
            return true;
        case Fill: {  // a bucket pouring
            p.setPen(ink(1.3));
            p.setBrush(QColor(0xcf, 0xdc, 0xf0));
            p.save();
            p.translate(10, 12);
            p.rotate(-30);
            p.drawRect(QRectF(-6, -6, 12, 12));
            p.restore();
            p.setPen(Qt::NoPen);
            p.setBrush(kBlue);
            QPainterPath drop(QPointF(18, 10));
            drop.cubicTo(22, 16, 22, 19, 19, 20);
            drop.cubicTo(16, 19, 16, 15, 18, 10);
            p.drawPath(drop);
            return true;
        }
        case Gradient: {
            QLinearGradient g(3, 0, 21, 0);
            g.setColorAt(0, kInk);
            g.setColorAt(1, Qt::white);
            p.setPen(ink(1.2));
            p.setBrush(g);
            p.drawRect(QRectF(3, 5, 18, 14));
            return true;
        }
        case WaterDrop: {
            p.setPen(ink(1.2, kBlue));
            p.setBrush(QColor(0x8f, 0xd3, 0xff));
            QPainterPath drop(QPointF(12, 2));
            drop.cubicTo(16, 9, 19, 12, 19, 15);
            drop.cubicTo(19, 19.5, 15.5, 22, 12, 22);
            drop.cubicTo(8.5, 22, 5, 19.5, 5, 15);
            drop.cubicTo(5, 12, 8, 9, 12, 2);
            p.drawPath(drop);
            p.setPen(ink(1.4, Qt::white));
            p.drawArc(QRectF(7.5, 12, 7, 7), 180 * 16, 70 * 16);
            return true;
        }
        case Eraser: {
            p.setPen(ink(1.2));
            QPolygonF body({{4, 15}, {13, 6}, {20, 13}, {11, 22}});
            p.setBrush(QColor(0xf5, 0x9a, 0xb0));
            p.drawPolygon(body);
            p.setBrush(Qt::white);
            p.drawPolygon(QPolygonF({{4, 15}, {8, 11}, {15, 18}, {11, 22}}));
            return true;
        }
        case Text: {
            QFont f = p.font();
            f.setPixelSize(19);
            f.setBold(true);
            p.setFont(f);
            p.setPen(kInk);
            p.drawText(QRectF(0, 0, kSize, kSize), Qt::AlignCenter, QStringLiteral("가"));
            return true;
        }
        case ColourPick:  // a dropper
            p.setPen(ink(1.2));
            p.setBrush(kInk);
            p.drawRoundedRect(QRectF(15, 2, 6, 7), 2, 2);
            p.setBrush(QColor(0xdd, 0xe9, 0xff));
            p.drawPolygon(QPolygonF({{15, 8}, {17, 10}, {7, 20}, {4, 21}, {5, 18}}));
            p.setPen(Qt::NoPen);
            p.setBrush(kRed);
            p.drawEllipse(QPointF(4, 21), 1.6, 1.6);
            return true;
        case PathPanel: {
            p.setPen(ink(1.6, kBlue));
            QPainterPath path(QPointF(3, 19));
            path.cubicTo(6, 4, 16, 22, 21, 5);
            p.drawPath(path);
            p.setPen(ink(1));
            p.setBrush(Qt::white);
            for (const QPointF& c : {QPointF(3, 19), QPointF(12, 12.5), QPointF(21, 5)})
                p.drawRect(QRectF(c.x() - 2, c.y() - 2, 4, 4));
            return true;
        }
        case SwapColours:
            p.setPen(ink(1.6));
            p.drawArc(QRectF(5, 5, 14, 14), 0, 90 * 16);
            arrowHead(p, QPointF(19, 12), 90, 4);
            arrowHead(p, QPointF(12, 5), 180, 4);
            return true;
        default:
            return false;
    }
}

}  // namespace

QIcon toolIcon(CommandId commandId) {
    QPixmap pix(kSize * 2, kSize * 2);
    pix.setDevicePixelRatio(2.0);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const bool drawn = draw(p, commandId);
    p.end();
    return drawn ? QIcon(pix) : QIcon();
}

QIcon swatchIcon(const QColor& colour, int size) {
    QPixmap pix(size, size);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(colour);
    p.drawRect(QRect(0, 0, size - 1, size - 1));
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(1, 1, size - 3, size - 3));
    return QIcon(pix);
}

}  // namespace quillet
