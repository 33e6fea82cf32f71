#pragma once
// The clipboard as the core sees it: packed DIBs (40-byte header, palette, rows) as bytes.
#include <cstdint>
#include <optional>
#include <vector>

namespace quillet {

class ClipboardPort {
public:
    virtual ~ClipboardPort() = default;
    virtual void setPackedDib(std::vector<uint8_t> dib) = 0;
    virtual std::optional<std::vector<uint8_t>> packedDib() const = 0;
    virtual bool hasBitmap() const = 0;
};

// Headless clipboard that keeps the bytes in memory.
class MemoryClipboard : public ClipboardPort {
public:
    void setPackedDib(std::vector<uint8_t> dib) override { dib_ = std::move(dib); }
    std::optional<std::vector<uint8_t>> packedDib() const override { return dib_; }
    bool hasBitmap() const override { return dib_.has_value(); }
    void clear() { dib_.reset(); }

private:
    std::optional<std::vector<uint8_t>> dib_;
};

}  // namespace quillet
