#include "view/qt/CDlg_SetBrush.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include "view/FrameSettings.h"
#include "view/tools/BrushStamp.h"

namespace quillet {

CDlg_SetBrush::CDlg_SetBrush(FrameSettings& settings, QWidget* parent)
    : QDialog(parent, Qt::Tool), settings_(settings) {
    setWindowTitle(QStringLiteral("     붓 굵기"));
    QFont f(QStringLiteral("굴림체"));
    f.setPixelSize(11);
    setFont(f);
    setModal(false);

    edit_ = new QLineEdit(this);
    edit_->setValidator(new QIntValidator(1, BrushStamp::kMaxSize, edit_));
    edit_->setMaxLength(2);
    edit_->setFixedWidth(36);
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setRange(1, BrushStamp::kMaxSize);
    slider_->setPageStep(1);
    slider_->setTickInterval(1);
    slider_->setTickPosition(QSlider::TicksBelow);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(edit_);
    sizeRow->addWidget(slider_, 1);

    presets_ = new QButtonGroup(this);
    presets_->setExclusive(true);
    auto* presetRow = new QHBoxLayout;
    for (int size : kPresets) {
        auto* b = new QPushButton(QString::number(size), this);
        b->setCheckable(true);
        b->setFixedWidth(28);
        presets_->addButton(b, size);
        presetRow->addWidget(b);
    }

    soft_ = new QRadioButton(QStringLiteral("붓"), this);
    hard_ = new QRadioButton(QStringLiteral("연필"), this);
    auto* kindRow = new QHBoxLayout;
    kindRow->addWidget(soft_);
    kindRow->addWidget(hard_);
    kindRow->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("확인"), this);
    ok->setDefault(true);
    kindRow->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sizeRow);
    layout->addLayout(presetRow);
    layout->addLayout(kindRow);
    setFixedSize(220, 170);

    connect(slider_, &QSlider::valueChanged, this, [this](int v) {
        if (loading_) return;
        edit_->setText(QString::number(v));
        store();
    });
    connect(edit_, &QLineEdit::textEdited, this, [this](const QString& text) {
        bool ok = false;
        const int v = text.toInt(&ok);
        if (ok && v >= 1 && v <= BrushStamp::kMaxSize) slider_->setValue(v);
    });
    connect(presets_, &QButtonGroup::idClicked, this, [this](int size) {
        slider_->setValue(size);
        store();  // the same size again still counts as a choice
    });
    connect(soft_, &QRadioButton::toggled, this, [this] {
        if (!loading_) store();
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        store();
        hide();
    });
    load();
}

void CDlg_SetBrush::showEvent(QShowEvent* event) {
    load();  // the settings dialog may have changed them meanwhile
    QDialog::showEvent(event);
}

void CDlg_SetBrush::load() {
    loading_ = true;
    const int size = std::clamp(settings_.brushThickness, 1, BrushStamp::kMaxSize);
    slider_->setValue(size);
    edit_->setText(QString::number(size));
    const bool soft = settings_.brushKind == FrameSettings::Brush;
    soft_->setChecked(soft);
    hard_->setChecked(!soft);
    loading_ = false;
}

void CDlg_SetBrush::store() {
    settings_.brushThickness = slider_->value();
    settings_.brushKind = soft_->isChecked() ? FrameSettings::Brush : FrameSettings::Pencil;
    emit brushChanged(settings_.brushThickness, soft_->isChecked());
}

}  // namespace quillet
