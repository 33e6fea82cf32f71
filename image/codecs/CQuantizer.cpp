#include "image/codecs/CQuantizer.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>

#include "image/RaViru.h"
#include "image/codecs/NearestPalette.h"

namespace quillet {

namespace {

constexpr int kCacheBits = 14;

inline uint32_t colourHash(uint32_t colour, int bits) {
    return (colour * 2654435761u) >> (32 - bits);
}

}  // namespace

CQuantizer::CQuantizer(unsigned maxColours, unsigned colourBits)
    : maxColours_(std::max(1u, maxColours)), depth_(std::clamp(colourBits, 1u, 8u)) {}

CQuantizer::~CQuantizer() { DeleteTree(root_); }

void CQuantizer::DeleteTree(Node* node) {
    if (!node) return;
    for (Node* child : node->children) DeleteTree(child);
    delete node;
}

CQuantizer::Node* CQuantizer::CreateNode(unsigned level) {
    Node* node = new Node;
    if (level == depth_) {
        node->isLeaf = true;
        ++leafCount_;
    } else {
        node->nextReducible = reducible_[level];
        reducible_[level] = node;
    }
    return node;
}

void CQuantizer::AddColour(uint8_t red, uint8_t green, uint8_t blue) {
    // A colour seen since the last reduction still ends at the same leaf: no node is ever
    // inserted above an existing leaf, only a reduction moves leaves.
    const uint32_t key = packBgr(red, green, blue);
    CacheSlot* slot = nullptr;
    if (!cache_.empty()) {
        slot = &cache_[colourHash(key, kCacheBits)];
        if (slot->colour == key && slot->generation == generation_) {
            Node* leaf = slot->leaf;
            ++leaf->pixelCount;
            leaf->redSum += red;
            leaf->greenSum += green;
            leaf->blueSum += blue;
            return;
        }
    }
    Node** link = &root_;
    Node* node = nullptr;
    for (unsigned level = 0;; ++level) {
        if (!*link) *link = CreateNode(level);
        node = *link;
        if (node->isLeaf) break;
        const unsigned shift = 7 - level;
        const unsigned index =
            (((red >> shift) & 1) << 2) | (((green >> shift) & 1) << 1) | ((blue >> shift) & 1);
        link = &node->children[index];
    }
    ++node->pixelCount;
    node->redSum += red;
    node->greenSum += green;
    node->blueSum += blue;
    if (leafCount_ > maxColours_) {
        while (leafCount_ > maxColours_) Reduce();
        if (++generation_ == 0) {  // wrapped: forget every slot for real
            std::fill(cache_.begin(), cache_.end(), CacheSlot{});
            generation_ = 1;
        }
    } else if (slot) {
        *slot = {key, generation_, node};
    }
}

void CQuantizer::Reduce() {
    int level = int(depth_) - 1;
    while (level > 0 && !reducible_[level]) --level;
    Node* node = reducible_[level];
    if (!node) {  // nothing left to merge (only with a limit below one colour)
        leafCount_ = 0;
        return;
    }
    reducible_[level] = node->nextReducible;
    unsigned children = 0;
    for (Node*& child : node->children) {
        if (!child) continue;
        // Every node below the deepest reducible level is a leaf.
        node->redSum += child->redSum;
        node->greenSum += child->greenSum;
        node->blueSum += child->blueSum;
        node->pixelCount += child->pixelCount;
        ++children;
        DeleteTree(child);
        child = nullptr;
    }
    node->isLeaf = true;
    leafCount_ = leafCount_ + 1 - children;
}

bool CQuantizer::ProcessImage(const RaViru& image) {
    if (!image.HasBlock()) return false;
    // The leaf cache pays off on pictures; it is dropped again afterwards.
    cache_.assign(size_t(1) << kCacheBits, CacheSlot{});
    const int w = image.Width(), h = image.Height(), depth = image.BitCount();
    if (depth >= 24) {
        const int step = depth / 8;
        for (int y = 0; y < h; ++y) {
            const uint8_t* p = image.Row(y);
            for (int x = 0; x < w; ++x, p += step) AddColour(p[2], p[1], p[0]);
        }
    } else {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const Rgbquad q = image.PaletteEntry(int(image.PixelIndexAt(x, y)));
                AddColour(q.red, q.green, q.blue);
            }
        }
    }
    cache_.clear();
    cache_.shrink_to_fit();
    return true;
}

void CQuantizer::AddRows(const uint8_t* firstRow, size_t stride, int width, int height,
                         int bytesPerPixel) {
    // Kept until the quantizer goes: the rows of several layers share it.
    if (cache_.empty()) cache_.assign(size_t(1) << kCacheBits, CacheSlot{});
    for (int y = 0; y < height; ++y) {
        const uint8_t* p = firstRow + size_t(y) * stride;
        for (int x = 0; x < width; ++x, p += bytesPerPixel) AddColour(p[2], p[1], p[0]);
    }
}

void CQuantizer::Collect(const Node* node, std::vector<Rgbquad>& out) {
    if (!node) return;
    if (node->isLeaf) {
        const uint64_t n = node->pixelCount ? node->pixelCount : 1;
        out.push_back({uint8_t(node->blueSum / n), uint8_t(node->greenSum / n),
                       uint8_t(node->redSum / n), 0});
        return;
    }
    for (const Node* child : node->children) Collect(child, out);
}

std::vector<Rgbquad> CQuantizer::Palette() const {
    std::vector<Rgbquad> out;
    Collect(root_, out);
    if (out.size() > maxColours_) out.resize(maxColours_);
    return out;
}

bool CQuantizer::MakeIndexed(const RaViru& source, RaViru& target) const {
    if (!source.HasBlock() || &source == &target) return false;
    const int w = source.Width(), h = source.Height(), depth = source.BitCount();
    RaViru result(source.kind);
    result.SetHorizontalDpi(source.dpiX);
    result.SetVerticalDpi(source.dpiY);
    if (!result.Allocate(w, h, 8, source.kind)) return false;
    std::vector<Rgbquad> palette = Palette();
    palette.resize(256);
    result.SetPaletteFromQuads(palette.data(), 256);

    NearestPalette nearest(result.PaletteBase(), result.PaletteCount());
    for (int y = 0; y < h; ++y) {
        uint8_t* dst = result.Row(y);
        if (depth >= 24) {
            const int step = depth / 8;
            const uint8_t* p = source.Row(y);
            for (int x = 0; x < w; ++x, p += step) dst[x] = uint8_t(nearest.Find(p[2], p[1], p[0]));
        } else {
            for (int x = 0; x < w; ++x) {
                const Rgbquad q = source.PaletteEntry(int(source.PixelIndexAt(x, y)));
                dst[x] = uint8_t(nearest.Find(q.red, q.green, q.blue));
            }
        }
    }
    target.AdoptFrom(result);
    return true;
}

}  // namespace quillet
