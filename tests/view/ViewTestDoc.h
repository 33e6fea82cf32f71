#pragma once
// Documents for the view tests: a picture layer built through create layer the way opening a
// picture does, and the steps the document's journal holds.
#include <string>
#include <vector>

#include "document/CBrevDoc.h"
#include "tests/support/LayerBuilders.h"

namespace quillet::testing {

struct RecordedStep {
    std::u16string label;
    StepKind kind;
    int layer;
};

// The journal's steps from the first to the current one.
inline std::vector<RecordedStep> RecordedSteps(const CBrevDoc& doc) {
    std::vector<RecordedStep> steps;
    for (int i = 0; i <= doc.Journal().StepIndex(); ++i) {
        const StepEntry& e = doc.Journal().Entry(i);
        steps.push_back({e.label, e.kind, e.layer});
    }
    return steps;
}

// Colour of a canvas pixel in the test pictures: depends on both coordinates.
inline uint32_t PatternColour(int x, int y) {
    return (uint32_t(x * 7 & 0xFF) << 16) | (uint32_t(y * 13 & 0xFF) << 8) |
           uint32_t((x + y) & 0xFF);
}

// Adds a layer of the given size at (x, y) on top of the stack; slot 0 makes the canvas.
inline int AddPatternLayer(CBrevDoc& doc, int width, int height, int x = 0, int y = 0,
                           int canvasW = -1, int canvasH = -1, uint8_t kind = LayerKind::Raster) {
    LayerTable& t = doc.Layers();
    const int slot = t.LowestFreeSlot();
    CreateLayerArgs a = testsupport::LayerArgs(t, slot, x, y, width, height, kind);
    a.canvasWidth = canvasW;
    a.canvasHeight = canvasH;
    a.initialAlpha = 255;
    a.background = slot == 0;
    if (testsupport::AddLayer(doc, a) < 0) return -1;
    t.layer(slot).SetName(slot == 0 ? std::u16string(u"배경영상")
                                    : u"레이어 " + std::u16string(1, char16_t('0' + slot)));
    if (kind != LayerKind::Text)
        for (int r = 0; r < height; ++r)  // storage row r is top-down row height − 1 − r
            for (int c = 0; c < width; ++c)
                t.PutColor(slot, c, r, PatternColour(x + c, y + height - 1 - r));
    doc.SetCurrentLayerIndex(slot);
    doc.CopyToSnapshot(slot);
    return slot;
}

}  // namespace quillet::testing
