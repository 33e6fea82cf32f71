#pragma once
// The undo brush: wherever it passes, the current layer takes back the pixels the previous step
// of the history held, opaque. The source is loaded when the tool is chosen and serves until the
// history moves by an undo or a redo.
#include <cstdint>
#include <vector>

#include "view/tools/BrushStamp.h"

namespace quillet {

class CBrevDoc;

inline constexpr const char* kUndoBrushMismatch =
    "바로 전과 현재 이미지의 크기가 상이하여 적용 불가";

class UndoBrush {
public:
    // Loads the previous step's pixels of the current layer. False with nothing said when the
    // history has no previous step (or no file holds the layer); false with kUndoBrushMismatch
    // when that version of the layer has another place or size.
    bool Begin(CBrevDoc& doc);
    bool Ready() const { return slot_ >= 0; }
    void Release();

    // One stroke step from (x0, y0) to (x1, y1), layer columns and storage rows: the stamp marks
    // the pixels it would paint (inside the selection), and each takes the source pixel with
    // alpha 255. Gives the pixels that may have changed.
    PixelArea Stroke(CBrevDoc& doc, const BrushStamp& stamp, int x0, int y0, int x1, int y1);
    // Button up: "작업취소붓" when the stroke changed anything.
    void Finish(CBrevDoc& doc);

private:
    bool Usable(const CBrevDoc& doc) const;

    int slot_ = -1;
    int step_ = -1;  // the journal's step while the source serves
    int width_ = 0, height_ = 0;
    uint32_t stride_ = 0;
    int bytes_ = 0;  // per pixel: 3 or 4, or 1 for an 8-bit index
    std::vector<uint8_t> source_;
    std::vector<uint8_t> marks_;  // the stroke's touched pixels
    bool stroked_ = false;
};

}  // namespace quillet
