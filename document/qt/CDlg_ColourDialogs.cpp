#include "document/qt/CDlg_ColourDialogs.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet {

CDlg_BrightContrast::CDlg_BrightContrast(CBrevDoc& doc, QWidget* parent)
    : AdjustmentDialog(doc, false, parent) {
    setWindowTitle(QStringLiteral("      명도·대비 조정"));
    auto* layout = new QVBoxLayout(this);
    brightness_ = new ValueSlider(QStringLiteral("명도"), {}, this);
    brightness_->setObjectName(QStringLiteral("brightness"));
    contrast_ = new ValueSlider(QStringLiteral("대비"), {}, this);
    contrast_->setObjectName(QStringLiteral("contrast"));
    layout->addWidget(brightness_);
    layout->addWidget(contrast_);
    for (ValueSlider* s : {brightness_, contrast_})
        connect(s, &ValueSlider::changed, this, [this] { preview(); });
    addEveryDocumentBox();
    addButtons();
}

std::optional<ColourAdjustment> CDlg_BrightContrast::adjustment() const {
    if (brightness_->value() == 0 && contrast_->value() == 0) return std::nullopt;
    return BrightnessContrastValues{brightness_->value(), contrast_->value()};
}

CDlg_ColorAdjust::CDlg_ColorAdjust(CBrevDoc& doc, QWidget* parent)
    : AdjustmentDialog(doc, false, parent) {
    setWindowTitle(QStringLiteral("      색상조정"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("-255      0     +255                    -255       0      +255"), this));
    red_ = new ValueSlider(QStringLiteral("빨강(R)"), {}, this);
    green_ = new ValueSlider(QStringLiteral("녹색(G)"), {}, this);
    blue_ = new ValueSlider(QStringLiteral("청색(B)"), {}, this);
    saturation_ = new ValueSlider(QStringLiteral("채도"), {}, this);
    const char* names[] = {"red", "green", "blue", "saturation"};
    int i = 0;
    for (ValueSlider* s : {red_, green_, blue_, saturation_}) {
        s->setObjectName(QString::fromLatin1(names[i++]));
        layout->addWidget(s);
        connect(s, &ValueSlider::changed, this, [this, s] {
            saturationMode_ = s == saturation_;
            preview();
        });
    }
    auto* start = new QPushButton(QStringLiteral("시작 이미지"), this);
    start->setObjectName(QStringLiteral("start"));
    connect(start, &QPushButton::clicked, this, [this] {
        for (ValueSlider* s : {red_, green_, blue_, saturation_}) s->setValue(0);
        saturationMode_ = false;
        restoreStart();
    });
    layout->addWidget(start);
    addEveryDocumentBox();
    addButtons();
}

std::optional<ColourAdjustment> CDlg_ColorAdjust::adjustment() const {
    if (saturationMode_) {
        if (saturation_->value() == 0) return std::nullopt;
        return SaturationValue{saturation_->value()};
    }
    if (red_->value() == 0 && green_->value() == 0 && blue_->value() == 0) return std::nullopt;
    return ChannelValues{red_->value(), green_->value(), blue_->value()};
}

CDlg_Threshold::CDlg_Threshold(CBrevDoc& doc, QWidget* parent)
    : AdjustmentDialog(doc, true, parent) {
    setWindowTitle(QStringLiteral("임계치변환"));
    auto* layout = new QVBoxLayout(this);
    ValueSlider::Range range;
    range.minimum = 0;
    range.value = 128;
    value_ = new ValueSlider(QStringLiteral("농도조절"), range, this);
    value_->setObjectName(QStringLiteral("value"));
    modes_ = new QListWidget(this);
    modes_->setObjectName(QStringLiteral("modes"));
    modes_->addItems(
        {QStringLiteral("FS 디더링"), QStringLiteral("OR 디더링"), QStringLiteral("절대변환")});
    modes_->setCurrentRow(0);
    modes_->setMaximumHeight(70);
    layout->addWidget(modes_);
    layout->addWidget(value_);
    auto* start = new QPushButton(QStringLiteral("시작 영상"), this);
    start->setObjectName(QStringLiteral("start"));
    connect(start, &QPushButton::clicked, this, [this] { restoreStart(); });
    layout->addWidget(start);
    connect(value_, &ValueSlider::changed, this, [this] { preview(); });
    connect(modes_, &QListWidget::currentRowChanged, this, [this](int row) {
        value_->setCaption(row == int(ThresholdMode::Absolute) ? QStringLiteral("이진임계치")
                                                               : QStringLiteral("농도조절"));
        preview();
    });
    addButtons();
}

std::optional<ColourAdjustment> CDlg_Threshold::adjustment() const {
    return ThresholdValues{ThresholdMode(std::max(0, modes_->currentRow())), value_->value()};
}

}  // namespace quillet
