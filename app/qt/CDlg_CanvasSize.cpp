#include "app/qt/CDlg_CanvasSize.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "document/GeometryCommands.h"

namespace quillet {

CDlg_CanvasSize::CDlg_CanvasSize(int width, int height, QWidget* parent)
    : QDialog(parent), fields_(width, height) {
    setWindowTitle(QStringLiteral("      캔버스 크기 조정"));
    setObjectName(QStringLiteral("CDlg_CanvasSize"));

    auto* current = new QLabel(QStringLiteral("(%1 x %2)").arg(width).arg(height), this);
    current->setObjectName(QStringLiteral("currentSize"));
    auto spin = [this](const char* name, int value) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QString::fromLatin1(name));
        // The spin buttons never go below the current size.
        box->setRange(value, kMaxGeometrySide);
        box->setValue(value);
        return box;
    };
    width_ = spin("width", width);
    height_ = spin("height", height);
    connect(width_, &QSpinBox::valueChanged, this, [this](int v) { fields_.setWidth(v); });
    connect(height_, &QSpinBox::valueChanged, this, [this](int v) { fields_.setHeight(v); });

    // Arrows point to where the picture goes; the middle keeps it centred.
    static const char16_t* const kArrows[kAnchorCount] = {u"↖", u"↑", u"↗", u"←", u"●",
                                                          u"→", u"↙", u"↓", u"↘"};
    anchors_ = new QButtonGroup(this);
    anchors_->setExclusive(true);
    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    for (int i = 0; i < kAnchorCount; ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("anchor%1").arg(i));
        button->setText(QString::fromUtf16(kArrows[i]));
        button->setCheckable(true);
        button->setFixedSize(32, 32);
        anchors_->addButton(button, i);
        grid->addWidget(button, i / 3, i % 3);
    }
    anchors_->button(fields_.anchor())->setChecked(true);
    connect(anchors_, &QButtonGroup::idClicked, this, [this](int id) { fields_.setAnchor(id); });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("현재 크기"), current);
    form->addRow(QStringLiteral("폭"), width_);
    form->addRow(QStringLiteral("높이"), height_);
    form->addRow(QStringLiteral("기준 위치"), grid);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("확인"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("취소"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

}  // namespace quillet
