#pragma once
// "      적안 제거": a floating panel working on the active document. The pupil is selected with
// the circle selection ("눈동자 선택"), then " 선택   →   변환 " removes the red inside it with
// the chosen strength; "시작 이미지" takes the picture back to how it was before the panel's
// first conversion on it; "닫기" closes.
#include <QDialog>
#include <functional>

namespace quillet {

class CBrevDoc;
class ValueSlider;

class Dlg_RedEyes : public QDialog {
    Q_OBJECT
public:
    // `activeDocument` gives the document to work on (none: the buttons do nothing).
    explicit Dlg_RedEyes(std::function<CBrevDoc*()> activeDocument, QWidget* parent = nullptr);
    ValueSlider* strength() const { return strength_; }

signals:
    // The circle selection tool should become the current tool.
    void selectPupil();

private:
    std::function<CBrevDoc*()> active_;
    CBrevDoc* started_ = nullptr;  // the document of the first conversion, and its step then
    int startStep_ = -1;
    ValueSlider* strength_;
};

// The channel dialog of "RGB구분": the red, green and blue of the current layer as three grey
// pictures. The document is not changed.
class CDlg_Channel : public QDialog {
    Q_OBJECT
public:
    explicit CDlg_Channel(CBrevDoc& doc, QWidget* parent = nullptr);
    bool empty() const { return empty_; }

private:
    bool empty_ = true;
};

}  // namespace quillet
