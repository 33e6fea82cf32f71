#pragma once
// The warp of a rectangular picture onto a quadrilateral: the bilinear mapping that takes the
// source rectangle's corners to the quadrilateral's and its grid lines to the lines joining
// points at equal fractions along opposite edges.
#include <cstdint>

#include "image/effects/Geometry.h"

namespace quillet {

// Corners in continuous destination coordinates, x to the right and y down from the
// destination's top-left corner (a pixel (x, y) covers [x, x + 1) × [y, y + 1)). Corner k takes
// the source's bottom-left (0), bottom-right (1), top-right (2) and top-left (3) corner.
struct WarpQuad {
    double x[4] = {};
    double y[4] = {};
};

// A source grid point (i / w, j / h) is the intersection of the line through the points at
// fraction i / w along the top and bottom edges with the line through the points at j / h
// along the left and right edges. False when any such pair is parallel (|determinant| < 1e−9).
bool WarpGridValid(const WarpQuad& quad, int sourceWidth, int sourceHeight);

enum class WarpSampling {
    Bilinear,  // colour and alpha interpolated in 1/256 steps, colour weighted by alpha
    Nearest,   // the source pixel whose cell holds the point (palette indices)
};

// The source: colour plane (8, 24 or 32 bits), alpha and effect planes (one byte a pixel,
// rows `planeStride` bytes apart, 0 meaning the width), all bottom row first. A part of a layer
// is its planes from the part's first pixel with the layer's strides.
struct WarpSource {
    ConstPlaneRef pixels;
    const uint8_t* alpha = nullptr;
    const uint8_t* effect = nullptr;
    size_t planeStride = 0;
};

// The destination planes, bottom row first like the source; `outsidePixel` (bits / 8 bytes)
// fills what the quadrilateral does not cover, with alpha and effect 0.
struct WarpTarget {
    PlaneRef pixels;
    uint8_t* alpha = nullptr;
    uint8_t* effect = nullptr;
    const uint8_t* outsidePixel = nullptr;
};

// Every destination pixel whose centre lies in the quadrilateral takes the source at the
// point the inverse mapping gives; the source's edge pixels stand in beyond its last pixel
// centres. A quadrilateral that is an upright rectangle in the source's own orientation is a
// plain resample (ResamplePlane, alpha and effect by ResampleNearest). Rows split between
// `threads`; the output does not depend on their number.
void WarpPlane(const WarpSource& source, const WarpTarget& target, const WarpQuad& quad,
               WarpSampling sampling, int threads = 1, RowProgress progress = {});

// Only the destination pixels at the given columns of the given rows (top-down row numbers
// within the destination), the rest left as they are: a preview at the resolution a view
// shows. Columns increasing.
void WarpPlaneAt(const WarpSource& source, const WarpTarget& target, const WarpQuad& quad,
                 WarpSampling sampling, const int* columns, int columnCount, const int* rows,
                 int rowCount, int threads = 1);

}  // namespace quillet
