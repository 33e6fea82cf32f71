#include "platform/qt/QtClipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QStringList>
#include <cstring>

namespace quillet {

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int32_t kMarkerWholeLayer = -2;

void put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
uint32_t get32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

QByteArray QtClipboard::bmpFileOf(const std::vector<uint8_t>& dib) {
    QByteArray out(kFileHeaderSize, '\0');
    auto* h = reinterpret_cast<uint8_t*>(out.data());
    h[0] = 'B';
    h[1] = 'M';
    put32(h + 2, uint32_t(kFileHeaderSize + dib.size()));
    // Pixels follow the header and the palette: biSize + colours used (or 2^bits up to 8 bits).
    uint32_t offBits = kFileHeaderSize + kInfoHeaderSize;
    if (dib.size() >= kInfoHeaderSize) {
        const uint32_t headerSize = get32(dib.data());
        const unsigned bits = dib[14] | dib[15] << 8;
        uint32_t colours = get32(dib.data() + 32);
        if (colours == 0 && bits <= 8) colours = 1u << bits;
        const uint32_t compression = get32(dib.data() + 16);
        const uint32_t masks = compression == 3 && headerSize == kInfoHeaderSize ? 12 : 0;
        if (headerSize <= dib.size() && colours <= 256)
            offBits = kFileHeaderSize + headerSize + masks + colours * 4;
    }
    put32(h + 10, offBits);
    out.append(reinterpret_cast<const char*>(dib.data()), qsizetype(dib.size()));
    return out;
}

std::optional<std::vector<uint8_t>> QtClipboard::packedDibOfBmp(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
    qsizetype start = 0;
    if (bytes.size() >= kFileHeaderSize && p[0] == 'B' && p[1] == 'M') start = kFileHeaderSize;
    if (bytes.size() - start < kInfoHeaderSize) return std::nullopt;
    return std::vector<uint8_t>(p + start, p + bytes.size());
}

namespace {

// What other programs get beside the BMP: a PNG that keeps a whole layer's transparency (a BMP
// reader takes the fourth byte of a 32-bit row for padding).
QImage imageOfDib(const std::vector<uint8_t>& dib, const QByteArray& bmp) {
    if (dib.size() >= kInfoHeaderSize) {
        const int32_t width = int32_t(get32(dib.data() + 4));
        const int32_t height = int32_t(get32(dib.data() + 8));
        const unsigned bits = dib[14] | dib[15] << 8;
        const int32_t marker = int32_t(get32(dib.data() + 24));
        const uint32_t headerSize = get32(dib.data());
        const uint64_t rows = uint64_t(width) * 4 * uint64_t(height > 0 ? height : 0);
        if (bits == 32 && marker == kMarkerWholeLayer && width > 0 && height > 0 &&
            headerSize == kInfoHeaderSize && dib.size() >= kInfoHeaderSize + rows) {
            QImage image(width, height, QImage::Format_ARGB32);
            if (image.isNull()) return image;
            for (int32_t y = 0; y < height; ++y)
                std::memcpy(image.scanLine(height - 1 - y),
                            dib.data() + kInfoHeaderSize + size_t(y) * size_t(width) * 4,
                            size_t(width) * 4);
            return image;
        }
    }
    QImage image;
    image.loadFromData(bmp, "BMP");
    return image;
}

// A picture another program offered, as a packed DIB: 24 bits, or 32 bits carrying its alpha
// with the whole-layer marker so that the paste keeps its transparency.
std::optional<std::vector<uint8_t>> dibOfImage(const QImage& picture) {
    if (picture.isNull() || picture.width() < 1 || picture.height() < 1) return std::nullopt;
    const bool alpha = picture.hasAlphaChannel();
    const QImage image =
        picture.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB888);
    const int width = image.width(), height = image.height();
    const size_t bytesPerPixel = alpha ? 4 : 3;
    const size_t rowBytes = (size_t(width) * bytesPerPixel + 3) / 4 * 4;
    std::vector<uint8_t> dib(kInfoHeaderSize + rowBytes * size_t(height), 0);
    uint8_t* h = dib.data();
    put32(h, kInfoHeaderSize);
    put32(h + 4, uint32_t(width));
    put32(h + 8, uint32_t(height));
    h[12] = 1;
    h[14] = uint8_t(bytesPerPixel * 8);
    put32(h + 20, uint32_t(rowBytes * size_t(height)));
    if (alpha) put32(h + 24, uint32_t(kMarkerWholeLayer));
    for (int y = 0; y < height; ++y) {
        const uchar* src = image.constScanLine(height - 1 - y);
        uint8_t* dst = dib.data() + kInfoHeaderSize + size_t(y) * rowBytes;
        if (alpha) {
            std::memcpy(dst, src, size_t(width) * 4);  // blue, green, red, alpha in memory
        } else {
            for (int x = 0; x < width; ++x, src += 3, dst += 3) {
                dst[0] = src[2];
                dst[1] = src[1];
                dst[2] = src[0];
            }
        }
    }
    return dib;
}

// Picture formats other programs put on the clipboard, best first after Quillet's own BMP.
QStringList imageFormats(const QMimeData& mime) {
    QStringList formats;
    if (mime.hasFormat(QStringLiteral("image/png"))) formats << QStringLiteral("image/png");
    for (const QString& f : mime.formats())
        if (f.startsWith(QStringLiteral("image/")) && !formats.contains(f)) formats << f;
    return formats;
}

}  // namespace

void QtClipboard::setPackedDib(std::vector<uint8_t> dib) {
    auto* mime = new QMimeData;
    const QByteArray bmp = bmpFileOf(dib);
    mime->setData(QStringLiteral("image/bmp"), bmp);
    const QImage image = imageOfDib(dib, bmp);
    if (!image.isNull()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (image.save(&buffer, "PNG")) mime->setData(QStringLiteral("image/png"), png);
    }
    QGuiApplication::clipboard()->setMimeData(mime);
}

std::optional<std::vector<uint8_t>> QtClipboard::packedDib() const {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime) return std::nullopt;
    if (mime->hasFormat(QStringLiteral("image/bmp")))
        if (auto dib = packedDibOfBmp(mime->data(QStringLiteral("image/bmp")))) return dib;
    for (const QString& format : imageFormats(*mime)) {
        const QByteArray subtype = format.mid(6).toLatin1();
        if (auto dib = dibOfImage(QImage::fromData(mime->data(format), subtype.constData())))
            return dib;
    }
    if (mime->hasImage()) return dibOfImage(qvariant_cast<QImage>(mime->imageData()));
    return std::nullopt;
}

bool QtClipboard::hasBitmap() const {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    return mime && (mime->hasImage() || !imageFormats(*mime).isEmpty());
}

}  // namespace quillet
