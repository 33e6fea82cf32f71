#pragma once
// The start-up picture, drawn in code so that it needs no file, and its 500 ms showing.
#include <QPixmap>

namespace quillet {

QPixmap splashPicture();
// Shows the picture for `milliseconds` over the screen's centre, then closes it.
void showSplash(int milliseconds = 500);

}  // namespace quillet
