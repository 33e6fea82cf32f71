#include "services/qt/DlgCapture.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet {

DlgCapture::DlgCapture(std::vector<CaptureWindow> choices, QWidget* parent)
    : QDialog(parent), choices_(std::move(choices)) {
    setObjectName(QStringLiteral("DlgCapture"));
    setWindowTitle(QStringLiteral("화면 캡처"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("캡처할 창을 선택하세요."), this));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("windowList"));
    for (const CaptureWindow& w : choices_) list_->addItem(QString::fromStdString(w.title));
    if (list_->count() > 0) list_->setCurrentRow(0);
    list_->setMinimumSize(360, 240);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(buttons);
}

const CaptureWindow& DlgCapture::chosen() const {
    const int row = list_->currentRow();
    return choices_[size_t(row >= 0 && row < int(choices_.size()) ? row : 0)];
}

}  // namespace quillet
