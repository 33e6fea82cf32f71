#pragma once
// The free-transform modes (4250, 4251, 4252) with their panel and mouse handlers, and free
// rotate (1415) with its angle dialog. The core does the work (view/tools/FreeTransformTool.h);
// this only asks and shows.
#include <QObject>
#include <QPointer>

#include "view/ToolId.h"
#include "view/tools/FreeTransformTool.h"

namespace quillet {

class CBrevAppShell;
class CBrevDoc;
class CDlg_FreeTransform;
class CMainFrame;

class TransformCommands : public QObject {
    Q_OBJECT
public:
    explicit TransformCommands(CBrevAppShell& shell);

    void install(CMainFrame& frame);
    // The panel's buttons.
    void ok();
    void cancel();
    // A closing document takes its transform with it.
    void documentClosing(CBrevDoc& doc);
    CDlg_FreeTransform* panel() const;

private:
    void enter(ToolId mode);
    void freeRotate(CBrevDoc& doc);
    void closePanel();

    CBrevAppShell& shell_;
    FreeTransformTool tool_;
    CBrevDoc* doc_ = nullptr;  // the document whose layer the panel transforms
};

}  // namespace quillet
