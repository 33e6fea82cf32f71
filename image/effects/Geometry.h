#pragma once
// Flips, quarter turns, free rotation and resampling: pure routines on rows of pixels as the
// layer planes and the image object hold them (bottom row first, `stride` bytes apart).
// Directions are named as they look on screen.
#include <cstddef>
#include <cstdint>

#include "image/effects/RowThreads.h"

namespace quillet {

class RaViru;

// Rows of one plane: 1, 4, 8, 24 or 32 bits per pixel (1 and 4 bits: first pixel in the
// high bits), bottom row first.
struct PlaneRef {
    uint8_t* data = nullptr;
    size_t stride = 0;
    int width = 0;
    int height = 0;
    int bits = 8;
};

struct ConstPlaneRef {
    const uint8_t* data = nullptr;
    size_t stride = 0;
    int width = 0;
    int height = 0;
    int bits = 8;

    ConstPlaneRef() = default;
    ConstPlaneRef(const uint8_t* d, size_t s, int w, int h, int b)
        : data(d), stride(s), width(w), height(h), bits(b) {}
    ConstPlaneRef(const PlaneRef& p)  // NOLINT: a writable plane reads as well
        : data(p.data), stride(p.stride), width(p.width), height(p.height), bits(p.bits) {}
};

enum class QuarterTurn {
    Clockwise,      // 90
    Anticlockwise,  // -90
    Half,           // 180
};

// Mirror left to right, in place: the pixel at (x, y) takes the one at (w − 1 − x, y).
void FlipHorizontal(const PlaneRef& plane);
// Top to bottom, in place: row y takes row h − 1 − y.
void FlipVertical(const PlaneRef& plane);

// Width and height after the turn.
inline void TurnedSize(QuarterTurn turn, int width, int height, int& outWidth, int& outHeight) {
    const bool swap = turn != QuarterTurn::Half;
    outWidth = swap ? height : width;
    outHeight = swap ? width : height;
}

// Moves every pixel of `src` to its place in `dst` (sized by TurnedSize, same bits): clockwise
// on screen, the destination pixel (u, v) takes the source (w − 1 − v, u) in storage rows.
// Cache-blocked; `threads` > 1 splits the rows, with the same output as one thread.
void TurnPlane(const ConstPlaneRef& src, const PlaneRef& dst, QuarterTurn turn, int threads = 1,
               RowProgress progress = {});

// Copies `src` into `dst` with its first pixel of its first row at (x, y) of `dst` (storage
// rows); what falls outside `dst` is skipped. Same bits on both sides.
void CopyPlaneAt(const ConstPlaneRef& src, const PlaneRef& dst, int x, int y);

// Free rotation by `degrees` (positive clockwise on screen), nearest neighbour.
struct RotationBox {
    int minX = 0, minY = 0;  // rotated coordinates of the destination's first pixel
    int width = 0, height = 0;
};
// The destination's size and origin: the four corners turned, truncated toward zero, with 0.
RotationBox RotatedBox(int width, int height, double degrees);
// Colour and alpha of the source at trunc(j c + i s − 0.5), trunc(i c − j s − 0.5); outside
// the source `outsidePixel` (bits / 8 bytes, or one index byte) with alpha 0. Planes of 8, 24
// or 32 bits; `dstAlpha`/`srcAlpha` may be null together.
void RotatePlane(const ConstPlaneRef& src, const uint8_t* srcAlpha, const PlaneRef& dst,
                 uint8_t* dstAlpha, double degrees, const uint8_t* outsidePixel);

// Resampling: the destination pixel (u, v) looks at X = rx (u + 0.5) − 0.5 and
// Y = ry (v + 0.5) − 0.5 of the source, with rx and ry the picture's inverse scale factors.
struct ResampleScale {
    double rx = 1;
    double ry = 1;
    // Enlarging in both directions interpolates; anything else averages areas.
    bool Enlarging() const { return rx <= 1 && ry <= 1; }
};

// Colour planes of 8 (one channel), 24 or 32 bits. Enlarging: bilinear with weights in 1/256,
// the edge pixel standing in for points beyond the first and last rows and columns. Reducing:
// each source pixel's unit square counts by the area it shares with the rx × ry box around
// (X, Y), rounded to the nearest value. Both cores give the output of one.
void ResamplePlane(const ConstPlaneRef& src, const PlaneRef& dst, ResampleScale scale,
                   int threads = 1, RowProgress progress = {});
// One byte per pixel (alpha, effect marks): the source pixel nearest to (X, Y).
void ResampleNearest(const ConstPlaneRef& src, const PlaneRef& dst, ResampleScale scale,
                     int threads = 1);

// The image object's mirror routines, on a copy that then replaces the image: rows reversed
// left to right, or the order of the rows reversed.
void MirrorImage(RaViru& image);
void MirrorImageRows(RaViru& image);

// How many threads the geometry routines use for a picture of this many pixels.
int GeometryThreads(uint64_t pixels);

}  // namespace quillet
