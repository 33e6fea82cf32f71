#include "app/ToolOptions.h"

namespace quillet {
namespace {

OptionSliderSetting off() { return OptionSliderSetting{false, kOptionIdleText, 0, 0, 0}; }
OptionSliderSetting feather(int value) {
    return OptionSliderSetting{true, "경계퍼짐", value, 0, kFeatherMaximum};
}

}  // namespace

OptionSliders idleOptionSliders() { return {off(), off()}; }

std::optional<OptionSliders> optionSlidersForTool(ToolId tool, int featherValue) {
    switch (tool) {
        case ToolId::RectSelect:
        case ToolId::CircleSelect:
        case ToolId::FreehandSelect:
        case ToolId::PolygonSelect:
            return OptionSliders{feather(featherValue), off()};
        case ToolId::MagicWand:
            return OptionSliders{{true, "포함한계치", 25, 0, 60}, feather(featherValue)};
        case ToolId::Fill:
            return OptionSliders{{true, "포함한계치", 10, 0, 60}, feather(featherValue)};
        case ToolId::WaterDrop:
            return OptionSliders{{true, "퍼짐정도", 10, 5, 30}, off()};
        case ToolId::Brush:
        case ToolId::Eraser:
        case ToolId::Spray:
        case ToolId::Dot:
        case ToolId::Line:
        case ToolId::Polyline:
        case ToolId::Circle:
        case ToolId::Text:
            return idleOptionSliders();
        default:
            return std::nullopt;
    }
}

}  // namespace quillet
