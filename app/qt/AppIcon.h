#pragma once
// Quillet's own icon, drawn in code: a quill over two stacked picture layers. The same shapes
// give the raster icon at any size and the scalable one for the desktop's icon theme.
#include <QByteArray>
#include <QIcon>
#include <QImage>

namespace quillet {

// The icon at size × size pixels, with a transparent surround.
QImage renderAppIcon(int size);
// The icon at 16 to 256 pixels, for the windows of the program.
QIcon appIcon();
// The icon as an SVG document (256 × 256 user units).
QByteArray appIconSvg();

}  // namespace quillet
