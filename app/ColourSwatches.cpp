#include "app/ColourSwatches.h"

#include <utility>

namespace quillet {

void swapSwatches(ColourSwatches& swatches) { std::swap(swatches.foreground, swatches.background); }

void setForeground(ColourSwatches& swatches, const SwatchColour& chosen) {
    swatches.previousForeground = swatches.foreground.colour;
    swatches.foreground = chosen;
}

void setBackground(ColourSwatches& swatches, const SwatchColour& chosen) {
    swatches.previousBackground = swatches.background.colour;
    swatches.background = chosen;
}

}  // namespace quillet
