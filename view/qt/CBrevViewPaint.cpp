// Painting of the document view: grey background, the hatch under the picture, the composed
// layers of the visible area (premultiplied, so transparent parts show the hatch), the grid.
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

#include "document/CBrevDoc.h"
#include "view/ToolState.h"
#include "view/qt/CBrevView.h"
#include "view/qt/ToolOverlay.h"

namespace quillet {

namespace {

QRgb Rgb(uint32_t bbggrr) {
    return qRgb(int(bbggrr & 0xFF), int((bbggrr >> 8) & 0xFF), int((bbggrr >> 16) & 0xFF));
}

// x / 255 rounded, exact for 0..65025.
inline uint32_t Div255(uint32_t x) { return (x + 128 + ((x + 128) >> 8)) >> 8; }

// Draws a composed area over the hatch in one pass: the composed colour is clamped to its
// alpha (premultiplied form) and the hatch shows through by 255 − alpha. The hatch tile is
// anchored at window multiples of 8.
void DrawOverHatch(QImage& frame, const Image32& img, int style) {
    const uint32_t line = Rgb(kHatchLineColour), back = Rgb(kHatchBackColour);
    std::array<std::array<uint32_t, 8>, 8> tile;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile[size_t(y)][size_t(x)] = HatchPixel(style, x, y) ? line : back;
    const int x0 = std::max(0, img.x), y0 = std::max(0, img.y);
    const int x1 = std::min(frame.width(), img.x + img.width);
    const int y1 = std::min(frame.height(), img.y + img.height);
    for (int y = y0; y < y1; ++y) {
        const uint8_t* s = img.Row(y - img.y) + size_t(x0 - img.x) * 4;
        auto* d = reinterpret_cast<uint32_t*>(frame.scanLine(y)) + x0;
        const auto& hatch = tile[size_t(y & 7)];
        for (int x = x0; x < x1; ++x, s += 4, ++d) {
            const uint32_t a = s[3];
            const uint32_t b = std::min<uint32_t>(s[0], a), g = std::min<uint32_t>(s[1], a),
                           r = std::min<uint32_t>(s[2], a);
            if (a == 255) {
                *d = 0xFF000000u | (r << 16) | (g << 8) | b;
                continue;
            }
            const uint32_t h = hatch[size_t(x & 7)], k = 255 - a;
            *d = 0xFF000000u | ((r + Div255(k * ((h >> 16) & 0xFF))) << 16) |
                 ((g + Div255(k * ((h >> 8) & 0xFF))) << 8) | (b + Div255(k * (h & 0xFF)));
        }
    }
}

void FillHatch(QImage& frame, const QRect& r, int style) {
    const uint32_t line = Rgb(kHatchLineColour), back = Rgb(kHatchBackColour);
    for (int y = r.top(); y <= r.bottom(); ++y) {
        uint32_t row[8];
        for (int x = 0; x < 8; ++x) row[x] = HatchPixel(style, x, y) ? line : back;
        auto* d = reinterpret_cast<uint32_t*>(frame.scanLine(y));
        for (int x = r.left(); x <= r.right(); ++x) d[x] = row[x & 7];
    }
}

}  // namespace

QRect CBrevView::shownRect() const {
    const CBrevDoc& doc = state_.Doc();
    const PictureHeader& h = doc.Layers().header;
    if (h.canvasWidth < 1 || h.canvasHeight < 1 || doc.Layers().bottom < 0) return {};
    const ViewRect r = state_.DisplayedRect();
    return QRect(r.left, r.top, r.Width(), r.Height()).intersected(frame_.rect());
}

void CBrevView::rebuildFrame() {
    const QSize size = viewport()->size();
    if (frame_.size() != size) frame_ = QImage(size, QImage::Format_RGB32);
    if (frame_.isNull()) return;
    frame_.fill(Rgb(kViewBackgroundColour));
    const QRect shown = shownRect();
    if (shown.isEmpty()) return;
    ++compositions_;
    composeArea(shown);
}

void CBrevView::composeArea(const QRect& area) {
    // The outline is drawn over a copy of the picture: that copy is old now.
    overlayValid_ = false;
    const CBrevDoc& doc = document();
    const PictureHeader& h = doc.Layers().header;
    // Where the picture does not reach (a fully transparent border after clamping) the hatch
    // still shows, so it is laid first over the whole area.
    FillHatch(frame_, area, settings_.hatchStyle);
    const DisplayRequest q =
        state_.RequestFor({area.left(), area.top(), area.right() + 1, area.bottom() + 1});
    // Small areas (a brush stroke's) are not worth a second thread.
    const int threads = area.width() * area.height() >= 65536 ? 2 : 1;
    const Image32 img = doc.ComposeDisplay(q, threads);
    if (!img.Empty()) DrawOverHatch(frame_, img, settings_.hatchStyle);

    if (settings_.gridSpacing > 0) {
        const double zx = q.zoomX * settings_.gridSpacing, zy = q.zoomY * settings_.gridSpacing;
        // Lines closer than 3 pixels would only grey the picture over.
        if (zx >= 3 && zy >= 3) {
            QPainter p(&frame_);
            p.setPen(QColor(Rgb(settings_.gridColour)));
            p.setClipRect(area);
            const int picRight = q.originX + int(h.canvasWidth * q.zoomX);
            const int picBottom = q.originY + int(h.canvasHeight * q.zoomY);
            const int firstX = std::max(0, int((area.left() - q.originX) / zx));
            for (int i = firstX;; ++i) {
                const int x = q.originX + int(i * zx);
                if (x > area.right() || x >= picRight) break;
                p.drawLine(x, area.top(), x, std::min(area.bottom(), picBottom - 1));
            }
            const int firstY = std::max(0, int((area.top() - q.originY) / zy));
            for (int i = firstY;; ++i) {
                const int y = q.originY + int(i * zy);
                if (y > area.bottom() || y >= picBottom) break;
                p.drawLine(area.left(), y, std::min(area.right(), picRight - 1), y);
            }
        }
    }
}

void CBrevView::onAreaChanged(CBrevDoc&, int left, int top, int right, int bottom) {
    // Without a valid picture the next paint composes everything anyway.
    if (!cacheValid_ || frame_.size() != viewport()->size() ||
        document().ViewShared().recomposeNeeded) {
        viewport()->update();
        return;
    }
    const QRect window = windowAreaOf(left, top, right, bottom);
    if (window.isEmpty()) return;
    composeArea(window);
    viewport()->update(window);
}

QRect CBrevView::windowAreaOf(int left, int top, int right, int bottom) const {
    const ViewRect r = state_.DisplayedRect();
    const QRect shown = QRect(r.left, r.top, r.Width(), r.Height()).intersected(frame_.rect());
    const DisplayRequest q = state_.RequestFor({r.left, r.top, r.right, r.bottom});
    // Window pixel x shows canvas column floor((x − origin) / zoom): the columns left..right−1
    // cover the window from origin + left × zoom up to origin + right × zoom.
    const auto from = [](int origin, int v, double zoom) {
        return int(std::floor(origin + v * zoom));
    };
    const auto to = [](int origin, int v, double zoom) {
        return int(std::ceil(origin + v * zoom));
    };
    const QRect area(QPoint(from(q.originX, left, q.zoomX), from(q.originY, top, q.zoomY)),
                     QPoint(to(q.originX, right, q.zoomX) - 1, to(q.originY, bottom, q.zoomY) - 1));
    // A pixel of margin on each side: a column mapped by rounding may fall one either way.
    return area.adjusted(-1, -1, 1, 1).intersected(shown);
}

void CBrevView::paintViewport(QPainter& painter, const QRect& clip) {
    const ViewSize now{viewport()->width(), viewport()->height()};
    if (state_.ClientSize() != now) {
        state_.SetClientSize(now);
        cacheValid_ = false;
    }
    DocViewState& v = document().ViewShared();
    if (!cacheValid_ || v.recomposeNeeded || frame_.size() != viewport()->size()) {
        rebuildFrame();
        cacheValid_ = true;
        overlayValid_ = false;
    }
    phase_ = !phase_;
    v.recomposeNeeded = false;
    painter.drawImage(clip, paintOverlay() ? overlaid_ : frame_, clip);
    DrawToolOverlay(painter, state_, settings_);
}

bool CBrevView::paintOverlay() {
    const CBrevDoc& doc = document();
    const OverlayMode mode = ChooseOverlayMode(doc, state_.Tools().currentTool);
    if (mode == OverlayMode::None || frame_.isNull()) return false;
    const uint32_t revision = doc.ViewShared().maskRevision;
    if (!overlayValid_ || mode != overlayMode_ || revision != overlayRevision_ ||
        overlaid_.size() != frame_.size()) {
        overlaid_ = frame_.copy();
        const QRect shown = shownRect();
        const DisplayRequest q =
            state_.RequestFor({shown.left(), shown.top(), shown.right() + 1, shown.bottom() + 1});
        outline_.Build(doc.Layers().mask, q, mode, settings_.dimOutside);
        outline_.Dim(reinterpret_cast<uint32_t*>(overlaid_.bits()),
                     size_t(overlaid_.bytesPerLine() / 4));
        overlayValid_ = true;
        overlayMode_ = mode;
        overlayRevision_ = revision;
    }
    outline_.Paint(reinterpret_cast<uint32_t*>(overlaid_.bits()),
                   size_t(overlaid_.bytesPerLine() / 4), phase_,
                   OutlineColoursFor(settings_.outlineColour, settings_.markerColour));
    return true;
}

void CBrevView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    paintViewport(painter, event->rect());
}

QImage CBrevView::renderViewport() {
    QImage out(viewport()->size(), QImage::Format_RGB32);
    QPainter painter(&out);
    paintViewport(painter, out.rect());
    return out;
}

}  // namespace quillet
