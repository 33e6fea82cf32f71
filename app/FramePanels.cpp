#include "app/FramePanels.h"

namespace quillet {

PanelAction togglePanel(PanelPlacement& panel, const PanelRect& current, const PanelRect& created) {
    if (panel.exists && panel.visible) {
        panel.remembered = current;
        panel.visible = false;
        return PanelAction::Hide;
    }
    if (panel.exists) {
        panel.visible = true;
        return PanelAction::ShowAgain;
    }
    panel.exists = true;
    panel.visible = true;
    panel.remembered = created;
    return PanelAction::Create;
}

int popupPanelY(int toolBarTop, int toolBarHeight) { return toolBarTop + toolBarHeight / 2 + 6; }

MovieToggle toggleMovieMaker(bool movieMakerVisible) {
    if (movieMakerVisible) return {false, false, true};
    return {true, true, false};
}

}  // namespace quillet
