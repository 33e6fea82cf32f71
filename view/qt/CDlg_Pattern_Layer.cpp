#include "view/qt/CDlg_Pattern_Layer.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "document/CBrevDoc.h"
#include "view/qt/DecorWidgets.h"

namespace quillet {

CDlg_Pattern_Layer::CDlg_Pattern_Layer(CBrevDoc& doc, uint32_t colour, QWidget* parent)
    : QDialog(parent), doc_(doc), layer_(doc, kLinePatternLayerName) {
    setWindowTitle(QStringLiteral("      빗살무뉘넣기"));
    settings_.colour = colour & 0xFFFFFF;
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        buttons_[i] = new QPushButton(QStringLiteral("패턴%1").arg(i), this);
        buttons_[i]->setCheckable(true);
        group->addButton(buttons_[i], kFirstLinePattern + i);
        row->addWidget(buttons_[i]);
    }
    buttons_[0]->setChecked(true);
    layout->addLayout(row);
    connect(group, &QButtonGroup::idClicked, this, [this](int type) {
        settings_.type = type;
        rebuild();
    });

    auto* form = new QFormLayout;
    spacing_ = new QSpinBox(this);
    spacing_->setRange(kMinPatternSpacing, 10000);
    spacing_->setValue(settings_.spacing);
    connect(spacing_, &QSpinBox::valueChanged, this, [this](int v) {
        settings_.spacing = v;
        rebuild();
    });
    form->addRow(QStringLiteral("간격"), spacing_);
    colour_ = new SwatchButton(QStringLiteral("패턴색상"), settings_.colour, this);
    connect(colour_, &SwatchButton::colourChanged, this, [this](uint32_t c) {
        settings_.colour = c;
        rebuild();
    });
    form->addRow(colour_);
    layout->addLayout(form);
    layout->addWidget(OkCancelButtons(this));
}

void CDlg_Pattern_Layer::rebuild() {
    const int slot = layer_.Prepare();
    if (slot < 0) return;
    DrawLinePattern(doc_.Layers(), slot, settings_);
    doc_.Layers().Touch(slot);
    drawn_ = true;
    doc_.NotifyViewsUpdate();
}

void CDlg_Pattern_Layer::accept() {
    // OK without a change puts the pattern of the dialog's first settings.
    if (!drawn_) rebuild();
    layer_.Commit(u"패턴 레이어 넣기");
    QDialog::accept();
}

void CDlg_Pattern_Layer::reject() {
    layer_.Cancel();
    QDialog::reject();
}

}  // namespace quillet
