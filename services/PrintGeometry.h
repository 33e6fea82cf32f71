#pragma once
// Printing without a printer: the resolution the picture prints at, its printed size, the
// preview papers, where the picture lands on the printed page, and the picture itself flattened
// on white.
#include <array>
#include <string>
#include <string_view>

#include "image/RaViru.h"

namespace quillet {

class CBrevDoc;
struct Image32;

// Resolution in dots per inch: never below 1; the spin control moves it by one step.
int ClampPrintDpi(int dpi);
int StepPrintDpi(int dpi, int steps);

// Printed size in inches: picture pixels / DPI, and its text with two decimals ("%.2f").
struct PrintedInches {
    double width = 0;
    double height = 0;
};
PrintedInches PrintedSize(int pictureWidth, int pictureHeight, int dpi);
std::string InchText(double inches);

// The preview papers ("미리보기 용지"): the choice, the label shown beside it, and the paper
// size in millimetres, which the preview draws one pixel per millimetre.
struct PreviewPaper {
    std::string_view choice;
    std::string_view label;
    int widthMm;
    int heightMm;
};
inline constexpr std::array<PreviewPaper, 5> kPreviewPapers{{
    {"A4", "210 ⅹ 297mm", 210, 297},
    {"B5", "182 ⅹ 257mm", 182, 257},
    {"D3", "9.5 ⅹ 12.7cm", 95, 127},
    {"D4", "10.2 ⅹ 13.5cm", 102, 135},
    {"D5", "12.5 ⅹ 16.9cm", 125, 169},
}};
// The label A4 shows while the dialog has just opened.
inline constexpr std::string_view kFirstA4Label = "210 x 297mm";
// The row for a choice's text: a text other than the first four gives the last row (D5).
const PreviewPaper& PreviewPaperFor(std::string_view choice);

struct PrintRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// Where the preview draws the picture inside the paper: at (20, 20), inches × 2.54 × 10 pixels.
PrintRect PreviewPictureRect(const PrintedInches& size);

// Where the picture lands on the printed page, in printer pixels: printed size = printer
// pixels per inch × picture pixels / picture DPI (integers), drawn from (100, 100) and 100
// pixels narrower and lower than that. A picture that would come out smaller still prints as
// one printer pixel rather than mirrored or not at all.
PrintRect PrintPlacement(int printerDpiX, int printerDpiY, int pictureWidth, int pictureHeight,
                         int pictureDpiX, int pictureDpiY);
inline constexpr int kPrintMargin = 100;

// A full-size composition (4 bytes per pixel, bottom row first, colour at most alpha as the
// view draws it) laid over white: 24 bits, the same rows.
bool FlattenOnWhite(const Image32& composed, RaViru& out);

// The document's picture as it prints and previews: every visible layer composed at full
// size and laid over white, carrying the DPI of the document's image object.
bool PrintPicture(const CBrevDoc& doc, RaViru& out);

}  // namespace quillet
