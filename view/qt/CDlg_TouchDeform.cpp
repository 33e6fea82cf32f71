#include "view/qt/CDlg_TouchDeform.h"

#include <QButtonGroup>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "view/tools/PaintTools.h"

namespace quillet {

CDlg_TouchDeform::CDlg_TouchDeform(TouchDeformSettings& settings, QWidget* parent)
    : QDialog(parent, Qt::Tool), settings_(settings) {
    setWindowTitle(QStringLiteral("터치변형"));
    setModal(false);
    modes_ = new QButtonGroup(this);
    modes_->setExclusive(true);
    auto* modeRow = new QHBoxLayout;
    const QString captions[] = {QStringLiteral("볼록"), QStringLiteral("오목"),
                                QStringLiteral("회오리")};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QPushButton(captions[i], this);
        b->setCheckable(true);
        b->setChecked(i == settings_.mode);
        modes_->addButton(b, i);
        modeRow->addWidget(b);
    }
    strength_ = new QLineEdit(QString::number(settings_.strength, 'f', 1), this);
    strength_->setValidator(new QDoubleValidator(-10.0, 10.0, 2, strength_));
    area_ = new QLabel(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("강도"), strength_);
    form->addRow(QStringLiteral("영역"), area_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(modeRow);
    layout->addLayout(form);
    resize(TouchDeformSettings::kClosedWidth * 2, TouchDeformSettings::kClosedHeight * 2);

    connect(modes_, &QButtonGroup::idClicked, this, [this] { store(); });
    connect(strength_, &QLineEdit::textChanged, this, [this] { store(); });
}

void CDlg_TouchDeform::store() {
    settings_.mode = std::max(0, modes_->checkedId());
    bool ok = false;
    const double s = strength_->text().toDouble(&ok);
    settings_.strength = ok ? s : 1.0;
    settings_.width = width();
    settings_.height = height();
    area_->setText(QStringLiteral("%1 × %2").arg(width()).arg(height()));
}

void CDlg_TouchDeform::showEvent(QShowEvent* event) {
    settings_.panelOpen = true;
    store();
    QDialog::showEvent(event);
}

void CDlg_TouchDeform::hideEvent(QHideEvent* event) {
    settings_.panelOpen = false;
    QDialog::hideEvent(event);
}

void CDlg_TouchDeform::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    store();
}

}  // namespace quillet
