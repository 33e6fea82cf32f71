#include "view/qt/DecorWidgets.h"

#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace quillet {

namespace {
constexpr int kDialRadius = 25;
}

SwatchButton::SwatchButton(const QString& caption, uint32_t colour, QWidget* parent)
    : QPushButton(parent), caption_(caption) {
    setColour(colour);
    connect(this, &QPushButton::clicked, this, [this] {
        const QColor c = QColorDialog::getColor(
            QColor((colour_ >> 16) & 0xFF, (colour_ >> 8) & 0xFF, colour_ & 0xFF), this, caption_);
        if (!c.isValid()) return;
        setColour(uint32_t(c.red()) << 16 | uint32_t(c.green()) << 8 | uint32_t(c.blue()));
        emit colourChanged(colour_);
    });
}

void SwatchButton::setColour(uint32_t colour) {
    colour_ = colour & 0xFFFFFF;
    QPixmap swatch(28, 14);
    swatch.fill(QColor((colour_ >> 16) & 0xFF, (colour_ >> 8) & 0xFF, colour_ & 0xFF));
    setIcon(QIcon(swatch));
    setText(caption_);
}

AngleBox::AngleBox(QWidget* parent) : QDoubleSpinBox(parent) {
    setDecimals(1);
    setRange(-359, 360);
    setSingleStep(1);
}

void AngleBox::stepBy(int steps) {
    double v = value() + steps;
    while (v < 0) v += 360;
    while (v > 360) v -= 360;
    setValue(v);
}

AngleDial::AngleDial(QWidget* parent) : QWidget(parent) {
    setFixedSize(2 * kDialRadius + 12, 2 * kDialRadius + 12);
    setCursor(Qt::PointingHandCursor);
}

void AngleDial::setAngle(double degrees) {
    angle_ = degrees;
    update();
}

void AngleDial::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(width() / 2.0, height() / 2.0);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawEllipse(c, kDialRadius, kDialRadius);
    const double r = angle_ * M_PI / 180.0;
    const QPointF point(c.x() + kDialRadius * std::cos(r), c.y() - kDialRadius * std::sin(r));
    p.drawLine(c, point);
    p.setBrush(palette().color(QPalette::Highlight));
    p.drawEllipse(point, 4, 4);
}

void AngleDial::mousePressEvent(QMouseEvent* event) {
    const QPointF d = event->position() - QPointF(width() / 2.0, height() / 2.0);
    if (std::abs(d.x()) < 0.01 && std::abs(d.y()) < 0.01) return;
    double degrees = std::trunc(std::atan2(-d.y(), d.x()) * 180.0 / M_PI);
    if (degrees < 0) degrees += 360;
    setAngle(degrees);
    emit angleChosen(degrees);
}

QDialogButtonBox* OkCancelButtons(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

}  // namespace quillet
