#pragma once
// Pictures for the show and the bands: opened as documents and composed on white, saved as the
// band files of the working folder, fitted between the bands.
#include <cstdint>
#include <string>

#include "movie/Frame24.h"
#include "movie/MovieResult.h"

namespace quillet {

class CBrevDoc;

// Opens a picture file (any format the editor opens) and composes it on white.
MovieResult LoadPicture(const std::string& path, Frame24& out);
// The document's composed picture on white.
Frame24 ComposedPicture(const CBrevDoc& doc);
// Writes a frame as a JPEG file.
MovieResult SaveJpeg(const Frame24& frame, const std::string& path);

// Band files in the working folder: the chosen picture ("Tesmofen_FrtImg.jpg",
// "Tesmofen_RearImg.jpg") and its copies for the panel heights 680, 768 and 1366
// ("Tesmofen_FrtImg_680.jpg", ...). `panelHeight` 0 names the chosen picture.
std::string BandFileName(bool top, int panelHeight);
inline constexpr int kBandPanelHeights[3] = {680, 768, 1366};

// Saves a band picture and its panel copies: frame width wide and band height × H / frame
// height high for each panel height H.
MovieResult SaveBand(const std::string& folder, bool top, const Frame24& picture, int frameWidth,
                     int frameHeight, int bandHeight);
// Removes both bands' files.
void ClearBands(const std::string& folder);
bool HasBand(const std::string& folder, bool top);

// How a band without a chosen picture is filled: not at all, with a gradient from the first to
// the second colour, or with the first colour alone. Colours are 0x00BBGGRR.
struct BlankBand {
    enum Fill { None, Gradient, Single } fill = None;
    uint32_t first = 0x000000;
    uint32_t second = 0xFFFFFF;
};

// The band for a frame: the copy for the frame's panel height (the 384-wide panel uses the
// 680-high copy), else the chosen picture, scaled to frame width × band height; else the blank
// fill. False when the band stays empty.
bool LoadBand(const std::string& folder, bool top, int frameWidth, int frameHeight, int bandHeight,
              const BlankBand& blank, Frame24& out);

// The frame with its bands and the picture area between them.
struct BandLayout {
    Frame24 top, bottom;  // empty when absent
    int TopHeight() const { return top.height; }
    int BottomHeight() const { return bottom.height; }
    // The area between the bands in a frame of the given size.
    FrameRect PictureArea(int width, int height) const;
    // A white canvas with both bands drawn.
    Frame24 Canvas(int width, int height) const;
};

}  // namespace quillet
