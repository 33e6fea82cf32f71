#pragma once
// A layer on the clipboard and back: the whole layer as a 32-bit packed DIB carrying its alpha
// (marker -2), and a clipboard bitmap pasted as a new layer on top of the stack.
#include <cstdint>
#include <vector>

namespace quillet {

class CBrevDoc;
class LayerTable;

std::vector<uint8_t> LayerToPackedDib(const LayerTable& table, int slot);

// Adds the bitmap as a new layer above the top layer (slot 0 and the bottom in an empty
// document), at the picture's depth, and records "복사물 붙이기". The slot, or -1 when the
// bitmap is unreadable or all slots are used (the user is told).
int PastePackedDibAsLayer(CBrevDoc& doc, const std::vector<uint8_t>& dib);

}  // namespace quillet
