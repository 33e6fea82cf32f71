#include "app/qt/SelectionCommands.h"

#include "app/CBrevApp.h"
#include "app/ToolOptions.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CDlg_ColourRange.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/ToolOptionBar.h"
#include "document/CBrevDoc.h"
#include "document/LayerOps.h"
#include "platform/UserPort.h"
#include "view/ToolChoice.h"
#include "view/tools/SelectionCut.h"

namespace quillet {

SelectionCommands::SelectionCommands(CBrevAppShell& shell) : shell_(shell) {}

SelectionCommands::~SelectionCommands() = default;

CDlg_ColourRange* SelectionCommands::colourRangePanel() const { return colourRange_.data(); }

void SelectionCommands::command(CMainFrame& frame, CommandId id,
                                std::function<void(CBrevDoc&)> run) {
    frame.setCommandHandler(
        id,
        [this, &frame, run = std::move(run)] {
            if (CBrevDoc* doc = shell_.activeDocument()) {
                run(*doc);
                frame.updateCommandStates();
            }
        },
        [this] { return shell_.activeDocument() != nullptr; });
}

void SelectionCommands::install(CMainFrame& frame) {
    using enum CommandId;
    for (ToolId id : {ToolId::RectSelect, ToolId::CircleSelect, ToolId::FreehandSelect,
                      ToolId::PolygonSelect, ToolId::MagicWand})
        command(frame, CommandOf(id),
                [this, &frame, id](CBrevDoc& d) { chooseSelectionTool(frame, d, id); });
    command(frame, ColourRange, [this, &frame](CBrevDoc& d) { startColourRange(frame, d); });
    command(frame, InvertSelection, [](CBrevDoc& d) { ::quillet::InvertSelection(d); });
    // Deselect is on while there is something to drop: a selection, a floating layer or a tool.
    frame.setCommandHandler(
        Deselect,
        [this, &frame] {
            if (CBrevDoc* d = shell_.activeDocument()) DropSelection(*d);
            shell_.tools().currentTool = ToolId::None;
            frame.setCurrentTool(ToolId::None);
            frame.setPressedButton(CommandId::None);
            frame.updateCommandStates();
        },
        [this] {
            const CBrevDoc* d = shell_.activeDocument();
            return d && (d->SelectionActive() || d->ViewShared().selectionShown ||
                         d->Layers().FirstFloatingLayer() >= 0 ||
                         shell_.tools().currentTool != ToolId::None);
        });
    command(frame, Cut, [this](CBrevDoc& d) {
        ToolState& t = shell_.tools();
        t.previousTool = t.currentTool;
        CutSelection(d, clipboard_, t.feather);
    });
    command(frame, CutToNewDocument, [this](CBrevDoc& d) { cutOutToNewPicture(d); });
    tools_.registerIn(shell_.toolRegistry());
    tools_.colourRange.picked = [this](CBrevDoc&, const quillet::ColourRangePick& pick) {
        if (colourRange_) colourRange_->showPick(pick);
    };
    if (ToolOptionBar* bar = frame.optionBar())
        connect(bar, &ToolOptionBar::valueChanged, this,
                [this](int which, int value) { optionValueChanged(which, value); });
}

void SelectionCommands::chooseSelectionTool(CMainFrame& frame, CBrevDoc& doc, ToolId id) {
    ToolState& t = shell_.tools();
    const ToolId before = t.currentTool;
    const ToolChoice choice = ChooseTool(t, id, &doc);
    if (choice == ToolChoice::Refused) {
        frame.setPressedButton(CommandOf(before));
        return;
    }
    if (choice == ToolChoice::AlreadyCurrent) return;
    DropSelection(doc);
    // Choosing the wand starts from nothing selected.
    if (id == ToolId::MagicWand && AlignSelectionMask(doc))
        FillSelectionMask(doc, MaskValue::Unselected);
    frame.setCurrentTool(t.currentTool);
    frame.setPreviousTool(t.previousTool);
    if (ToolOptionBar* bar = frame.optionBar())
        if (const std::optional<OptionSliders> s = optionSlidersForTool(id, t.feather))
            bar->apply(*s);
}

void SelectionCommands::startColourRange(CMainFrame& frame, CBrevDoc& doc) {
    const int slot = doc.CurrentLayer();
    if (doc.Layers().InList(slot)) doc.RestoreFromSnapshot(slot);
    DropSelection(doc);
    ToolState& t = shell_.tools();
    t.currentTool = t.previousTool = ToolId::ColourRangePick;
    frame.setCurrentTool(ToolId::ColourRangePick);
    frame.setPreviousTool(ToolId::ColourRangePick);
    if (AlignSelectionMask(doc)) FillSelectionMask(doc, MaskValue::Unselected);
    if (!colourRange_) {
        colourRange_ = new CDlg_ColourRange(&frame);
        colourRange_->setShownColour(shell_.app().settings().pathSegmentColour);
        connect(colourRange_, &CDlg_ColourRange::pickRequested, this, [this, &frame](bool adding) {
            tools_.colourRange.add = adding;
            if (frame.requestToolSwitch(CommandOf(ToolId::ColourRangePick))) {
                shell_.tools().currentTool = ToolId::ColourRangePick;
                frame.setCurrentTool(ToolId::ColourRangePick);
            }
        });
        connect(colourRange_, &CDlg_ColourRange::toleranceChanged, this,
                [this](int v) { tools_.colourRange.tolerance = v; });
    }
    tools_.colourRange.tolerance = colourRange_->tolerance();
    tools_.colourRange.add = colourRange_->adding();
    colourRange_->show();
    colourRange_->raise();
}

void SelectionCommands::cutOutToNewPicture(CBrevDoc& doc) {
    if (!doc.ViewShared().selectionShown) {
        doc.User().showMessage(LayerOpsText::SelectFirst, MessageIcon::Warning);
        return;
    }
    CBrevDoc& target = shell_.app().createDocument();
    if (!BuildDocumentFromSelection(doc, target, clipboard_)) {
        shell_.app().closeDocument(target);
        return;
    }
    shell_.openWindow(target);
}

void SelectionCommands::optionValueChanged(int which, int value) {
    ToolState& t = shell_.tools();
    if (!IsSelectionTool(t.currentTool)) return;
    const bool wand = t.currentTool == ToolId::MagicWand;
    if (wand && which == 0)
        t.slider1.value = value;  // tolerance
    else if (wand == (which == 1))
        t.feather = value;
}

}  // namespace quillet
