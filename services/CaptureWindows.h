#pragma once
// Screen capture without the screen: which windows the capture dialog offers, and which part of
// a window lies on the screen.
#include <string>
#include <vector>

namespace quillet {

// A top-level window as the window system describes it. Coordinates are the screen's.
struct CaptureWindow {
    unsigned long id = 0;  // 0 stands for the whole desktop
    std::string title;     // UTF-8
    int x = 0, y = 0, width = 0, height = 0;
    bool visible = true;
    bool minimised = false;
};

inline constexpr int kMaxCaptureWindows = 254;
inline constexpr char kDesktopEntry[] = "Desktop";

// "Desktop" (covering the screen) first, then every visible, not minimised window with a title
// and an area larger than 4 × 4, in the order given, up to 254 windows.
std::vector<CaptureWindow> CaptureChoices(const std::vector<CaptureWindow>& windows,
                                          int screenWidth, int screenHeight);

// The part of a window to copy: where it starts on the screen, the offset inside the window of
// its first copied pixel, and its size (empty when nothing of the window is on the screen).
struct CaptureArea {
    int screenX = 0, screenY = 0;
    int offsetX = 0, offsetY = 0;
    int width = 0, height = 0;
    bool Empty() const { return width <= 0 || height <= 0; }
};

// A right or bottom edge beyond the screen moves to the screen's edge; a negative left or top
// becomes 0 and the part cut off becomes the offset inside the window.
CaptureArea ClipToScreen(const CaptureWindow& window, int screenWidth, int screenHeight);

}  // namespace quillet
