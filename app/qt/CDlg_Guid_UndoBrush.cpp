#include "app/qt/CDlg_Guid_UndoBrush.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "services/qt/WebPages.h"

namespace quillet {

CDlg_Guid_UndoBrush::CDlg_Guid_UndoBrush(QWidget* parent)
    : QDialog(parent), open_([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    setWindowTitle(QStringLiteral("작업취소붓 안내"));
    auto* text = new QLabel(
        QStringLiteral("작업취소붓은 현재 레이어를 바로 전 작업 단계의 모습으로 되돌려 "
                       "칠합니다.\n붓이 지나간 곳만 되돌아가고 나머지는 그대로 남습니다.\n\n"
                       "붓의 크기는 붓 설정에서 고릅니다. 바로 전 단계에서 레이어의 위치나 "
                       "크기가 바뀌었으면 쓸 수 없습니다."),
        this);
    text->setWordWrap(true);
    text->setFixedWidth(340);  // wrapped lines need a width before the dialog is laid out
    stop_ = new QCheckBox(QStringLiteral("다음부터 이 안내를 보지 않기"), this);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("도움말 보기"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("닫기"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(stop_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool CDlg_Guid_UndoBrush::showAgain() const { return !stop_->isChecked(); }

void CDlg_Guid_UndoBrush::accept() {
    if (open_) open_(undoBrushHelpUrl());
    QDialog::accept();
}

}  // namespace quillet
