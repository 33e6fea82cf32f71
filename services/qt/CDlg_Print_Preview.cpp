#include "services/qt/CDlg_Print_Preview.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <climits>
#include <cstdint>

namespace quillet {

// The preview paper: one pixel per millimetre, with the picture stretched into its rectangle.
class PreviewPaperWidget : public QWidget {
public:
    explicit PreviewPaperWidget(const QImage& picture, QWidget* parent)
        : QWidget(parent), picture_(picture) {
        setObjectName(QStringLiteral("previewPaper"));
        const PreviewPaper& largest = kPreviewPapers.front();
        setFixedSize(largest.widthMm + 2, largest.heightMm + 2);
    }

    void setGeometryOfPaper(QSize paper, QRect picture) {
        paper_ = paper;
        if (picture.size() != pictureRect_.size()) scaled_ = QImage();
        pictureRect_ = picture;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        const QRect paper(0, 0, paper_.width(), paper_.height());
        p.fillRect(paper, Qt::white);
        p.setPen(Qt::darkGray);
        p.drawRect(paper.adjusted(0, 0, 1, 1));
        if (picture_.isNull() || pictureRect_.isEmpty()) return;
        p.setClipRect(paper);
        // A picture far larger than the paper is drawn through the clip, never scaled whole.
        if (int64_t(pictureRect_.width()) * pictureRect_.height() >
            int64_t(4) * (paper.width() + 1) * (paper.height() + 1)) {
            p.drawImage(pictureRect_, picture_);
            return;
        }
        // Scaled once per size: the spin control repaints often.
        if (scaled_.isNull())
            scaled_ = picture_.scaled(pictureRect_.size(), Qt::IgnoreAspectRatio,
                                      Qt::SmoothTransformation);
        p.drawImage(pictureRect_.topLeft(), scaled_);
    }

private:
    const QImage& picture_;
    QImage scaled_;
    QSize paper_;
    QRect pictureRect_;
};

CDlg_Print_Preview::CDlg_Print_Preview(QImage picture, int dpi, QWidget* parent)
    : QDialog(parent), picture_(std::move(picture)) {
    setObjectName(QStringLiteral("CDlg_Print_Preview"));
    setWindowTitle(QStringLiteral("      인쇄 미리 보기"));
    auto* layout = new QHBoxLayout(this);
    paperWidget_ = new PreviewPaperWidget(picture_, this);
    layout->addWidget(paperWidget_, 0, Qt::AlignTop);

    auto* side = new QVBoxLayout;
    auto* sizeGroup = new QGroupBox(QStringLiteral("이미지의 크기"), this);
    auto* grid = new QGridLayout(sizeGroup);
    widthText_ = new QLabel(sizeGroup);
    widthText_->setObjectName(QStringLiteral("widthInches"));
    heightText_ = new QLabel(sizeGroup);
    heightText_->setObjectName(QStringLiteral("heightInches"));
    dpiBox_ = new QSpinBox(sizeGroup);
    dpiBox_->setObjectName(QStringLiteral("dpi"));
    dpiBox_->setRange(1, INT_MAX);
    dpiBox_->setValue(ClampPrintDpi(dpi));
    grid->addWidget(new QLabel(QStringLiteral("너비 (인치)"), sizeGroup), 0, 0);
    grid->addWidget(widthText_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("높이 (인치)"), sizeGroup), 1, 0);
    grid->addWidget(heightText_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("DPI (픽셀)"), sizeGroup), 2, 0);
    grid->addWidget(dpiBox_, 2, 1);
    side->addWidget(sizeGroup);

    auto* paperGroup = new QGroupBox(QStringLiteral("미리보기 용지"), this);
    auto* paperLayout = new QVBoxLayout(paperGroup);
    paperBox_ = new QComboBox(paperGroup);
    paperBox_->setObjectName(QStringLiteral("paper"));
    for (const PreviewPaper& p : kPreviewPapers)
        paperBox_->addItem(QString::fromUtf8(p.choice.data(), qsizetype(p.choice.size())));
    paperLabel_ = new QLabel(
        QString::fromUtf8(kFirstA4Label.data(), qsizetype(kFirstA4Label.size())), paperGroup);
    paperLabel_->setObjectName(QStringLiteral("paperLabel"));
    paperLayout->addWidget(paperBox_);
    paperLayout->addWidget(paperLabel_);
    paperLayout->addWidget(
        new QLabel(QStringLiteral("인쇄시 현재 선택 용지를 재선택해야 함"), paperGroup));
    side->addWidget(paperGroup);
    side->addStretch(1);

    printButton_ = new QPushButton(QStringLiteral("인쇄"), this);
    printButton_->setObjectName(QStringLiteral("print"));
    auto* close = new QPushButton(QStringLiteral("닫기"), this);
    close->setObjectName(QStringLiteral("close"));
    side->addWidget(printButton_);
    side->addWidget(close);
    layout->addLayout(side);

    connect(dpiBox_, &QSpinBox::valueChanged, this, [this] { refresh(); });
    connect(paperBox_, &QComboBox::currentTextChanged, this, [this] {
        const PreviewPaper& p = paper();
        paperLabel_->setText(QString::fromUtf8(p.label.data(), qsizetype(p.label.size())));
        refresh();
    });
    connect(printButton_, &QPushButton::clicked, this,
            [this] { emit printRequested(this->dpi()); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    refresh();
}

CDlg_Print_Preview::~CDlg_Print_Preview() = default;

QWidget* CDlg_Print_Preview::paperWidget() const { return paperWidget_; }

int CDlg_Print_Preview::dpi() const { return ClampPrintDpi(dpiBox_->value()); }

void CDlg_Print_Preview::setDpi(int dpi) { dpiBox_->setValue(ClampPrintDpi(dpi)); }

PrintedInches CDlg_Print_Preview::printedSize() const {
    return PrintedSize(picture_.width(), picture_.height(), dpi());
}

const PreviewPaper& CDlg_Print_Preview::paper() const {
    return PreviewPaperFor(paperBox_->currentText().toStdString());
}

PrintRect CDlg_Print_Preview::pictureRect() const { return PreviewPictureRect(printedSize()); }

QSize CDlg_Print_Preview::paperSize() const {
    const PreviewPaper& p = paper();
    return QSize(p.widthMm, p.heightMm);
}

void CDlg_Print_Preview::refresh() {
    const PrintedInches size = printedSize();
    widthText_->setText(QString::fromStdString(InchText(size.width)));
    heightText_->setText(QString::fromStdString(InchText(size.height)));
    const PrintRect r = pictureRect();
    paperWidget_->setGeometryOfPaper(paperSize(), QRect(r.x, r.y, r.width, r.height));
}

}  // namespace quillet
