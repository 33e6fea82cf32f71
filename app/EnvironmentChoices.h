#pragma once
// What the settings dialog ("      환경 설정") edits, and the rule by which OK stores it.
#include <cstdint>

#include "view/FrameSettings.h"

namespace quillet {

struct EnvironmentChoices {
    int cursorShape = 0;          // "커서/선택": 0..4
    int transparencyPattern = 3;  // "투명표시": 0..5
    bool selectionTone = true;    // "선택/경로"
    uint32_t pathSegmentColour = 0;
    uint32_t pathPointColour = 0;
    uint32_t gridColour = 0;       // "격자표시"
    int gridSpacing = 10;          // as edited, 0..40
    bool showOpenAtStart = false;  // "파일보기창"
    int browserKind = FrameSettings::OwnBrowser;
};

// The dialog's starting values.
EnvironmentChoices choicesFrom(const FrameSettings& settings);
// OK: the spacing is at least 4 and stays negative while the grid is hidden; the update flag is
// cleared; everything else the dialog shows is taken as chosen.
void applyEnvironmentChoices(const EnvironmentChoices& choices, FrameSettings& settings);

}  // namespace quillet
