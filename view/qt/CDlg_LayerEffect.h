#pragma once
// The shadow dialog "  레이어에 그림자 효과 주기": distance, opacity and softness sliders, the
// angle with its spin and dial. Every slider change and "미리보기" show the shadow at once; OK
// records it, Cancel puts the layer back. The work is the core's (LayerShadow).
#include <QDialog>

#include "view/tools/LayerShadow.h"

class QSlider;

namespace quillet {

class AngleBox;
class AngleDial;

class CDlg_LayerEffect : public QDialog {
    Q_OBJECT
public:
    // The current layer of `doc` must have been taken by BeginShadow. `colour` (0x00RRGGBB)
    // stands for a layer without a shadow.
    CDlg_LayerEffect(CBrevDoc& doc, uint32_t colour, QWidget* parent = nullptr);

    ShadowSettings settings() const;
    QSlider* distanceSlider() const { return distance_; }
    QSlider* opacitySlider() const { return opacity_; }
    QSlider* softnessSlider() const { return softness_; }
    AngleBox* angleBox() const { return angle_; }
    AngleDial* dial() const { return dial_; }

    void accept() override;
    void reject() override;

private:
    QSlider* slider(const QString& caption, int minimum, int maximum, int value);
    void preview();

    CBrevDoc& doc_;
    uint32_t colour_;
    QSlider* distance_ = nullptr;
    QSlider* opacity_ = nullptr;
    QSlider* softness_ = nullptr;
    AngleBox* angle_ = nullptr;
    AngleDial* dial_ = nullptr;
};

}  // namespace quillet
