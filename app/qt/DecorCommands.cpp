#include "app/qt/DecorCommands.h"

#include "app/CBrevApp.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CDlg_Guid_UndoBrush.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/PaintCommands.h"
#include "document/CBrevDoc.h"
#include "view/FrameSettings.h"
#include "view/LayerGrowth.h"
#include "view/ToolChoice.h"
#include "view/ToolState.h"
#include "view/qt/CDlg_ImgFrame.h"
#include "view/qt/CDlg_LayerEffect.h"
#include "view/qt/CDlg_Pattern_Layer.h"
#include "view/qt/CDlg_PutCalendar.h"

namespace quillet {

namespace {
using C = CommandId;
// The settings keep colours as 0x00BBGGRR; layers as 0x00RRGGBB.
uint32_t SwapRedBlue(uint32_t c) { return (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF); }
// Shadows start black.
constexpr uint32_t kShadowColour = 0x000000;
}  // namespace

DecorCommands::DecorCommands(CBrevAppShell& shell) : shell_(shell) {}

void DecorCommands::install(CMainFrame& frame) {
    frame_ = &frame;
    auto onDocument = [this, &frame](CommandId id, void (DecorCommands::*run)(CBrevDoc&)) {
        frame.setCommandHandler(
            id,
            [this, run] {
                if (CBrevDoc* doc = shell_.activeDocument()) (this->*run)(*doc);
                frame_->updateCommandStates();
            },
            [this] { return shell_.activeDocument() != nullptr; });
    };
    onDocument(C::ShadowEffect, &DecorCommands::shadow);
    onDocument(C::CombPattern, &DecorCommands::linePattern);
    onDocument(C::PhotoFrame, &DecorCommands::photoFrame);
    onDocument(C::Calendar, &DecorCommands::calendar);
    onDocument(C::SpeechBalloon, &DecorCommands::speechBalloon);
    onDocument(C::UndoBrush, &DecorCommands::undoBrush);
    shell_.toolRegistry().add(ToolId::UndoBrush, *this);
}

void DecorCommands::speechBalloon(CBrevDoc& doc) { shell_.paint().tools().PutSpeechBalloon(doc); }

void DecorCommands::undoBrush(CBrevDoc& doc) {
    FrameSettings& settings = shell_.app().settings();
    if (settings.undoBrushGuide) {
        CDlg_Guid_UndoBrush guide(frame_);
        guide.exec();
        settings.undoBrushGuide = guide.showAgain();
    }
    // Without a usable previous step nothing happens (a changed layer is reported).
    if (!undoBrush_.Begin(doc)) return;
    if (ChooseTool(shell_.tools(), ToolId::UndoBrush, &doc) == ToolChoice::Refused) {
        undoBrush_.Release();
        frame_->setPressedButton(CommandOf(shell_.tools().currentTool));
        return;
    }
    frame_->setCurrentTool(shell_.tools().currentTool);
}

void DecorCommands::strokeTo(ToolEvent& event) {
    CBrevDoc& doc = event.doc;
    const LayerTable& t = doc.Layers();
    if (!t.InList(doc.CurrentLayer())) return;
    const LayerPoint p = ToLayer(t.layer(doc.CurrentLayer()), CanvasOf(event.zoomed, doc.Zoom()));
    const FrameSettings& f = shell_.app().settings();
    const BrushStamp stamp(f.brushThickness, f.brushKind == FrameSettings::Brush);
    if (lastX_ < 0) {
        lastX_ = p.x;
        lastRow_ = p.row;
    }
    undoBrush_.Stroke(doc, stamp, lastX_, lastRow_, p.x, p.row);
    lastX_ = p.x;
    lastRow_ = p.row;
}

void DecorCommands::down(ToolEvent& event) {
    lastX_ = lastRow_ = -1;
    strokeTo(event);
}

void DecorCommands::drag(ToolEvent& event) { strokeTo(event); }

void DecorCommands::up(ToolEvent& event) {
    undoBrush_.Finish(event.doc);
    lastX_ = lastRow_ = -1;
}

bool DecorCommands::holdTool(ToolId tool) {
    ToolState& tools = shell_.tools();
    if (!FrameAllowsTool(tools, tool)) return false;
    tools.currentTool = tool;
    frame_->setCurrentTool(tool);
    return true;
}

void DecorCommands::releaseTool() {
    shell_.tools().currentTool = ToolId::None;
    frame_->setCurrentTool(ToolId::None);
    frame_->setPressedButton(CommandOf(ToolId::None));
}

uint32_t DecorCommands::foreground() const {
    return SwapRedBlue(shell_.app().settings().foreground);
}

void DecorCommands::shadow(CBrevDoc& doc) {
    // The open panels refuse it as they refuse a switch away from their tools.
    if (!FrameAllowsTool(shell_.tools(), ToolId::None)) return;
    if (BeginShadow(doc) < 0) return;
    CDlg_LayerEffect dialog(doc, kShadowColour, frame_);
    dialog.move(768, frame_->popupY());
    dialog.exec();
}

void DecorCommands::linePattern(CBrevDoc& doc) {
    if (!holdTool(ToolId::LinePattern)) return;
    CDlg_Pattern_Layer dialog(doc, foreground(), frame_);
    dialog.move(dialog.x(), frame_->popupY());
    dialog.exec();
    releaseTool();
}

void DecorCommands::photoFrame(CBrevDoc& doc) {
    if (!holdTool(ToolId::PhotoFrame)) return;
    CDlg_ImgFrame dialog(doc, frame_);
    dialog.move(dialog.x(), frame_->popupY());
    dialog.exec();
    releaseTool();
}

void DecorCommands::calendar(CBrevDoc& doc) {
    if (!holdTool(ToolId::Calendar)) return;
    const FrameSettings& f = shell_.app().settings();
    TextSettings font;
    font.face = f.secondFontName;
    font.size = StoredTextSize(f.fontSize);
    font.colour = SwapRedBlue(f.textColour);
    CDlg_PutCalendar dialog(font, frame_);
    if (dialog.exec() == QDialog::Accepted) AddCalendarLayer(doc, rasterizer_, dialog.request());
    releaseTool();
}

}  // namespace quillet
