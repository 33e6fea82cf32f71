#include "services/qt/ScanSourceDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet {

ScanSourceDialog::ScanSourceDialog(std::vector<ScanDevice> devices, const std::string& current,
                                   QWidget* parent)
    : QDialog(parent), devices_(std::move(devices)) {
    setObjectName(QStringLiteral("ScanSourceDialog"));
    setWindowTitle(QStringLiteral("외부 장치 선택"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("그림을 읽어들일 장치를 선택하세요."), this));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("sourceList"));
    int row = 0;
    for (size_t i = 0; i < devices_.size(); ++i) {
        list_->addItem(QString::fromStdString(devices_[i].Label()));
        if (devices_[i].name == current) row = int(i);
    }
    if (list_->count() > 0) list_->setCurrentRow(row);
    list_->setMinimumSize(360, 160);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("선택"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(buttons);
}

std::string ScanSourceDialog::chosen() const {
    const int row = list_->currentRow();
    return row >= 0 && row < int(devices_.size()) ? devices_[size_t(row)].name : std::string();
}

}  // namespace quillet
