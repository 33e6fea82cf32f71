#pragma once
// Small pieces the decoration dialogs share: a colour swatch that opens the colour dialog when
// clicked, the angle box whose spin wraps into 0 … 360, the shadow's angle dial, and the
// "확인"/"취소" buttons.
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QWidget>
#include <cstdint>

class QDialog;

namespace quillet {

class SwatchButton : public QPushButton {
    Q_OBJECT
public:
    SwatchButton(const QString& caption, uint32_t colour, QWidget* parent);
    uint32_t colour() const { return colour_; }  // 0x00RRGGBB
    void setColour(uint32_t colour);
signals:
    void colourChanged(uint32_t colour);

private:
    QString caption_;
    uint32_t colour_ = 0;
};

// An angle edit ("%.1f", −359 … 359 typed) whose spin steps by 1 and wraps at 0 and 360.
class AngleBox : public QDoubleSpinBox {
    Q_OBJECT
public:
    explicit AngleBox(QWidget* parent);
    void stepBy(int steps) override;
};

// The angle's point on a circle of radius 25; a click points the angle at the click.
class AngleDial : public QWidget {
    Q_OBJECT
public:
    explicit AngleDial(QWidget* parent);
    void setAngle(double degrees);
    double angle() const { return angle_; }
signals:
    void angleChosen(double degrees);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    double angle_ = 0;
};

// OK ("확인") and Cancel ("취소") wired to the dialog's accept and reject.
QDialogButtonBox* OkCancelButtons(QDialog* dialog);

}  // namespace quillet
