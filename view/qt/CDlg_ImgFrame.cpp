#include "view/qt/CDlg_ImgFrame.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "document/CBrevDoc.h"
#include "view/qt/DecorWidgets.h"

namespace quillet {

CDlg_ImgFrame::CDlg_ImgFrame(CBrevDoc& doc, QWidget* parent)
    : QDialog(parent), doc_(doc), layer_(doc, kPhotoFrameLayerName) {
    setWindowTitle(QStringLiteral("      액자틀 만들기"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < kPhotoFrameStyles; ++i) {
        buttons_[i] = new QPushButton(QStringLiteral("사진틀 %1 선택").arg(i), this);
        buttons_[i]->setCheckable(true);
        group->addButton(buttons_[i], i);
        grid->addWidget(buttons_[i], i / 2, i % 2);
    }
    layout->addLayout(grid);
    layout->addWidget(new QLabel(QStringLiteral("먼저, 위 사진틀을 선택하세요"), this));
    connect(group, &QButtonGroup::idClicked, this, [this](int style) {
        settings_.style = style;
        chosen_ = true;
        rebuild();
    });

    auto* form = new QFormLayout;
    main_ = new SwatchButton(QStringLiteral("메인색상"), settings_.main, this);
    second_ = new SwatchButton(QStringLiteral("보조색상"), settings_.second, this);
    connect(main_, &SwatchButton::colourChanged, this, [this](uint32_t c) {
        settings_.main = c;
        rebuild();
    });
    connect(second_, &SwatchButton::colourChanged, this, [this](uint32_t c) {
        settings_.second = c;
        rebuild();
    });
    form->addRow(main_, second_);
    width_ = new QSpinBox(this);
    width_->setRange(1, 2000);
    width_->setValue(settings_.width);
    connect(width_, &QSpinBox::valueChanged, this, [this](int v) {
        settings_.width = v;
        rebuild();
    });
    form->addRow(QStringLiteral("폭"), width_);
    layout->addLayout(form);
    layout->addWidget(OkCancelButtons(this));
}

void CDlg_ImgFrame::rebuild() {
    if (!chosen_) return;
    const int slot = layer_.Prepare();
    if (slot < 0) return;
    DrawPhotoFrame(doc_.Layers(), slot, settings_);
    doc_.Layers().Touch(slot);
    doc_.NotifyViewsUpdate();
}

void CDlg_ImgFrame::accept() {
    if (chosen_) layer_.Commit(u"사진틀 넣기");
    QDialog::accept();
}

void CDlg_ImgFrame::reject() {
    layer_.Cancel();
    QDialog::reject();
}

}  // namespace quillet
