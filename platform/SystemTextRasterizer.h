#pragma once
// The text rasterizer the editor draws with, for programs without a window of their own
// (quillet-cli): the same fonts and the same drawing as in the editor, so a text layer made on
// the command line looks as it would on the screen.
#include <memory>

#include "platform/TextRasterizer.h"

namespace quillet {

// Null when no font engine can be started in this process.
std::unique_ptr<TextRasterizer> MakeSystemTextRasterizer();

}  // namespace quillet
