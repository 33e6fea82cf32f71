#include "platform/qt/QtClipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

namespace quillet {

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;

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

void QtClipboard::setPackedDib(std::vector<uint8_t> dib) {
    auto* mime = new QMimeData;
    const QByteArray bmp = bmpFileOf(dib);
    mime->setData(QStringLiteral("image/bmp"), bmp);
    QImage image;
    if (image.loadFromData(bmp, "BMP")) {
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
    if (!mime->hasImage()) return std::nullopt;
    const QImage image = qvariant_cast<QImage>(mime->imageData());
    if (image.isNull()) return std::nullopt;
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP")) return std::nullopt;
    return packedDibOfBmp(bmp);
}

bool QtClipboard::hasBitmap() const {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    return mime && (mime->hasFormat(QStringLiteral("image/bmp")) || mime->hasImage());
}

}  // namespace quillet
