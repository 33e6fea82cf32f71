#pragma once
// The fill and gradient tools with the gradient panel, and the path panel with its tools: the
// commands that choose them, the panels, and the tools' mouse handlers in the registry.
#include <QObject>
#include <QPointer>

#include "view/qt/CDlg_GradientBucket.h"
#include "view/tools/FloodFill.h"
#include "view/tools/Gradient.h"
#include "view/tools/PathTools.h"

namespace quillet {

class CBrevAppShell;
class CDlg_AnchorLine;
class CMainFrame;

class FillPathCommands : public QObject {
    Q_OBJECT
public:
    explicit FillPathCommands(CBrevAppShell& shell);

    void install(CMainFrame& frame);

    // The gradient tool's command (1353): toggles the tool and its panel.
    void toggleGradient();
    // The path panel's command (1509): opens the panel with the add-points tool, or closes it.
    void togglePathPanel();
    void closePathPanel();
    // The panel's "영역선택" and "선긋기".
    void pathToSelection();
    void strokePath();

    CDlg_GradientBucket* gradientPanel() const { return gradientPanel_; }
    CDlg_AnchorLine* pathPanel() const;
    const GradientChoice& gradientChoice() const { return choice_; }

private:
    void chooseTool(ToolId tool);
    void applySliders();
    void setNoTool();

    CBrevAppShell& shell_;
    FillTool fill_;
    GradientChoice choice_;
    GradientTool gradient_;
    PathTool path_;
    QPointer<CDlg_GradientBucket> gradientPanel_;
};

}  // namespace quillet
