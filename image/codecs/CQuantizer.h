#pragma once
// CQuantizer: octree colour quantizer. Colours are added one by one into an octree whose
// leaves are merged, deepest level first, whenever there are more leaves than colours allowed;
// the leaves' mean colours become the palette.
#include <cstdint>
#include <vector>

#include "image/BitmapInfo.h"

namespace quillet {

class RaViru;

class CQuantizer {
public:
    struct Node {
        bool isLeaf = false;
        uint32_t pixelCount = 0;
        uint64_t redSum = 0;
        uint64_t greenSum = 0;
        uint64_t blueSum = 0;
        Node* children[8] = {};
        Node* nextReducible = nullptr;
    };

    // The editor always asks for 256 colours at 8 bits.
    explicit CQuantizer(unsigned maxColours = 256, unsigned colourBits = 8);
    virtual ~CQuantizer();
    CQuantizer(const CQuantizer&) = delete;
    CQuantizer& operator=(const CQuantizer&) = delete;

    void AddColour(uint8_t red, uint8_t green, uint8_t blue);
    // Adds every pixel: indexed pictures give each pixel's palette colour, true-colour ones
    // their pixel bytes. False when the picture has no pixels.
    bool ProcessImage(const RaViru& image);
    // Adds every pixel of rows of blue, green, red (and a fourth byte at 4 bytes per pixel).
    void AddRows(const uint8_t* firstRow, size_t stride, int width, int height, int bytesPerPixel);

    unsigned LeafCount() const { return leafCount_; }
    unsigned MaxColours() const { return maxColours_; }
    // The leaves' colours, depth first with children in index order; at most maxColours.
    std::vector<Rgbquad> Palette() const;

    // Builds an 8-bit picture of the same size with the palette (padded to 256 entries with
    // black) and, for each pixel, the palette index nearest to its colour (RaViru's rule:
    // squared distance, ties to the lower index).
    bool MakeIndexed(const RaViru& source, RaViru& target) const;

private:
    void Reduce();
    static void DeleteTree(Node* node);
    static void Collect(const Node* node, std::vector<Rgbquad>& out);
    Node* CreateNode(unsigned level);

    Node* root_ = nullptr;
    unsigned leafCount_ = 0;
    Node* reducible_[9] = {};  // one list per level, 0..depth
    unsigned maxColours_;
    unsigned depth_;
    // Colours added since the last reduction, with the leaf they ended at, by a small hash.
    // A slot counts only while its generation is the current one; a reduction starts a new one.
    struct CacheSlot {
        uint32_t colour = 0;
        uint32_t generation = 0;
        Node* leaf = nullptr;
    };
    std::vector<CacheSlot> cache_;
    uint32_t generation_ = 1;
};

}  // namespace quillet
