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

ColourSwatches swatchesFromSettings(const FrameSettings& s) {
    ColourSwatches w;
    w.foreground = {s.foreground, s.foregroundPick.index, s.foregroundPick.x, s.foregroundPick.y};
    w.background = {s.background, s.backgroundPick.index, s.backgroundPick.x, s.backgroundPick.y};
    w.previousForeground = s.previousForeground;
    w.previousBackground = s.previousBackground;
    return w;
}

void storeSwatches(const ColourSwatches& w, FrameSettings& s) {
    s.foreground = w.foreground.colour;
    s.foregroundPick = {w.foreground.index, w.foreground.pickerX, w.foreground.pickerY};
    s.background = w.background.colour;
    s.backgroundPick = {w.background.index, w.background.pickerX, w.background.pickerY};
    s.previousForeground = w.previousForeground;
    s.previousBackground = w.previousBackground;
}

}  // namespace quillet
