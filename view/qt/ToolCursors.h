#pragma once
// The cursors of the tool table, drawn by the program itself.
#include <QCursor>

namespace quillet {

// CursorId to cursor; unknown ids give the arrow.
QCursor ToolCursor(int cursorId);

}  // namespace quillet
