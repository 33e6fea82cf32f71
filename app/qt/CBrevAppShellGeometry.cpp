// The menu "변형 및 꾸미기"'s geometry commands: flips, turns, the image-size, canvas-size and
// free-rotation dialogs. The document commands do the work; this file only asks.
#include "app/CommandId.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CDlg_CanvasSize.h"
#include "app/qt/CDlg_ImageSize.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/DlgRotate.h"
#include "document/CBrevDoc.h"
#include "document/GeometryCommands.h"
#include "document/GeometryEdit.h"

namespace quillet {

namespace {

int resolutionOf(const CBrevDoc& doc) { return doc.Image().dpiX > 0 ? doc.Image().dpiX : 72; }
}  // namespace

void CBrevAppShell::registerGeometryCommands() {
    auto doc = [this](CommandId id, bool (*run)(CBrevDoc&)) {
        registerDocumentCommand(id, [run](CBrevDoc& d) { run(d); });
    };
    doc(CommandId::CanvasFlipHorizontal,
        [](CBrevDoc& d) { return FlipCanvas(d, FlipAxis::Horizontal); });
    doc(CommandId::CanvasFlipVertical,
        [](CBrevDoc& d) { return FlipCanvas(d, FlipAxis::Vertical); });
    doc(CommandId::LayerFlipHorizontal,
        [](CBrevDoc& d) { return FlipLayer(d, FlipAxis::Horizontal); });
    doc(CommandId::LayerFlipVertical, [](CBrevDoc& d) { return FlipLayer(d, FlipAxis::Vertical); });
    doc(CommandId::CanvasRotate90Clockwise,
        [](CBrevDoc& d) { return RotateCanvas(d, QuarterTurn::Clockwise); });
    doc(CommandId::CanvasRotate90Anticlockwise,
        [](CBrevDoc& d) { return RotateCanvas(d, QuarterTurn::Anticlockwise); });
    doc(CommandId::CanvasRotate180, [](CBrevDoc& d) { return RotateCanvas(d, QuarterTurn::Half); });
    doc(CommandId::LayerRotate90Clockwise,
        [](CBrevDoc& d) { return RotateLayer(d, QuarterTurn::Clockwise); });
    doc(CommandId::LayerRotate90Anticlockwise,
        [](CBrevDoc& d) { return RotateLayer(d, QuarterTurn::Anticlockwise); });
    doc(CommandId::LayerRotate180, [](CBrevDoc& d) { return RotateLayer(d, QuarterTurn::Half); });
    registerDocumentCommand(CommandId::ImageSize, [this](CBrevDoc& d) { commandImageSize(d); });
    registerDocumentCommand(CommandId::CanvasSize, [this](CBrevDoc& d) { commandCanvasSize(d); });
    registerDocumentCommand(CommandId::FreeRotate, [this](CBrevDoc& d) { commandFreeRotate(d); });
}

void CBrevAppShell::commandImageSize(CBrevDoc& doc) {
    const LayerTable& t = doc.Layers();
    CDlg_ImageSize dialog(t.header.canvasWidth, t.header.canvasHeight, resolutionOf(doc),
                          frame_.get());
    dialog.move(dialog.x(), frame_->popupY());
    if (dialog.exec() != QDialog::Accepted) return;
    const ImageSizeFields& f = dialog.fields();
    std::vector<CBrevDoc*> targets{&doc};
    if (dialog.allDocuments()) targets = app_->documents();
    for (CBrevDoc* d : targets) {
        if (d->Layers().bottom < 0) continue;
        ResampleDocument(*d, f.width(), f.height());
        d->Image().SetHorizontalDpi(f.resolution());
        d->Image().SetVerticalDpi(f.resolution());
    }
}

void CBrevAppShell::commandCanvasSize(CBrevDoc& doc) {
    const LayerTable& t = doc.Layers();
    CDlg_CanvasSize dialog(t.header.canvasWidth, t.header.canvasHeight, frame_.get());
    dialog.move(dialog.x(), frame_->popupY());
    if (dialog.exec() != QDialog::Accepted) return;
    const CanvasSizeFields& f = dialog.fields();
    ResizeCanvas(doc, f.width(), f.height(), f.anchor());
}

void CBrevAppShell::commandFreeRotate(CBrevDoc& doc) {
    // A text layer is refused before the dialog opens.
    const int slot = geometry::LayerAllowed(doc, -1);
    if (slot < 0) return;
    // The preview starts again from the layer as it was when the dialog opened.
    doc.CopyToPreview(slot);
    DlgRotate dialog([&doc, slot](double degrees) { PreviewLayerRotation(doc, degrees, slot); },
                     frame_.get());
    dialog.move(dialog.x(), frame_->popupY());
    const bool ok = dialog.exec() == QDialog::Accepted;
    doc.RestoreFromPreview(slot);
    doc.NotifyViewsUpdate();
    if (ok) RotateLayerFree(doc, dialog.angle(), slot);
}

}  // namespace quillet
