#include "document/qt/CDlg_NewImage.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "document/PictureHeader.h"

namespace quillet {

CDlg_NewImage::CDlg_NewImage(QWidget* parent, uint32_t backgroundColour, QSize clipboardSize)
    : QDialog(parent), backgroundColour_(backgroundColour) {
    setWindowTitle(QStringLiteral("      새 창 열기"));
    const NewImageRequest defaults =
        DefaultNewImageRequest(clipboardSize.width(), clipboardSize.height());

    auto sizeBox = [this](int value) {
        auto* box = new QSpinBox(this);
        box->setRange(NewImageRequest::kMinSize, NewImageRequest::kMaxSize);
        box->setValue(value);
        return box;
    };
    width_ = sizeBox(defaults.width);
    width_->setObjectName(QStringLiteral("width"));
    height_ = sizeBox(defaults.height);
    height_->setObjectName(QStringLiteral("height"));
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("name"));
    name_->setMaxLength(kMaxNameChars);
    content_ = new QComboBox(this);
    content_->setObjectName(QStringLiteral("content"));
    content_->addItems({QStringLiteral("흰색배경창"), QStringLiteral("투명배경창"),
                        QStringLiteral("배경색지정창")});
    format_ = new QComboBox(this);
    format_->setObjectName(QStringLiteral("format"));
    format_->addItem(QStringLiteral("RGB칼라"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("폭"), width_);
    form->addRow(QStringLiteral("높이"), height_);
    form->addRow(QStringLiteral("이름"), name_);
    form->addRow(QStringLiteral("초기내용"), content_);
    form->addRow(QStringLiteral("영상형식"), format_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("확인"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("취소"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);  // Return accepts as "확인" does
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

NewImageRequest CDlg_NewImage::request() const {
    NewImageRequest r;
    r.width = width_->value();
    r.height = height_->value();
    const QString name = name_->text();
    r.name.assign(reinterpret_cast<const char16_t*>(name.utf16()), size_t(name.size()));
    r.background = content_->currentIndex();
    r.backgroundColour = backgroundColour_;
    r.bitsPerPixel = 24;
    return r;
}

QSize CDlg_NewImage::clipboardBitmapSize() {
    const QClipboard* clipboard = QApplication::clipboard();
    if (!clipboard) return {};
    const QImage image = clipboard->image();
    return image.isNull() ? QSize() : image.size();
}

}  // namespace quillet
