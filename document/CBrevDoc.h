#pragma once
// One open picture: its layer table with the snapshot and preview copies, the image object of
// record, the current layer, the working copy tools draw into, and the document's flags.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/DocViewState.h"
#include "document/DocumentObserver.h"
#include "document/FreeTransformState.h"
#include "document/LayerTable.h"
#include "document/compositor/Compositor.h"
#include "document/journal/UndoStore.h"
#include "image/RaViru.h"
#include "image/effects/Rand15.h"

namespace quillet {

class UserPort;

// Shown when an operation that needs pixels meets a text layer.
inline constexpr const char* kTextLayerRefused =
    "현재는 [Text:글] 레이어. \n\r레이어창에서 다른 레이어 선택";

class CBrevDoc {
public:
    static constexpr int kFileNameChars = 119;
    static constexpr int kOutlineRestartMs = 100;

    // `user` receives the document's messages; `documentNumber` keeps journal files apart.
    explicit CBrevDoc(UserPort& user, int documentNumber = 1);
    CBrevDoc(const CBrevDoc&) = delete;
    CBrevDoc& operator=(const CBrevDoc&) = delete;

    // The three tables.
    LayerTable& Layers() { return *current_; }
    const LayerTable& Layers() const { return *current_; }
    LayerTable& Snapshot() { return *snapshot_; }
    const LayerTable& Snapshot() const { return *snapshot_; }
    LayerTable& Preview() { return *preview_; }
    const LayerTable& Preview() const { return *preview_; }

    RaViru& Image() { return image_; }
    const RaViru& Image() const { return image_; }
    UserPort& User() { return user_; }
    int DocumentNumber() const { return documentNumber_; }

    int CurrentLayer() const { return currentLayer_; }
    // Sets the current index without the checks and notifications of SelectLayer (journal
    // replay and readers that rebuild the list).
    void SetCurrentLayerIndex(int slot) { currentLayer_ = slot; }
    bool SelectLayer(int slot);

    // Create layer on the current table (image palette and selection flag from the document);
    // reallocates the working copy to the new layer's sizes.
    bool CreateLayer(const CreateLayerArgs& args);
    // Lowest free slot for a new layer; with all 40 used, tells the user and gives -1.
    int FreeSlotForNewLayer();

    // Copy rule between the tables (see LayerTable::CopyLayerFrom).
    void CopyToSnapshot(int slot) { snapshot_->CopyLayerFrom(*current_, slot); }
    void RestoreFromSnapshot(int slot) { current_->CopyLayerFrom(*snapshot_, slot); }
    void CopyToPreview(int slot) { preview_->CopyLayerFrom(*current_, slot); }
    void RestoreFromPreview(int slot) { current_->CopyLayerFrom(*preview_, slot); }
    void CopyAllToSnapshot() { snapshot_->CopyAllUsedFrom(*current_); }

    // Working copy: one layer's pixel buffer and alpha plane. After create layer it holds pixels
    // 255 and alpha 0 at the new layer's sizes, made when first asked for.
    PlaneBuffer& WorkingPixels() {
        MakePendingWorkingCopy();
        return workingPixels_;
    }
    PlaneBuffer& WorkingAlpha() {
        MakePendingWorkingCopy();
        return workingAlpha_;
    }
    // Sizes the working copy for a layer and fills it from the layer's planes (shared with
    // them until either side writes).
    bool PrepareWorkingCopy(int slot);
    // Copies the working copy into the layer; fails when the sizes differ.
    bool CommitWorkingCopy(int slot);
    void ReleaseWorkingCopy();
    // The working copy's alpha size, made or not; and a fresh working copy as create layer
    // leaves it, for a document rebuilt from its recorded parts.
    uint32_t WorkingPlaneSize() const {
        return workingPending_ ? pendingPlaneSize_ : uint32_t(workingAlpha_.size());
    }
    void ResetWorkingCopy(uint32_t pixelSize, uint32_t planeSize) {
        SetPendingWorkingCopy(pixelSize, planeSize);
    }

