#pragma once
// The outline and the four handles of a free transform or free rotate in progress, drawn over
// the composed picture of a view.
#include <QImage>
#include <QRect>

#include "document/compositor/Compositor.h"

namespace quillet {

class CBrevDoc;

void DrawTransformHandles(QImage& frame, const CBrevDoc& doc, const DisplayRequest& request,
                          const QRect& clip);

}  // namespace quillet
