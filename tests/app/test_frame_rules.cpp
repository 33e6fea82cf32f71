#include <gtest/gtest.h>

#include "app/AppCounters.h"
#include "app/ColourSwatches.h"
#include "app/FramePanels.h"
#include "app/ToolOptions.h"

using namespace quillet;

TEST(PanelToggle, CreateHideAndShowAtTheRememberedPlace) {
    PanelPlacement p;
    const PanelRect created{10, 40, 200, 300};
    EXPECT_EQ(togglePanel(p, {}, created), PanelAction::Create);
    EXPECT_TRUE(p.exists && p.visible);
    EXPECT_EQ(p.remembered, created);
    const PanelRect moved{500, 60, 200, 300};
    EXPECT_EQ(togglePanel(p, moved, created), PanelAction::Hide);
    EXPECT_FALSE(p.visible);
    EXPECT_EQ(p.remembered, moved);
    EXPECT_EQ(togglePanel(p, {}, created), PanelAction::ShowAgain);
    EXPECT_TRUE(p.visible);
    EXPECT_EQ(p.remembered, moved);
}

TEST(PanelToggle, PopupPositionAndMovieMaker) {
    EXPECT_EQ(popupPanelY(100, 30), 121);
    EXPECT_EQ(popupPanelY(0, 31), 21);
    const MovieToggle on = toggleMovieMaker(false);
    EXPECT_TRUE(on.showMovieMaker && on.showMoviePlayer && !on.showLayerPanel);
    const MovieToggle off = toggleMovieMaker(true);
    EXPECT_TRUE(!off.showMovieMaker && !off.showMoviePlayer && off.showLayerPanel);
}

TEST(ColourSwatches, SwapExchangesColoursIndicesAndPickerPositions) {
    ColourSwatches s;
    s.foreground = {rgbColour(255, 0, 0), 3, 17, 40};
    s.background = {rgbColour(0, 0, 255), 11, 200, 5};
    s.previousForeground = 0x123456;
    swapSwatches(s);
    EXPECT_EQ(s.foreground, (SwatchColour{0xFF0000, 11, 200, 5}));
    EXPECT_EQ(s.background, (SwatchColour{0x0000FF, 3, 17, 40}));
    EXPECT_EQ(s.previousForeground, 0x123456u);
    swapSwatches(s);
    EXPECT_EQ(s.foreground.colour, 0x0000FFu);
    setForeground(s, {0x00FF00, 1, 2, 3});
    EXPECT_EQ(s.previousForeground, 0x0000FFu);
    EXPECT_EQ(redOf(rgbColour(1, 2, 3)), 1);
    EXPECT_EQ(blueOf(rgbColour(1, 2, 3)), 3);
}

TEST(ToolOptions, SelectionWandAndPaintingTools) {
    const auto rect = optionSlidersForTool(ToolId::RectSelect, 7);
    ASSERT_TRUE(rect);
    EXPECT_EQ(rect->first, (OptionSliderSetting{true, "경계퍼짐", 7, 0, 30}));
    EXPECT_FALSE(rect->second.enabled);
    const auto wand = optionSlidersForTool(ToolId::MagicWand, 4);
    ASSERT_TRUE(wand);
    EXPECT_EQ(wand->first, (OptionSliderSetting{true, "포함한계치", 25, 0, 60}));
    EXPECT_EQ(wand->second.label, "경계퍼짐");
    EXPECT_EQ(wand->second.value, 4);
    EXPECT_EQ(optionSlidersForTool(ToolId::WaterDrop, 0)->first,
              (OptionSliderSetting{true, "퍼짐정도", 10, 5, 30}));
    EXPECT_EQ(*optionSlidersForTool(ToolId::Brush, 9), idleOptionSliders());
    EXPECT_FALSE(optionSlidersForTool(ToolId::TransformSize, 0).has_value());
}

TEST(AppCounters, RunningNumbersAreIndependentAndPerObject) {
    AppCounters a, b;
    EXPECT_EQ(a.takeResourceImageNumber(), 0);
    EXPECT_EQ(a.takeResourceImageNumber(), 1);
    EXPECT_EQ(a.takeCopyNumber(), 0);
    EXPECT_EQ(a.takeCaptureNumber(), 0);
    EXPECT_EQ(a.takeCaptureNumber(), 1);
    EXPECT_EQ(a.takeChannelNumber(), 0);
    EXPECT_EQ(b.takeResourceImageNumber(), 0);  // a second application shares nothing
}

TEST(ColourSwatches, LiveInTheSettingsRecordAcrossRestarts) {
    FrameSettings settings;
    settings.foreground = rgbColour(10, 20, 30);
    settings.foregroundPick = {4, 50, 60};
    settings.background = rgbColour(200, 210, 220);
    settings.backgroundPick = {9, 1, 2};
    settings.previousBackground = 0x0A0B0C;
    ColourSwatches s = swatchesFromSettings(settings);
    EXPECT_EQ(s.foreground, (SwatchColour{rgbColour(10, 20, 30), 4, 50, 60}));
    swapSwatches(s);
    FrameSettings stored = settings;
    storeSwatches(s, stored);
    EXPECT_EQ(stored.foreground, rgbColour(200, 210, 220));
    EXPECT_EQ(stored.foregroundPick, (ColourPick{9, 1, 2}));
    EXPECT_EQ(stored.backgroundPick, (ColourPick{4, 50, 60}));
    EXPECT_EQ(stored.previousBackground, 0x0A0B0Cu);
    EXPECT_EQ(swatchesFromSettings(stored).background, s.background);
}
