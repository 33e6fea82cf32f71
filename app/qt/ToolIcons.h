#pragma once
// The tool-bar and menu pictures, drawn at start-up so they stay sharp and need no files.
#include <QColor>
#include <QIcon>

#include "app/CommandId.h"

namespace quillet {

// The picture of a command's button; a null icon for commands without one.
QIcon toolIcon(CommandId commandId);

// A colour swatch picture for the foreground and background buttons.
QIcon swatchIcon(const QColor& colour, int size);

}  // namespace quillet
