#pragma once
// The print preview: the resolution the picture prints at, its printed size in inches, and the
// picture drawn on a choice of preview papers. The picture stays in memory for as long as the
// dialog is open; "인쇄" asks for the print at the dialog's resolution.
#include <QDialog>
#include <QImage>

#include "services/PrintGeometry.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace quillet {

class PreviewPaperWidget;

class CDlg_Print_Preview : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 4661;
    static constexpr int kPrintId = 57607;

    // `picture` is the picture as it prints (flattened on white); `dpi` the picture's
    // horizontal resolution, held to at least 1.
    CDlg_Print_Preview(QImage picture, int dpi, QWidget* parent = nullptr);
    ~CDlg_Print_Preview() override;

    int dpi() const;
    void setDpi(int dpi);
    PrintedInches printedSize() const;
    const PreviewPaper& paper() const;
    // The picture's rectangle inside the preview paper, and the paper's size in pixels.
    PrintRect pictureRect() const;
    QSize paperSize() const;
    const QImage& picture() const { return picture_; }

    QSpinBox* dpiBox() const { return dpiBox_; }
    QComboBox* paperBox() const { return paperBox_; }
    QLabel* paperLabel() const { return paperLabel_; }
    QLabel* widthText() const { return widthText_; }
    QLabel* heightText() const { return heightText_; }
    QPushButton* printButton() const { return printButton_; }
    QWidget* paperWidget() const;

signals:
    // "인쇄": the caller stores the resolution in the picture and prints.
    void printRequested(int dpi);

private:
    void refresh();

    QImage picture_;
    QSpinBox* dpiBox_ = nullptr;
    QComboBox* paperBox_ = nullptr;
    QLabel* paperLabel_ = nullptr;
    QLabel* widthText_ = nullptr;
    QLabel* heightText_ = nullptr;
    QPushButton* printButton_ = nullptr;
    PreviewPaperWidget* paperWidget_ = nullptr;
};

}  // namespace quillet
