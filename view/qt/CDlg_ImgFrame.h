#pragma once
// The photo-frame dialog "      액자틀 만들기": four frame styles, the main and secondary colours
// and the border width. Once a style is chosen every change draws the "[ImgFrame]" layer again;
// OK records it, Cancel takes it back. The drawing is the core's (PhotoFrame).
#include <QDialog>

#include "view/tools/DecorationLayer.h"
#include "view/tools/PhotoFrame.h"

class QPushButton;
class QSpinBox;

namespace quillet {

class SwatchButton;

class CDlg_ImgFrame : public QDialog {
    Q_OBJECT
public:
    CDlg_ImgFrame(CBrevDoc& doc, QWidget* parent = nullptr);

    PhotoFrameSettings settings() const { return settings_; }
    QPushButton* styleButton(int i) const { return buttons_[i]; }
    QSpinBox* widthBox() const { return width_; }
    SwatchButton* mainSwatch() const { return main_; }
    SwatchButton* secondSwatch() const { return second_; }

    void accept() override;
    void reject() override;

private:
    void rebuild();

    CBrevDoc& doc_;
    DecorationLayer layer_;
    PhotoFrameSettings settings_;
    bool chosen_ = false;  // nothing is drawn before a style is chosen
    QPushButton* buttons_[kPhotoFrameStyles] = {};
    QSpinBox* width_ = nullptr;
    SwatchButton* main_ = nullptr;
    SwatchButton* second_ = nullptr;
};

}  // namespace quillet
