#pragma once
// Text layers: a short multi-line text with its font settings, kept in the layer record and
// drawn into the layer's alpha plane line by line with the key-colour method. New texts go into
// a new layer above the current one ("글자입력"); edits draw the layer again ("글자수정").
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

class CBrevDoc;
class TextRasterizer;
struct Layer;
struct LayerPlanes;

inline constexpr int kMaxTextLayerChars = 350;  // 700 bytes of UTF-16
inline constexpr int kMinTextSize = 4;          // stored size values
inline constexpr int kMaxTextSize = 1000;
// Rendered at this size and sampled down when smaller, or at their own size above it.
inline constexpr int kSmallTextSize = 34;
// The key colour an off-screen line is drawn on: bytes 0x37, 0x37, 0x32 (blue, green, red).
inline constexpr uint32_t kTextKeyColour = 0x323737;  // 0x00RRGGBB

enum class TextAlign { Left = 0, Centre = 1, Right = 2 };

struct TextSettings {
    std::u16string face = u"굴림";  // at most 24 characters are stored
    int size = 24;                  // stored size value: twice the points the dialog shows
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    double lineSpacing = 1.0;
    int widthRatio = 100;  // percent
    TextAlign align = TextAlign::Left;
    uint32_t colour = 0;  // 0x00RRGGBB
    bool operator==(const TextSettings&) const = default;
};

// The stored size value of a size the dialog shows (points): twice it, within 4 to 1000.
int StoredTextSize(int points);
// The first 350 characters.
std::u16string_view CutText(std::u16string_view text);
// Lines: one per line feed, and one more when the last line is not empty.
int TextLineCount(std::u16string_view text);
// The text's lines, split at line feeds (carriage returns dropped).
std::vector<std::u16string> TextLines(std::u16string_view text);
// The distance between lines for a letter height `h` (the height of "A"): small sizes shrink
// h first; the spacing counts at least 0.5.
int TextLinePitch(int size, int letterHeight, double lineSpacing);
// S of the key-colour method: the text colour's distance from the key, scaled by its lightness.
int TextContrastScale(uint32_t colour);

// The settings as a text layer stores them, and back.
TextSettings TextSettingsOf(const Layer& layer);
void StoreTextSettings(Layer& layer, const TextSettings& settings);
std::u16string TextOf(const Layer& layer, const LayerPlanes& planes);

// One line's alpha map by the key-colour method, columns compressed by the width ratio.
struct LineAlpha {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> alpha;  // rows from the top
};
LineAlpha RasterizeTextLine(const TextRasterizer& rasterizer, const std::u16string& line,
                            const TextSettings& settings);

// OK in the text dialog for a new text at (x, y) of the current layer (layer coordinates, rows
// from the top): a text layer above the current layer, "글자입력". The new slot, or -1 (empty
// text, all slots used, no picture).
int AddTextLayer(CBrevDoc& doc, const TextRasterizer& rasterizer, std::u16string_view text,
                 const TextSettings& settings, int x, int y);
// OK for an edit of the text layer in `slot`: drawn again at its stored origin, "글자수정".
bool EditTextLayer(CBrevDoc& doc, const TextRasterizer& rasterizer, int slot,
                   std::u16string_view text, const TextSettings& settings);

}  // namespace quillet
