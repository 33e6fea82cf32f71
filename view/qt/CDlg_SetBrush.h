#pragma once
// The brush panel ("     붓 굵기"): the brush size (1 to 30) by edit box, slider or six presets,
// and the soft or hard flag. Every change is stored in the main frame's settings at once.
#include <QDialog>

class QButtonGroup;
class QLineEdit;
class QRadioButton;
class QSlider;

namespace quillet {

struct FrameSettings;

class CDlg_SetBrush : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPresets[] = {1, 3, 5, 7, 9, 11};

    explicit CDlg_SetBrush(FrameSettings& settings, QWidget* parent = nullptr);

    QSlider* sizeSlider() const { return slider_; }
    QLineEdit* sizeEdit() const { return edit_; }
    QButtonGroup* presets() const { return presets_; }
    QRadioButton* softButton() const { return soft_; }
    QRadioButton* hardButton() const { return hard_; }

signals:
    // The size or the flag changed (the settings already hold them).
    void brushChanged(int size, bool soft);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void load();
    void store();

    FrameSettings& settings_;
    QLineEdit* edit_ = nullptr;
    QSlider* slider_ = nullptr;
    QButtonGroup* presets_ = nullptr;
    QRadioButton* soft_ = nullptr;
    QRadioButton* hard_ = nullptr;
    bool loading_ = false;
};

}  // namespace quillet
