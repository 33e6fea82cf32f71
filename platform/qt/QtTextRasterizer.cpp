#include "platform/qt/QtTextRasterizer.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>

namespace quillet {

namespace {
QString toQString(const std::u16string& s) {
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

QColor fromRgb(uint32_t c) { return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }
}  // namespace

QFont QtTextRasterizer::fontFor(const FontSpec& spec) {
    const QString korean = QStringLiteral("NanumGothic");
    QString family = QString::fromUtf16(spec.face.data(), qsizetype(spec.face.size()));
    // A face this machine lacks is drawn in the Korean sans face; a face without Hangul falls
    // back to it letter by letter, so Hangul never shows as empty boxes.
    if (family.isEmpty() || family == QStringLiteral("굴림") || family == QStringLiteral("Gulim") ||
        !QFontDatabase::hasFamily(family))
        family = korean;
    QFont font;
    font.setFamilies(family == korean ? QStringList{korean} : QStringList{family, korean});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, spec.pixelHeight));
    font.setWeight(spec.weight >= 700 ? QFont::Bold : QFont::Normal);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeOut);
    return font;
}

TextExtent QtTextRasterizer::measure(const std::u16string& line, const FontSpec& font) const {
    const QFontMetrics metrics(fontFor(font));
    return {metrics.horizontalAdvance(toQString(line)), metrics.height()};
}

void QtTextRasterizer::draw(const std::u16string& line, const FontSpec& font, uint32_t colour,
                            int64_t background, Buffer32 target, int x, int y) const {
    if (!target.pixels || target.width <= 0 || target.height <= 0) return;
    // The painter draws straight into the caller's rows; drawn pixels end opaque.
    QImage image(target.pixels, target.width, target.height, target.stride, QImage::Format_ARGB32);
    const QFont f = fontFor(font);
    const QString text = toQString(line);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::Antialiasing);
    if (background >= 0) {
        const QFontMetrics metrics(f);
        painter.fillRect(x, y, metrics.horizontalAdvance(text), metrics.height(),
                         fromRgb(uint32_t(background)));
    }
    painter.setFont(f);
    painter.setPen(fromRgb(colour));
    painter.drawText(QPoint(x, y + QFontMetrics(f).ascent()), text);
}

}  // namespace quillet
