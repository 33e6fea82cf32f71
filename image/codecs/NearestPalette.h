#pragma once
// Exact nearest palette entry by RaViru's rule (smallest squared distance, the lower index on a
// tie), fast enough to map every pixel of a large picture.
#include <cstdint>
#include <vector>

#include "image/BitmapInfo.h"

namespace quillet {

// The colour cube is cut into 32 × 32 × 32 cells of 8 × 8 × 8 colours; each cell, when first
// met, lists the entries that can be nearest for some colour in it: those whose least distance
// to the cell does not exceed the smallest greatest distance of any entry. An entry at the
// minimal distance always passes that test, and the list keeps index order, so a strict
// comparison over it gives the same answer as a scan of the whole palette. Recent colours are
// remembered in a small hash.
class NearestPalette {
public:
    NearestPalette(const Rgbquad* palette, int count);
    int Find(uint8_t red, uint8_t green, uint8_t blue);

private:
    static constexpr int kCells = 32 * 32 * 32;
    struct Slot {
        uint32_t colour = 0xFFFFFFFF;  // never a 24-bit colour
        int index = 0;
    };
    void Fill(int cell);
    int Search(int red, int green, int blue);

    std::vector<Rgbquad> palette_;
    std::vector<int> cellStart_, cellEnd_;
    std::vector<int> candidates_;
    std::vector<Slot> cache_;
};

}  // namespace quillet
