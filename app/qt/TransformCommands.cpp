#include "app/qt/TransformCommands.h"

#include <QDialog>

#include "app/CommandId.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CDlg_FreeTransform.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/DlgRotate.h"
#include "document/CBrevDoc.h"

namespace quillet {

namespace {

QString captionOf(ToolId mode) {
    switch (mode) {
        case ToolId::TransformSize:
            return QStringLiteral("자유변형(크기조정)");
        case ToolId::TransformDistort:
            return QStringLiteral("자유변형(왜곡)");
        default:
            return QStringLiteral("자유변형(원근)");
    }
}

}  // namespace

TransformCommands::TransformCommands(CBrevAppShell& shell) : shell_(shell) {}

void TransformCommands::install(CMainFrame& frame) {
    auto available = [this] {
        const CBrevDoc* doc = shell_.activeDocument();
        return doc && !doc->Busy();
    };
    for (ToolId mode :
         {ToolId::TransformSize, ToolId::TransformDistort, ToolId::TransformPerspective}) {
        frame.setCommandHandler(
            CommandOf(mode), [this, mode] { enter(mode); }, available);
        shell_.toolRegistry().add(mode, tool_);
    }
    frame.setCommandHandler(
        CommandOf(ToolId::FreeRotate),
        [this] {
            if (CBrevDoc* doc = shell_.activeDocument(); doc && !doc->Busy()) freeRotate(*doc);
        },
        available);
    frame.setPanelFactory(CMainFrame::Panel::FreeTransform, [this, &frame]() -> QWidget* {
        return new CDlg_FreeTransform([this] { ok(); }, [this] { cancel(); }, &frame);
    });
}

CDlg_FreeTransform* TransformCommands::panel() const {
    return qobject_cast<CDlg_FreeTransform*>(
        shell_.frame().panel(CMainFrame::Panel::FreeTransform));
}

void TransformCommands::enter(ToolId mode) {
    CMainFrame& frame = shell_.frame();
    ToolState& tools = shell_.tools();
    CBrevDoc* doc = shell_.activeDocument();
    // One transform at a time: the modes switch only on the document being transformed.
    if (!doc || (doc_ && doc_ != doc) || !EnterFreeTransform(*doc, tools, mode)) {
        frame.setPressedButton(CommandOf(tools.currentTool));
        return;
    }
    doc_ = doc;
    frame.setCurrentTool(mode);
    frame.showPanel(CMainFrame::Panel::FreeTransform);
    if (CDlg_FreeTransform* p = panel()) p->setModeCaption(captionOf(mode));
}

void TransformCommands::ok() {
    if (doc_) {
        CommitFreeTransform(*doc_, shell_.tools());
        // Applied at another zoom: the user was told, the panel stays for another try.
        if (doc_->FreeTransform().Active()) return;
    }
    closePanel();
}

void TransformCommands::cancel() {
    if (doc_) CancelFreeTransform(*doc_, shell_.tools());
    closePanel();
}

void TransformCommands::documentClosing(CBrevDoc& doc) {
    if (&doc != doc_) return;
    CancelFreeTransform(doc, shell_.tools());
    closePanel();
}

void TransformCommands::closePanel() {
    doc_ = nullptr;
    CMainFrame& frame = shell_.frame();
    frame.hidePanel(CMainFrame::Panel::FreeTransform);
    frame.setCurrentTool(shell_.tools().currentTool);
    frame.setPressedButton(CommandOf(shell_.tools().currentTool));
    frame.updateCommandStates();
}

void TransformCommands::freeRotate(CBrevDoc& doc) {
    CMainFrame& frame = shell_.frame();
    ToolState& tools = shell_.tools();
    if (doc_ || !EnterFreeRotate(doc, tools)) {
        frame.setPressedButton(CommandOf(tools.currentTool));
        return;
    }
    frame.setCurrentTool(ToolId::FreeRotate);
    DlgRotate dialog([&doc](double degrees) { SetFreeRotateAngle(doc, degrees, true); }, &frame);
    dialog.move(dialog.x(), frame.popupY());
    if (dialog.exec() == QDialog::Accepted) {
        SetFreeRotateAngle(doc, dialog.angle(), false);
        CommitFreeTransform(doc, tools);
    } else {
        CancelFreeTransform(doc, tools);
    }
    frame.setCurrentTool(tools.currentTool);
    frame.setPressedButton(CommandOf(tools.currentTool));
}

}  // namespace quillet
