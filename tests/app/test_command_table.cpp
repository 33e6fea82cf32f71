#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/CommandGate.h"
#include "app/CommandTable.h"
#include "view/ToolTable.h"

using namespace quillet;
using enum CommandId;

namespace {

// Every entry of a menu, with submenus flattened.
std::vector<const MenuEntry*> commandsOf(std::span<const MenuEntry> entries) {
    std::vector<const MenuEntry*> out;
    for (const MenuEntry& e : entries)
        if (e.kind == MenuEntry::Command) out.push_back(&e);
    return out;
}

std::set<CommandId> allMenuIds() {
    std::set<CommandId> ids;
    for (const MenuDef& m : mainMenu())
        for (const MenuEntry* e : commandsOf(m.entries)) ids.insert(e->id);
    return ids;
}

}  // namespace

TEST(CommandTable, IdsAreUniqueAndEveryMenuEntryIsInTheTable) {
    std::set<CommandId> seen;
    for (const CommandInfo& c : commandTable()) EXPECT_TRUE(seen.insert(c.id).second) << int(c.id);
    for (CommandId id : allMenuIds()) {
        const CommandInfo* c = findCommand(id);
        ASSERT_NE(c, nullptr) << int(id);
        EXPECT_FALSE(c->caption.empty()) << int(id);
    }
    // Every table entry with a caption appears in the main menu exactly once.
    std::multiset<CommandId> inMenu;
    for (const MenuDef& m : mainMenu())
        for (const MenuEntry* e : commandsOf(m.entries)) inMenu.insert(e->id);
    for (const CommandInfo& c : commandTable()) {
        if (!c.caption.empty()) {
            EXPECT_EQ(inMenu.count(c.id), 1u) << int(c.id);
        }
    }
}

TEST(CommandTable, CaptionsKeepTheirSpacingAndMnemonics) {
    EXPECT_EQ(findCommand(New)->caption, "새파일(&N)");
    EXPECT_EQ(findCommand(Acquire)->caption, "외부 이미지 입력 ");
    EXPECT_EQ(findCommand(MergeDown)->caption, "아래쪽 레이어로  합치기");
    EXPECT_EQ(findCommand(CanvasRotate90Clockwise)->caption, " 90  시계방향");
    EXPECT_EQ(findCommand(LayerRotate90Clockwise)->caption, "90   시계방향");
    EXPECT_EQ(findCommand(ZoomOneToOne)->caption, "(1:1)보기 ");
    EXPECT_EQ(findCommand(About)->caption, "'Velloran Quillet'에 관하여(&A)...");
    EXPECT_EQ(findCommand(Exit)->caption, "종료(&x)");
}

TEST(CommandTable, KeysAndHandlers) {
    auto keys = [](CommandId id) {
        const CommandInfo* c = findCommand(id);
        std::string out;
        for (std::string_view k : c->keys)
            if (!k.empty()) out += std::string(k) + ";";
        return out;
    };
    EXPECT_EQ(keys(SaveAs), "Ctrl+Shift+S;");
    EXPECT_EQ(keys(Cut), "Ctrl+X;Delete;");
    EXPECT_EQ(keys(Copy), "Ctrl+C;Ctrl+Insert;");
    EXPECT_EQ(keys(ShadowEffect), "Ctrl+Shift+L;");
    EXPECT_EQ(keys(Print), "Ctrl+P;");
    EXPECT_EQ(keys(KeyOnlyDocumentCommand), "Ctrl+Shift+E;");
    EXPECT_EQ(keys(ZoomIn).substr(0, 7), "Ctrl++;");
    EXPECT_EQ(findCommand(New)->target, CommandTarget::App);
    EXPECT_EQ(findCommand(LayerPanel)->target, CommandTarget::Frame);
    EXPECT_EQ(findCommand(Undo)->target, CommandTarget::Doc);
    // Context menus name only commands of the table.
    for (auto menu : {viewContextMenu(), layerListContextMenu()})
        for (const MenuEntry* e : commandsOf(menu))
            EXPECT_NE(findCommand(e->id), nullptr) << int(e->id);
}

