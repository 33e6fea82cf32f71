#pragma once
// What a document keeps while one of its layers is being transformed by hand: the mode, the
// four corner handles, the handle being dragged, and the layer as it was before.
#include <array>
#include <cstdint>

#include "document/Layer.h"

namespace quillet {

enum class TransformMode : uint8_t { None, Scale, Distort, Perspective, Rotate };

// Corners in canvas pixels, rows from the top: 0 bottom-left, 1 bottom-right, 2 top-right and
// 3 top-left of the layer's content before the transform.
struct CornerHandles {
    std::array<int32_t, 4> x{};
    std::array<int32_t, 4> y{};
    bool operator==(const CornerHandles&) const = default;
};

// A canvas rectangle, rows from the top.
struct HandleBox {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const HandleBox&) const = default;
};

// One layer's record and planes, put aside.
struct LayerCopy {
    bool valid = false;
    Layer record{};
    LayerPlanes planes;
};

struct FreeTransformState {
    TransformMode mode = TransformMode::None;
    int slot = -1;
    CornerHandles handles;
    CornerHandles saved;  // the handles when the drag began
    HandleBox source;     // the part of the put-aside layer the handles took hold of
    int grabbed = 0;
    bool dragging = false;
    // The layer the current mode warps from, and the layer as it was when the panel opened
    // (what cancel brings back, whatever modes came in between).
    LayerCopy start;
    LayerCopy original;
    double angle = 0;  // free rotate, degrees clockwise

    bool Active() const { return mode != TransformMode::None; }
};

}  // namespace quillet
