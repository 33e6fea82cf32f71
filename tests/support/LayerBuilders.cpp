#include "tests/support/LayerBuilders.h"

namespace quillet::testsupport {

CreateLayerArgs LayerArgs(const LayerTable& t, int slot, int x, int y, int width, int height,
                          uint8_t kind) {
    CreateLayerArgs a;
    a.slot = slot;
    a.x = x;
    a.y = y;
    a.width = width;
    a.height = height;
    a.kind = kind;
    a.bitsPerPixel = t.header.bitsPerPixel ? t.header.bitsPerPixel : 24;
    a.paletteSize = t.header.paletteSize;
    a.canvasWidth = t.header.canvasWidth ? t.header.canvasWidth : -1;
    a.canvasHeight = t.header.canvasHeight ? t.header.canvasHeight : -1;
    return a;
}

namespace {

int Place(LayerTable& t, int slot, int below) {
    t.LinkAbove(slot, below == kOnTop ? t.Top() : below);
    t.layer(slot).used = 1;
    t.layer(slot).visible = 1;
    return slot;
}

}  // namespace

int AddLayer(LayerTable& t, const CreateLayerArgs& a, int below) {
    if (!t.CreateLayer(a, nullptr, 0, false)) return -1;
    return Place(t, a.slot, below);
}

int AddLayer(CBrevDoc& doc, const CreateLayerArgs& a, int below) {
    if (!doc.CreateLayer(a)) return -1;
    return Place(doc.Layers(), a.slot, below);
}

}  // namespace quillet::testsupport
