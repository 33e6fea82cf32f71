#pragma once
// The few user settings a document window reads. The main frame's settings fill it.
#include <cstdint>

namespace quillet {

// Hatch styles of the transparency pattern, numbered as the settings file stores them.
namespace HatchStyle {
constexpr int Horizontal = 0;
constexpr int Vertical = 1;
constexpr int ForwardDiagonal = 2;
constexpr int BackwardDiagonal = 3;
constexpr int Cross = 4;
constexpr int DiagonalCross = 5;
}  // namespace HatchStyle

struct ViewSettings {
    int gridSpacing = -16;             // canvas pixels; the grid shows while it is positive
    uint32_t gridColour = 0x00808080;  // 0x00BBGGRR
    int hatchStyle = HatchStyle::DiagonalCross;
    uint32_t pathSegmentColour = 0x000000FF;  // "경로선분", 0x00BBGGRR
    uint32_t pathPointColour = 0x00FF0000;    // "경로점"
};

// Colours of the window background, 0x00BBGGRR.
constexpr uint32_t kViewBackgroundColour = 0x00787878;
constexpr uint32_t kHatchLineColour = 0x00BFBFBF;
constexpr uint32_t kHatchBackColour = 0x00FFFFFF;

// The 8 × 8 hatch tile: true where a line pixel lies.
inline bool HatchPixel(int style, int x, int y) {
    x &= 7;
    y &= 7;
    switch (style) {
        case HatchStyle::Horizontal:
            return y == 4;
        case HatchStyle::Vertical:
            return x == 4;
        case HatchStyle::ForwardDiagonal:
            return x == y;
        case HatchStyle::BackwardDiagonal:
            return x == 7 - y;
        case HatchStyle::Cross:
            return x == 4 || y == 4;
        default:
            return x == y || x == 7 - y;
    }
}

}  // namespace quillet
