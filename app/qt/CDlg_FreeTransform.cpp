#include "app/qt/CDlg_FreeTransform.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet {

CDlg_FreeTransform::CDlg_FreeTransform(std::function<void()> ok, std::function<void()> cancel,
                                       QWidget* parent)
    : QWidget(parent, Qt::Tool), ok_(std::move(ok)), cancel_(std::move(cancel)) {
    setWindowTitle(QStringLiteral("      자유변형"));
    setObjectName(QStringLiteral("CDlg_FreeTransform"));
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("caption"));
    auto* okButton = new QPushButton(QStringLiteral("확인"), this);
    okButton->setObjectName(QStringLiteral("ok"));
    auto* cancelButton = new QPushButton(QStringLiteral("취소"), this);
    cancelButton->setObjectName(QStringLiteral("cancel"));
    connect(okButton, &QPushButton::clicked, this, [this] {
        if (ok_) ok_();
    });
    connect(cancelButton, &QPushButton::clicked, this, [this] {
        if (cancel_) cancel_();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption_);
    layout->addLayout(buttons);
}

void CDlg_FreeTransform::setModeCaption(const QString& caption) { caption_->setText(caption); }

QString CDlg_FreeTransform::modeCaption() const { return caption_->text(); }

void CDlg_FreeTransform::closeEvent(QCloseEvent* event) {
    // The title bar's close button is the panel's Cancel.
    if (isVisible() && cancel_) cancel_();
    event->accept();
}

}  // namespace quillet
