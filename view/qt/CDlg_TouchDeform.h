#pragma once
// The touch-deform panel: the warp's mode (buttons 5353, 5354 and 5355), its strength in the
// first value box, and the area, which is the panel's own size. While the panel is shown the
// touch-deform tool reads it; closed, the tool warps 160 × 120 with strength 1.
#include <QDialog>

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace quillet {

struct TouchDeformSettings;

class CDlg_TouchDeform : public QDialog {
    Q_OBJECT
public:
    static constexpr int kModeButtons[] = {5353, 5354, 5355};

    explicit CDlg_TouchDeform(TouchDeformSettings& settings, QWidget* parent = nullptr);

    QButtonGroup* modes() const { return modes_; }
    QLineEdit* strengthEdit() const { return strength_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void store();

    TouchDeformSettings& settings_;
    QButtonGroup* modes_ = nullptr;
    QLineEdit* strength_ = nullptr;
    QLabel* area_ = nullptr;
};

}  // namespace quillet
