#include "app/ToolOptions.h"

namespace quillet {
namespace {

OptionSliderSetting off() { return OptionSliderSetting{false, kOptionIdleText, 0, 0, 0}; }
OptionSliderSetting feather(int value) {
    return OptionSliderSetting{true, "경계퍼짐", value, 0, kFeatherMaximum};
}

}  // namespace

OptionSliders idleOptionSliders() { return {off(), off()}; }

std::optional<OptionSliders> optionSlidersForTool(int toolId, int featherValue) {
    switch (toolId) {
        case 1342:  // rectangle, ellipse, freehand and polygon selection
        case 4611:
        case 1343:
        case 1345:
            return OptionSliders{feather(featherValue), off()};
        case 1344:  // magic wand
            return OptionSliders{{true, "포함한계치", 25, 0, 60}, feather(featherValue)};
        case 1352:  // fill
            return OptionSliders{{true, "포함한계치", 10, 0, 60}, feather(featherValue)};
        case 1354:  // water drop
            return OptionSliders{{true, "퍼짐정도", 10, 5, 30}, off()};
        case 1347:  // brush, eraser, spray, dot, line, polyline, circle, text
        case 1355:
        case 1346:
        case 1350:
        case 1356:
        case 1357:
        case 1380:
        case 1382:
            return idleOptionSliders();
        default:
            return std::nullopt;
    }
}

}  // namespace quillet
