#include "document/qt/CDlg_Change_LayerName.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/Layer.h"

namespace quillet {

CDlg_Change_LayerName::CDlg_Change_LayerName(const QString& name, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("CDlg_Change_LayerName"));
    setWindowTitle(QStringLiteral("레이어 이름 변경"));
    auto* layout = new QVBoxLayout(this);
    edit_ = new QLineEdit(name, this);
    edit_->setMaxLength(kMaxNameChars);
    edit_->selectAll();
    layout->addWidget(edit_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString CDlg_Change_LayerName::name() const { return edit_->text(); }

}  // namespace quillet
