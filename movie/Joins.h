#pragma once
// The joins between two show pictures and the hold of one picture. Each writes its frames into
// a sink; `canvas` starts as the frame last written (the old picture) and ends as the new one.
// Moving joins act only on the picture area between the bands.
#include "movie/Frame24.h"
#include "movie/MovieTypes.h"

namespace quillet {

class FrameSink;

struct JoinSetting {
    FrameRect picture;  // the area between the top and bottom bands
    int speed = 10;     // (slider maximum − slider position) × 0.2, truncated: larger is faster
};

// Frames of a moving join (zoom, push, a panorama's movement) at a transition speed.
int MovingJoinFrames(int speed);
// The number of frames the fade writes: while a single-precision t, from 0 in steps of 0.01,
// is below 1, plus the final frame of the new picture alone.
int FadeFrameCount();
inline constexpr int kLineJoinFrames = 30;

// Fade: old × (1 − t) + new × t per byte, truncated; then the new picture alone.
bool WriteFade(Frame24& canvas, const Frame24& next, FrameSink& sink);
// Line overlap: in frame k the rows (counted from the bottom) whose index modulo 30 is k take
// the new picture's row.
bool WriteLines(Frame24& canvas, const Frame24& next, FrameSink& sink);
// The new picture grows from the centre of the picture area over the old one.
bool WriteZoom(Frame24& canvas, const Frame24& next, const JoinSetting& setting,
               FrameScaler& scaler, FrameSink& sink);
// The new picture pushes the old one out of the picture area in the push's direction.
bool WritePush(JoinKind kind, Frame24& canvas, const Frame24& next, const JoinSetting& setting,
               FrameSink& sink);
// A panorama: the picture area travels across `zoomed` (the new picture at 1.5 times the area)
// in the panorama's direction, then fades to the new picture.
bool WritePanorama(JoinKind kind, Frame24& canvas, const Frame24& next, const Frame24& zoomed,
                   const JoinSetting& setting, FrameSink& sink);
// Any join; `zoomed` is needed for the panoramas only.
bool WriteJoin(JoinKind kind, Frame24& canvas, const Frame24& next, const Frame24* zoomed,
               const JoinSetting& setting, FrameScaler& scaler, FrameSink& sink);

// Holds the picture in `canvas` for `frames` frames. With a pan the view closes in slowly
// (to 1.2 times) while drifting the pan's way; it starts on the picture as it is.
bool WriteHold(Frame24& canvas, int frames, PanDirection pan, const JoinSetting& setting,
               FrameScaler& scaler, FrameSink& sink);

}  // namespace quillet
