#include "app/qt/AppIcon.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointF>
#include <QTransform>
#include <utility>
#include <vector>

namespace quillet {
namespace {

constexpr qreal kUnits = 256;  // the shapes are laid out on a 256 × 256 grid

// One filled shape: a solid colour, or a linear gradient from `from` at `start` to `to` at
// `end` when `to` is valid.
struct Shape {
    Shape(QPainterPath p, QColor solid) : path(std::move(p)), from(solid) {}
    Shape(QPainterPath p, QColor a, QColor b, QPointF at, QPointF till)
        : path(std::move(p)), from(a), to(b), start(at), end(till) {}
    QPainterPath path;
    QColor from;
    QColor to;
    QPointF start, end;
};

QPainterPath rounded(qreal x, qreal y, qreal w, qreal h, qreal r) {
    QPainterPath p;
    p.addRoundedRect(x, y, w, h, r, r);
    return p;
}

QPainterPath turned(const QPainterPath& p, qreal degrees, QPointF centre) {
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.rotate(degrees);
    t.translate(-centre.x(), -centre.y());
    return t.map(p);
}

std::vector<Shape> shapes() {
    std::vector<Shape> s;
    const QPointF middle(128, 132);

    // The lower layer, turned a little, and the picture layer on top of it.
    s.emplace_back(turned(rounded(40, 52, 164, 128, 14), -9, middle), QColor(0x8f, 0xa8, 0xc8));
    const QPainterPath card = turned(rounded(48, 66, 164, 128, 14), 4, middle);
    s.emplace_back(card, QColor(0xfb, 0xfb, 0xf6));
    const QPainterPath photo = turned(rounded(58, 76, 144, 108, 8), 4, middle);
    s.emplace_back(photo, QColor(0x5d, 0xa9, 0xf0), QColor(0xbf, 0xe2, 0xff), QPointF(0, 80),
                   QPointF(0, 180));

    // A sun and two hills, kept inside the photograph.
    QPainterPath sun;
    sun.addEllipse(QPointF(98, 106), 14, 14);
    s.emplace_back(turned(sun, 4, middle), QColor(0xff, 0xc8, 0x3d));
    QPainterPath far;
    far.moveTo(58, 168);
    far.cubicTo(90, 118, 118, 118, 150, 160);
    far.cubicTo(168, 140, 186, 136, 202, 150);
    far.lineTo(202, 184);
    far.lineTo(58, 184);
    s.emplace_back(turned(far, 4, middle).intersected(photo), QColor(0x3f, 0x9b, 0x5a));
    QPainterPath near;
    near.moveTo(58, 184);
    near.cubicTo(100, 150, 150, 158, 202, 176);
    near.lineTo(202, 184);
    near.closeSubpath();
    s.emplace_back(turned(near, 4, middle).intersected(photo), QColor(0x2b, 0x74, 0x43));

    // The quill: a feather from the upper right down to a dark nib at the lower left.
    QPainterPath vane;
    vane.moveTo(226, 18);
    vane.cubicTo(236, 60, 200, 120, 120, 190);
    vane.lineTo(108, 200);
    vane.cubicTo(120, 150, 150, 70, 226, 18);
    s.emplace_back(vane, QColor(0xff, 0xff, 0xff), QColor(0xd9, 0xdc, 0xe6), QPointF(226, 18),
                   QPointF(108, 200));
    QPainterPath shaft;
    shaft.moveTo(224, 24);
    shaft.cubicTo(190, 80, 150, 140, 106, 204);
    shaft.lineTo(110, 206);
    shaft.cubicTo(154, 142, 194, 82, 226, 26);
    shaft.closeSubpath();
    s.emplace_back(shaft, QColor(0x7a, 0x6a, 0x5a));
    QPainterPath nib;
    nib.moveTo(104, 200);
    nib.lineTo(116, 208);
    nib.lineTo(84, 236);
    nib.closeSubpath();
    s.emplace_back(nib, QColor(0x2a, 0x2a, 0x35));
    return s;
}

QString number(qreal v) { return QString::number(v, 'f', 2); }

QString svgPath(const QPainterPath& p) {
    QString d;
    for (int i = 0; i < p.elementCount(); ++i) {
        const QPainterPath::Element e = p.elementAt(i);
        if (e.isMoveTo()) {
            d += QStringLiteral("M%1 %2").arg(number(e.x), number(e.y));
        } else if (e.isLineTo()) {
            d += QStringLiteral("L%1 %2").arg(number(e.x), number(e.y));
        } else if (e.isCurveTo() && i + 2 < p.elementCount()) {
            const QPainterPath::Element c2 = p.elementAt(i + 1), to = p.elementAt(i + 2);
            d += QStringLiteral("C%1 %2 %3 %4 %5 %6")
                     .arg(number(e.x), number(e.y), number(c2.x), number(c2.y), number(to.x),
                          number(to.y));
            i += 2;
        }
    }
    return d;
}

}  // namespace

QImage renderAppIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.scale(size / kUnits, size / kUnits);
    for (Shape& shape : shapes()) {
        shape.path.setFillRule(Qt::WindingFill);
        if (shape.to.isValid()) {
            QLinearGradient g(shape.start, shape.end);
            g.setColorAt(0, shape.from);
            g.setColorAt(1, shape.to);
            painter.setBrush(g);
        } else {
            painter.setBrush(shape.from);
        }
        painter.drawPath(shape.path);
    }
    return image;
}

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(renderAppIcon(size)));
    return icon;
}

QByteArray appIconSvg() {
    QString defs, body;
    int gradients = 0;
    for (const Shape& shape : shapes()) {
        QString fill = shape.from.name();
        if (shape.to.isValid()) {
            const QString id = QStringLiteral("g%1").arg(gradients++);
            defs += QStringLiteral(
                        "<linearGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" x1=\"%2\" "
                        "y1=\"%3\" x2=\"%4\" y2=\"%5\"><stop offset=\"0\" stop-color=\"%6\"/>"
                        "<stop offset=\"1\" stop-color=\"%7\"/></linearGradient>\n")
                        .arg(id, number(shape.start.x()), number(shape.start.y()),
                             number(shape.end.x()), number(shape.end.y()), shape.from.name(),
                             shape.to.name());
            fill = QStringLiteral("url(#%1)").arg(id);
        }
        body += QStringLiteral("<path fill=\"%1\" d=\"%2\"/>\n").arg(fill, svgPath(shape.path));
    }
    const QString svg =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
            "viewBox=\"0 0 256 256\" fill-rule=\"nonzero\">\n<defs>\n%1</defs>\n%2</svg>\n")
            .arg(defs, body);
    return svg.toUtf8();
}

}  // namespace quillet
