// The five pages of the settings dialog and the pictures they show.
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt/CDlg_SetEnvironment.h"

namespace quillet {
namespace {

// The sixteen grid colours offered, 0x00BBGGRR.
constexpr std::array<uint32_t, 16> kGridSwatches = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

QCheckBox* exclusiveBox(QButtonGroup* group, int id, bool checked, QWidget* parent,
                        const QString& text = {}) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QStringLiteral("%1%2").arg(group->objectName()).arg(id));
    group->addButton(box, id);
    box->setChecked(checked);
    return box;
}

}  // namespace

Qt::BrushStyle transparencyHatch(int pattern) {
    static constexpr Qt::BrushStyle styles[] = {Qt::HorPattern,   Qt::VerPattern,
                                                Qt::FDiagPattern, Qt::BDiagPattern,
                                                Qt::CrossPattern, Qt::DiagCrossPattern};
    return styles[std::clamp(pattern, 0, 5)];
}

QColor colorFromRef(uint32_t ref) {
    return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

uint32_t refFromColor(const QColor& c) {
    return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
           (static_cast<uint32_t>(c.blue()) << 16);
}

QPixmap cursorShapePicture(int shape) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setPen(QPen(Qt::black, 1));
    const int c = 16;
    switch (shape) {
        case 0:  // plain cross
            p.drawLine(c, 2, c, 30);
            p.drawLine(2, c, 30, c);
            break;
        case 1:  // cross with an open centre
            p.drawLine(c, 2, c, 12);
            p.drawLine(c, 20, c, 30);
            p.drawLine(2, c, 12, c);
            p.drawLine(20, c, 30, c);
            break;
        case 2:  // circle with a centre point
            p.drawEllipse(QPoint(c, c), 9, 9);
            p.drawPoint(c, c);
            break;
        case 3:  // circle with a cross
            p.drawEllipse(QPoint(c, c), 9, 9);
            p.drawLine(c, 3, c, 29);
            p.drawLine(3, c, 29, c);
            break;
        default:  // single point with short ticks
            p.drawLine(c, 10, c, 13);
            p.drawLine(c, 19, c, 22);
            p.drawLine(10, c, 13, c);
            p.drawLine(19, c, 22, c);
            p.drawPoint(c, c);
            break;
    }
    return pixmap;
}

QPixmap transparencyPicture(int pattern) {
    QPixmap pixmap(40, 28);
    pixmap.fill(QColor(0x78, 0x78, 0x78));
    QPainter p(&pixmap);
    p.fillRect(pixmap.rect(), QBrush(QColor(0xBF, 0xBF, 0xBF), transparencyHatch(pattern)));
    return pixmap;
}

QWidget* CDlg_SetEnvironment::buildCursorPage() {
    auto* page = new QWidget;
    auto* row = new QHBoxLayout(page);
    cursorGroup_ = new QButtonGroup(page);
    cursorGroup_->setObjectName(QStringLiteral("cursor"));
    for (int i = 0; i < FrameSettings::kCursorShapes; ++i) {
        auto* column = new QVBoxLayout;
        auto* picture = new QLabel(page);
        picture->setPixmap(cursorShapePicture(i));
        column->addWidget(picture, 0, Qt::AlignHCenter);
        column->addWidget(exclusiveBox(cursorGroup_, i, initial_.cursorShape == i, page), 0,
                          Qt::AlignHCenter);
        row->addLayout(column);
    }
    return page;
}

QWidget* CDlg_SetEnvironment::buildTransparencyPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    patternGroup_ = new QButtonGroup(page);
    patternGroup_->setObjectName(QStringLiteral("pattern"));
    for (int i = 0; i < FrameSettings::kTransparencyPatterns; ++i) {
        auto* picture = new QPushButton(page);
        picture->setObjectName(QStringLiteral("patternPicture%1").arg(i));
        picture->setIcon(transparencyPicture(i));
        picture->setIconSize(QSize(40, 28));
        QCheckBox* box = exclusiveBox(patternGroup_, i, initial_.transparencyPattern == i, page);
        connect(picture, &QPushButton::clicked, box, [box] { box->setChecked(true); });
        auto* cell = new QHBoxLayout;
        cell->addWidget(picture);
        cell->addWidget(box);
        grid->addLayout(cell, i / 3, i % 3);
    }
    return page;
}

QWidget* CDlg_SetEnvironment::buildSelectionPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    selectionTone_ =
        new QCheckBox(QStringLiteral("선택영역을 다른 톤으로 구별하여 나타내기"), page);
    selectionTone_->setObjectName(QStringLiteral("selectionTone"));
    selectionTone_->setChecked(initial_.selectionTone);
    layout->addWidget(selectionTone_);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("경로선분"), page));
    row->addWidget(colourButton(QStringLiteral("pathSegment"), &pathSegment_));
    row->addSpacing(20);
    row->addWidget(new QLabel(QStringLiteral("경로점"), page));
    row->addWidget(colourButton(QStringLiteral("pathPoint"), &pathPoint_));
    row->addStretch();
    layout->addLayout(row);
    layout->addStretch();
    return page;
}

