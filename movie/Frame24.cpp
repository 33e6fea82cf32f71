#include "movie/Frame24.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libswscale/swscale.h>
}

namespace quillet {

namespace {
FrameRect Clip(FrameRect r, int width, int height) {
    const int x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
    const int x1 = std::min(r.x + r.width, width), y1 = std::min(r.y + r.height, height);
    return {x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
}
}  // namespace

Frame24::Frame24(int w, int h)
    : width(w), height(h), stride((size_t(w) * 3 + 3) & ~size_t(3)), bytes(stride * h, 255) {}

void Frame24::Fill(uint8_t value) { std::memset(bytes.data(), value, bytes.size()); }

FrameScaler::~FrameScaler() { sws_freeContext(context_); }

void FrameScaler::Scale(const Frame24& source, FrameRect part, Frame24& target, FrameRect area) {
    part = Clip(part, source.width, source.height);
    area = Clip(area, target.width, target.height);
    if (part.Empty() || area.Empty()) return;
    context_ =
        sws_getCachedContext(context_, part.width, part.height, AV_PIX_FMT_BGR24, area.width,
                             area.height, AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!context_) return;
    // Rows are stored bottom-up: start at the top row of each rectangle and step backwards.
    const uint8_t* src[4] = {source.TopRow(part.y) + size_t(part.x) * 3, nullptr, nullptr, nullptr};
    const int srcStride[4] = {-int(source.stride), 0, 0, 0};
    uint8_t* dst[4] = {target.TopRow(area.y) + size_t(area.x) * 3, nullptr, nullptr, nullptr};
    const int dstStride[4] = {-int(target.stride), 0, 0, 0};
    sws_scale(context_, src, srcStride, 0, part.height, dst, dstStride);
}

Frame24 Scaled(const Frame24& source, int width, int height) {
    Frame24 out(width, height);
    FrameScaler scaler;
    scaler.Scale(source, out, {0, 0, width, height});
    return out;
}

void CopyRect(const Frame24& source, FrameRect part, Frame24& target, int x, int y,
              FrameRect within) {
    // Clip the part to the source, then its destination to the target and to `within`.
    FrameRect p = Clip(part, source.width, source.height);
    x += p.x - part.x;
    y += p.y - part.y;
    FrameRect d = Clip({x, y, p.width, p.height}, target.width, target.height);
    d = Clip({d.x - within.x, d.y - within.y, d.width, d.height}, within.width, within.height);
    d.x += within.x;
    d.y += within.y;
    if (d.Empty()) return;
    const int sx = p.x + (d.x - x), sy = p.y + (d.y - y);
    for (int r = 0; r < d.height; ++r)
        std::memcpy(target.TopRow(d.y + r) + size_t(d.x) * 3,
                    source.TopRow(sy + r) + size_t(sx) * 3, size_t(d.width) * 3);
}

void FillRect(Frame24& target, FrameRect area, uint8_t blue, uint8_t green, uint8_t red) {
    area = Clip(area, target.width, target.height);
    for (int r = 0; r < area.height; ++r) {
        uint8_t* p = target.TopRow(area.y + r) + size_t(area.x) * 3;
        for (int i = 0; i < area.width; ++i, p += 3) {
            p[0] = blue;
            p[1] = green;
            p[2] = red;
        }
    }
}

void RotateClockwise(const Frame24& source, Frame24& out) {
    if (out.width != source.height || out.height != source.width)
        out = Frame24(source.height, source.width);
    // Screen pixel (x, y) of the source lands at (H - 1 - y, x) of the turned frame.
    const int h = source.height;
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = source.TopRow(y);
        const int ox = h - 1 - y;
        for (int x = 0; x < source.width; ++x, s += 3) {
            uint8_t* d = out.TopRow(x) + size_t(ox) * 3;
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
}

}  // namespace quillet
