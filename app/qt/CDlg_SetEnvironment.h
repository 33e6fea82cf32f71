#pragma once
// The settings dialog "      환경 설정": five tabs over the display part of FrameSettings.
// OK writes the choices into the settings record; Cancel stores nothing.
#include <QColor>
#include <QDialog>
#include <QPixmap>
#include <QSpinBox>
#include <array>

#include "app/EnvironmentChoices.h"
#include "view/FrameSettings.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QTabWidget;
class QPushButton;

namespace quillet {

// The hatch style that shows transparent pixels for TranspRep 0..5.
Qt::BrushStyle transparencyHatch(int pattern);
// A 0x00BBGGRR colour as a QColor and back.
QColor colorFromRef(uint32_t ref);
uint32_t refFromColor(const QColor& colour);
// Pictures shown in the dialog: a cursor shape (0..4) and a transparency pattern (0..5).
QPixmap cursorShapePicture(int shape);
QPixmap transparencyPicture(int pattern);

// Grid spacing field: typing accepts 0..40, each arrow step stays within 4..40.
class GridSpacingBox : public QSpinBox {
    Q_OBJECT
public:
    using QSpinBox::QSpinBox;
    void stepBy(int steps) override;
};

class CDlg_SetEnvironment : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 450;
    static constexpr int kHeight = 250;

    // panelTop: the vertical position the main frame keeps for its pop-up panels.
    CDlg_SetEnvironment(FrameSettings& settings, int panelTop = 0, QWidget* parent = nullptr);

    EnvironmentChoices choices() const;
    QTabWidget* tabs() const { return tabs_; }

public slots:
    void accept() override;

private:
    QWidget* buildCursorPage();
    QWidget* buildTransparencyPage();
    QWidget* buildSelectionPage();
    QWidget* buildGridPage();
    QWidget* buildBrowserPage();
    QPushButton* colourButton(const QString& name, uint32_t* ref);
    void showColour(QPushButton* button, uint32_t ref);
    void updateGridPreview();

    FrameSettings& settings_;
    EnvironmentChoices initial_;
    QTabWidget* tabs_ = nullptr;
    QButtonGroup* cursorGroup_ = nullptr;
    QButtonGroup* patternGroup_ = nullptr;
    QCheckBox* selectionTone_ = nullptr;
    uint32_t pathSegment_ = 0;
    uint32_t pathPoint_ = 0;
    uint32_t gridColour_ = 0;
    GridSpacingBox* gridSpacing_ = nullptr;
    QLabel* gridPreview_ = nullptr;
    QCheckBox* showOpen_ = nullptr;
    QButtonGroup* browserGroup_ = nullptr;
};

}  // namespace quillet
