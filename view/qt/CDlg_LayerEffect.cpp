#include "view/qt/CDlg_LayerEffect.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "document/CBrevDoc.h"
#include "view/qt/DecorWidgets.h"

namespace quillet {

CDlg_LayerEffect::CDlg_LayerEffect(CBrevDoc& doc, uint32_t colour, QWidget* parent)
    : QDialog(parent), doc_(doc) {
    setWindowTitle(QStringLiteral("  레이어에 그림자 효과 주기"));
    setFixedSize(280, 300);
    const ShadowSettings s = ShadowSettingsOf(doc.Layers().layer(doc.CurrentLayer()), colour);
    colour_ = s.colour;

    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    distance_ = slider(QStringLiteral("거리"), 1, kMaxShadowDistance, s.distance);
    opacity_ = slider(QStringLiteral("불투명도"), 5, 100, s.opacity);
    softness_ = slider(QStringLiteral("부드러움"), 0, 99, s.softness);
    softness_->setPageStep(5);
    softness_->setSingleStep(4);
    softness_->setTickInterval(1);

    auto* angleRow = new QHBoxLayout;
    dial_ = new AngleDial(this);
    dial_->setAngle(s.angle);
    angle_ = new AngleBox(this);
    angle_->setObjectName(QStringLiteral("angle"));
    angle_->setValue(s.angle);
    angleRow->addWidget(dial_);
    angleRow->addWidget(new QLabel(QStringLiteral("각도"), this));
    angleRow->addWidget(angle_);
    layout->addLayout(angleRow);
    // The angle counts at the next computation.
    connect(dial_, &AngleDial::angleChosen, angle_, &QDoubleSpinBox::setValue);
    connect(angle_, &QDoubleSpinBox::valueChanged, dial_, &AngleDial::setAngle);

    auto* previewButton = new QPushButton(QStringLiteral("미리보기"), this);
    previewButton->setObjectName(QStringLiteral("preview"));
    connect(previewButton, &QPushButton::clicked, this, &CDlg_LayerEffect::preview);
    layout->addWidget(previewButton);
    layout->addWidget(OkCancelButtons(this));
}

QSlider* CDlg_LayerEffect::slider(const QString& caption, int minimum, int maximum, int value) {
    auto* grid = static_cast<QGridLayout*>(layout()->itemAt(0)->layout());
    const int row = grid->rowCount();
    auto* s = new QSlider(Qt::Horizontal, this);
    s->setObjectName(caption);
    s->setRange(minimum, maximum);
    s->setValue(std::clamp(value, minimum, maximum));
    auto* field = new QSpinBox(this);
    field->setRange(minimum, maximum);
    field->setValue(s->value());
    connect(s, &QSlider::valueChanged, field, &QSpinBox::setValue);
    connect(field, &QSpinBox::valueChanged, s, &QSlider::setValue);
    connect(s, &QSlider::valueChanged, this, &CDlg_LayerEffect::preview);
    grid->addWidget(new QLabel(caption, this), row, 0);
    grid->addWidget(s, row, 1);
    grid->addWidget(field, row, 2);
    return s;
}

ShadowSettings CDlg_LayerEffect::settings() const {
    ShadowSettings s;
    s.distance = distance_->value();
    s.opacity = opacity_->value();
    s.softness = softness_->value();
    s.angle = int(std::trunc(angle_->value()));
    s.colour = colour_;
    return s;
}

void CDlg_LayerEffect::preview() {
    // Before the sliders all exist, their first values are being set.
    if (!softness_ || !angle_) return;
    PreviewShadow(doc_, settings());
}

void CDlg_LayerEffect::accept() {
    ApplyShadow(doc_, settings());
    QDialog::accept();
}

void CDlg_LayerEffect::reject() {
    CancelShadow(doc_);
    QDialog::reject();
}

}  // namespace quillet
