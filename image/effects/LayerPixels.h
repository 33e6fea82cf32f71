#pragma once
// A layer's planes as the pixel routines see them: rows of blue, green, red (and a fourth byte
// at 32 bits) in storage order, the alpha plane beside them, and the selection that decides
// which pixels a routine may write.
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace quillet {

struct LayerPixels {
    uint8_t* pixels = nullptr;  // rows of `stride` bytes
    size_t stride = 0;
    uint8_t* alpha = nullptr;  // rows of `width` bytes; 0 transparent
    int width = 0;
    int height = 0;
    int bytesPerPixel = 3;               // 3 or 4
    const uint8_t* selection = nullptr;  // rows of `width` bytes, not 0 = may change; null = all

    uint8_t* Row(int y) const { return pixels + size_t(y) * stride; }
    uint8_t* AlphaRow(int y) const { return alpha + size_t(y) * size_t(width); }
    const uint8_t* SelectionRow(int y) const {
        return selection ? selection + size_t(y) * size_t(width) : nullptr;
    }
    bool Empty() const { return !pixels || width < 1 || height < 1; }
    bool SameShape(const LayerPixels& o) const {
        return width == o.width && height == o.height && bytesPerPixel == o.bytesPerPixel;
    }
};

// Percentage of a long routine, read by the window while the routine runs on another thread.
struct Progress {
    std::atomic<int> percent{0};
    void Set(int value) { percent.store(value, std::memory_order_relaxed); }
    int Get() const { return percent.load(std::memory_order_relaxed); }
};

inline void SetProgress(Progress* p, int value) {
    if (p) p->Set(value);
}

// Channel clamp used by every routine: 0..255.
inline uint8_t Clamp255(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

}  // namespace quillet
