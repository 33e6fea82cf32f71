#pragma once
// The main frame's commands as data: ids, captions, keys, who handles them, and how the
// menus, context menus and tool bars are laid out. The Qt frame builds its widgets from this.
#include <span>
#include <string_view>

#include "app/CommandId.h"

namespace quillet {

// Which object a command is routed to.
enum class CommandTarget { App, Frame, Doc };

// How a command meets the command gate.
enum class GateUse {
    Exempt,   // never refused (closing the program must always work)
    Refusal,  // refused while the free-transform or anchor-line panel is open
    Tool,     // refused like Refusal, and its tool-bar button shows pressed when it passes
};

struct CommandInfo {
    CommandId id;
    std::string_view caption;  // UTF-8, with the & mnemonic; empty for commands without menu entry
    std::string_view keys[2];  // portable key texts ("Ctrl+Shift+S"); empty when unused
    CommandTarget target;
    GateUse gate;
};

// Every command of the main menu, the extra keys, and the tool-bar-only commands.
std::span<const CommandInfo> commandTable();
const CommandInfo* findCommand(CommandId id);

// Menu layout. An entry is a command, a separator, or a submenu that spans `count` entries.
struct MenuEntry {
    enum Kind { Command, Separator, SubMenu } kind;
    CommandId id = CommandId::None;  // Command: command id
    std::string_view caption{};  // SubMenu: its caption; Command: caption override (context menus)
    int count = 0;               // SubMenu: number of following entries it holds
};

struct MenuDef {
    std::string_view caption;
    std::span<const MenuEntry> entries;
};

// The main menu (resource 3315), top level in order.
std::span<const MenuDef> mainMenu();
// The right-button menu of a document view (2054) and of the layer list (4004).
std::span<const MenuEntry> viewContextMenu();
std::span<const MenuEntry> layerListContextMenu();

// Tool-bar layout: a button sends `id`; a fly-out button also offers `flyout` (the first is
// the button's own command).
struct ToolButtonDef {
    CommandId id;  // None marks a separator
    std::string_view tooltip;
    std::span<const CommandId> flyout{};
};

std::span<const ToolButtonDef> mainToolBar();
std::span<const ToolButtonDef> toolsToolBar();

// Status-bar prompt of a tool command; empty when it has none.
std::string_view commandPrompt(CommandId id);
// Caption for a command without its own menu entry (fly-out items, tool-only commands).
std::string_view toolCaption(CommandId id);

}  // namespace quillet
