#pragma once
// The system clipboard for the core's packed DIBs. A copy offers "image/bmp" (a BMP file: the
// 14-byte file header before the packed DIB, as other programs expect, keeping the marker) and
// "image/png" (with a whole layer's transparency); a paste takes "image/bmp" first, then PNG or
// any other picture format Qt reads. A foreign picture with transparency arrives as a 32-bit
// whole-layer bitmap, so the pasted layer keeps its alpha.
#include <QByteArray>

#include "platform/ClipboardPort.h"

namespace quillet {

class QtClipboard : public ClipboardPort {
public:
    void setPackedDib(std::vector<uint8_t> dib) override;
    std::optional<std::vector<uint8_t>> packedDib() const override;
    bool hasBitmap() const override;

    // The packed DIB inside BMP bytes (with or without the file header); nothing when the
    // bytes are too short to hold a header.
    static std::optional<std::vector<uint8_t>> packedDibOfBmp(const QByteArray& bytes);
    static QByteArray bmpFileOf(const std::vector<uint8_t>& dib);
};

}  // namespace quillet
