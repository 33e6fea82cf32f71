#pragma once
// The dialogs of brightness/contrast, colour adjustment and the threshold.
#include "document/qt/AdjustmentDialog.h"

class QListWidget;

namespace quillet {

// "      명도·대비 조정": two sliders; nothing is applied while both are 0.
class CDlg_BrightContrast : public AdjustmentDialog {
    Q_OBJECT
public:
    CDlg_BrightContrast(CBrevDoc& doc, QWidget* parent = nullptr);

protected:
    std::optional<ColourAdjustment> adjustment() const override;

private:
    ValueSlider* brightness_;
    ValueSlider* contrast_;
};

// "      색상조정": red, green and blue deltas, or the saturation; the last one moved is what
// OK applies.
class CDlg_ColorAdjust : public AdjustmentDialog {
    Q_OBJECT
public:
    CDlg_ColorAdjust(CBrevDoc& doc, QWidget* parent = nullptr);

protected:
    std::optional<ColourAdjustment> adjustment() const override;

private:
    ValueSlider* red_;
    ValueSlider* green_;
    ValueSlider* blue_;
    ValueSlider* saturation_;
    bool saturationMode_ = false;
};

// "임계치변환": the threshold and the two ditherings over every layer.
class CDlg_Threshold : public AdjustmentDialog {
    Q_OBJECT
public:
    CDlg_Threshold(CBrevDoc& doc, QWidget* parent = nullptr);

protected:
    std::optional<ColourAdjustment> adjustment() const override;

private:
    ValueSlider* value_;
    QListWidget* modes_;
};

}  // namespace quillet
