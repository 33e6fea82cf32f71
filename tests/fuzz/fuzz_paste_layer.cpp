// Clipboard bitmaps come from any program: pasting one as a layer must refuse what it cannot
// read without changing the document, and whatever it accepts must be a sound layer that copies
// back to the same pixels.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "document/CBrevDoc.h"
#include "document/LayerOps.h"
#include "platform/ClipboardPort.h"
#include "platform/RecordingUserPort.h"

namespace {

// Pasting fills a layer of the bitmap's size; sizes are not bounded by the input's length when
// the rows are short, so very large claims are left to the size checks alone.
constexpr uint64_t kMaxPastedPixels = uint64_t(1) << 22;

void OpenSmallPicture(quillet::CBrevDoc& doc) {
    quillet::CreateLayerArgs a;
    a.slot = 0;
    a.width = 5;
    a.height = 4;
    a.initialAlpha = 255;
    if (!doc.CreateLayer(a)) __builtin_trap();
    quillet::Layer& l = doc.Layers().layer(0);
    l.used = 1;
    l.visible = 1;
    doc.Layers().LinkAbove(0, -1);
    doc.SetCurrentLayerIndex(0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= 40) {
        int32_t width, height;
        std::memcpy(&width, data + 4, 4);
        std::memcpy(&height, data + 8, 4);
        const uint64_t h = height < 0 ? uint64_t(-int64_t(height)) : uint64_t(height);
        if (width > 0 && uint64_t(width) * h > kMaxPastedPixels &&
            uint64_t(width) * h <= quillet::kMaxImagePixels)
            return 0;
    }
    quillet::RecordingUserPort user;
    quillet::CBrevDoc doc(user);
    OpenSmallPicture(doc);
    quillet::MemoryClipboard clipboard;
    clipboard.setPackedDib(std::vector<uint8_t>(data, data + size));
    const int slot = quillet::PasteAsNewLayer(doc, clipboard);
    const quillet::LayerTable& t = doc.Layers();
    if (slot < 0) {
        // Refused: the picture is as it was.
        if (t.Count() != 1 || t.bottom != 0) __builtin_trap();
        return 0;
    }
    if (t.Top() != slot || t.Count() != 2) __builtin_trap();
    const quillet::Layer& l = t.layer(slot);
    const quillet::LayerPlanes& p = t.planesOf(slot);
    if (p.pixels.size() != l.pixelSize || p.alpha.size() != l.planeSize) __builtin_trap();
    // Copied again and pasted back, the layer is the same.
    if (!quillet::CopyToClipboard(doc, clipboard)) __builtin_trap();
    const int again = quillet::PasteAsNewLayer(doc, clipboard);
    if (again < 0 || t.planesOf(again).pixels != p.pixels || t.planesOf(again).alpha != p.alpha)
        __builtin_trap();
    return 0;
}
