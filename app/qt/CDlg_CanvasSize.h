#pragma once
// "      캔버스 크기 조정": the new canvas size, never below the current one, and the anchor that
// places the picture on it (nine buttons, the chosen one stays pressed).
#include <QDialog>

#include "app/GeometryFields.h"

class QButtonGroup;
class QSpinBox;

namespace quillet {

class CDlg_CanvasSize : public QDialog {
    Q_OBJECT
public:
    CDlg_CanvasSize(int width, int height, QWidget* parent = nullptr);
    const CanvasSizeFields& fields() const { return fields_; }

private:
    CanvasSizeFields fields_;
    QSpinBox* width_;
    QSpinBox* height_;
    QButtonGroup* anchors_;
};

}  // namespace quillet
