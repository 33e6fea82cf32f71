#pragma once
// Colour corrections that map each channel through a table (brightness and contrast, channel
// deltas, levels) and the saturation change in YUV, on pixels and on palettes.
#include <array>
#include <cstdint>

#include "image/BitmapInfo.h"
#include "image/effects/LayerPixels.h"

namespace quillet {

using ByteTable = std::array<uint8_t, 256>;

struct ChannelTables {
    ByteTable red, green, blue;
    static ChannelTables Identity();
};

// v' = trunc((v − 128) × (contrast + 255) / 255 + 128 + brightness), clamped; both −255..255.
ChannelTables BrightnessContrastTables(int brightness, int contrast);
// v' = v + delta per channel, clamped.
ChannelTables ChannelShiftTables(int red, int green, int blue);
// t[i] = trunc((s + 100) × (i − 128) / 100 + 128.5), clamped; s −255..255.
ByteTable SaturationTable(int s);

// YUV as the adjustments and the channel split use it (truncating, each clamped).
struct Yuv {
    uint8_t y, u, v;
    bool operator==(const Yuv&) const = default;
};
Yuv ToYuv(int red, int green, int blue);
Rgbquad FromYuv(int y, int u, int v);  // reserved byte 0

// Which pixels a routine changes besides the selection.
enum class AlphaRule { SkipTransparent, Every };

// Writes the tables' values of `from`'s pixels into `to` where `to`'s selection allows (and,
// with SkipTransparent, `from`'s alpha is not 0); every other pixel of `to` takes its value in
// `from`. `from` and `to` may be the same planes. Progress: row × 100 / height.
void ApplyChannelTables(const LayerPixels& from, const LayerPixels& to, const ChannelTables& t,
                        AlphaRule rule, Progress* progress = nullptr);
// Every selected pixel through YUV with Y, U and V replaced by ty[Y], tu[U] and tv[V], and
// back (alpha not consulted).
void ApplyYuvTables(const LayerPixels& from, const LayerPixels& to, const ByteTable& ty,
                    const ByteTable& tu, const ByteTable& tv);
// Every selected pixel through YUV with U and V replaced by t[U], t[V] (alpha not consulted).
void ApplySaturation(const LayerPixels& from, const LayerPixels& to, int s);

void ApplyChannelTables(Rgbquad* palette, int count, const ChannelTables& t);
void ApplySaturation(Rgbquad* palette, int count, int s);

}  // namespace quillet
