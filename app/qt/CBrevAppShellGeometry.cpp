// The menu "변형 및 꾸미기"'s geometry commands: flips, turns, the image-size, canvas-size and
// free-rotation dialogs. The document commands do the work; this file only asks.
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
namespace Cmd {
constexpr int FlipCanvasH = 1410;
constexpr int FlipCanvasV = 1411;
constexpr int FlipLayerH = 4220;
constexpr int FlipLayerV = 4219;
constexpr int RotateCanvasCw = 1491;
constexpr int RotateCanvasAcw = 1492;
constexpr int RotateCanvasHalf = 4222;
constexpr int RotateLayerCw = 4210;
constexpr int RotateLayerAcw = 4214;
constexpr int RotateLayerHalf = 4221;
constexpr int ImageSize = 1431;
constexpr int FreeRotate = 1415;
constexpr int CanvasSize = 1432;
}  // namespace Cmd

int resolutionOf(const CBrevDoc& doc) { return doc.Image().dpiX > 0 ? doc.Image().dpiX : 72; }
}  // namespace

void CBrevAppShell::registerGeometryCommands() {
    auto doc = [this](int id, bool (*run)(CBrevDoc&)) {
        registerDocumentCommand(id, [run](CBrevDoc& d) { run(d); });
    };
    doc(Cmd::FlipCanvasH, [](CBrevDoc& d) { return FlipCanvas(d, FlipAxis::Horizontal); });
    doc(Cmd::FlipCanvasV, [](CBrevDoc& d) { return FlipCanvas(d, FlipAxis::Vertical); });
    doc(Cmd::FlipLayerH, [](CBrevDoc& d) { return FlipLayer(d, FlipAxis::Horizontal); });
    doc(Cmd::FlipLayerV, [](CBrevDoc& d) { return FlipLayer(d, FlipAxis::Vertical); });
    doc(Cmd::RotateCanvasCw, [](CBrevDoc& d) { return RotateCanvas(d, QuarterTurn::Clockwise); });
    doc(Cmd::RotateCanvasAcw,
        [](CBrevDoc& d) { return RotateCanvas(d, QuarterTurn::Anticlockwise); });
    doc(Cmd::RotateCanvasHalf, [](CBrevDoc& d) { return RotateCanvas(d, QuarterTurn::Half); });
    doc(Cmd::RotateLayerCw, [](CBrevDoc& d) { return RotateLayer(d, QuarterTurn::Clockwise); });
    doc(Cmd::RotateLayerAcw,
        [](CBrevDoc& d) { return RotateLayer(d, QuarterTurn::Anticlockwise); });
    doc(Cmd::RotateLayerHalf, [](CBrevDoc& d) { return RotateLayer(d, QuarterTurn::Half); });
    registerDocumentCommand(Cmd::ImageSize, [this](CBrevDoc& d) { commandImageSize(d); });
    registerDocumentCommand(Cmd::CanvasSize, [this](CBrevDoc& d) { commandCanvasSize(d); });
    registerDocumentCommand(Cmd::FreeRotate, [this](CBrevDoc& d) { commandFreeRotate(d); });
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
