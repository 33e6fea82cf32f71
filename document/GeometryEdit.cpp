#include "document/GeometryEdit.h"

#include "platform/UserPort.h"

namespace quillet::geometry {

namespace {
const char* const kPictureHasText =
    "[글]레이어가 포함되어 있습니다. [레스터 형식 변환] 후 다시 실행하십시요.";
const char* const kLayerIsText = "[글]레이어 입니다. [레스터 형식 변환] 후 다시 실행하십시요.";
// Pictures from this many pixels on show their progress.
constexpr uint64_t kProgressPixels = uint64_t(1) << 22;
}  // namespace

bool CanvasAllowed(CBrevDoc& doc) {
    const LayerTable& t = doc.Layers();
    if (t.bottom < 0) return false;
    for (int slot : t.Order())
        if (t.layer(slot).kind == LayerKind::Text) {
            doc.User().showMessage(kPictureHasText, MessageIcon::Warning);
            return false;
        }
    return true;
}

int LayerAllowed(CBrevDoc& doc, int slot) {
    const LayerTable& t = doc.Layers();
    if (slot < 0) slot = doc.CurrentLayer();
    if (!t.InList(slot)) return -1;
    if (t.layer(slot).kind == LayerKind::Text) {
        doc.User().showMessage(kLayerIsText, MessageIcon::Warning);
        return -1;
    }
    return slot;
}

PlaneRef PixelPlane(LayerTable& t, int slot) {
    const Layer& l = t.layer(slot);
    return PlaneRef{t.planesOf(slot).pixels.data(), l.stride, l.width, l.height, t.LayerBits(slot)};
}

ConstPlaneRef PixelPlane(const LayerTable& t, int slot) {
    const Layer& l = t.layer(slot);
    return ConstPlaneRef{t.planesOf(slot).pixels.data(), l.stride, l.width, l.height,
                         t.LayerBits(slot)};
}

PlaneRef BytePlane(std::vector<uint8_t>& bytes, int width, int height) {
    return PlaneRef{bytes.data(), size_t(width), width, height, 8};
}

ConstPlaneRef BytePlane(const std::vector<uint8_t>& bytes, int width, int height) {
    return ConstPlaneRef{bytes.data(), size_t(width), width, height, 8};
}

PlaneRef BytePlane(PlaneBuffer& bytes, int width, int height) {
    return PlaneRef{bytes.data(), size_t(width), width, height, 8};
}

ConstPlaneRef BytePlane(const PlaneBuffer& bytes, int width, int height) {
    return ConstPlaneRef{bytes.data(), size_t(width), width, height, 8};
}

NewPlanes AllocatePlanes(const LayerTable& t, int slot, int width, int height) {
    NewPlanes p;
    p.width = width;
    p.height = height;
    const bool text = t.layer(slot).kind == LayerKind::Text;
    p.stride = text ? uint32_t(width) : uint32_t(StrideFor(t.header.bitsPerPixel, width));
    const size_t plane = size_t(width) * size_t(height);
    p.pixels = PlaneBuffer::Zeroed(size_t(p.stride) * size_t(height));
    p.alpha = PlaneBuffer::Zeroed(plane);
    p.effect = PlaneBuffer::Zeroed(plane);
    return p;
}

void AdoptPlanes(LayerTable& t, int slot, NewPlanes&& p, int x, int y) {
    Layer& l = t.layer(slot);
    l.x = x;
    l.y = y;
    l.width = p.width;
    l.height = p.height;
    l.stride = p.stride;
    l.planeSize = uint32_t(p.width) * uint32_t(p.height);
    l.pixelSize = p.stride * uint32_t(p.height);
    LayerPlanes& planes = t.planesOf(slot);
    planes.pixels = std::move(p.pixels);
    planes.alpha = std::move(p.alpha);
    planes.effect = std::move(p.effect);
}

LayerProgress::LayerProgress(CBrevDoc& doc, uint64_t pixels)
    : doc_(doc), on_(pixels >= kProgressPixels) {
    if (on_) doc_.User().waitCursor(true);
}

LayerProgress::~LayerProgress() {
    if (!on_) return;
    doc_.User().progress(-1);
    doc_.User().waitCursor(false);
}

RowProgress LayerProgress::Rows() {
    last_ = -1;
    return on_ ? RowProgress{&LayerProgress::Report, this} : RowProgress{};
}

void LayerProgress::Report(void* self, int percent) {
    auto* p = static_cast<LayerProgress*>(self);
    if (percent == p->last_) return;
    p->last_ = percent;
    p->doc_.User().progress(percent);
}

void FinishEdit(CBrevDoc& doc, std::u16string_view label, StepKind kind, int layer,
                const StepExtras& extras) {
    LayerTable& t = doc.Layers();
    if (doc.SelectionActive()) {
        doc.SetSelectionActive(false);
        doc.NotifySelectionOutlineTimer(0);
    }
    const int current = t.InList(doc.CurrentLayer()) ? doc.CurrentLayer() : layer;
    if (t.InList(current)) {
        const Layer& l = t.layer(current);
        t.mask.Reset(l.x, l.y, l.width, l.height, 1);
    }
    doc.ReleaseWorkingCopy();
    doc.RecordStep(label, kind, layer, extras);
    doc.NotifyViewsUpdate();
}

}  // namespace quillet::geometry
