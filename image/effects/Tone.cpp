#include "image/effects/Tone.h"

#include "image/effects/RowCopy.h"

namespace quillet {

namespace {
inline int GreyOf(const uint8_t* p) { return (p[0] + p[1] + p[2]) / 3; }
inline void SetGrey(uint8_t* p, int g) { p[0] = p[1] = p[2] = uint8_t(g); }
}  // namespace

void InvertPixels(const LayerPixels& from, const LayerPixels& to) {
    if (to.Empty() || !from.SameShape(to)) return;
    const int bpp = to.bytesPerPixel;
    for (int y = 0; y < to.height; ++y) {
        uint8_t* p = CopiedRow(from, to, y);
        const uint8_t* s = to.SelectionRow(y);
        if (!s) {
            const size_t n = size_t(to.width) * size_t(bpp);
            for (size_t i = 0; i < n; ++i) p[i] = uint8_t(~p[i]);
            continue;
        }
        for (int x = 0; x < to.width; ++x, p += bpp)
            if (s[x])
                for (int b = 0; b < bpp; ++b) p[b] = uint8_t(~p[b]);
    }
}

void InvertPalette(Rgbquad* palette, int count) {
    for (int i = 0; i < count; ++i) {
        palette[i].blue = uint8_t(~palette[i].blue);
        palette[i].green = uint8_t(~palette[i].green);
        palette[i].red = uint8_t(~palette[i].red);
    }
}

void InvertIndexBytes(uint8_t* pixels, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i) pixels[i] = uint8_t(~pixels[i]);
}

void DesaturatePixels(const LayerPixels& from, const LayerPixels& to) {
    if (to.Empty() || !from.SameShape(to)) return;
    const int bpp = to.bytesPerPixel;
    for (int y = 0; y < to.height; ++y) {
        uint8_t* p = CopiedRow(from, to, y);
        const uint8_t* s = to.SelectionRow(y);
        for (int x = 0; x < to.width; ++x, p += bpp)
            if (!s || s[x]) SetGrey(p, GreyOf(p));
    }
}

void DesaturatePalette(Rgbquad* palette, int count) {
    for (int i = 0; i < count; ++i) {
        Rgbquad& q = palette[i];
        q.blue = q.green = q.red = uint8_t((q.red + q.green + q.blue) / 3);
    }
}

namespace {

void Absolute(const LayerPixels& l, int t, Progress* progress) {
    for (int y = 0; y < l.height; ++y) {
        uint8_t* p = l.Row(y);
        const uint8_t* s = l.SelectionRow(y);
        for (int x = 0; x < l.width; ++x, p += l.bytesPerPixel)
            if (!s || s[x]) SetGrey(p, GreyOf(p) > t ? 0 : 255);
        SetProgress(progress, y * 100 / l.height);
    }
}

void FloydSteinberg(const LayerPixels& l, int t, Progress* progress) {
    const int bpp = l.bytesPerPixel;
    // The error goes to a neighbour as a grey of its own grey plus e × w / 16, truncated.
    auto spread = [&](int x, int y, int e, int w) {
        if (x < 0 || x >= l.width || y >= l.height) return;
        const uint8_t* s = l.SelectionRow(y);
        if (s && !s[x]) return;
        uint8_t* p = l.Row(y) + size_t(x) * size_t(bpp);
        SetGrey(p, Clamp255(GreyOf(p) + e * w / 16));
    };
    for (int y = 0; y < l.height; ++y) {
        const uint8_t* s = l.SelectionRow(y);
        for (int x = 0; x < l.width; ++x) {
            uint8_t* p = l.Row(y) + size_t(x) * size_t(bpp);
            const int g = GreyOf(p);
            const bool white = g > t;
            const int e = white ? g - 255 : g;
            if (!s || s[x]) SetGrey(p, white ? 255 : 0);
            spread(x + 1, y, e, 7);
            spread(x - 1, y + 1, e, 3);
            spread(x, y + 1, e, 5);
            spread(x + 1, y + 1, e, 1);
        }
        SetProgress(progress, y * 100 / l.height);
    }
}

void Ordered(const LayerPixels& l, int d, Progress* progress) {
    static constexpr int kMatrix[4][4] = {
        {0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const int divisor = 2 * d + 100;
    for (int y = 0; y < l.height; ++y) {
        uint8_t* p = l.Row(y);
        const uint8_t* s = l.SelectionRow(y);
        for (int x = 0; x < l.width; ++x, p += l.bytesPerPixel) {
            if (s && !s[x]) continue;
            const int e = GreyOf(p) * 16 / divisor;
            const int level = e / 16, fraction = e % 16;
            // The pattern table holds 1 at position 1 only; 1 gives black.
            const int entry = kMatrix[y % 4][x % 4] < fraction ? level + 1 : level;
            SetGrey(p, entry == 1 ? 0 : 255);
        }
        SetProgress(progress, y * 100 / l.height);
    }
}

}  // namespace

void ThresholdPixels(const LayerPixels& layer, ThresholdMode mode, int value, Progress* progress) {
    if (layer.Empty()) return;
    switch (mode) {
        case ThresholdMode::FloydSteinberg:
            FloydSteinberg(layer, value, progress);
            break;
        case ThresholdMode::Ordered:
            Ordered(layer, value, progress);
            break;
        case ThresholdMode::Absolute:
            Absolute(layer, value, progress);
            break;
    }
}

}  // namespace quillet
