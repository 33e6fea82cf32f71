// Pixel and palette access of RaViru.
#include <algorithm>
#include <bit>
#include <cstring>

#include "image/RaViru.h"

namespace quillet {

uint32_t RaViru::PixelIndexAt(int x, int y) const {
    if (!dib_ || header.biClrUsed == 0) return 0;
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) {
        return transparentIndex != -1 ? uint32_t(transparentIndex) : 0;
    }
    const uint8_t* row = Row(y);
    switch (BitCount()) {
        case 8:
            return row[x];
        case 4:
            return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
        default:
            return 0;
    }
}

uint32_t RaViru::PixelColorAt(int x, int y) const {
    const bool outside = x < 0 || y < 0 || x >= Width() || y >= Height();
    if (!dib_ || outside) {
        if (dib_ && BitCount() < 24 && transparentIndex != -1) {
            return packBgr(PaletteEntry(transparentIndex));
        }
        return packBgr(transparentColour);
    }
    if (header.biClrUsed) return packBgr(PaletteEntry(int(PixelIndexAt(x, y))));
    const uint8_t* p = Row(y) + size_t(x) * (BitCount() / 8);
    return packBgr(p[2], p[1], p[0]);
}

void RaViru::PutPixelColor(int x, int y, uint32_t colour, int size) {
    if (!dib_ || size <= 0) return;
    if (x < 0 || y < 0 || x + size > Width() || y + size > Height()) return;
    if (header.biClrUsed == 0) {
        uint8_t* p = Row(y) + size_t(x) * (BitCount() / 8);
        p[0] = uint8_t(colour);
        p[1] = uint8_t(colour >> 8);
        p[2] = uint8_t(colour >> 16);
        return;
    }
    const int index = NearestPaletteIndex(colour);
    for (int yy = y; yy < y + size; ++yy) {
        uint8_t* row = Row(yy);
        for (int xx = x; xx < x + size; ++xx) {
            switch (BitCount()) {
                case 8:
                    row[xx] = uint8_t(index);
                    break;
                case 4: {
                    const int shift = (xx & 1) ? 0 : 4;
                    row[xx >> 1] = uint8_t((row[xx >> 1] & ~(0x0F << shift)) | (index << shift));
                    break;
                }
                case 1: {
                    const uint8_t mask = uint8_t(0x80 >> (xx & 7));
                    row[xx >> 3] = index ? (row[xx >> 3] | mask) : (row[xx >> 3] & ~mask);
                    break;
                }
            }
        }
    }
}

Rgbquad RaViru::PaletteEntry(int index) const {
    const Rgbquad* pal = PaletteBase();
    if (!pal || index < 0 || uint32_t(index) >= header.biClrUsed) return {};
    return pal[index];
}

void RaViru::SetPaletteEntry(int index, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    Rgbquad* pal = PaletteBase();
    if (!pal || index < 0 || uint32_t(index) >= header.biClrUsed) return;
    pal[index] = {blue, green, red, alpha};
}

void RaViru::SetPaletteEntry(int index, uint32_t colour) {
    SetPaletteEntry(index, uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour),
                    uint8_t(colour >> 24));
}

void RaViru::SetPaletteFromArrays(int count, const uint8_t* red, const uint8_t* green,
                                  const uint8_t* blue) {
    Rgbquad* pal = PaletteBase();
    if (!pal || !red) return;
    if (!green) green = red;
    if (!blue) blue = red;
    const int n = std::min<int>(count, int(header.biClrUsed));
    for (int i = 0; i < n; ++i) pal[i] = {blue[i], green[i], red[i], 0};
}

void RaViru::SetPaletteFromQuads(const Rgbquad* quads, int count) {
    Rgbquad* pal = PaletteBase();
    if (!pal || !quads || count <= 0) return;
    std::memcpy(pal, quads, std::min(size_t(count) * 4, PaletteBytes()));
}

void RaViru::MakeGreyPalette() {
    Rgbquad* pal = PaletteBase();
    const int n = int(header.biClrUsed);
    if (!pal || n < 2) return;
    const int step = 255 / (n - 1);
    for (int i = 0; i < n; ++i) {
        const uint8_t v = uint8_t(i * step);
        pal[i] = {v, v, v, 0};
    }
}

int RaViru::NearestPaletteIndex(uint32_t colour) const {
    const Rgbquad* pal = PaletteBase();
    if (!pal) return 0;
    const int blue = int(colour & 0xFF), green = int((colour >> 8) & 0xFF),
              red = int((colour >> 16) & 0xFF);
    int best = 0;
    long bestDistance = 200000;
    for (uint32_t i = 0; i < header.biClrUsed; ++i) {
        const long db = pal[i].blue - blue, dg = pal[i].green - green, dr = pal[i].red - red;
        const long distance = db * db + dg * dg + dr * dr;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = int(i);
            if (distance == 0) break;
        }
    }
    return best;
}

bool RaViru::HasGreyPalette() const {
    const Rgbquad* pal = PaletteBase();
    if (!pal) return false;
    for (uint32_t i = 0; i < header.biClrUsed; ++i) {
        if (pal[i].blue != i || pal[i].green != i || pal[i].red != i) return false;
    }
    return true;
}

void RaViru::SwapRedBlueRow(uint8_t* row, size_t length) const {
    if (!row || BitCount() < 24) return;
    length = std::min<size_t>(length, rowBytes);
    for (size_t i = 0; i + 2 < length; i += 3) std::swap(row[i], row[i + 2]);
}

void RaViru::RowFromPacked(const uint8_t* source, uint32_t redMask, uint32_t greenMask,
                           uint32_t blueMask, int bitCount) {
    if (!dib_ || !source || BitCount() != 24 || (bitCount != 16 && bitCount != 32)) return;
    const int width = Width(), height = Height();
    const size_t sourceRow = (size_t(bitCount) * size_t(width) + 31) / 32 * 4;
    // Shifts from the widths of the masks, which sit blue lowest, then green, then red.
    const int blueBits = std::popcount(blueMask & 0xFFFF);
    const int greenEnd = blueBits + std::popcount(greenMask & 0xFFFF);
    const int redEnd = greenEnd + std::popcount(redMask & 0xFFFF);
    const int blueShift = 8 - blueBits, greenShift = greenEnd - 8, redShift = redEnd - 8;
    auto shift = [](uint32_t v, int s) { return uint8_t(s >= 0 ? v >> s : v << -s); };
    // From the last row and pixel backwards, so that source may share the image's block.
    for (int y = height - 1; y >= 0; --y) {
        const uint8_t* src = source + size_t(y) * sourceRow;
        uint8_t* dst = bits + size_t(y) * rowBytes;
        for (int x = width - 1; x >= 0; --x) {
            if (bitCount == 16) {
                const uint32_t w = uint32_t(src[2 * x] | (src[2 * x + 1] << 8));
                const uint8_t b = shift(w & blueMask, -blueShift);
                const uint8_t g = shift(w & greenMask, greenShift);
                const uint8_t r = shift(w & redMask, redShift);
                dst[3 * x] = b;
                dst[3 * x + 1] = g;
                dst[3 * x + 2] = r;
            } else {
                const uint8_t b = src[4 * x], g = src[4 * x + 1], r = src[4 * x + 2];
                dst[3 * x] = b;
                dst[3 * x + 1] = g;
                dst[3 * x + 2] = r;
            }
        }
    }
}

}  // namespace quillet
