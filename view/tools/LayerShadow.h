#pragma once
// The layer shadow: a soft drop shadow of a layer's opaque shape, computed into the layer's
// effect plane and drawn by the compositor's shadow pass. Its settings live in the layer record:
// distance in effect value 1 (0 = no shadow), opacity in effect value 2, softness in effect
// value 3, the angle in the effect parameter and the colour (0x00RRGGBB) in the effect colour.
#include <cstdint>

#include "image/effects/RowThreads.h"

namespace quillet {

class CBrevDoc;
struct Layer;
enum class EditOutcome;

struct ShadowSettings {
    int distance = 7;     // pixels, 1..20 in the dialog; 0 clears the shadow
    int opacity = 70;     // 5..100
    int softness = 50;    // 0..99
    int angle = 0;        // degrees; negative angles count from 360
    uint32_t colour = 0;  // 0x00RRGGBB
    bool operator==(const ShadowSettings&) const = default;
};

inline constexpr int kMaxShadowDistance = 20;
inline constexpr uint8_t kShadowAlphaLimit = 180;  // more opaque pixels cast, never receive

// The layer's settings; the defaults with `colour` when it has no shadow.
ShadowSettings ShadowSettingsOf(const Layer& layer, uint32_t colour);
void StoreShadowSettings(Layer& layer, const ShadowSettings& settings);

// The shadow value of every pixel from the alpha plane (rows bottom first, as layers keep
// them) into `effect` (same shape). Pixels more opaque than 180 get 0. The window sums run as
// sliding sums, giving exactly the values of summing every pixel of each window.
void ComputeShadowPlane(const uint8_t* alpha, int width, int height, const ShadowSettings& settings,
                        uint8_t* effect, int threads = 1, RowProgress progress = {});

// The shadow dialog's session on the current layer. Begin: refused on a text layer (the user
// told) and while the document cannot be edited; the layer goes back to its last step. Preview
// writes the settings into the layer and computes its effect plane; Cancel puts the layer back.
int BeginShadow(CBrevDoc& doc);
bool PreviewShadow(CBrevDoc& doc, const ShadowSettings& settings, int threads = 2);
void CancelShadow(CBrevDoc& doc);

// OK of the dialog and `quillet-cli apply shadow`: the current layer takes the settings and its
// shadow, "레이어효과(그림자)". Distance 0 takes the shadow away.
EditOutcome ApplyShadow(CBrevDoc& doc, const ShadowSettings& settings, int threads = 2);

}  // namespace quillet
