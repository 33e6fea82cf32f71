#pragma once
// Conversions between RaViru and QImage: the Qt stand-in for bitmap handles.
#include <QImage>

#include "image/RaViru.h"

namespace quillet {

// Replaces the target's block by the picture's pixels at its own depth (1, 8, 24 or 32 bits,
// kind 0). A null picture leaves the target without a block. False with lastError on failure.
bool FromQImage(RaViru& target, const QImage& image);

// A deep copy of the image as a QImage (indexed images keep their palette).
QImage ToQImage(const RaViru& image);

}  // namespace quillet
