#include "view/tools/UndoBrush.h"

#include <algorithm>
#include <cstring>

#include "document/CBrevDoc.h"
#include "document/EditCycle.h"
#include "platform/UserPort.h"
#include "view/tools/LineWalker.h"

namespace quillet {

bool UndoBrush::Begin(CBrevDoc& doc) {
    Release();
    const int slot = EditableCurrentLayer(doc, TextLayerRule::Refuse);
    const int previous = doc.Journal().StepIndex() - 1;
    if (slot < 0 || previous < 0) return false;
    StepSlotFields f;
    int x = 0, y = 0;
    std::vector<uint8_t> pixels;
    if (!doc.Journal().ReadLayerPixels(slot, previous, f, x, y, pixels)) return false;
    const Layer& l = doc.Layers().layer(slot);
    // Its height too: the pixels are copied row for row.
    if (x != l.x || y != l.y || f.width != l.width || f.height != l.height ||
        f.stride != l.stride || f.pixelSize != l.pixelSize) {
        doc.User().showMessage(kUndoBrushMismatch, MessageIcon::Warning);
        return false;
    }
    const int bits = doc.Layers().LayerBits(slot);
    if (bits != 8 && bits != 24 && bits != 32) return false;
    slot_ = slot;
    step_ = doc.Journal().StepIndex();
    width_ = l.width;
    height_ = l.height;
    stride_ = l.stride;
    bytes_ = bits / 8;
    source_ = std::move(pixels);
    return true;
}

void UndoBrush::Release() {
    slot_ = -1;
    source_ = {};
    marks_ = {};
    stroked_ = false;
}

bool UndoBrush::Usable(const CBrevDoc& doc) const {
    if (slot_ < 0 || doc.CurrentLayer() != slot_ || doc.Journal().StepIndex() != step_)
        return false;
    const Layer& l = doc.Layers().layer(slot_);
    const LayerPlanes& p = doc.Layers().planesOf(slot_);
    return l.width == width_ && l.height == height_ && l.stride == stride_ &&
           p.pixels.size() == source_.size() && p.alpha.size() == size_t(width_) * height_;
}

PixelArea UndoBrush::Stroke(CBrevDoc& doc, const BrushStamp& stamp, int x0, int y0, int x1,
                            int y1) {
    PixelArea changed;
    if (!Usable(doc)) return changed;
    LayerTable& t = doc.Layers();
    LayerPlanes& p = t.planesOf(slot_);
    std::vector<uint8_t> storage;
    const uint8_t* selection = SelectionFor(doc, slot_, storage);
    // The working alpha starts clear; the stamp's alpha marks what it touches.
    marks_.assign(size_t(width_) * height_, 0);
    WalkLine(x0, y0, x1, y1, [&](int px, int py) {
        changed.Unite(stamp.Footprint(px, py, width_, height_));
        stamp.ForEach(px, py, width_, height_, [&](int x, int y, double L) {
            const size_t at = size_t(y) * width_ + size_t(x);
            if (selection && selection[at] == 0) return;
            const int a = stamp.Size() == 1 ? 255 : std::min(255, 2 * int((1 - L) * 255));
            if (a > 0) marks_[at] = 1;
        });
    });
    for (int y = changed.top; y < changed.bottom; ++y) {
        const uint8_t* mark = marks_.data() + size_t(y) * width_;
        uint8_t* alpha = p.alpha.data() + size_t(y) * width_;
        uint8_t* dst = p.pixels.data() + size_t(y) * stride_;
        const uint8_t* src = source_.data() + size_t(y) * stride_;
        for (int x = changed.left; x < changed.right; ++x) {
            if (!mark[x]) continue;
            std::memcpy(dst + size_t(x) * bytes_, src + size_t(x) * bytes_, size_t(bytes_));
            alpha[x] = 255;
            stroked_ = true;
        }
    }
    t.Touch(slot_);
    doc.NotifyViewsUpdate();
    return changed;
}

void UndoBrush::Finish(CBrevDoc& doc) {
    if (!stroked_ || !Usable(doc)) return;
    stroked_ = false;
    doc.RecordStep(u"작업취소붓", StepKind::PixelEdit, slot_);
    // Its own step moves the history on; the source stays the one the tool was chosen with.
    step_ = doc.Journal().StepIndex();
}

}  // namespace quillet
