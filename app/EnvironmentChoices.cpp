#include "app/EnvironmentChoices.h"

#include <algorithm>

namespace quillet {

EnvironmentChoices choicesFrom(const FrameSettings& s) {
    EnvironmentChoices c;
    c.cursorShape = s.cursorShape;
    c.transparencyPattern = s.transparencyPattern;
    c.selectionTone = s.selectionTone;
    c.pathSegmentColour = s.pathSegmentColour;
    c.pathPointColour = s.pathPointColour;
    c.gridColour = s.gridColour;
    c.gridSpacing = s.gridSpacingAbs();
    c.showOpenAtStart = s.showOpenAtStart;
    c.browserKind = s.browserKind;
    return c;
}

void applyEnvironmentChoices(const EnvironmentChoices& c, FrameSettings& s) {
    const int spacing =
        std::clamp(c.gridSpacing, FrameSettings::kMinGridSpacing, FrameSettings::kMaxGridSpacing);
    s.gridSpacing = s.gridShown() ? spacing : -spacing;
    s.gridColour = c.gridColour;
    s.pathSegmentColour = c.pathSegmentColour;
    s.pathPointColour = c.pathPointColour;
    s.transparencyPattern =
        std::clamp(c.transparencyPattern, 0, FrameSettings::kTransparencyPatterns - 1);
    s.cursorShape = std::clamp(c.cursorShape, 0, FrameSettings::kCursorShapes - 1);
    s.updateFlag = 0;
    s.selectionTone = c.selectionTone;
    s.showOpenAtStart = c.showOpenAtStart;
    s.browserKind = c.browserKind;
}

}  // namespace quillet
