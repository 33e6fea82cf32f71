#pragma once
// One movie frame: 24-bit blue, green, red rows, bottom row first, each row padded to 4 bytes,
// as the movie writer takes them.
#include <cstddef>
#include <cstdint>
#include <vector>

struct SwsContext;

namespace quillet {

struct Frame24 {
    int width = 0;
    int height = 0;
    size_t stride = 0;  // bytes per row: (width × 3 + 3) rounded down to 4
    std::vector<uint8_t> bytes;

    Frame24() = default;
    // A new canvas starts white (every byte 255).
    Frame24(int w, int h);

    bool Empty() const { return width <= 0 || height <= 0; }
    // Row `y` counted from the bottom, as in the stored layout.
    uint8_t* Row(int y) { return bytes.data() + size_t(y) * stride; }
    const uint8_t* Row(int y) const { return bytes.data() + size_t(y) * stride; }
    // Row `r` counted from the top (screen order).
    uint8_t* TopRow(int r) { return Row(height - 1 - r); }
    const uint8_t* TopRow(int r) const { return Row(height - 1 - r); }
    void Fill(uint8_t value);
    bool SameShape(const Frame24& o) const { return width == o.width && height == o.height; }
};

// Rectangles in screen order (top row 0).
struct FrameRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool Empty() const { return width <= 0 || height <= 0; }
};

// Scales pictures through libswscale (bicubic), keeping its set-up between calls of the same
// shape: moving joins scale once per frame.
class FrameScaler {
public:
    FrameScaler() = default;
    ~FrameScaler();
    FrameScaler(const FrameScaler&) = delete;
    FrameScaler& operator=(const FrameScaler&) = delete;

    // Scales `part` of `source` into `area` of `target`; both are clipped to their frames.
    void Scale(const Frame24& source, FrameRect part, Frame24& target, FrameRect area);
    void Scale(const Frame24& source, Frame24& target, FrameRect area) {
        Scale(source, {0, 0, source.width, source.height}, target, area);
    }

private:
    ::SwsContext* context_ = nullptr;
};

// A new frame holding `source` scaled to width × height.
Frame24 Scaled(const Frame24& source, int width, int height);
// Copies `part` of `source` to (x, y) of `target`, clipped to both frames and to `within`.
void CopyRect(const Frame24& source, FrameRect part, Frame24& target, int x, int y,
              FrameRect within);
inline void CopyRect(const Frame24& source, FrameRect part, Frame24& target, int x, int y) {
    CopyRect(source, part, target, x, y, {0, 0, target.width, target.height});
}
// Fills `area` of `target` with one colour (blue, green, red).
void FillRect(Frame24& target, FrameRect area, uint8_t blue, uint8_t green, uint8_t red);
// The frame turned a quarter turn clockwise into `out` (height × width).
void RotateClockwise(const Frame24& source, Frame24& out);

}  // namespace quillet
