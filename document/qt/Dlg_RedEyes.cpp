#include "document/qt/Dlg_RedEyes.h"

#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/CBrevDoc.h"
#include "document/FilterCommands.h"
#include "document/qt/AdjustmentDialog.h"
#include "platform/UserPort.h"

namespace quillet {

Dlg_RedEyes::Dlg_RedEyes(std::function<CBrevDoc*()> activeDocument, QWidget* parent)
    : QDialog(parent), active_(std::move(activeDocument)) {
    setWindowTitle(QStringLiteral("      적안 제거"));
    auto* layout = new QVBoxLayout(this);
    auto* pupil = new QPushButton(QStringLiteral("눈동자 선택"), this);
    pupil->setObjectName(QStringLiteral("pupil"));
    connect(pupil, &QPushButton::clicked, this, [this] {
        CBrevDoc* doc = active_();
        if (!doc) return;
        doc->User().showMessage("눈동자 영역을 원형 선택하시오");
        emit selectPupil();
    });
    layout->addWidget(pupil);
    ValueSlider::Range range{1, 10, 5, 1, 1, 1};
    strength_ = new ValueSlider(QStringLiteral("강도 1..10"), range, this);
    strength_->setObjectName(QStringLiteral("strength"));
    layout->addWidget(strength_);
    auto* buttons = new QHBoxLayout;
    auto* convert = new QPushButton(QStringLiteral(" 선택   →   변환 "), this);
    convert->setObjectName(QStringLiteral("convert"));
    connect(convert, &QPushButton::clicked, this, [this] {
        CBrevDoc* doc = active_();
        if (!doc) return;
        // Without a pupil there is nothing to convert: the whole layer is not an eye.
        if (!doc->SelectionActive()) {
            doc->User().showMessage("눈동자 영역을 원형 선택하시오");
            return;
        }
        if (doc != started_) {
            started_ = doc;
            startStep_ = doc->Journal().StepIndex();
        }
        RemoveRedEye(*doc, strength_->value());
    });
    auto* start = new QPushButton(QStringLiteral("시작 이미지"), this);
    start->setObjectName(QStringLiteral("start"));
    connect(start, &QPushButton::clicked, this, [this] {
        CBrevDoc* doc = active_();
        if (!doc || doc != started_) return;
        // Back through the journal to the step before the first conversion.
        while (doc->Journal().StepIndex() > startStep_ && doc->Undo()) {
        }
        doc->NotifyLayerListChanged();
        doc->NotifyViewsUpdate();
    });
    auto* close = new QPushButton(QStringLiteral("닫기"), this);
    close->setObjectName(QStringLiteral("close"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    buttons->addWidget(convert);
    buttons->addWidget(start);
    buttons->addWidget(close);
    layout->addLayout(buttons);
}

CDlg_Channel::CDlg_Channel(CBrevDoc& doc, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("RGB구분"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    const auto pictures = ChannelPictures(doc, ChannelSpace::Rgb);
    const QString names[3] = {QStringLiteral("R"), QStringLiteral("G"), QStringLiteral("B")};
    for (size_t k = 0; k < 3 && pictures[k]; ++k) {
        const RaViru& p = *pictures[k];
        // Rows are kept bottom first; the picture shows them top first.
        QImage image(p.Width(), p.Height(), QImage::Format_Grayscale8);
        for (int y = 0; y < p.Height(); ++y)
            std::copy_n(p.Row(p.Height() - 1 - y), p.Width(), image.scanLine(y));
        auto* column = new QVBoxLayout;
        auto* view = new QLabel(this);
        view->setObjectName(QStringLiteral("channel%1").arg(k + 1));
        view->setPixmap(QPixmap::fromImage(
            image.scaled(240, 240, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        column->addWidget(view);
        column->addWidget(new QLabel(names[k], this), 0, Qt::AlignHCenter);
        row->addLayout(column);
        empty_ = false;
    }
    layout->addLayout(row);
    auto* close = new QPushButton(QStringLiteral("닫기"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
}

}  // namespace quillet
