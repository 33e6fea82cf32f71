#include "document/qt/AdjustmentDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include "document/CBrevDoc.h"

namespace quillet {

ValueSlider::ValueSlider(const QString& caption, Range range, QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    caption_ = new QLabel(caption, this);
    caption_->setMinimumWidth(90);
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setRange(range.minimum, range.maximum);
    slider_->setSingleStep(range.lineStep);
    slider_->setPageStep(range.pageStep);
    slider_->setTickInterval(range.tickInterval);
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setMinimumWidth(220);
    edit_ = new QLineEdit(this);
    edit_->setMaxLength(4);
    edit_->setValidator(new QIntValidator(range.minimum, range.maximum, edit_));
    edit_->setFixedWidth(52);
    row->addWidget(caption_);
    row->addWidget(slider_, 1);
    row->addWidget(edit_);
    setValue(range.value);
    connect(slider_, &QSlider::valueChanged, this, [this](int v) {
        edit_->setText(QString::number(v));
        emit changed(v);
    });
    connect(edit_, &QLineEdit::textEdited, this, [this](const QString& text) {
        bool ok = false;
        const int v = text.toInt(&ok);
        if (!ok || v < slider_->minimum() || v > slider_->maximum()) return;
        const QSignalBlocker block(slider_);
        slider_->setValue(v);
        emit changed(v);
    });
}

int ValueSlider::value() const { return slider_->value(); }

void ValueSlider::setValue(int v) {
    const QSignalBlocker block(slider_);
    slider_->setValue(v);
    edit_->setText(QString::number(slider_->value()));
}

void ValueSlider::setCaption(const QString& caption) { caption_->setText(caption); }

AdjustmentDialog::AdjustmentDialog(CBrevDoc& doc, bool everyLayer, QWidget* parent)
    : QDialog(parent), doc_(doc) {
    started_ = BeginAdjustmentPreview(doc, everyLayer);
    // The outline animation stops while a routine works on the layer.
    if (started_ && doc.SelectionActive()) doc.NotifySelectionOutlineTimer(0);
}

AdjustmentDialog::~AdjustmentDialog() {
    if (started_ && !finished_) CancelAdjustmentPreview(doc_);
}

void AdjustmentDialog::preview(const Histogram* kept) {
    if (!started_) return;
    if (const std::optional<ColourAdjustment> a = adjustment())
        ShowAdjustmentPreview(doc_, *a, kept);
    else
        CancelAdjustmentPreview(doc_);
}

void AdjustmentDialog::restoreStart() {
    if (started_) CancelAdjustmentPreview(doc_);
}

QCheckBox* AdjustmentDialog::addEveryDocumentBox() {
    everyDocument_ = new QCheckBox(QStringLiteral("모든 열린 이미지에 적용"), this);
    everyDocument_->setObjectName(QStringLiteral("everyDocument"));
    layout()->addWidget(everyDocument_);
    return everyDocument_;
}

void AdjustmentDialog::addButtons(const QString& okText) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(okText);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout()->addWidget(buttons);
}

void AdjustmentDialog::accept() {
    if (started_ && !finished_) {
        finished_ = true;
        const std::optional<ColourAdjustment> a = adjustment();
        if (a)
            CommitAdjustmentPreview(doc_, *a);
        else
            CancelAdjustmentPreview(doc_);
        if (a && everyDocument_ && everyDocument_->isChecked() && others_)
            for (CBrevDoc* other : others_())
                if (other && other != &doc_) ApplyColourAdjustment(*other, *a);
        if (doc_.SelectionActive()) doc_.NotifySelectionOutlineTimer(400);
    }
    QDialog::accept();
}

void AdjustmentDialog::reject() {
    if (started_ && !finished_) {
        finished_ = true;
        CancelAdjustmentPreview(doc_);
        if (doc_.SelectionActive()) doc_.NotifySelectionOutlineTimer(400);
    }
    QDialog::reject();
}

}  // namespace quillet
