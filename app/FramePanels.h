#pragma once
// Placement rules of the main frame's floating panels.

namespace quillet {

struct PanelRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const PanelRect&) const = default;
};

// A panel that is created once and then shown or hidden.
struct PanelPlacement {
    bool exists = false;
    bool visible = false;
    PanelRect remembered;  // where it was when last hidden (or created)
};

enum class PanelAction { Hide, ShowAgain, Create };

// The toggle of the layer/history, brush and one-click panels (LayerPanel, BrushPanel,
// OneClickCameraPanel): a visible panel remembers its rectangle `current` and hides; a hidden one
// comes back at the remembered rectangle; a missing one is created at `created` (its template size
// at the pop-up position).
PanelAction togglePanel(PanelPlacement& panel, const PanelRect& current, const PanelRect& created);

// Vertical position for pop-up panels and dialogs: the middle of the main tool bar plus 6.
// `toolBarTop` and `toolBarHeight` are in screen coordinates.
int popupPanelY(int toolBarTop, int toolBarHeight);

// The movie maker toggle (MovieMaker): with the maker visible it hides maker and player and shows
// the layer panel; otherwise it shows both and hides the layer panel.
struct MovieToggle {
    bool showMovieMaker;
    bool showMoviePlayer;
    bool showLayerPanel;
};
MovieToggle toggleMovieMaker(bool movieMakerVisible);

}  // namespace quillet
