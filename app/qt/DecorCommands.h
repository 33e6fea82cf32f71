#pragma once
// The decoration commands: the shadow effect, the line pattern, the photo frame and the
// calendar, each opening its dialog on the active document. The work is the core's; this
// checks that the frame allows the switch and holds the current tool while a dialog is open.
#include <QObject>

#include "app/CommandId.h"
#include "platform/qt/QtTextRasterizer.h"
#include "view/ToolId.h"

namespace quillet {

class CBrevAppShell;
class CBrevDoc;
class CMainFrame;

class DecorCommands : public QObject {
    Q_OBJECT
public:
    explicit DecorCommands(CBrevAppShell& shell);
    void install(CMainFrame& frame);

private:
    void shadow(CBrevDoc& doc);
    void linePattern(CBrevDoc& doc);
    void photoFrame(CBrevDoc& doc);
    void calendar(CBrevDoc& doc);
    // Makes `tool` current for the dialog's time; false when the frame refuses the switch.
    bool holdTool(ToolId tool);
    void releaseTool();
    uint32_t foreground() const;  // 0x00RRGGBB

    CBrevAppShell& shell_;
    CMainFrame* frame_ = nullptr;
    QtTextRasterizer rasterizer_;
};

}  // namespace quillet
