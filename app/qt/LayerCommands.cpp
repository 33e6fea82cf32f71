#include "app/qt/LayerCommands.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include "app/CBrevApp.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CMainFrame.h"
#include "document/CBrevDoc.h"
#include "document/LayerOps.h"
#include "document/qt/CDlg_Change_LayerName.h"
#include "document/qt/CDlg_Layer.h"

namespace quillet {

namespace {
QString toQString(std::u16string_view s) {
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}
}  // namespace

LayerCommands::LayerCommands(CBrevAppShell& shell) : shell_(shell) {}

LayerCommands::~LayerCommands() {
    if (panel_) panel_->setDocument(nullptr);
}

void LayerCommands::command(CMainFrame& frame, CommandId id, std::function<void(CBrevDoc&)> run) {
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

void LayerCommands::install(CMainFrame& frame) {
    command(frame, CommandId::AddLayer, [](CBrevDoc& d) { AddEmptyLayer(d); });
    command(frame, CommandId::DeleteLayer, [](CBrevDoc& d) { DeleteCurrentLayer(d); });
    command(frame, CommandId::DuplicateLayer,
            [this](CBrevDoc& d) { DuplicateCurrentLayer(d, clipboard_); });
    command(frame, CommandId::Copy, [this](CBrevDoc& d) { CopyToClipboard(d, clipboard_); });
    command(frame, CommandId::CopyImage,
            [this](CBrevDoc& d) { CopyPictureToClipboard(d, clipboard_); });
    command(frame, CommandId::Paste, [this](CBrevDoc& d) { PasteAsNewLayer(d, clipboard_); });
    command(frame, CommandId::MergeUp, [](CBrevDoc& d) { MergeUp(d); });
    command(frame, CommandId::MergeDown, [](CBrevDoc& d) { MergeDown(d); });
    command(frame, CommandId::Flatten, [](CBrevDoc& d) { FlattenLayers(d); });
    command(frame, CommandId::Rasterize, [](CBrevDoc& d) { RasterizeCurrentLayer(d); });
    command(frame, CommandId::RenameLayer, [this](CBrevDoc& d) { rename(d); });
    command(frame, CommandId::LayerDuplicateWindow,
            [this](CBrevDoc& d) { newPictureFromLayer(d); });

    frame.setPanelFactory(CMainFrame::Panel::LayerHistory, [this, &frame]() -> QWidget* {
        auto* panel = new CDlg_Layer(&frame);
        panel_ = panel;
        frame.addDockWidget(Qt::RightDockWidgetArea, panel);
        panel->setContextMenuFactory(
            [&frame](QWidget* parent) { return frame.createLayerListContextMenu(parent); });
        if (textEditor_) panel->setTextEditor(textEditor_);
        panel->setDocument(shell_.activeDocument());
        return panel;
    });
    connect(frame.mdiArea(), &QMdiArea::subWindowActivated, this,
            [this] { followActiveDocument(); });
}

CDlg_Layer* LayerCommands::panel() const { return panel_.data(); }

void LayerCommands::setTextEditor(std::function<void(CBrevDoc&, int)> editor) {
    textEditor_ = std::move(editor);
    if (panel_) panel_->setTextEditor(textEditor_);
}

void LayerCommands::followActiveDocument() {
    if (panel_) panel_->setDocument(shell_.activeDocument());
}

void LayerCommands::documentClosing(CBrevDoc& doc) {
    if (panel_ && panel_->document() == &doc) panel_->setDocument(nullptr);
}

void LayerCommands::rename(CBrevDoc& doc) {
    if (!doc.Layers().InList(doc.CurrentLayer())) return;
    const QString current = toQString(doc.Layers().layer(doc.CurrentLayer()).Name());
    std::optional<QString> chosen;
    if (chooseName_) {
        chosen = chooseName_(current);
    } else {
        CDlg_Change_LayerName dialog(current, &shell_.frame());
        if (dialog.exec() == QDialog::Accepted) chosen = dialog.name();
    }
    if (chosen) RenameCurrentLayer(doc, chosen->toStdU16String());
}

void LayerCommands::newPictureFromLayer(CBrevDoc& doc) {
    CBrevDoc& target = shell_.app().createDocument();
    if (!BuildDocumentFromLayer(doc, target, clipboard_,
                                shell_.app().counters().takeCopyNumber())) {
        shell_.app().closeDocument(target);
        return;
    }
    shell_.openWindow(target);
}

}  // namespace quillet
