#pragma once
// Captions drawn over the written frames through the text rasterizer, each for its own span
// of movie time.
#include <vector>

#include "movie/Frame24.h"
#include "movie/MovieProject.h"

namespace quillet {

class CaptionOverlay {
public:
    CaptionOverlay(const std::vector<Caption>& captions, const FontSpec& font, uint32_t colour,
                   const TextRasterizer& rasterizer);

    bool Empty() const { return captions_.empty(); }
    bool ActiveAt(double seconds) const;
    // Draws the captions shown at `seconds` into `frame`.
    void Draw(Frame24& frame, double seconds);

private:
    struct Placed {
        Caption caption;
        TextExtent extent;
    };
    std::vector<Placed> captions_;
    FontSpec font_;
    uint32_t colour_;
    const TextRasterizer& rasterizer_;
    std::vector<uint8_t> scratch_;  // the area under a caption, 32 bits, top row first
};

}  // namespace quillet
