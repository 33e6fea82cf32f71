#pragma once
// The selection outline over the composed picture: a class map of the visible area (the mask
// sampled at each window pixel), the outline pixels found in it and drawn as dashes in two
// colours that swap with the animation phase. The map and the dashes are built when the mask or
// the view changes; an animation tick only recolours the dashes, it never composes the layers.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "document/SelectionMask.h"
#include "document/compositor/Compositor.h"
#include "view/ToolId.h"

namespace quillet {

class CBrevDoc;

enum class OverlayMode {
    None = 0,
    Selection = 1,     // the outline of the selection, dimming what lies outside it
    ToolFeedback = 2,  // outline values a selection tool is drawing
    Path = 6,          // path segments and guide-point markers
};

// The overlay the view draws for the document with `tool` current.
OverlayMode ChooseOverlayMode(const CBrevDoc& doc, ToolId tool);

// Frame pixels 0xAARRGGBB: A the complement of B per channel (a channel whose complement
// differs from it by less than 30 becomes 0), B the outline colour, the marker colour.
struct OutlineColours {
    uint32_t a = 0;
    uint32_t b = 0;
    uint32_t marker = 0;
};
// From the settings' outline and marker colours (0x00BBGGRR).
OutlineColours OutlineColoursFor(uint32_t outlineBbggrr, uint32_t markerBbggrr);

class SelectionOutline {
public:
    // Samples the mask for the window area of `area` (its left, top, right and bottom, mapped to
    // the canvas by its origin and zoom) and finds the outline pixels of `mode`.
    void Build(const SelectionMask& mask, const DisplayRequest& area, OverlayMode mode, bool dim);
    // Greys the pixels outside the selection (dim-outside setting, selection mode): each takes
    // its blue value in all three channels. `frame` is the window's first row.
    void Dim(uint32_t* frame, size_t stridePixels) const;
    // Draws the dashes for an animation phase.
    void Paint(uint32_t* frame, size_t stridePixels, bool phase, const OutlineColours& c) const;

    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<uint8_t>& Classes() const { return classes_; }
    size_t DrawnCount() const { return drawn_.size(); }

private:
    enum : uint8_t { kFollowsPhase = 1, kMarker = 2 };
    struct Dash {
        uint16_t x;
        uint8_t kind;
    };
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool dim_ = false;
    std::vector<uint8_t> classes_;  // width × height, rows from the top
    std::vector<Dash> drawn_;       // by rows
    std::vector<uint32_t> rowStart_;
};

}  // namespace quillet
