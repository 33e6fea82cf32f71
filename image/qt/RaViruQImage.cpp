#include "image/qt/RaViruQImage.h"

#include <cstring>

namespace quillet {

bool FromQImage(RaViru& target, const QImage& source) {
    target.Destroy();
    if (source.isNull()) return true;
    QImage image;
    int bitCount;
    switch (source.format()) {
        case QImage::Format_Mono:
            image = source;
            bitCount = 1;
            break;
        case QImage::Format_Indexed8:
            image = source;
            bitCount = 8;
            break;
        case QImage::Format_ARGB32:
        case QImage::Format_RGB32:
            image = source;
            bitCount = 32;
            break;
        default:
            if (source.hasAlphaChannel()) {
                image = source.convertToFormat(QImage::Format_ARGB32);
                bitCount = 32;
            } else {
                image = source.convertToFormat(QImage::Format_BGR888);
                bitCount = 24;
            }
    }
    if (bitCount == 24 && image.format() != QImage::Format_BGR888) {
        image = image.convertToFormat(QImage::Format_BGR888);
    }
    if (!target.Allocate(image.width(), image.height(), bitCount, ImageKind::Jpeg)) {
        if (!target.lastError[0]) target.SetError("GetDIBits failed");
        return false;
    }
    if (bitCount <= 8) {
        const QList<QRgb> table = image.colorTable();
        for (int i = 0; i < int(table.size()) && i < target.PaletteCount(); ++i) {
            target.SetPaletteEntry(i, uint8_t(qRed(table[i])), uint8_t(qGreen(table[i])),
                                   uint8_t(qBlue(table[i])));
        }
    }
    const size_t bytes = (size_t(image.width()) * bitCount + 7) / 8;
    for (int y = 0; y < image.height(); ++y) {
        // QImage rows run top-down, DIB rows bottom-up.
        std::memcpy(target.Row(image.height() - 1 - y), image.constScanLine(y), bytes);
    }
    return true;
}

QImage ToQImage(const RaViru& image) {
    if (!image.HasBlock()) return {};
    QImage::Format format;
    switch (image.BitCount()) {
        case 1:
            format = QImage::Format_Mono;
            break;
        case 8:
            format = QImage::Format_Indexed8;
            break;
        case 24:
            format = QImage::Format_BGR888;
            break;
        case 32:
            format = QImage::Format_ARGB32;
            break;
        default:
            format = QImage::Format_Indexed8;
            break;  // 4-bit: unpacked below
    }
    QImage out(image.Width(), image.Height(), format);
    if (image.BitCount() <= 8) {
        QList<QRgb> table;
        for (int i = 0; i < image.PaletteCount(); ++i) {
            const Rgbquad q = image.PaletteEntry(i);
            table.push_back(qRgb(q.red, q.green, q.blue));
        }
        out.setColorTable(table);
    }
    for (int y = 0; y < image.Height(); ++y) {
        const int srcRow = image.Height() - 1 - y;
        uchar* dst = out.scanLine(y);
        if (image.BitCount() == 4) {
            for (int x = 0; x < image.Width(); ++x) dst[x] = uchar(image.PixelIndexAt(x, srcRow));
        } else {
            std::memcpy(dst, image.Row(srcRow), (size_t(image.Width()) * image.BitCount() + 7) / 8);
        }
    }
    return out;
}

}  // namespace quillet
