#pragma once
// Layer compositing: a pure function of the layer table. The document calls it directly for
// save, flatten and merge; views call it for their visible rectangle at their zoom.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillet {

class LayerTable;
namespace compositing {
struct Plan;
}

// A composed 32-bit picture: 4 bytes per pixel, blue, green, red, alpha; created zeroed.
struct Image32 {
    int x = 0;  // window position of the first column (display compositions)
    int y = 0;
    int width = 0;
    int height = 0;
    bool bottomUp = false;  // full-size results use the layers' row order (bottom row first)
    std::vector<uint8_t> bytes;

    uint8_t* Row(int r) { return bytes.data() + size_t(r) * size_t(width) * 4; }
    const uint8_t* Row(int r) const { return bytes.data() + size_t(r) * size_t(width) * 4; }
    bool Empty() const { return width <= 0 || height <= 0; }
};

// What a view asks for. Coordinates are window coordinates (after scrolling); the picture's
// canvas pixel (0, 0) appears at (originX, originY) and each canvas pixel covers zoom pixels.
struct DisplayRequest {
    int originX = 0;
    int originY = 0;
    double zoomX = 1.0;
    double zoomY = 1.0;
    // The area to compose (the clip box), right and bottom exclusive.
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class Compositor {
public:
    // The picture is centred in the window: (window − picture × zoom) / 2, at least 0.
    static int CentredOrigin(int windowSize, int canvasSize, double zoom);
    // Size of the picture on screen at a zoom.
    static int ScaledSize(int canvasSize, double zoom);
    // A request for a whole window showing the picture centred at one zoom.
    static DisplayRequest CentredRequest(const LayerTable& table, int windowWidth, int windowHeight,
                                         double zoom);
    // The picture stretched to the window: one zoom per direction.
    static DisplayRequest StretchRequest(const LayerTable& table, int windowWidth,
                                         int windowHeight);

    // All layers from the bottom, at the request's zoom, over the part of the area the picture
    // occupies. Rows are top-down (screen order). `threads` may be 1 or 2; results are equal.
    static Image32 ComposeDisplay(const LayerTable& table, const DisplayRequest& request,
                                  int threads = 1);

    // Full size, canvas-sized, bottom row first: `count` layers from `startSlot` (all when
    // count <= 0). Hidden layers are skipped but counted.
    static Image32 ComposeFull(const LayerTable& table, int startSlot, int count, int threads = 1);

    // The same into a caller's image, reusing its buffer (views keep one between repaints).
    static void ComposeDisplayInto(const LayerTable& table, const DisplayRequest& request,
                                   Image32& out, int threads = 1);
    static void ComposeFullInto(const LayerTable& table, int startSlot, int count, Image32& out,
                                int threads = 1);

    // One layer drawn by itself at the request's zoom, hidden or not and whatever its blend
    // mode, with its transparency: the layer window's pictures of layers.
    static void ComposeLayerAloneInto(const LayerTable& table, int slot,
                                      const DisplayRequest& request, Image32& out);

    // Flatten and merge: composes `count` layers from `slot` (all when count <= 0) at full size
    // into the picture's pixel format and an alpha plane, and puts both into `slot`, resized to
    // the canvas at (0, 0). The same bytes as ComposeFull converted, without a canvas-sized
    // 32-bit image in between.
    static bool ComposeIntoLayer(LayerTable& table, int slot, int count);

private:
    // The columns and rows a display composition maps to; sizes `out` for them (its old bytes
    // kept for reuse). False, with `out` empty, when nothing of the picture is in the area.
    static bool PlanDisplay(const LayerTable& table, const DisplayRequest& request, Image32& out,
                            compositing::Plan& plan);
};

}  // namespace quillet
