// Printing and capture geometry: the resolution never below 1, printed sizes in inches, the
// preview papers and picture rectangle, the placement on the printed page, the picture
// flattened on white; which windows the capture dialog offers and which part of a window lies
// on the screen.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "document/compositor/Compositor.h"
#include "platform/RecordingUserPort.h"
#include "services/CaptureWindows.h"
#include "services/PrintGeometry.h"

using namespace quillet;

TEST(PrintGeometry, ResolutionNeverGoesBelowOne) {
    EXPECT_EQ(ClampPrintDpi(0), 1);
    EXPECT_EQ(ClampPrintDpi(-72), 1);
    EXPECT_EQ(ClampPrintDpi(300), 300);
    EXPECT_EQ(StepPrintDpi(1, -1), 1);
    EXPECT_EQ(StepPrintDpi(2, -1), 1);
    EXPECT_EQ(StepPrintDpi(0, 1), 2);
    EXPECT_EQ(StepPrintDpi(INT_MAX, 1), INT_MAX);
    // A picture without a resolution of its own still has a printed size.
    const PrintedInches s = PrintedSize(300, 150, 0);
    EXPECT_DOUBLE_EQ(s.width, 300.0);
    EXPECT_DOUBLE_EQ(s.height, 150.0);
}

TEST(PrintGeometry, SevenHundredTwentyPixelsAtSeventyTwoDpi) {
    const PrintedInches s = PrintedSize(720, 720, 72);
    EXPECT_EQ(InchText(s.width), "10.00");
    EXPECT_EQ(InchText(s.height), "10.00");
    const PrintRect preview = PreviewPictureRect(s);
    EXPECT_EQ(preview.x, 20);
    EXPECT_EQ(preview.y, 20);
    EXPECT_EQ(preview.width, 254);
    EXPECT_EQ(preview.height, 254);
    // Ten inches on a 600-DPI printer, less 100 printer pixels, from (100, 100).
    const PrintRect page = PrintPlacement(600, 600, 720, 720, 72, 72);
    EXPECT_EQ(page.x, 100);
    EXPECT_EQ(page.y, 100);
    EXPECT_EQ(page.width, 5900);
    EXPECT_EQ(page.height, 5900);
    EXPECT_EQ(InchText(PrintedSize(1000, 333, 300).height), "1.11");
}

TEST(PrintGeometry, PlacementUsesIntegerArithmeticPerAxis) {
    // 1200 × 1000 / 96 = 12500 exactly; 600 × 777 / 300 = 1554.
    const PrintRect r = PrintPlacement(1200, 600, 1000, 777, 96, 300);
    EXPECT_EQ(r.width, 12400);
    EXPECT_EQ(r.height, 1454);
    // 300 × 7 / 72 = 29 (truncated) less 100: never mirrored, at least one printer pixel.
    EXPECT_EQ(PrintPlacement(300, 300, 7, 7, 72, 72).width, 1);
    // A DPI of 0 is read as 1; large values do not overflow.
    EXPECT_EQ(PrintPlacement(300, 300, 10, 10, 0, 0).width, 2900);
    EXPECT_EQ(PrintPlacement(INT_MAX, INT_MAX, INT_MAX, INT_MAX, 1, 1).width, INT_MAX);
}

TEST(PrintGeometry, PreviewPapers) {
    EXPECT_EQ(PreviewPaperFor("A4").widthMm, 210);
    EXPECT_EQ(PreviewPaperFor("A4").heightMm, 297);
    EXPECT_EQ(PreviewPaperFor("B5").label, "182 ⅹ 257mm");
    EXPECT_EQ(PreviewPaperFor("D3").widthMm, 95);
    EXPECT_EQ(PreviewPaperFor("D4").heightMm, 135);
    EXPECT_EQ(PreviewPaperFor("D5").label, "12.5 ⅹ 16.9cm");
    // Any other text gives the last row.
    EXPECT_EQ(PreviewPaperFor("Letter").choice, "D5");
    EXPECT_EQ(PreviewPaperFor("").widthMm, 125);
    EXPECT_EQ(kFirstA4Label, "210 x 297mm");
}

TEST(PrintGeometry, FlattenOnWhiteMatchesTheViewAndTurnsRowsOver) {
    std::mt19937 rng(7);
    for (const bool bottomUp : {true, false}) {
        Image32 img;
        img.width = 9;
        img.height = 4;
        img.bottomUp = bottomUp;
        img.bytes.resize(9 * 4 * 4);
        for (uint8_t& b : img.bytes) b = uint8_t(rng());
        img.bytes[3] = 0;    // transparent: white whatever its colour
        img.bytes[7] = 255;  // opaque: its colour
        RaViru out;
        ASSERT_TRUE(FlattenOnWhite(img, out));
        ASSERT_EQ(out.BitCount(), 24);
        for (int r = 0; r < 4; ++r)
            for (int x = 0; x < 9; ++x) {
                const uint8_t* s = img.Row(r) + x * 4;
                const int a = s[3];
                // The row's place in the picture: bottom-up rows keep their index.
                const int dibRow = bottomUp ? r : 3 - r;
                const uint8_t* d = out.Row(dibRow) + x * 3;
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(d[c], std::min<int>(s[c], a) + 255 - a) << r << "," << x;
            }
        const uint8_t* first = out.Row(bottomUp ? 0 : 3);
        EXPECT_EQ(first[0], 255);
        EXPECT_EQ(first[3], img.bytes[4]);
    }
    RaViru none;
    EXPECT_FALSE(FlattenOnWhite(Image32{}, none));
}

