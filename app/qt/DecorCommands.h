#pragma once
// The decoration commands: the shadow effect, the line pattern, the photo frame and the
// calendar, each opening its dialog on the active document, and the speech balloon. The work
// is the core's; this checks that the frame allows the switch and holds the current tool while
// a dialog is open.
#include <QObject>

#include "app/CommandId.h"
#include "platform/qt/QtTextRasterizer.h"
#include "view/ToolId.h"
#include "view/ToolOperation.h"
#include "view/tools/UndoBrush.h"

namespace quillet {

class CBrevAppShell;
class CBrevDoc;
class CMainFrame;

// Also the undo brush's mouse handlers: each drag step paints the previous step back.
class DecorCommands : public QObject, public ToolOperation {
    Q_OBJECT
public:
    explicit DecorCommands(CBrevAppShell& shell);
    void install(CMainFrame& frame);

    void down(ToolEvent& event) override;
    void drag(ToolEvent& event) override;
    void up(ToolEvent& event) override;

private:
    void shadow(CBrevDoc& doc);
    void linePattern(CBrevDoc& doc);
    void photoFrame(CBrevDoc& doc);
    void calendar(CBrevDoc& doc);
    void speechBalloon(CBrevDoc& doc);
    void undoBrush(CBrevDoc& doc);
    void strokeTo(ToolEvent& event);
    // Makes `tool` current for the dialog's time; false when the frame refuses the switch.
    bool holdTool(ToolId tool);
    void releaseTool();
    uint32_t foreground() const;  // 0x00RRGGBB

    CBrevAppShell& shell_;
    CMainFrame* frame_ = nullptr;
    QtTextRasterizer rasterizer_;
    UndoBrush undoBrush_;
    int lastX_ = -1, lastRow_ = -1;  // the stroke's last point, layer column and storage row
};

}  // namespace quillet
