#include "app/qt/AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace quillet {

namespace {

// One layer of the stack: a flattened square (a rhombus seen from above) centred at `c`.
QPolygonF layerShape(QPointF c, double w, double h) {
    return QPolygonF({QPointF(c.x(), c.y() - h / 2), QPointF(c.x() + w / 2, c.y()),
                      QPointF(c.x(), c.y() + h / 2), QPointF(c.x() - w / 2, c.y())});
}

}  // namespace

void paintAppIcon(QPainter& p, const QRectF& box) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(box.topLeft());
    p.scale(box.width() / 100.0, box.height() / 100.0);  // drawn on a 100 × 100 grid

    // The tile.
    QLinearGradient sky(0, 0, 0, 100);
    sky.setColorAt(0, QColor(0x3A, 0x8D, 0xDE));
    sky.setColorAt(1, QColor(0x1B, 0x3F, 0x8B));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(4, 4, 92, 92), 18, 18);

    // Three layers, the top one brightest.
    const QColor layers[] = {QColor(255, 255, 255, 90), QColor(255, 255, 255, 150),
                             QColor(255, 255, 255, 235)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(layers[i]);
        p.setPen(QPen(QColor(0x12, 0x2C, 0x66, 120), 1.2));
        p.drawPolygon(layerShape(QPointF(42, 72 - i * 11), 56, 26));
    }

    // The quill: a curved vane from the upper right down to a nib over the top layer.
    QPainterPath vane;
    vane.moveTo(84, 12);
    vane.cubicTo(70, 14, 50, 30, 40, 52);
    vane.cubicTo(50, 44, 62, 40, 70, 34);
    vane.cubicTo(64, 34, 60, 34, 58, 33);
    vane.cubicTo(70, 28, 80, 22, 84, 12);
    QLinearGradient feather(84, 12, 40, 52);
    feather.setColorAt(0, QColor(0xFF, 0xD1, 0x4A));
    feather.setColorAt(1, QColor(0xF0, 0x7A, 0x1E));
    p.setBrush(feather);
    p.setPen(QPen(QColor(0x8A, 0x3B, 0x08), 1.4));
    p.drawPath(vane);
    // The shaft and the nib.
    p.setPen(QPen(QColor(0x5A, 0x24, 0x04), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(80, 16), QPointF(38, 56));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2B, 0x2B, 0x2B));
    p.drawPolygon(QPolygonF({QPointF(40, 53), QPointF(35, 60), QPointF(43, 55)}));
    p.restore();
}

QImage renderAppIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    paintAppIcon(p, QRectF(0, 0, size, size));
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(renderAppIcon(size)));
    return icon;
}

}  // namespace quillet
