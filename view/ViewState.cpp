// Geometry of a document window: extent, scrolling, the displayed rectangle, point mapping,
// the zoom update and the title.
#include "view/ViewState.h"

#include <algorithm>
#include <cstdio>

#include "base/Utf.h"
#include "document/CBrevDoc.h"
#include "view/ToolState.h"

namespace quillet {

ViewState::ViewState(CBrevDoc& doc, ViewContext context) : doc_(doc), ctx_(context) {}

void ViewState::SetClientSize(ViewSize size) {
    client_ = {std::max(0, size.width), std::max(0, size.height)};
    scroll_ = {std::clamp(scroll_.x, 0, ScrollMax().x), std::clamp(scroll_.y, 0, ScrollMax().y)};
    StoreGeometry();
}

ViewPoint ViewState::ScrollMax() const {
    return {std::max(0, extent_.width - client_.width),
            std::max(0, extent_.height - client_.height)};
}

void ViewState::ScrollTo(ViewPoint p) {
    const ViewPoint max = ScrollMax();
    scroll_ = {std::clamp(p.x, 0, max.x), std::clamp(p.y, 0, max.y)};
    doc_.ViewShared().recomposeNeeded = true;
    StoreGeometry();
}

void ViewState::StoreGeometry() {
    DocViewState& v = doc_.ViewShared();
    const ViewPoint s = EffectiveScroll();
    v.scrollX = s.x;
    v.scrollY = s.y;
    v.clientWidth = client_.width;
    v.clientHeight = client_.height;
}

ViewSize ViewState::ZoomedSize() const {
    const PictureHeader& h = doc_.Layers().header;
    const double z = doc_.Zoom();
    return {int(double(h.canvasWidth) * z), int(double(h.canvasHeight) * z)};
}

ViewRect ViewState::DisplayedRect() const {
    if (doc_.ViewShared().stretchView) return {0, 0, client_.width, client_.height};
    const ViewSize z = ZoomedSize();
    ViewRect r;
    const int offX = (client_.width + 1 - z.width) / 2;
    const int offY = (client_.height + 1 - z.height) / 2;
    if (offX >= 0)
        r.left = offX, r.right = offX + z.width;
    else
        r.left = 0, r.right = client_.width;
    if (offY >= 0)
        r.top = offY, r.bottom = offY + z.height;
    else
        r.top = 0, r.bottom = client_.height;
    return r;
}

ViewPoint ViewState::EffectiveScroll() const {
    if (doc_.ViewShared().stretchView) return {0, 0};
    const ViewSize z = ZoomedSize();
    return {(client_.width + 1 - z.width) / 2 >= 0 ? 0 : scroll_.x,
            (client_.height + 1 - z.height) / 2 >= 0 ? 0 : scroll_.y};
}

ViewPoint ViewState::ToZoomed(ViewPoint w) const {
    const ViewRect r = DisplayedRect();
    if (r.Width() <= 0 || r.Height() <= 0) return {0, 0};
    // A point outside the picture takes the nearest edge pixel.
    const int x = std::clamp(w.x, r.left, r.right - 1);
    const int y = std::clamp(w.y, r.top, r.bottom - 1);
    if (doc_.ViewShared().stretchView) {
        const ViewSize z = ZoomedSize();
        return {int(int64_t(x) * z.width / r.Width()), int(int64_t(y) * z.height / r.Height())};
    }
    const ViewPoint s = EffectiveScroll();
    return {x + s.x - r.left, y + s.y - r.top};
}

DisplayRequest ViewState::RequestFor(ViewRect area) const {
    DisplayRequest q;
    q.left = area.left;
    q.top = area.top;
    q.right = area.right;
    q.bottom = area.bottom;
    const PictureHeader& h = doc_.Layers().header;
    if (doc_.ViewShared().stretchView && h.canvasWidth > 0 && h.canvasHeight > 0) {
        q.zoomX = double(client_.width) / h.canvasWidth;
        q.zoomY = double(client_.height) / h.canvasHeight;
        return q;
    }
    // The same offset the mouse mapping uses, so a click lands on the pixel under it.
    const ViewRect r = DisplayedRect();
    const ViewPoint s = EffectiveScroll();
    q.originX = r.left - s.x;
    q.originY = r.top - s.y;
    q.zoomX = q.zoomY = doc_.Zoom();
    return q;
}

void ViewState::UpdateForZoom() {
    DocViewState& v = doc_.ViewShared();
    if (v.stretchView) {
        UpdateOther();
        return;
    }
    const ViewPoint old = scroll_;
    const ViewSize oldExtent = extent_;
    const AnchorPoint anchor = v.zoomAnchor;
    auto relative = [](int position, int size) {
        if (size <= 0) return 0.0;
        return std::max(0.0, double(position) / double(size));
    };
    const double rx = relative(anchor.IsSet() ? anchor.x : old.x, oldExtent.width);
    const double ry = relative(anchor.IsSet() ? anchor.y : old.y, oldExtent.height);
    extent_ = ZoomedSize();
    const ViewPoint max = ScrollMax();
    if (oldExtent.width > 0 && oldExtent.height > 0) {
        const int x =
            std::clamp(std::min(int(extent_.width * rx), extent_.width - client_.width), 0, max.x);
        const int y = std::clamp(
            std::min(int(extent_.height * ry), extent_.height - client_.height), 0, max.y);
        scroll_ = {x, y};
        if (anchor.IsSet()) {
            // The anchor comes to the middle of the window; a position already at its maximum
            // stays there.
            if (x < max.x) scroll_.x = std::clamp(x - client_.width / 2, 0, max.x);
            if (y < max.y) scroll_.y = std::clamp(y - client_.height / 2, 0, max.y);
        }
    } else {
        scroll_ = {std::clamp(scroll_.x, 0, max.x), std::clamp(scroll_.y, 0, max.y)};
    }
    if (v.keepFrameSize)
        v.keepFrameSize = false;
    else
        frameFitRequest_ = true;
    v.recomposeNeeded = true;
    StoreGeometry();
}

void ViewState::UpdateOther() {
    extent_ = doc_.ViewShared().stretchView ? ViewSize{} : ZoomedSize();
    const ViewPoint max = ScrollMax();
    scroll_ = {std::clamp(scroll_.x, 0, max.x), std::clamp(scroll_.y, 0, max.y)};
    doc_.ViewShared().recomposeNeeded = true;
    StoreGeometry();
}

bool ViewState::TakeFrameFitRequest() {
    const bool r = frameFitRequest_;
    frameFitRequest_ = false;
    return r;
}

ViewSize ViewState::FrameFitClientSize(ViewSize zoomed, ViewPoint frame, ViewSize mainClient) {
    return {std::min(zoomed.width, mainClient.width - frame.x - 12) + 4,
            std::min(zoomed.height, mainClient.height - frame.y - 12) + 4};
}

std::string ViewState::Title(std::string_view extra) const {
    std::u16string name = doc_.FileName();
    if (name.empty()) name = doc_.Layers().header.Name();
    std::string layer;
    if (LayerTable::IsValidIndex(doc_.CurrentLayer()))
        layer = utf16ToUtf8(doc_.Layers().layer(doc_.CurrentLayer()).Name());
    const int percent = int(doc_.Zoom() * 100);
    const std::string base = utf16ToUtf8(name);
    std::string title(base.size() + layer.size() + 32, '\0');
    const int n = std::snprintf(title.data(), title.size(), "%s %d %s (%s)", base.c_str(), percent,
                                "%", layer.c_str());
    title.resize(size_t(std::max(0, n)));
    if (!extra.empty()) title += " " + std::string(extra);
    return title;
}

}  // namespace quillet
