#pragma once
// The two labelled option sliders of the main frame and what choosing a tool puts in them.
#include <optional>
#include <string_view>

#include "view/ToolId.h"

namespace quillet {

// (The view keeps its own per-document copy in ToolState::slider1/2.)
struct OptionSliderSetting {
    bool enabled = false;
    std::string_view label{};  // UTF-8; the idle text when disabled
    int value = 0;
    int minimum = 0;
    int maximum = 0;
    bool operator==(const OptionSliderSetting&) const = default;
};

struct OptionSliders {
    OptionSliderSetting first;
    OptionSliderSetting second;
    bool operator==(const OptionSliders&) const = default;
};

// The label both sliders show while no tool uses them.
inline constexpr std::string_view kOptionIdleText = "옵션 없음";
inline constexpr int kFeatherMaximum = 30;

// The sliders a tool sets when it is chosen, given the frame's current feather value.
// Tools whose sliders belong to their own operations (paths, text, transforms) give nullopt:
// they set the sliders themselves.
std::optional<OptionSliders> optionSlidersForTool(ToolId tool, int feather);

// Both sliders off, labelled with the idle text.
OptionSliders idleOptionSliders();

}  // namespace quillet
