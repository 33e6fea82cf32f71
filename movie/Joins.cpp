#include "movie/Joins.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "movie/FrameSink.h"

namespace quillet {

namespace {
constexpr float kFadeStep = 0.01f;
constexpr float kHoldZoom = 0.2f;  // a panned hold closes in to 1.2 times

// One fade frame: every byte old × (1 − t) + new × t in single precision, truncated. The SSE2
// path makes the same two products and one sum per byte, each rounded to single precision, and
// truncates as the conversion to int does.
void BlendRows(const Frame24& old, const Frame24& next, float t, Frame24& out) {
    const float keep = 1.0f - t;
    const size_t n = out.bytes.size();
    const uint8_t* a = old.bytes.data();
    const uint8_t* b = next.bytes.data();
    uint8_t* d = out.bytes.data();
    size_t i = 0;
#ifdef __SSE2__
    const __m128 vk = _mm_set1_ps(keep), vt = _mm_set1_ps(t);
    const __m128i zero = _mm_setzero_si128();
    auto blend4 = [&](__m128i a32, __m128i b32) {
        const __m128 v =
            _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(a32), vk), _mm_mul_ps(_mm_cvtepi32_ps(b32), vt));
        return _mm_cvttps_epi32(v);
    };
    for (; i + 16 <= n; i += 16) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        const __m128i aLo = _mm_unpacklo_epi8(va, zero), aHi = _mm_unpackhi_epi8(va, zero);
        const __m128i bLo = _mm_unpacklo_epi8(vb, zero), bHi = _mm_unpackhi_epi8(vb, zero);
        const __m128i r0 = blend4(_mm_unpacklo_epi16(aLo, zero), _mm_unpacklo_epi16(bLo, zero));
        const __m128i r1 = blend4(_mm_unpackhi_epi16(aLo, zero), _mm_unpackhi_epi16(bLo, zero));
        const __m128i r2 = blend4(_mm_unpacklo_epi16(aHi, zero), _mm_unpacklo_epi16(bHi, zero));
        const __m128i r3 = blend4(_mm_unpackhi_epi16(aHi, zero), _mm_unpackhi_epi16(bHi, zero));
        // Results lie in 0..255, so the saturating packs only narrow them.
        const __m128i lo = _mm_packs_epi32(r0, r1), hi = _mm_packs_epi32(r2, r3);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; i < n; ++i) d[i] = uint8_t(int(float(a[i]) * keep + float(b[i]) * t));
}

// Position i of n along a span of `length` pixels.
int Along(int length, int i, int n) { return n <= 0 ? length : int(int64_t(length) * i / n); }
}  // namespace

int MovingJoinFrames(int speed) { return 15 + (20 - std::clamp(speed, 0, 20)) * 3; }

int FadeFrameCount() {
    int frames = 0;
    for (float t = 0.0f; t < 1.0f; t += kFadeStep) ++frames;
    return frames + 1;
}

bool WriteFade(Frame24& canvas, const Frame24& next, FrameSink& sink) {
    const Frame24 old = canvas;
    for (float t = 0.0f; t < 1.0f; t += kFadeStep) {
        BlendRows(old, next, t, canvas);
        if (!sink.Put(canvas)) return false;
    }
    canvas = next;
    return sink.Put(canvas);
}

bool WriteLines(Frame24& canvas, const Frame24& next, FrameSink& sink) {
    const size_t rowBytes = size_t(canvas.width) * 3;
    for (int k = 0; k < kLineJoinFrames; ++k) {
        for (int y = k; y < canvas.height; y += kLineJoinFrames)
            std::memcpy(canvas.Row(y), next.Row(y), rowBytes);
        if (!sink.Put(canvas)) return false;
    }
    return true;
}

bool WriteZoom(Frame24& canvas, const Frame24& next, const JoinSetting& setting,
               FrameScaler& scaler, FrameSink& sink) {
    const FrameRect p = setting.picture;
    const int n = MovingJoinFrames(setting.speed);
    const Frame24 old = canvas;
    for (int i = 1; i < n; ++i) {
        const int w = std::max(1, Along(p.width, i, n));
        const int h = std::max(1, Along(p.height, i, n));
        CopyRect(old, p, canvas, p.x, p.y);
        scaler.Scale(next, p, canvas, {p.x + (p.width - w) / 2, p.y + (p.height - h) / 2, w, h});
        if (!sink.Put(canvas)) return false;
    }
    canvas = next;
    return sink.Put(canvas);
}