TEST(PrintGeometry, PrintPictureComposesTheDocumentOnWhite) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    NewImageRequest request;
    request.width = 30;
    request.height = 20;
    request.background = NewBackground::Transparent;
    ASSERT_TRUE(NewDocument(doc, request));
    doc.Image().SetHorizontalDpi(150);
    doc.Image().SetVerticalDpi(75);
    RaViru out;
    ASSERT_TRUE(PrintPicture(doc, out));
    EXPECT_EQ(out.Width(), 30);
    EXPECT_EQ(out.Height(), 20);
    EXPECT_EQ(out.dpiX, 150);
    EXPECT_EQ(out.dpiY, 75);
    // Nothing is painted on a transparent picture: it prints white, not black.
    EXPECT_EQ(out.PixelColorAt(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(out.PixelColorAt(29, 19) & 0xFFFFFF, 0xFFFFFFu);

    CBrevDoc coloured(user);
    request.background = NewBackground::Colour;
    request.backgroundColour = 0x336699;  // 0x00BBGGRR
    ASSERT_TRUE(NewDocument(coloured, request));
    ASSERT_TRUE(PrintPicture(coloured, out));
    EXPECT_EQ(out.PixelColorAt(5, 5) & 0xFFFFFF, 0x996633u);

    CBrevDoc empty(user);
    EXPECT_FALSE(PrintPicture(empty, out));
}

TEST(CaptureWindows, TheDialogOffersTheDesktopAndUsableWindows) {
    std::vector<CaptureWindow> windows = {
        {11, "Editor", 10, 10, 400, 300, true, false},
        {12, "", 0, 0, 400, 300, true, false},         // no title
        {13, "Hidden", 0, 0, 400, 300, false, false},  // not mapped
        {14, "Iconic", 0, 0, 400, 300, true, true},    // minimised
        {15, "Tiny", 0, 0, 4, 300, true, false},       // 4 wide is not larger than 4 × 4
        {16, "Sliver", 0, 0, 5, 5, true, false},
    };
    const auto choices = CaptureChoices(windows, 1600, 1000);
    ASSERT_EQ(choices.size(), 3u);
    EXPECT_EQ(choices[0].title, "Desktop");
    EXPECT_EQ(choices[0].id, 0u);
    EXPECT_EQ(choices[0].width, 1600);
    EXPECT_EQ(choices[0].height, 1000);
    EXPECT_EQ(choices[1].id, 11u);
    EXPECT_EQ(choices[2].id, 16u);

    std::vector<CaptureWindow> many(400, CaptureWindow{1, "w", 0, 0, 50, 50, true, false});
    EXPECT_EQ(CaptureChoices(many, 100, 100).size(), size_t(1 + kMaxCaptureWindows));
}

TEST(CaptureWindows, WindowsAreClippedToTheScreen) {
    // Partly off the left and top: the visible part, from the window's own offset.
    CaptureArea a = ClipToScreen({1, "w", -30, -10, 200, 100}, 1024, 768);
    EXPECT_EQ(a.screenX, 0);
    EXPECT_EQ(a.screenY, 0);
    EXPECT_EQ(a.offsetX, 30);
    EXPECT_EQ(a.offsetY, 10);
    EXPECT_EQ(a.width, 170);
    EXPECT_EQ(a.height, 90);
    // Beyond the right and bottom edges.
    a = ClipToScreen({1, "w", 900, 700, 200, 100}, 1024, 768);
    EXPECT_EQ(a.screenX, 900);
    EXPECT_EQ(a.offsetX, 0);
    EXPECT_EQ(a.width, 124);
    EXPECT_EQ(a.height, 68);
    // The desktop is the whole screen.
    a = ClipToScreen(CaptureChoices({}, 1024, 768)[0], 1024, 768);
    EXPECT_EQ(a.width, 1024);
    EXPECT_EQ(a.height, 768);
    // Wholly outside: nothing, also far away where 32-bit edges would wrap.
    EXPECT_TRUE(ClipToScreen({1, "w", -300, 0, 200, 100}, 1024, 768).Empty());
    EXPECT_TRUE(ClipToScreen({1, "w", 1024, 0, 200, 100}, 1024, 768).Empty());
    EXPECT_TRUE(ClipToScreen({1, "w", INT_MAX, INT_MAX, INT_MAX, INT_MAX}, 1024, 768).Empty());
    EXPECT_TRUE(ClipToScreen({1, "w", INT_MIN, 0, INT_MAX, 10}, 1024, 768).Empty());
}
