#pragma once
// "      이미지 크기 지정": the new pixel size by pixels, percent or print size and resolution,
// proportional or free, for the active picture or every open one.
#include <QDialog>

#include "app/GeometryFields.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace quillet {

class CDlg_ImageSize : public QDialog {
    Q_OBJECT
public:
    CDlg_ImageSize(int width, int height, int resolution, QWidget* parent = nullptr);

    const ImageSizeFields& fields() const { return fields_; }
    // "모든 열린 이미지에 적용"
    bool allDocuments() const;

private:
    void edited(ImageSizeFields::Field field);
    void showFields(ImageSizeFields::Field except);
    void showMode();

    ImageSizeFields fields_;
    QSpinBox* width_;
    QSpinBox* height_;
    QSpinBox* widthPercent_;
    QSpinBox* heightPercent_;
    QDoubleSpinBox* printWidth_;
    QDoubleSpinBox* printHeight_;
    QSpinBox* resolution_;
    QCheckBox* all_;
    QLabel* mode_;
    QLabel* bracketTop_;
    QLabel* bracketBottom_;
    QPushButton* ok_;
    bool showing_ = false;
};

}  // namespace quillet
