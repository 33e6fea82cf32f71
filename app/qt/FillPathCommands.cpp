#include "app/qt/FillPathCommands.h"

#include "app/CBrevApp.h"
#include "app/ToolOptions.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/ToolOptionBar.h"
#include "document/CBrevDoc.h"
#include "platform/UserPort.h"
#include "view/ToolChoice.h"
#include "view/qt/CBrevView.h"
#include "view/qt/CDlg_AnchorLine.h"
#include "view/qt/CDlg_GradientBucket.h"
#include "view/tools/PathCommit.h"

namespace quillet {

namespace {
constexpr int kStrokeLength = 100;  // "선길이" when the path panel opens
}

FillPathCommands::FillPathCommands(CBrevAppShell& shell)
    : shell_(shell), fill_(shell.app().settings()), gradient_(shell.app().settings(), choice_) {}

void FillPathCommands::install(CMainFrame& frame) {
    auto hasDocument = [this] { return shell_.activeDocument() != nullptr; };
    frame.setCommandHandler(
        CommandOf(ToolId::Fill), [this] { chooseTool(ToolId::Fill); }, hasDocument);
    frame.setCommandHandler(
        CommandOf(ToolId::Gradient), [this] { toggleGradient(); }, hasDocument);
    frame.setCommandHandler(
        CommandId::PathPanel, [this] { togglePathPanel(); }, hasDocument);
    for (ToolId tool : {ToolId::PathPlace, ToolId::PathMove, ToolId::PathInsert, ToolId::PathDelete,
                        ToolId::PathOther}) {
        frame.setCommandHandler(
            CommandOf(tool), [this, tool] { chooseTool(tool); }, hasDocument);
        if (tool != ToolId::PathOther) shell_.toolRegistry().add(tool, path_);
    }
    shell_.toolRegistry().add(ToolId::Fill, fill_);
    shell_.toolRegistry().add(ToolId::Gradient, gradient_);

    frame.setPanelFactory(CMainFrame::Panel::AnchorLine, [this, &frame]() -> QWidget* {
        auto* panel = new CDlg_AnchorLine(&frame);
        connect(panel, &CDlg_AnchorLine::toolChosen, this,
                [&frame](ToolId tool) { frame.dispatchCommand(CommandOf(tool)); });
        connect(panel, &CDlg_AnchorLine::selectionRequested, this, [this] { pathToSelection(); });
        connect(panel, &CDlg_AnchorLine::strokeRequested, this, [this] { strokePath(); });
        connect(panel, &CDlg_AnchorLine::closeRequested, this, [this] { closePathPanel(); });
        return panel;
    });
    // The sliders' values reach the tools; the feather is the frame's for every tool.
    connect(frame.optionBar(), &ToolOptionBar::valueChanged, this, [this](int which, int value) {
        ToolState& s = shell_.tools();
        OptionSlider& slider = which == 0 ? s.slider1 : s.slider2;
        slider.value = value;
        if (slider.label == "경계퍼짐") s.feather = value;
    });
}

CDlg_AnchorLine* FillPathCommands::pathPanel() const {
    return qobject_cast<CDlg_AnchorLine*>(shell_.frame().panel(CMainFrame::Panel::AnchorLine));
}

void FillPathCommands::applySliders() {
    const ToolState& s = shell_.tools();
    auto setting = [](const OptionSlider& o) {
        return o.enabled ? OptionSliderSetting{true, o.label, o.value, o.minimum, o.maximum}
                         : OptionSliderSetting{false, kOptionIdleText, 0, 0, 0};
    };
    OptionSliders sliders{setting(s.slider1), setting(s.slider2)};
    // The second slider shows the feather's range although only the first takes one.
    if (sliders.second.enabled) sliders.second.maximum = kFeatherMaximum;
    shell_.frame().optionBar()->apply(sliders);
}

void FillPathCommands::chooseTool(ToolId tool) {
    CMainFrame& frame = shell_.frame();
    ToolState& s = shell_.tools();
    const ToolId before = s.currentTool;
    const ToolChoice choice = ChooseTool(s, tool, shell_.activeDocument());
    if (choice == ToolChoice::Refused) {
        frame.setPressedButton(CommandOf(s.currentTool));
        return;
    }
    if (IsPathTool(tool)) {
        if (choice == ToolChoice::Chosen) s.previousTool = before;
        // The path keeps the stroke length in the first slider while the panel is open.
        s.slider1 = {true, "선길이", kStrokeLength, 1, 100};
        if (CDlg_AnchorLine* panel = pathPanel()) panel->showTool(tool);
    }
    frame.setCurrentTool(s.currentTool);
    frame.setPreviousTool(s.previousTool);
    applySliders();
}

void FillPathCommands::setNoTool() {
    ToolState& s = shell_.tools();
    s.currentTool = ToolId::None;
    s.slider1 = {};
    s.slider2 = {};
    shell_.frame().setCurrentTool(ToolId::None);
    shell_.frame().setPressedButton(CommandId::None);
    applySliders();
}

void FillPathCommands::toggleGradient() {
    CMainFrame& frame = shell_.frame();
    ToolState& s = shell_.tools();
    if (s.currentTool == ToolId::Gradient) {
        if (gradientPanel_) gradientPanel_->hide();
        setNoTool();
        return;
    }
    const ToolId before = s.currentTool;
    if (ChooseTool(s, ToolId::Gradient, shell_.activeDocument()) != ToolChoice::Chosen) {
        frame.setPressedButton(CommandOf(s.currentTool));
        return;
    }
    s.previousTool = before;
    frame.setCurrentTool(s.currentTool);
    frame.setPreviousTool(s.previousTool);
    applySliders();
    if (!gradientPanel_) {
        gradientPanel_ = new CDlg_GradientBucket(
            choice_,
            [this] {
                if (gradientPanel_) gradientPanel_->hide();
                setNoTool();
            },
            &frame);
        // The left edge of the screen, level with the lower part of the main tool bar.
        gradientPanel_->move(0, frame.popupY());
    }
    gradientPanel_->show();
}

void FillPathCommands::togglePathPanel() {
    CMainFrame& frame = shell_.frame();
    ToolState& s = shell_.tools();
    if (frame.isPanelVisible(CMainFrame::Panel::AnchorLine)) {
        closePathPanel();
        return;
    }
    CBrevDoc* doc = shell_.activeDocument();
    if (!doc) return;
    GuidePath& path = doc->ViewShared().path;
    if (!path.Empty()) {
        if (shell_.user().ask(kRemoveWorkedPath, Buttons::OkCancel) != Answer::Ok) return;
        path.Clear();
    }
    if (CBrevView* view = shell_.activeView()) view->state().DropSelection();
    s.previousTool = s.currentTool;
    frame.showPanel(CMainFrame::Panel::AnchorLine);
    s.pathPanelOpen = true;
    chooseTool(ToolId::PathPlace);
    doc->NotifyViewsUpdate();
}

// Closing keeps the guide points until the panel opens again and the user lets them go.
void FillPathCommands::closePathPanel() {
    shell_.frame().hidePanel(CMainFrame::Panel::AnchorLine);
    shell_.tools().pathPanelOpen = false;
    setNoTool();
    if (CBrevDoc* doc = shell_.activeDocument()) doc->NotifyViewsUpdate();
}

void FillPathCommands::pathToSelection() {
    CBrevDoc* doc = shell_.activeDocument();
    ToolState& s = shell_.tools();
    if (!doc || !FrameAllowsTool(s, ToolId::PolygonSelect)) return;
    if (!PathToSelection(*doc)) return;
    shell_.frame().hidePanel(CMainFrame::Panel::AnchorLine);
    s.pathPanelOpen = false;
    s.previousTool = s.currentTool;
    s.currentTool = ToolId::PolygonSelect;
    s.selectionKind = SelectionKind::Polygon;
    shell_.frame().setCurrentTool(ToolId::PolygonSelect);
    shell_.frame().setPressedButton(CommandOf(ToolId::PolygonSelect));
    if (CBrevView* view = shell_.activeView()) view->state().Animation().start();
}

void FillPathCommands::strokePath() {
    CBrevDoc* doc = shell_.activeDocument();
    if (!doc) return;
    const FrameSettings& f = shell_.app().settings();
    const ToolState& s = shell_.tools();
    const int length = s.slider1.label == "선길이" ? s.slider1.value : kStrokeLength;
    if (CBrevView* view = shell_.activeView()) view->state().DropSelection();
    StrokePath(*doc, {length, f.brushThickness, f.brushKind == FrameSettings::Brush,
                      LayerColourOf(f.foreground)});
    closePathPanel();
    shell_.frame().updateCommandStates();
}

}  // namespace quillet
