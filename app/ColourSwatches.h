#pragma once
// The foreground and background colour swatches of the main frame.
#include <cstdint>

#include "view/FrameSettings.h"

namespace quillet {

// One swatch: its colour (0x00BBGGRR, red in the low byte), the index of the swatch chosen in
// the colour dialog, and the marker position of the colour picker.
struct SwatchColour {
    uint32_t colour = 0;
    int index = 0;
    int pickerX = 0;
    int pickerY = 0;
    bool operator==(const SwatchColour&) const = default;
};

struct ColourSwatches {
    SwatchColour foreground{0x000000, 0, 0, 0};
    SwatchColour background{0xFFFFFF, 0, 0, 0};
    uint32_t previousForeground = 0x000000;  // shown as the earlier colour in the dialog
    uint32_t previousBackground = 0xFFFFFF;
};

// SwapColours: colours, swatch indices and picker positions change places together.
void swapSwatches(ColourSwatches& swatches);

// ForegroundColour and BackgroundColour after OK in the colour dialog: the old colour becomes the
// previous one.
void setForeground(ColourSwatches& swatches, const SwatchColour& chosen);
void setBackground(ColourSwatches& swatches, const SwatchColour& chosen);

// The swatches are kept in the settings record, so they survive a restart.
ColourSwatches swatchesFromSettings(const FrameSettings& settings);
void storeSwatches(const ColourSwatches& swatches, FrameSettings& settings);

// Colour value conversions between 0x00BBGGRR and separate channels.
constexpr uint32_t rgbColour(int r, int g, int b) {
    return uint32_t(r & 0xFF) | (uint32_t(g & 0xFF) << 8) | (uint32_t(b & 0xFF) << 16);
}
constexpr int redOf(uint32_t c) { return int(c & 0xFF); }
constexpr int greenOf(uint32_t c) { return int((c >> 8) & 0xFF); }
constexpr int blueOf(uint32_t c) { return int((c >> 16) & 0xFF); }

}  // namespace quillet
