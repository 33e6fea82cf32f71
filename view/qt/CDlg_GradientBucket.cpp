#include "view/qt/CDlg_GradientBucket.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace quillet {

CDlg_GradientBucket::CDlg_GradientBucket(GradientChoice& choice, std::function<void()> onClose,
                                         QWidget* parent)
    : QDialog(parent, Qt::Tool), choice_(choice) {
    setObjectName(QStringLiteral("CDlg_GradientBucket"));
    setWindowTitle(QStringLiteral("      그라디언트 채우기"));
    setModal(false);
    auto* row = new QHBoxLayout(this);
    foreground_ = new QRadioButton(QStringLiteral("전경"), this);
    both_ = new QRadioButton(QStringLiteral("전경+배경"), this);
    mirrored_ = new QPushButton(QStringLiteral("정규변화"), this);
    linear_ = new QPushButton(QStringLiteral("선형변화"), this);
    mirrored_->setCheckable(true);
    linear_->setCheckable(true);
    auto* hint = new QLabel(QStringLiteral("마우스드래깅으로 방향을 지정하세요"), this);
    auto* close = new QPushButton(QStringLiteral("닫기"), this);
    for (QWidget* w :
         std::initializer_list<QWidget*>{foreground_, both_, mirrored_, linear_, hint, close})
        row->addWidget(w);
    connect(foreground_, &QRadioButton::clicked, this, [this] {
        choice_.colours = GradientColours::Foreground;
        sync();
    });
    connect(both_, &QRadioButton::clicked, this, [this] {
        choice_.colours = GradientColours::ForegroundBackground;
        sync();
    });
    connect(mirrored_, &QPushButton::clicked, this, [this] {
        choice_.shape = GradientShape::Mirrored;
        sync();
    });
    connect(linear_, &QPushButton::clicked, this, [this] {
        choice_.shape = GradientShape::Linear;
        sync();
    });
    connect(close, &QPushButton::clicked, this, [onClose = std::move(onClose)] {
        if (onClose) onClose();
    });
    resize(570, 57);
    sync();
}

// Exactly one colour choice is on, and the pressed shape button shows down.
void CDlg_GradientBucket::sync() {
    foreground_->setChecked(choice_.colours == GradientColours::Foreground);
    both_->setChecked(choice_.colours == GradientColours::ForegroundBackground);
    mirrored_->setChecked(choice_.shape == GradientShape::Mirrored);
    linear_->setChecked(choice_.shape == GradientShape::Linear);
}

}  // namespace quillet
