#pragma once
// The line-pattern layer "[LinePattern]": evenly spaced single-pixel lines over the canvas in
// one colour, redrawn at every change of the pattern dialog.
#include <cstdint>

namespace quillet {

class CBrevDoc;
class LayerTable;
enum class EditOutcome;

inline constexpr const char16_t* kLinePatternLayerName = u"[LinePattern]";
inline constexpr int kFirstLinePattern = 4;  // the dialog's "패턴0" .. "패턴3"
inline constexpr int kLastLinePattern = 7;
inline constexpr int kMinPatternSpacing = 2;

struct LinePatternSettings {
    int type = 4;  // 4 rows, 5 columns, 6 diagonals down to the right, 7 up to the right
    int spacing = 6;
    uint32_t colour = 0;  // 0x00RRGGBB
    bool operator==(const LinePatternSettings&) const = default;
};

// A spacing below 2 counts as 2, a type outside 4..7 as 4.
LinePatternSettings Normalised(LinePatternSettings settings);

// Draws the pattern into an empty canvas-sized layer as opaque pixels (the selection does not
// limit it).
void DrawLinePattern(LayerTable& t, int slot, const LinePatternSettings& settings);

// The pattern in a new or reused "[LinePattern]" layer, recorded as "패턴 레이어 넣기": what
// OK in the dialog leaves and `quillet-cli apply line-pattern` does.
EditOutcome PutLinePattern(CBrevDoc& doc, const LinePatternSettings& settings);

}  // namespace quillet
