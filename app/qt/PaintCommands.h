#pragma once
// The painting tools in the editor: their tool commands, the brush panel (1510) and the
// touch-deform panel, the brush button's picture, and the colour pick's foreground colour.
#include <QObject>
#include <QPointer>

#include "view/ToolId.h"
#include "view/qt/CDlg_TouchDeform.h"
#include "view/tools/PaintTools.h"

namespace quillet {

class CBrevAppShell;
class CDlg_SetBrush;
class CMainFrame;

class PaintCommands : public QObject {
    Q_OBJECT
public:
    explicit PaintCommands(CBrevAppShell& shell);
    ~PaintCommands() override;

    void install(CMainFrame& frame);
    PaintTools& tools() { return tools_; }
    CDlg_TouchDeform* touchDeformPanel() const { return touch_; }

private:
    void choose(ToolId id);
    // The brush button shows the soft or hard picture with the size written on it.
    void showBrushOnButton();

    CBrevAppShell& shell_;
    PaintTools tools_;
    QPointer<CDlg_TouchDeform> touch_;
};

}  // namespace quillet