    // Flat-image buffer: the picture composed at full size for saving, 4 bytes per pixel.
    std::vector<uint8_t>& FlatImage() { return flatImage_; }
    const std::vector<uint8_t>& FlatImage() const { return flatImage_; }

    // Composition without waiting for a paint.
    Image32 ComposeDisplay(const DisplayRequest& request, int threads = 1) const {
        return Compositor::ComposeDisplay(*current_, request, threads);
    }
    // Fills the flat-image buffer with the visible layers at full size, bottom row first.
    void ComposeForSave();
    // Composes `count` layers from `startSlot` (all when count <= 0) at full size and writes the
    // result into the start layer, resized to the canvas at (0, 0). Flatten and merge use it.
    bool ComposeIntoLayer(int startSlot, int count);

    // File name (UTF-16, at most 119 characters).
    const std::u16string& FileName() const { return fileName_; }
    void SetFileName(std::u16string_view name);

    bool SelectionActive() const { return selectionActive_; }
    void SetSelectionActive(bool on) { selectionActive_ = on; }
    bool Modified() const { return modified_; }
    void SetModified(bool on);
    bool Busy() const { return busy_; }
    void SetBusy(bool on) { busy_ = on; }

    double Zoom() const { return zoom_; }
    void SetZoom(double zoom);
    // Zoom anchor, tool anchors and display flags shared by the document's windows.
    DocViewState& ViewShared() { return viewShared_; }
    const DocViewState& ViewShared() const { return viewShared_; }

    void AddObserver(DocumentObserver* observer);
    void RemoveObserver(DocumentObserver* observer);
    void NotifyViewsUpdate();
    // Canvas columns left..right−1, rows top..bottom−1 (from the canvas top) changed.
    void NotifyAreaChanged(int left, int top, int right, int bottom);
    void NotifyLayerListChanged();

    // Frees every buffer of the three tables and the image object.
    void Close();

    // The journal (undo/redo history); its files carry the document number.
    UndoStore& Journal() { return *journal_; }
    const UndoStore& Journal() const { return *journal_; }
    // Every operation records a step after its change; layer -1 means the current layer.
    bool RecordStep(std::u16string_view label, StepKind kind, int layer = -1,
                    const StepExtras& extras = {}) {
        return journal_->RecordStep(label, kind, layer, extras);
    }
    bool Undo() { return journal_->Undo(); }
    bool Redo() { return journal_->Redo(); }
    // The random source of the random filters: one per document, seedable so a run repeats.
    Rand15& Random() { return random_; }
    // The hand transform of a layer while its panel is open.
    FreeTransformState& FreeTransform() { return freeTransform_; }
    const FreeTransformState& FreeTransform() const { return freeTransform_; }

    // Period 0 stops the selection outline animation.
    void NotifySelectionOutlineTimer(int milliseconds);

private:
    UserPort& user_;
    int documentNumber_;
    // Tables live on the heap: each is 40 slots of 848-byte records plus their buffers.
    std::unique_ptr<LayerTable> current_;
    std::unique_ptr<LayerTable> snapshot_;
    std::unique_ptr<LayerTable> preview_;
    RaViru image_;
    int currentLayer_ = -1;
    std::u16string fileName_;
    bool selectionActive_ = false;
    bool modified_ = false;
    bool busy_ = false;
    std::vector<uint8_t> flatImage_;
    PlaneBuffer workingPixels_;
    PlaneBuffer workingAlpha_;
    // Sizes of a working copy that create layer asked for and nobody has used yet.
    void SetPendingWorkingCopy(uint32_t pixelSize, uint32_t planeSize);
    void MakePendingWorkingCopy();
    bool workingPending_ = false;
    uint32_t pendingPixelSize_ = 0, pendingPlaneSize_ = 0;
    double zoom_ = 1.0;
    DocViewState viewShared_;
    std::vector<DocumentObserver*> observers_;
    Rand15 random_;
    FreeTransformState freeTransform_;
    // Last: destroyed first, while the document number it deletes files by is still there.
    std::unique_ptr<UndoStore> journal_;
};

}  // namespace quillet