QPushButton* CDlg_SetEnvironment::colourButton(const QString& name, uint32_t* ref) {
    auto* button = new QPushButton;
    button->setObjectName(name);
    button->setFixedSize(40, 22);
    showColour(button, *ref);
    connect(button, &QPushButton::clicked, this, [this, button, ref] {
        const QColor chosen = QColorDialog::getColor(colorFromRef(*ref), this);
        if (!chosen.isValid()) return;
        *ref = refFromColor(chosen);
        showColour(button, *ref);
    });
    return button;
}

void CDlg_SetEnvironment::showColour(QPushButton* button, uint32_t ref) {
    QPixmap swatch(32, 14);
    swatch.fill(colorFromRef(ref));
    button->setIcon(swatch);
    button->setIconSize(swatch.size());
}

QWidget* CDlg_SetEnvironment::buildGridPage() {
    auto* page = new QWidget;
    auto* row = new QHBoxLayout(page);

    auto* colours = new QGroupBox(QStringLiteral("컬러지정"), page);
    auto* swatches = new QGridLayout(colours);
    swatches->setSpacing(4);
    for (int i = 0; i < static_cast<int>(kGridSwatches.size()); ++i) {
        auto* swatch = new QPushButton(colours);
        swatch->setObjectName(QStringLiteral("gridSwatch%1").arg(i));
        swatch->setFixedSize(26, 18);
        showColour(swatch, kGridSwatches[i]);
        connect(swatch, &QPushButton::clicked, this, [this, i] {
            gridColour_ = kGridSwatches[i];
            updateGridPreview();
        });
        swatches->addWidget(swatch, i / 4, i % 4);
    }
    gridPreview_ = new QLabel(colours);
    gridPreview_->setObjectName(QStringLiteral("gridPreview"));
    gridPreview_->setFixedSize(80, 80);
    swatches->addWidget(gridPreview_, 0, 4, 4, 1);
    row->addWidget(colours);

    auto* spacing = new QGroupBox(QStringLiteral("격자간격  "), page);
    auto* spacingLayout = new QVBoxLayout(spacing);
    gridSpacing_ = new GridSpacingBox(spacing);
    gridSpacing_->setObjectName(QStringLiteral("gridSpacing"));
    gridSpacing_->setRange(0, FrameSettings::kMaxGridSpacing);
    gridSpacing_->setValue(initial_.gridSpacing);
    connect(gridSpacing_, &QSpinBox::valueChanged, this, [this] { updateGridPreview(); });
    spacingLayout->addWidget(gridSpacing_);
    spacingLayout->addStretch();
    row->addWidget(spacing);
    updateGridPreview();
    return page;
}

void CDlg_SetEnvironment::updateGridPreview() {
    const int spacing = gridSpacing_->value();
    // Narrower spacings would fill the swatch; the preview keeps its last picture then.
    if (spacing < 3 || spacing > 39) return;
    QPixmap preview(gridPreview_->size());
    preview.fill(Qt::white);
    QPainter p(&preview);
    p.setPen(colorFromRef(gridColour_));
    for (int x = 0; x < preview.width(); x += spacing) p.drawLine(x, 0, x, preview.height());
    for (int y = 0; y < preview.height(); y += spacing) p.drawLine(0, y, preview.width(), y);
    p.end();
    gridPreview_->setPixmap(preview);
}

QWidget* CDlg_SetEnvironment::buildBrowserPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    showOpen_ = new QCheckBox(QStringLiteral("프로그램 시작시 이미지 열기 창 보임"), page);
    showOpen_->setObjectName(QStringLiteral("showOpenAtStart"));
    showOpen_->setChecked(initial_.showOpenAtStart);
    layout->addWidget(showOpen_);
    browserGroup_ = new QButtonGroup(page);
    browserGroup_->setObjectName(QStringLiteral("browser"));
    layout->addWidget(exclusiveBox(browserGroup_, FrameSettings::OwnBrowser,
                                   initial_.browserKind == FrameSettings::OwnBrowser, page,
                                   QStringLiteral("Quillet 파일 보기창")));
    layout->addWidget(exclusiveBox(browserGroup_, FrameSettings::SystemDialog,
                                   initial_.browserKind == FrameSettings::SystemDialog, page,
                                   QStringLiteral("전통 파일 보기창")));
    layout->addStretch();
    return page;
}

}  // namespace quillet
