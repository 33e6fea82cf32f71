#pragma once
// Quillet's own icon, drawn in code so that every size is sharp: a quill over three stacked
// layers on a rounded blue tile. The same drawing serves the windows and the desktop file's
// PNG sizes; paintAppIcon() draws onto any QPainter (a QSvgGenerator gives an SVG).
#include <QIcon>
#include <QImage>
#include <QRectF>

class QPainter;

namespace quillet {

void paintAppIcon(QPainter& painter, const QRectF& box);
// A square ARGB32 picture of the icon, transparent around the tile.
QImage renderAppIcon(int size);
// The icon at 16 to 256 pixels.
QIcon appIcon();

}  // namespace quillet
