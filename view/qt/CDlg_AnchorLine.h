#pragma once
// The path panel: the four guide-point tools, "영역선택" (the closed path becomes the
// selection), "선긋기" (a stroke along the path) and "닫기". The buttons only report; the
// commands run in the application.
#include <QDialog>

#include "view/ToolId.h"

class QPushButton;

namespace quillet {

class CDlg_AnchorLine : public QDialog {
    Q_OBJECT
public:
    explicit CDlg_AnchorLine(QWidget* parent = nullptr);

    QPushButton* toolButton(ToolId tool) const;
    QPushButton* selectionButton() const { return selection_; }
    QPushButton* strokeButton() const { return stroke_; }
    QPushButton* closeButton() const { return close_; }
    // Shows the current path tool's button down.
    void showTool(ToolId tool);

signals:
    void toolChosen(ToolId tool);
    void selectionRequested();
    void strokeRequested();
    void closeRequested();

private:
    QPushButton* tools_[4] = {};
    QPushButton* selection_ = nullptr;
    QPushButton* stroke_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace quillet
