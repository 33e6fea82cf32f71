#pragma once
// The gradient panel "      그라디언트 채우기": the colours ("전경", "전경+배경"), the shape
// ("정규변화", "선형변화"), the hint to drag the guide line, and "닫기".
#include <QDialog>
#include <functional>

#include "view/tools/Gradient.h"

class QPushButton;
class QRadioButton;

namespace quillet {

class CDlg_GradientBucket : public QDialog {
    Q_OBJECT
public:
    // `choice` is the main frame's, changed as the buttons are pressed; `onClose` runs for "닫기".
    CDlg_GradientBucket(GradientChoice& choice, std::function<void()> onClose,
                        QWidget* parent = nullptr);

    QRadioButton* foregroundButton() const { return foreground_; }
    QRadioButton* bothButton() const { return both_; }
    QPushButton* mirroredButton() const { return mirrored_; }
    QPushButton* linearButton() const { return linear_; }

private:
    void sync();

    GradientChoice& choice_;
    QRadioButton* foreground_ = nullptr;
    QRadioButton* both_ = nullptr;
    QPushButton* mirrored_ = nullptr;
    QPushButton* linear_ = nullptr;
};

}  // namespace quillet
