#pragma once
// "      자유 회전": the angle of a free rotation of the current layer, one decimal, -359..359.
// "미리보기" shows the layer rotated, "시작 이미지" goes back to the layer as it began.
#include <QDialog>
#include <functional>

class QLineEdit;

namespace quillet {

class DlgRotate : public QDialog {
    Q_OBJECT
public:
    // `preview` is called with the angle to show (0: the starting layer).
    explicit DlgRotate(std::function<void(double)> preview, QWidget* parent = nullptr);

    // The angle typed, within the limits; negative angles come back as angle + 360.
    double angle() const;
    void setAngleText(const QString& text);

private:
    void normalise();

    QLineEdit* edit_;
    std::function<void(double)> preview_;
};

}  // namespace quillet
