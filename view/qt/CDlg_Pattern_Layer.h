#pragma once
// The line-pattern dialog "      빗살무뉘넣기": four pattern buttons, the spacing and the pattern
// colour. Every change draws the "[LinePattern]" layer again; OK records it, Cancel takes it
// away. The drawing is the core's (LinePattern, DecorationLayer).
#include <QDialog>

#include "view/tools/DecorationLayer.h"
#include "view/tools/LinePattern.h"

class QPushButton;
class QSpinBox;

namespace quillet {

class SwatchButton;

class CDlg_Pattern_Layer : public QDialog {
    Q_OBJECT
public:
    CDlg_Pattern_Layer(CBrevDoc& doc, uint32_t colour, QWidget* parent = nullptr);

    LinePatternSettings settings() const { return settings_; }
    QPushButton* patternButton(int i) const { return buttons_[i]; }
    QSpinBox* spacingBox() const { return spacing_; }
    SwatchButton* colourSwatch() const { return colour_; }

    void accept() override;
    void reject() override;

private:
    void rebuild();

    CBrevDoc& doc_;
    DecorationLayer layer_;
    LinePatternSettings settings_;
    bool drawn_ = false;
    QPushButton* buttons_[4] = {};
    QSpinBox* spacing_ = nullptr;
    SwatchButton* colour_ = nullptr;
};

}  // namespace quillet
