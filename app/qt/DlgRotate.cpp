#include "app/qt/DlgRotate.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/GeometryFields.h"

namespace quillet {

DlgRotate::DlgRotate(std::function<void(double)> preview, QWidget* parent)
    : QDialog(parent), preview_(std::move(preview)) {
    setWindowTitle(QStringLiteral("      자유 회전"));
    setObjectName(QStringLiteral("DlgRotate"));
    edit_ = new QLineEdit(QStringLiteral("0.0"), this);
    edit_->setObjectName(QStringLiteral("angle"));
    connect(edit_, &QLineEdit::editingFinished, this, &DlgRotate::normalise);

    auto* previewButton = new QPushButton(QStringLiteral("미리보기"), this);
    previewButton->setObjectName(QStringLiteral("preview"));
    previewButton->setAutoDefault(false);
    connect(previewButton, &QPushButton::clicked, this, [this] {
        normalise();
        if (preview_) preview_(angle());
    });
    auto* start = new QPushButton(QStringLiteral("시작 이미지"), this);
    start->setObjectName(QStringLiteral("startImage"));
    start->setAutoDefault(false);
    connect(start, &QPushButton::clicked, this, [this] {
        edit_->setText(QStringLiteral("0.0"));
        if (preview_) preview_(0);
    });

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("각도"), this));
    row->addWidget(edit_);
    row->addWidget(previewButton);
    row->addWidget(start);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("확인"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("취소"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        normalise();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

void DlgRotate::setAngleText(const QString& text) {
    edit_->setText(text);
    normalise();
}

// An entry beyond the limits becomes the limit; anything unreadable becomes 0.
void DlgRotate::normalise() {
    bool ok = false;
    const double typed = edit_->text().trimmed().toDouble(&ok);
    edit_->setText(QString::asprintf("%.1f", ClampRotationAngle(ok ? typed : 0)));
}

double DlgRotate::angle() const { return RotationAngleToApply(edit_->text().trimmed().toDouble()); }

}  // namespace quillet
