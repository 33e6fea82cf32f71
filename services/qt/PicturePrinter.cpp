#include "services/qt/PicturePrinter.h"

#include <QPainter>
#include <QPrinter>

#include "image/qt/RaViruQImage.h"
#include "services/PrintGeometry.h"

namespace quillet {

bool PrintImageOn(QPrinter& printer, const QImage& image, int dpiX, int dpiY, std::string* error) {
    if (image.isNull()) {
        if (error) *error = "There is no picture to print";
        return false;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error) *error = "The printer could not be started";
        return false;
    }
    const PrintRect r = PrintPlacement(printer.logicalDpiX(), printer.logicalDpiY(), image.width(),
                                       image.height(), dpiX, dpiY);
    // Stretched pixel for pixel, as a bitmap is stretched onto a printer: no smoothing.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(r.x, r.y, r.width, r.height), image);
    return painter.end();
}

bool PrintPictureOn(QPrinter& printer, const RaViru& picture, std::string* error) {
    return PrintImageOn(printer, ToQImage(picture), picture.dpiX, picture.dpiY, error);
}

}  // namespace quillet
