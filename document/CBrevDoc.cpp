#include "document/CBrevDoc.h"

#include <algorithm>
#include <cstring>

#include "platform/UserPort.h"

namespace quillet {

namespace {
const char* const kTooManyLayers =
    "레이어수 과다... 기존 레이어의 병합 혹은 제거하신 후에 다시 시도.";
}  // namespace

CBrevDoc::CBrevDoc(UserPort& user, int documentNumber)
    : user_(user),
      documentNumber_(documentNumber),
      current_(std::make_unique<LayerTable>()),
      snapshot_(std::make_unique<LayerTable>()),
      preview_(std::make_unique<LayerTable>()),
      journal_(std::make_unique<UndoStore>(*this)) {}

bool CBrevDoc::SelectLayer(int slot) {
    if (!LayerTable::IsValidIndex(slot)) return false;
    if (selectionActive_ && current_->layer(slot).kind == LayerKind::Text) {
        user_.showMessage(kTextLayerRefused, MessageIcon::Warning);
        return false;
    }
    const bool changed = slot != currentLayer_;
    currentLayer_ = slot;
    if (changed) {
        for (auto* o : observers_) o->onCurrentLayerChanged(*this, slot);
        NotifyLayerListChanged();
    }
    if (selectionActive_)
        for (auto* o : observers_) o->onSelectionOutlineTimer(*this, kOutlineRestartMs);
    NotifyViewsUpdate();
    return true;
}

bool CBrevDoc::CreateLayer(const CreateLayerArgs& args) {
    if (!current_->CreateLayer(args, image_.PaletteBase(), image_.PaletteCount(), selectionActive_))
        return false;
    const Layer& l = current_->layer(args.slot);
    SetPendingWorkingCopy(l.pixelSize, l.planeSize);
    return true;
}

void CBrevDoc::SetPendingWorkingCopy(uint32_t pixelSize, uint32_t planeSize) {
    workingPixels_ = {};
    workingAlpha_ = {};
    workingPending_ = true;
    pendingPixelSize_ = pixelSize;
    pendingPlaneSize_ = planeSize;
    current_->header.workingCopySize = pixelSize;
}

void CBrevDoc::MakePendingWorkingCopy() {
    if (!workingPending_) return;
    workingPending_ = false;
    workingPixels_.assign(pendingPixelSize_, 255);
    workingAlpha_.assign(pendingPlaneSize_, 0);
}

int CBrevDoc::FreeSlotForNewLayer() {
    const int slot = current_->LowestFreeSlot();
    if (slot < 0) user_.showMessage(kTooManyLayers, MessageIcon::Warning);
    return slot;
}

bool CBrevDoc::PrepareWorkingCopy(int slot) {
    if (!LayerTable::IsValidIndex(slot)) return false;
    const LayerPlanes& p = current_->planesOf(slot);
    const Layer& l = current_->layer(slot);
    if (p.pixels.size() != l.pixelSize || p.alpha.size() != l.planeSize) return false;
    workingPending_ = false;
    workingPixels_ = p.pixels;
    workingAlpha_ = p.alpha;
    current_->header.workingCopySize = l.pixelSize;
    return true;
}

bool CBrevDoc::CommitWorkingCopy(int slot) {
    if (!LayerTable::IsValidIndex(slot)) return false;
    const Layer& l = current_->layer(slot);
    // The alpha plane is checked too: a pixel size can match while the plane size differs
    // (a text layer against a raster layer of the same bytes).
    MakePendingWorkingCopy();
    if (workingPixels_.size() != l.pixelSize || workingAlpha_.size() != l.planeSize) return false;
    // Copied rather than shared, so the working copy and the layer never write into each other.
    LayerPlanes& p = current_->planesOf(slot);
    if (!p.pixels.SharesWith(workingPixels_))
        p.pixels.assign(workingPixels_.cbegin(), workingPixels_.cend());
    if (!p.alpha.SharesWith(workingAlpha_))
        p.alpha.assign(workingAlpha_.cbegin(), workingAlpha_.cend());
    current_->Touch(slot);
    return true;
}

void CBrevDoc::ReleaseWorkingCopy() {
    workingPending_ = false;
    workingPixels_ = {};
    workingAlpha_ = {};
    current_->header.workingCopySize = 0;
}

void CBrevDoc::ComposeForSave() {
    Image32 full = Compositor::ComposeFull(*current_, current_->bottom, 0);
    const LayerTable& t = *current_;
    if (full.width == t.header.canvasWidth && full.height == t.header.canvasHeight)
        flatImage_ = std::move(full.bytes);
    else
        flatImage_.clear();
}

bool CBrevDoc::ComposeIntoLayer(int startSlot, int count) {
    if (!current_->InList(startSlot)) return false;
    if (!Compositor::ComposeIntoLayer(*current_, startSlot, count)) return false;
    const Layer& l = current_->layer(startSlot);
    // The working copy always matches the layer sizes of the last creation or resize.
    if ((workingPending_ ? pendingPixelSize_ : workingPixels_.size()) != l.pixelSize)
        SetPendingWorkingCopy(l.pixelSize, l.planeSize);
    NotifyViewsUpdate();
    return true;
}

void CBrevDoc::SetFileName(std::u16string_view name) {
    fileName_.assign(name.substr(0, std::min<size_t>(name.size(), kFileNameChars)));
}

void CBrevDoc::SetModified(bool on) {
    if (on == modified_) return;
    modified_ = on;
    for (auto* o : observers_) o->onModifiedChanged(*this, on);
}

void CBrevDoc::SetZoom(double zoom) {
    if (!(zoom > 0)) return;
    zoom_ = zoom;
    for (auto* o : observers_) o->onZoomChanged(*this, zoom);
}

void CBrevDoc::AddObserver(DocumentObserver* observer) {
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void CBrevDoc::RemoveObserver(DocumentObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void CBrevDoc::NotifyViewsUpdate() {
    for (auto* o : observers_) o->onViewsUpdate(*this);
}

void CBrevDoc::NotifyAreaChanged(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top) return;
    for (auto* o : observers_) o->onAreaChanged(*this, left, top, right, bottom);
}

void CBrevDoc::NotifySelectionOutlineTimer(int milliseconds) {
    for (auto* o : observers_) o->onSelectionOutlineTimer(*this, milliseconds);
}

void CBrevDoc::NotifyLayerListChanged() {
    for (auto* o : observers_) o->onLayerListChanged(*this);
}

void CBrevDoc::Close() {
    current_->Clear();
    snapshot_->Clear();
    preview_->Clear();
    image_.Destroy();
    flatImage_ = {};
    ReleaseWorkingCopy();
    currentLayer_ = -1;
    selectionActive_ = false;
}

}  // namespace quillet
