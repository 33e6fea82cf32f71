#pragma once
// The colour-range panel: a modeless dialog, one per main frame. Its two buttons choose between
// a new selection and adding to the selection (and make the colour-range pick the current tool
// again), its slider sets the tolerance, and its labels show the last pick.
#include <QDialog>

#include "view/tools/Selection.h"

class QLabel;
class QPushButton;
class QSlider;

namespace quillet {

class CDlg_ColourRange : public QDialog {
    Q_OBJECT
public:
    explicit CDlg_ColourRange(QWidget* parent = nullptr);

    int tolerance() const;
    bool adding() const { return adding_; }
    // The outline colour the view shows the selection in (0x00BBGGRR).
    void setShownColour(uint32_t bbggrr);
    // A pick was made: its count line and its colour.
    void showPick(const ColourRangePick& pick);
    QString countText() const;
    QSlider* slider() const { return slider_; }
    QPushButton* pickButton() const { return pick_; }
    QPushButton* addButton() const { return add_; }

signals:
    // A button chose the mode: the pick tool becomes current again.
    void pickRequested(bool adding);
    void toleranceChanged(int tolerance);

private:
    QSlider* slider_ = nullptr;
    QPushButton* pick_ = nullptr;
    QPushButton* add_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* shown_ = nullptr;
    QLabel* picked_ = nullptr;
    bool adding_ = false;
};

}  // namespace quillet
