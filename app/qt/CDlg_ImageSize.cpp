#include "app/qt/CDlg_ImageSize.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "document/GeometryCommands.h"

namespace quillet {

namespace {
using Field = ImageSizeFields::Field;
constexpr int kMaxPercent = 10000;
constexpr int kMaxResolution = 30000;
constexpr double kMaxInches = 30000;
}  // namespace

CDlg_ImageSize::CDlg_ImageSize(int width, int height, int resolution, QWidget* parent)
    : QDialog(parent), fields_(width, height, resolution) {
    setWindowTitle(QStringLiteral("      이미지 크기 지정"));
    setObjectName(QStringLiteral("CDlg_ImageSize"));

    auto spin = [this](const char* name, int low, int high, Field field) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(low, high);
        connect(box, &QSpinBox::valueChanged, this, [this, field] { edited(field); });
        return box;
    };
    auto inches = [this](const char* name, Field field) {
        auto* box = new QDoubleSpinBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setDecimals(3);
        // Small pictures print below an inch; what is typed stays at 1 or more.
        box->setRange(0.001, kMaxInches);
        box->setSingleStep(1);
        connect(box, &QDoubleSpinBox::valueChanged, this, [this, field] { edited(field); });
        return box;
    };
    width_ = spin("width", 1, kMaxGeometrySide, Field::Width);
    height_ = spin("height", 1, kMaxGeometrySide, Field::Height);
    widthPercent_ = spin("widthPercent", 1, kMaxPercent, Field::WidthPercent);
    heightPercent_ = spin("heightPercent", 1, kMaxPercent, Field::HeightPercent);
    widthPercent_->setSuffix(QStringLiteral(" %"));
    heightPercent_->setSuffix(QStringLiteral(" %"));
    printWidth_ = inches("printWidth", Field::PrintWidth);
    printHeight_ = inches("printHeight", Field::PrintHeight);
    resolution_ = spin("resolution", 1, kMaxResolution, Field::Resolution);

    bracketTop_ = new QLabel(QStringLiteral("]"), this);
    bracketBottom_ = new QLabel(QStringLiteral("["), this);
    mode_ = new QLabel(this);
    mode_->setObjectName(QStringLiteral("mode"));
    auto* toggle = new QPushButton(QStringLiteral("계산 방식 변경"), this);
    toggle->setObjectName(QStringLiteral("toggleMode"));
    toggle->setAutoDefault(false);
    connect(toggle, &QPushButton::clicked, this, [this] {
        fields_.toggleMode();
        showMode();
    });
    all_ = new QCheckBox(QStringLiteral("모든 열린 이미지에 적용"), this);
    all_->setObjectName(QStringLiteral("allDocuments"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("폭"), this), 0, 0);
    grid->addWidget(width_, 0, 1);
    grid->addWidget(widthPercent_, 0, 2);
    grid->addWidget(printWidth_, 0, 3);
    grid->addWidget(bracketTop_, 0, 4);
    grid->addWidget(new QLabel(QStringLiteral("높이"), this), 1, 0);
    grid->addWidget(height_, 1, 1);
    grid->addWidget(heightPercent_, 1, 2);
    grid->addWidget(printHeight_, 1, 3);
    grid->addWidget(bracketBottom_, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("픽셀"), this), 2, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("비율"), this), 2, 2, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("인쇄 크기(인치)"), this), 2, 3, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("해상도"), this), 3, 0);
    grid->addWidget(resolution_, 3, 1);
    grid->addWidget(mode_, 4, 0, 1, 3);
    grid->addWidget(toggle, 4, 3, 1, 2);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QStringLiteral("확인"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("취소"), QDialogButtonBox::RejectRole);
    ok_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(all_);
    layout->addWidget(buttons);
    showFields(Field(-1));
    showMode();
}

bool CDlg_ImageSize::allDocuments() const { return all_->isChecked(); }

void CDlg_ImageSize::edited(Field field) {
    if (showing_) return;
    switch (field) {
        case Field::Width:
            fields_.setWidth(width_->value());
            break;
        case Field::Height:
            fields_.setHeight(height_->value());
            break;
        case Field::WidthPercent:
            fields_.setWidthPercent(widthPercent_->value());
            break;
        case Field::HeightPercent:
            fields_.setHeightPercent(heightPercent_->value());
            break;
        case Field::PrintWidth:
            fields_.setPrintWidth(printWidth_->value());
            break;
        case Field::PrintHeight:
            fields_.setPrintHeight(printHeight_->value());
            break;
        case Field::Resolution:
            fields_.setResolution(resolution_->value());
            break;
    }
    // The field being typed in keeps its text, unless it went below its limit; the others show
    // the new numbers.
    const bool belowLimit = (field == Field::PrintWidth && printWidth_->value() < 1) ||
                            (field == Field::PrintHeight && printHeight_->value() < 1);
    showFields(belowLimit ? Field(-1) : field);
}

void CDlg_ImageSize::showFields(Field except) {
    showing_ = true;
    if (except != Field::Width) width_->setValue(fields_.width());
    if (except != Field::Height) height_->setValue(fields_.height());
    if (except != Field::WidthPercent) widthPercent_->setValue(fields_.widthPercent());
    if (except != Field::HeightPercent) heightPercent_->setValue(fields_.heightPercent());
    if (except != Field::PrintWidth) printWidth_->setValue(fields_.printWidth());
    if (except != Field::PrintHeight) printHeight_->setValue(fields_.printHeight());
    if (except != Field::Resolution) resolution_->setValue(fields_.resolution());
    ok_->setEnabled(fields_.acceptable());
    showing_ = false;
}

void CDlg_ImageSize::showMode() {
    const bool p = fields_.proportional();
    mode_->setText(p ? QStringLiteral("동일 비율로 조정중")
                     : QStringLiteral("서로다른 비율로 조정중"));
    bracketTop_->setVisible(p);
    bracketBottom_->setVisible(p);
}

}  // namespace quillet
