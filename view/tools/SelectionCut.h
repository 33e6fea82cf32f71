#pragma once
// Taking the selected area out of the current layer: the feathered erase shared by cut and
// move, cut itself ("자르기"), and the first step of a move, which lifts the area into a
// floating layer.
#include <cstdint>

namespace quillet {

class CBrevDoc;
class ClipboardPort;

inline constexpr int kMinEraseFeather = 3;

// The erase of the selected area on one layer's planes (rows of `width` bytes, any row order
// shared by all three). With r = max(feather, 3), for every pixel whose mask byte is not 0:
// the count c of selected (1) mask bytes in the (2r + 1)² square around it within the mask,
// v = min(255, max(0, c − 2r²) × 256 / 2r²), w = 255 − v (0 where alpha is not 255); its alpha
// becomes min(w, 150) and its effect byte w.
void FeatherErase(const uint8_t* mask, int width, int height, int feather, uint8_t* alpha,
                  uint8_t* effect);

// Restores the current layer from its snapshot and erases the selected area. False without a
// raster current layer.
bool EraseSelectedArea(CBrevDoc& doc, int feather);

// Copies the selected area to the clipboard, erases it and records "자르기".
bool CutSelection(CBrevDoc& doc, ClipboardPort& clipboard, int feather);

// The first drag step of a move with a selection shown: the area goes to the clipboard, is
// erased from its layer and comes back as the floating layer at its old place, now the current
// layer; the selection no longer exists. The floating slot, or -1.
int FloatSelection(CBrevDoc& doc, ClipboardPort& clipboard, int feather);

}  // namespace quillet
