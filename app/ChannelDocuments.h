#pragma once
// "YUV구분" and "HSL구분": the current layer's three channels, each opened as a new grey
// document titled with the application's running channel number and the source's title.
#include <array>

#include "image/effects/RedEye.h"

namespace quillet {

class CBrevApp;
class CBrevDoc;

// The three new documents (Y, U, V or hue, saturation, lightness), or none when the current
// layer has no pixels to split. One running number serves the three.
std::array<CBrevDoc*, 3> OpenChannelDocuments(CBrevApp& app, CBrevDoc& source, ChannelSpace space);

}  // namespace quillet
