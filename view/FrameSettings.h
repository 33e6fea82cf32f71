#pragma once
// The user settings the main frame holds and the view, the tools, the text tools and the movie
// maker read. Colours are 0x00BBGGRR (red in the low byte), as the dialogs use them.
#include <cstdint>
#include <string>

namespace quillet {

// Swatch index and marker position of the colour picker for one of the three colours.
struct ColourPick {
    int index = 0;
    int x = 0;
    int y = 0;
    bool operator==(const ColourPick&) const = default;
};

struct FrameSettings {
    static constexpr int kMaxNameLength = 100;    // font names, in UTF-16 code units
    static constexpr int kMaxFolderLength = 260;  // browser folder, in UTF-16 code units
    static constexpr int kMinGridSpacing = 4;
    static constexpr int kMaxGridSpacing = 40;
    static constexpr int kCursorShapes = 5;          // Cur 0..4
    static constexpr int kTransparencyPatterns = 6;  // TranspRep 0..5

    enum BrushKind { Pencil = 0, Brush = 1 };
    enum BrowserKind { OwnBrowser = 1, SystemDialog = 2 };

    uint32_t foreground = 0x000000;          // FG
    uint32_t background = 0xFFFFFF;          // BG
    uint32_t textColour = 0x000000;          // TX
    uint32_t previousForeground = 0x000000;  // pFG ("전색상")
    uint32_t previousBackground = 0xFFFFFF;  // pBG
    ColourPick foregroundPick;
    ColourPick backgroundPick;
    ColourPick textPick;

    int fontSize = 20;  // at least 2
    bool fontStrikeOut = false;
    bool fontUnderline = false;
    std::u16string fontName = u"굴림";        // text font face
    std::u16string secondFontName = u"굴림";  // taken by the text and calendar tools

    int brushThickness = 5;  // at least 1
    int brushKind = Brush;

    // Pixels between grid lines; negative while the grid is hidden (it always starts hidden).
    int gridSpacing = -10;
    uint32_t gridColour = 0xC0C0C0;
    int cursorShape = 0;                    // Cur
    uint8_t pnt = 0;                        // Pnt: kept and written back
    uint32_t pathSegmentColour = 0x0000FF;  // "경로선분"
    uint32_t pathPointColour = 0xFF0000;    // "경로점"
    int fog = 0;                            // kept and written back
    int transparencyPattern = 3;            // TranspRep: hatch style of transparent pixels
    int updateFlag = 0;                     // UD, mirrored into FirstShow.ini
    bool selectionTone = true;              // RS: show the selection in a different tone
    int windowSetting = 0;                  // WS w1: kept and written back
    bool showOpenAtStart = false;           // WS w2: show the image-open window at start-up
    int browserKind = OwnBrowser;           // WS w3
    bool undoBrushGuide = true;             // WS w4: show the guide before the undo brush is used

    std::u16string browserFolder;  // the file browser's current folder (FirstShow.ini)

    bool gridShown() const { return gridSpacing > 0; }
    int gridSpacingAbs() const { return gridSpacing < 0 ? -gridSpacing : gridSpacing; }

    bool operator==(const FrameSettings&) const = default;
};

// A settings colour (0x00BBGGRR) as the layer pixel accessors hold it (0x00RRGGBB).
inline uint32_t LayerColourOf(uint32_t settingsColour) {
    return (settingsColour & 0xFF) << 16 | (settingsColour & 0xFF00) |
           ((settingsColour >> 16) & 0xFF);
}

}  // namespace quillet
