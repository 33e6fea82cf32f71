#include "movie/Captions.h"

#include <algorithm>

namespace quillet {

namespace {
bool Shows(const Caption& c, double seconds) {
    return seconds >= c.startSeconds && seconds < c.startSeconds + c.seconds;
}
}  // namespace

CaptionOverlay::CaptionOverlay(const std::vector<Caption>& captions, const FontSpec& font,
                               uint32_t colour, const TextRasterizer& rasterizer)
    : font_(font), colour_(colour), rasterizer_(rasterizer) {
    font_.pixelHeight = std::max(1, font_.pixelHeight);
    for (const Caption& c : captions)
        if (!c.text.empty() && c.seconds > 0)
            captions_.push_back({c, rasterizer.measure(c.text, font_)});
}

bool CaptionOverlay::ActiveAt(double seconds) const {
    return std::any_of(captions_.begin(), captions_.end(),
                       [&](const Placed& p) { return Shows(p.caption, seconds); });
}

void CaptionOverlay::Draw(Frame24& frame, double seconds) {
    for (const Placed& p : captions_) {
        const Caption& c = p.caption;
        if (!Shows(c, seconds)) continue;
        const int w = p.extent.width, h = p.extent.height;
        // How far through its time the caption is, 0..1.
        const double f = std::clamp((seconds - c.startSeconds) / c.seconds, 0.0, 1.0);
        int x = (frame.width - w) / 2;
        int y = int(int64_t(frame.height) * std::clamp(c.heightPercent, 0, 100) / 100);
        y = std::min(y, frame.height - h);
        switch (c.motion) {
            case CaptionMotion::Still:
                break;
            case CaptionMotion::Left:
                x = frame.width - int(f * (frame.width + w));
                break;
            case CaptionMotion::Right:
                x = -w + int(f * (frame.width + w));
                break;
            case CaptionMotion::Up:
                y = frame.height - int(f * (frame.height + h));
                break;
            case CaptionMotion::Down:
                y = -h + int(f * (frame.height + h));
                break;
        }
        // The part of the frame under the caption goes out to 32 bits, gets the text, comes back.
        const int x0 = std::max(x, 0), y0 = std::max(y, 0);
        const int x1 = std::min(x + w, frame.width), y1 = std::min(y + h, frame.height);
        if (x1 <= x0 || y1 <= y0) continue;
        const int bw = x1 - x0, bh = y1 - y0;
        scratch_.resize(size_t(bw) * bh * 4);
        for (int r = 0; r < bh; ++r) {
            const uint8_t* s = frame.TopRow(y0 + r) + size_t(x0) * 3;
            uint8_t* d = scratch_.data() + size_t(r) * bw * 4;
            for (int i = 0; i < bw; ++i, s += 3, d += 4) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
                d[3] = 255;
            }
        }
        rasterizer_.draw(c.text, font_, colour_, -1, Buffer32{scratch_.data(), bw, bh, bw * 4},
                         x - x0, y - y0);
        for (int r = 0; r < bh; ++r) {
            const uint8_t* s = scratch_.data() + size_t(r) * bw * 4;
            uint8_t* d = frame.TopRow(y0 + r) + size_t(x0) * 3;
            for (int i = 0; i < bw; ++i, s += 4, d += 3) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
        }
    }
}

}  // namespace quillet
