#pragma once
// The mouse handlers of one tool. The view maps the point and calls the current tool's
// operation; a tool overrides only the handlers it needs. The tools of the selection, painting,
// fill, path, text and transform families register themselves in a ToolRegistry. A tool records
// its steps on the document's journal, so they are the same with or without a window.
#include <map>
#include <optional>

#include "view/ToolId.h"
#include "view/ViewTypes.h"

namespace quillet {

class CBrevDoc;
struct ToolState;

struct ToolEvent {
    CBrevDoc& doc;
    ToolState& tools;
    ViewPoint zoomed;  // zoomed coordinates; the tool divides by the zoom itself
};

class ToolOperation {
public:
    virtual ~ToolOperation() = default;
    virtual void down(ToolEvent&) {}
    virtual void drag(ToolEvent&) {}
    virtual void up(ToolEvent&) {}
    virtual void doubleClick(ToolEvent&) {}
    // Mouse movement with no button held.
    virtual void hover(ToolEvent&) {}
    // The cursor (CursorId) over the view at `zoomed` with no button held, for tools that
    // decide it by where the pointer is; nothing: the tool table's.
    virtual std::optional<int> hoverCursor(CBrevDoc&, const ToolState&, ViewPoint) const {
        return std::nullopt;
    }
};

class ToolRegistry {
public:
    void add(ToolId tool, ToolOperation& operation) { tools_[tool] = &operation; }
    ToolOperation* find(ToolId tool) const {
        auto it = tools_.find(tool);
        return it == tools_.end() ? nullptr : it->second;
    }

private:
    std::map<ToolId, ToolOperation*> tools_;
};

}  // namespace quillet
