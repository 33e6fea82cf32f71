#pragma once
// Inside the compositor: one pass per drawn layer, prepared once per composition, and the row
// loop that runs the passes. Every destination pixel is a function of one canvas pixel, so a
// composition needs only the distinct canvas columns and rows its pixels map to.
#include <cstdint>
#include <vector>

#include "document/Layer.h"
#include "document/compositor/Compositor.h"

namespace quillet {
class LayerTable;
}

namespace quillet::compositing {

// Where a pass takes its colours from.
enum SourceKind : int {
    kBgr24 = 3,     // three bytes per pixel, read in place
    kBgra32 = 4,    // four bytes per pixel, read in place
    kConstant = 0,  // text layers: one colour shaped by the alpha plane
    kIndexed = -1,  // 1, 4 or 8 bits through a colour table
};

struct LayerPass {
    // How the pass combines the layer with what lies below: the document's bottom layer gives
    // trunc(a × s); the normal mode trunc(a × s + (1 − a) × d); the other modes their channel
    // function wherever the alpha is not 0.
    bool bottom = false;
    BlendMode mode = BlendMode::Normal;
    bool replaces = false;  // alpha 255 gives exactly the source colour and alpha 255
    int source = kBgr24;
    int bits = 24;
    int x = 0, y = 0, width = 0, height = 0;
    const uint8_t* pixels = nullptr;
    size_t stride = 0;
    const uint8_t* alpha = nullptr;
    uint8_t colour[4] = {0, 0, 0, 0};
    uint8_t lut[256][4] = {};      // indexed colours, blue, green, red, 0
    int k0 = 0, k1 = 0;            // covered range of the composition's distinct columns
    std::vector<int32_t> columns;  // layer column of each covered distinct column (sparse case)
    float coverage[256] = {};      // a for every alpha value R
    float rest[256] = {};          // 1 − a
};

// The canvas columns and rows that a composition's pixels map to.
struct Plan {
    std::vector<int> distinctColumns;  // increasing canvas columns
    bool contiguous = true;            // distinctColumns[k] = distinctColumns[0] + k
    std::vector<int> expand;           // distinct column index of each output column; empty = same
    std::vector<int> rows;             // canvas row (from the top) of each output row
};

// Coverage in single precision, exactly as defined: (R = 255 ? 1 : R / 255) × (255 − t) / 255.
inline float CoverageOf(unsigned R, unsigned transparency) {
    return (R == 255 ? 1.0f : float(R) / 255.0f) * float(255 - int(transparency)) / 255.0f;
}

// `alone` draws the one layer at `startSlot` by itself, as the layer window pictures it: hidden
// or not, in the rule of a bottom layer whatever its blend mode.
std::vector<LayerPass> PreparePasses(const LayerTable& table, int startSlot, int count,
                                     const Plan& plan, bool alone = false);
// Composes output rows [rowBegin, rowEnd) of `out` (plan-sized; its old bytes do not matter).
void ComposeRows(const std::vector<LayerPass>& passes, const Plan& plan, Image32& out, int rowBegin,
                 int rowEnd);
// Runs ComposeRows over all rows on one or two threads.
void ComposeAll(const std::vector<LayerPass>& passes, const Plan& plan, Image32& out, int threads);

}  // namespace quillet::compositing
