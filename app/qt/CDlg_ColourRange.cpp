#include "app/qt/CDlg_ColourRange.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace quillet {

namespace {

void Swatch(QLabel* label, int red, int green, int blue) {
    label->setStyleSheet(QStringLiteral("background: rgb(%1, %2, %3); border: 1px solid gray;")
                             .arg(red)
                             .arg(green)
                             .arg(blue));
}

}  // namespace

CDlg_ColourRange::CDlg_ColourRange(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CDlg_ColourRange"));
    setWindowTitle(QStringLiteral("      색상범위 영역지정"));
    setModal(false);
    auto* layout = new QGridLayout(this);
    pick_ = new QPushButton(QStringLiteral("새로 선택"), this);
    add_ = new QPushButton(QStringLiteral("추가 선택"), this);
    pick_->setCheckable(true);
    add_->setCheckable(true);
    pick_->setChecked(true);
    layout->addWidget(pick_, 0, 0);
    layout->addWidget(add_, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("0     허용정도   255"), this), 1, 0, 1, 2);
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setRange(0, 255);
    slider_->setValue(0);
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setTickInterval(10);
    slider_->setPageStep(5);
    slider_->setSingleStep(4);
    layout->addWidget(slider_, 2, 0, 1, 2);
    count_ = new QLabel(QStringLiteral("픽셀수"), this);
    layout->addWidget(count_, 3, 0, 1, 2);
    auto* colours = new QHBoxLayout;
    shown_ = new QLabel(this);
    picked_ = new QLabel(this);
    for (QLabel* l : {shown_, picked_}) l->setFixedSize(24, 16);
    colours->addWidget(new QLabel(QStringLiteral("표시색상"), this));
    colours->addWidget(shown_);
    colours->addSpacing(12);
    colours->addWidget(new QLabel(QStringLiteral("선택색상"), this));
    colours->addWidget(picked_);
    colours->addStretch();
    layout->addLayout(colours, 4, 0, 1, 2);
    Swatch(picked_, 255, 255, 255);

    auto choose = [this](bool adding) {
        adding_ = adding;
        pick_->setChecked(!adding);
        add_->setChecked(adding);
        emit pickRequested(adding);
    };
    connect(pick_, &QPushButton::clicked, this, [choose] { choose(false); });
    connect(add_, &QPushButton::clicked, this, [choose] { choose(true); });
    connect(slider_, &QSlider::valueChanged, this, &CDlg_ColourRange::toleranceChanged);
}

int CDlg_ColourRange::tolerance() const { return slider_->value(); }

void CDlg_ColourRange::setShownColour(uint32_t c) {
    Swatch(shown_, int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF));
}

void CDlg_ColourRange::showPick(const ColourRangePick& pick) {
    count_->setText(QString::fromStdString(ColourRangeCountText(pick)));
    // The pick's colour is 0x00RRGGBB.
    Swatch(picked_, int(pick.colour >> 16 & 0xFF), int(pick.colour >> 8 & 0xFF),
           int(pick.colour & 0xFF));
}

QString CDlg_ColourRange::countText() const { return count_->text(); }

}  // namespace quillet
