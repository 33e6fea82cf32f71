#pragma once
// Choosing a tool: the same steps for every tool command.
#include "view/ToolId.h"

namespace quillet {

class CBrevDoc;
struct ToolState;

enum class ToolChoice { AlreadyCurrent, Refused, Chosen };

extern const char* const kTextLayerMessage;

// `doc` is the active document (may be null with no document open). A selection tool on a text
// layer is refused with kTextLayerMessage; a tool the open panels do not allow is refused
// silently. On success the tool becomes current, the document's tool anchors are reset and the
// option sliders set.
ToolChoice ChooseTool(ToolState& state, ToolId id, CBrevDoc* doc);

// Whether the main frame allows switching to `id` with its panels in their present state.
bool FrameAllowsTool(const ToolState& state, ToolId id);

}  // namespace quillet
