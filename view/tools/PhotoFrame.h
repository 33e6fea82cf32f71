#pragma once
// The photo frame "[ImgFrame]": a border of rings drawn inward from the canvas edge on a layer
// of its own, redrawn at every change of the frame dialog.
#include <cstdint>

namespace quillet {

class CBrevDoc;
class LayerTable;
enum class EditOutcome;

inline constexpr const char16_t* kPhotoFrameLayerName = u"[ImgFrame]";
inline constexpr int kPhotoFrameStyles = 4;

struct PhotoFrameSettings {
    int style = 0;             // 0 graded, 1 bevelled, 2 mat with a liner, 3 striped
    uint32_t main = 0x8B5A2B;  // 0x00RRGGBB
    uint32_t second = 0xF0E6D2;
    int width = 20;  // rings from the canvas edge
    bool operator==(const PhotoFrameSettings&) const = default;
};

// Draws the frame into an empty canvas-sized layer as opaque pixels; nothing lies further in
// than `width` from the canvas edge.
void DrawPhotoFrame(LayerTable& t, int slot, const PhotoFrameSettings& settings);

// The frame in a new or reused "[ImgFrame]" layer, recorded as "사진틀 넣기": what OK in the
// dialog leaves and `quillet-cli apply frame` does.
EditOutcome PutPhotoFrame(CBrevDoc& doc, const PhotoFrameSettings& settings);

}  // namespace quillet