TEST(CommandTable, ToolBarsSendKnownCommandsWithTooltips) {
    int buttons = 0;
    for (auto bar : {mainToolBar(), toolsToolBar()})
        for (const ToolButtonDef& b : bar) {
            if (b.id == CommandId::None) continue;
            ++buttons;
            EXPECT_NE(findCommand(b.id), nullptr) << int(b.id);
            EXPECT_FALSE(b.tooltip.empty()) << int(b.id);
            for (CommandId f : b.flyout) EXPECT_FALSE(toolCaption(f).empty()) << int(f);
        }
    EXPECT_GE(buttons, 40);
    EXPECT_EQ(commandPrompt(RectSelect), "마우스 드래깅의 사각영역을 선택함");
    EXPECT_EQ(commandPrompt(ZoomIn), "화면 보기를 확대한다 ");
    EXPECT_TRUE(commandPrompt(New).empty());
}

TEST(CommandGate, FreeTransformPanelLetsOnlyItsModesThrough) {
    FrameCommandState s;
    s.freeTransformPanelVisible = true;
    for (const CommandInfo& c : commandTable()) {
        const bool mode =
            c.id == TransformSize || c.id == TransformDistort || c.id == TransformPerspective;
        EXPECT_EQ(gateAllows(s, c.id), mode) << int(c.id);
    }
}

TEST(CommandGate, AnchorLinePanelLetsOnlyPolygonZoomAndPathToolsThrough) {
    const std::set<CommandId> allowed = {PolygonSelect, ZoomIn,     ZoomOut,    PathPlace,
                                         PathMove,      PathInsert, PathDelete, PathOther};
    FrameCommandState s;
    s.anchorLinePanelVisible = true;
    for (const CommandInfo& c : commandTable())
        EXPECT_EQ(gateAllows(s, c.id), allowed.count(c.id) == 1) << int(c.id);
    // Both panels open: the free-transform rule still refuses the anchor-line tools.
    s.freeTransformPanelVisible = true;
    EXPECT_FALSE(gateAllows(s, PolygonSelect));
    EXPECT_FALSE(gateAllows(s, TransformSize));
}

TEST(CommandGate, PassingToolsBecomePressedExceptFlatten) {
    FrameCommandState s;
    EXPECT_TRUE(passGate(s, RectSelect));
    EXPECT_EQ(s.pressedButton, RectSelect);
    EXPECT_TRUE(passGate(s, Flatten));  // flatten passes without pressing its button
    EXPECT_EQ(s.pressedButton, RectSelect);
    EXPECT_TRUE(passGate(s, New));  // a plain command leaves the tool buttons alone
    EXPECT_EQ(s.pressedButton, RectSelect);
    s.freeTransformPanelVisible = true;
    EXPECT_FALSE(passGate(s, Brush));  // refused: nothing changes
    EXPECT_EQ(s.pressedButton, RectSelect);
    EXPECT_TRUE(passGate(s, TransformDistort));
    EXPECT_EQ(s.pressedButton, TransformDistort);
    EXPECT_TRUE(passGate(s, Exit));  // closing the program is never refused
}

TEST(CommandTable, EveryToolIsAToolCommandAndOnlyToolsAreTools) {
    for (const ToolInfo& t : ToolTable()) {
        const CommandInfo* c = findCommand(CommandOf(t.id));
        ASSERT_NE(c, nullptr) << int(t.id);
        EXPECT_EQ(c->gate, GateUse::Tool) << int(t.id);
        EXPECT_EQ(ToolOf(c->id), t.id);
    }
    EXPECT_FALSE(ToolOf(Save).has_value());
    EXPECT_FALSE(ToolOf(ColourRange).has_value());  // the dialog; its pick tool is another id
    EXPECT_FALSE(ToolOf(None).has_value());
}