bool WritePush(JoinKind kind, Frame24& canvas, const Frame24& next, const JoinSetting& setting,
               FrameSink& sink) {
    const FrameRect p = setting.picture;
    const int n = MovingJoinFrames(setting.speed);
    const Frame24 old = canvas;
    const bool horizontal = kind == JoinKind::PushRight || kind == JoinKind::PushLeft;
    const int span = horizontal ? p.width : p.height;
    // +1 moves right or down, −1 left or up.
    const int sign = (kind == JoinKind::PushRight || kind == JoinKind::PushDown) ? 1 : -1;
    for (int i = 1; i < n; ++i) {
        const int d = Along(span, i, n) * sign;
        const int incoming = d - sign * span;  // the new picture follows the old one in
        if (horizontal) {
            CopyRect(old, p, canvas, p.x + d, p.y, p);
            CopyRect(next, p, canvas, p.x + incoming, p.y, p);
        } else {
            CopyRect(old, p, canvas, p.x, p.y + d, p);
            CopyRect(next, p, canvas, p.x, p.y + incoming, p);
        }
        if (!sink.Put(canvas)) return false;
    }
    canvas = next;
    return sink.Put(canvas);
}

bool WritePanorama(JoinKind kind, Frame24& canvas, const Frame24& next, const Frame24& zoomed,
                   const JoinSetting& setting, FrameSink& sink) {
    const FrameRect p = setting.picture;
    const int n = 2 * MovingJoinFrames(setting.speed);
    const int roomX = std::max(0, zoomed.width - p.width);
    const int roomY = std::max(0, zoomed.height - p.height);
    for (int i = 0; i <= n; ++i) {
        int x = roomX / 2, y = roomY / 2;
        if (kind == JoinKind::PanoramaDown) {
            y = Along(roomY, i, n);
        } else if (kind == JoinKind::PanoramaRight) {
            x = Along(roomX, i, n);
        } else {  // down and to the left: from the top right corner to the bottom left
            x = roomX - Along(roomX, i, n);
            y = Along(roomY, i, n);
        }
        CopyRect(zoomed, {x, y, p.width, p.height}, canvas, p.x, p.y);
        if (!sink.Put(canvas)) return false;
    }
    return WriteFade(canvas, next, sink);
}

bool WriteJoin(JoinKind kind, Frame24& canvas, const Frame24& next, const Frame24* zoomed,
               const JoinSetting& setting, FrameScaler& scaler, FrameSink& sink) {
    switch (kind) {
        case JoinKind::Fade:
            return WriteFade(canvas, next, sink);
        case JoinKind::Lines:
            return WriteLines(canvas, next, sink);
        case JoinKind::Zoom:
            return WriteZoom(canvas, next, setting, scaler, sink);
        case JoinKind::PanoramaDown:
        case JoinKind::PanoramaRight:
        case JoinKind::PanoramaDownLeft:
            if (zoomed) return WritePanorama(kind, canvas, next, *zoomed, setting, sink);
            return WriteFade(canvas, next, sink);
        case JoinKind::PushRight:
        case JoinKind::PushLeft:
        case JoinKind::PushDown:
        case JoinKind::PushUp:
            return WritePush(kind, canvas, next, setting, sink);
    }
    return WriteFade(canvas, next, sink);
}

bool WriteHold(Frame24& canvas, int frames, PanDirection pan, const JoinSetting& setting,
               FrameScaler& scaler, FrameSink& sink) {
    if (pan == PanDirection::None || setting.picture.Empty()) {
        for (int i = 0; i < frames; ++i)
            if (!sink.Put(canvas)) return false;
        return true;
    }
    const FrameRect p = setting.picture;
    const Frame24 still = canvas;
    for (int i = 0; i < frames; ++i) {
        // The view shrinks to 1/1.2 of the area while it drifts to the pan's edge.
        const float zoom = 1.0f + kHoldZoom * float(i) / float(std::max(1, frames - 1));
        const int w = std::max(1, int(float(p.width) / zoom));
        const int h = std::max(1, int(float(p.height) / zoom));
        const int roomX = p.width - w, roomY = p.height - h;
        int x = roomX / 2, y = roomY / 2;
        switch (pan) {
            case PanDirection::Down:
                y = roomY;
                break;
            case PanDirection::Up:
                y = 0;
                break;
            case PanDirection::Left:
                x = 0;
                break;
            case PanDirection::Right:
                x = roomX;
                break;
            case PanDirection::None:
                break;
        }
        if (w == p.width && h == p.height)
            CopyRect(still, p, canvas, p.x, p.y);
        else
            scaler.Scale(still, {p.x + x, p.y + y, w, h}, canvas, p);
        if (!sink.Put(canvas)) return false;
    }
    return true;
}

}  // namespace quillet
