#pragma once
// QUILLET_STARTUP_TIMING=1: how long after start the first picture of a document was painted.
#include <QApplication>
#include <QElapsedTimer>

namespace quillet {

// Prints "quillet: first picture painted after N ms" on stderr once the first document view
// has painted a picture (the paint is done when the event loop comes back).
void reportFirstPicturePainted(QApplication& application, const QElapsedTimer& clock);

}  // namespace quillet
