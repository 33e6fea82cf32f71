#pragma once
// The fill tool: floods the area of similar colour connected to the clicked pixel with the
// foreground colour, painting only selected pixels.
#include <cstdint>

#include "image/effects/LayerPixels.h"
#include "view/ToolOperation.h"

namespace quillet {

class CBrevDoc;
struct FrameSettings;
struct Rgbquad;
class UserPort;
enum class EditOutcome;

inline constexpr char16_t kFillLabel[] = u"채우기";

struct FillOptions {
    uint32_t colour = 0;  // 0x00RRGGBB
    int tolerance = 10;  // "포함한계치": a neighbour joins when its difference sum is below it
    int feather = 0;     // "경계퍼짐": above 0 the alpha softens towards the selection edge
};

// An indexed layer's rows (1, 4 or 8 bits a pixel) and its palette; null palette for true colour.
struct IndexedRows {
    const Rgbquad* palette = nullptr;
    int paletteCount = 0;
    int bits = 8;
    unsigned foregroundIndex = 0;  // the palette entry written for the fill colour
};

// The flood on a layer's planes: `from` is the layer as it was (read only), `to` the working copy
// that receives the paint and carries the selection. (x, row) is the clicked pixel, row in
// storage order. Neighbours are the eight around a pixel; the area spreads through unselected
// pixels. Each pixel is visited once, by spans of rows kept on a heap stack.
// `progress`, when given, hears the share of the layer reached whenever it grows by a percent.
// Returns the number of pixels reached (painted or not).
int64_t FloodFillPixels(const LayerPixels& from, const LayerPixels& to, int x, int row,
                        const FillOptions& options, const IndexedRows& indexed = {},
                        UserPort* progress = nullptr);

// The fill command on the current layer at (x, y), rows counted from the layer's top: a text
// layer is refused with the document's message, a point outside the layer or the selection
// does nothing; otherwise one journal step "채우기".
EditOutcome FillAt(CBrevDoc& doc, int x, int y, const FillOptions& options);

// A click with the fill tool: tolerance and feather from the option sliders, the colour from
// the settings' foreground.
class FillTool : public ToolOperation {
public:
    explicit FillTool(const FrameSettings& settings) : settings_(settings) {}
    void down(ToolEvent& event) override;

private:
    const FrameSettings& settings_;
};

}  // namespace quillet
