#include "app/qt/ToolOptionBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

namespace quillet {

ToolOptionBar::ToolOptionBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ToolOptionBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setSpacing(6);
    for (int i = 0; i < 2; ++i) {
        Row& r = rows_[i];
        r.label = new QLabel(this);
        r.label->setMinimumWidth(80);
        r.label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        r.slider = new QSlider(Qt::Horizontal, this);
        r.slider->setFixedWidth(150);
        r.field = new QSpinBox(this);
        r.field->setFixedWidth(64);
        r.label->setBuddy(r.field);
        layout->addWidget(r.label);
        layout->addWidget(r.slider);
        layout->addWidget(r.field);
        if (i == 0) layout->addSpacing(18);
        // Slider and field move together; the bar reports the value once per change.
        connect(r.slider, &QSlider::valueChanged, this, [this, i](int v) {
            Row& row = rows_[i];
            if (row.field->value() != v) {
                const QSignalBlocker block(row.field);
                row.field->setValue(v);
            }
            emit valueChanged(i, v);
        });
        connect(r.field, &QSpinBox::valueChanged, this,
                [this, i](int v) { rows_[i].slider->setValue(v); });
    }
    layout->addStretch(1);
    apply(idleOptionSliders());
}

void ToolOptionBar::applyRow(Row& r, const OptionSliderSetting& s) {
    const QSignalBlocker b1(r.slider);
    const QSignalBlocker b2(r.field);
    r.label->setText(QString::fromUtf8(s.label.data(), qsizetype(s.label.size())));
    r.slider->setRange(s.minimum, s.maximum);
    r.field->setRange(s.minimum, s.maximum);
    r.slider->setValue(s.value);
    r.field->setValue(s.value);
    r.slider->setEnabled(s.enabled);
    r.field->setEnabled(s.enabled);
    r.label->setEnabled(s.enabled);
}

void ToolOptionBar::apply(const OptionSliders& sliders) {
    applyRow(rows_[0], sliders.first);
    applyRow(rows_[1], sliders.second);
}

int ToolOptionBar::value(int which) const { return row(which).slider->value(); }
QString ToolOptionBar::label(int which) const { return row(which).label->text(); }
bool ToolOptionBar::isSliderEnabled(int which) const { return row(which).slider->isEnabled(); }

}  // namespace quillet
