#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/CommandGate.h"
#include "app/CommandTable.h"

using namespace quillet;

namespace {

// Every entry of a menu, with submenus flattened.
std::vector<const MenuEntry*> commandsOf(std::span<const MenuEntry> entries) {
    std::vector<const MenuEntry*> out;
    for (const MenuEntry& e : entries)
        if (e.kind == MenuEntry::Command) out.push_back(&e);
    return out;
}

std::set<int> allMenuIds() {
    std::set<int> ids;
    for (const MenuDef& m : mainMenu())
        for (const MenuEntry* e : commandsOf(m.entries)) ids.insert(e->id);
    return ids;
}

}  // namespace

TEST(CommandTable, IdsAreUniqueAndEveryMenuEntryIsInTheTable) {
    std::set<int> seen;
    for (const CommandInfo& c : commandTable()) EXPECT_TRUE(seen.insert(c.id).second) << c.id;
    for (int id : allMenuIds()) {
        const CommandInfo* c = findCommand(id);
        ASSERT_NE(c, nullptr) << id;
        EXPECT_FALSE(c->caption.empty()) << id;
    }
    // Every table entry with a caption appears in the main menu exactly once.
    std::multiset<int> inMenu;
    for (const MenuDef& m : mainMenu())
        for (const MenuEntry* e : commandsOf(m.entries)) inMenu.insert(e->id);
    for (const CommandInfo& c : commandTable()) {
        if (!c.caption.empty()) {
            EXPECT_EQ(inMenu.count(c.id), 1u) << c.id;
        }
    }
}

TEST(CommandTable, CaptionsKeepTheirSpacingAndMnemonics) {
    EXPECT_EQ(findCommand(57600)->caption, "새파일(&N)");
    EXPECT_EQ(findCommand(1475)->caption, "외부 이미지 입력 ");
    EXPECT_EQ(findCommand(1557)->caption, "아래쪽 레이어로  합치기");
    EXPECT_EQ(findCommand(1491)->caption, " 90  시계방향");
    EXPECT_EQ(findCommand(4210)->caption, "90   시계방향");
    EXPECT_EQ(findCommand(1422)->caption, "(1:1)보기 ");
    EXPECT_EQ(findCommand(57664)->caption, "'Velloran Quillet'에 관하여(&A)...");
    EXPECT_EQ(findCommand(57665)->caption, "종료(&x)");
}

TEST(CommandTable, KeysAndHandlers) {
    auto keys = [](int id) {
        const CommandInfo* c = findCommand(id);
        std::string out;
        for (std::string_view k : c->keys)
            if (!k.empty()) out += std::string(k) + ";";
        return out;
    };
    EXPECT_EQ(keys(57604), "Ctrl+Shift+S;");
    EXPECT_EQ(keys(57635), "Ctrl+X;Delete;");
    EXPECT_EQ(keys(57634), "Ctrl+C;Ctrl+Insert;");
    EXPECT_EQ(keys(1558), "Ctrl+Shift+L;");
    EXPECT_EQ(keys(57607), "Ctrl+P;");
    EXPECT_EQ(keys(2068), "Ctrl+Shift+E;");
    EXPECT_EQ(keys(1420).substr(0, 7), "Ctrl++;");
    EXPECT_EQ(findCommand(57600)->target, CommandTarget::App);
    EXPECT_EQ(findCommand(1554)->target, CommandTarget::Frame);
    EXPECT_EQ(findCommand(57643)->target, CommandTarget::Doc);
    // Context menus name only commands of the table.
    for (auto menu : {viewContextMenu(), layerListContextMenu()})
        for (const MenuEntry* e : commandsOf(menu)) EXPECT_NE(findCommand(e->id), nullptr) << e->id;
}

TEST(CommandTable, ToolBarsSendKnownCommandsWithTooltips) {
    int buttons = 0;
    for (auto bar : {mainToolBar(), toolsToolBar()})
        for (const ToolButtonDef& b : bar) {
            if (b.id == 0) continue;
            ++buttons;
            EXPECT_NE(findCommand(b.id), nullptr) << b.id;
            EXPECT_FALSE(b.tooltip.empty()) << b.id;
            for (int f : b.flyout) EXPECT_FALSE(toolCaption(f).empty()) << f;
        }
    EXPECT_GE(buttons, 40);
    EXPECT_EQ(commandPrompt(1342), "마우스 드래깅의 사각영역을 선택함");
    EXPECT_EQ(commandPrompt(1420), "화면 보기를 확대한다 ");
    EXPECT_TRUE(commandPrompt(57600).empty());
}

TEST(CommandGate, FreeTransformPanelLetsOnlyItsModesThrough) {
    FrameCommandState s;
    s.freeTransformPanelVisible = true;
    for (const CommandInfo& c : commandTable()) {
        const bool mode = c.id >= 4250 && c.id <= 4252;
        EXPECT_EQ(gateAllows(s, c.id), mode) << c.id;
    }
}

TEST(CommandGate, AnchorLinePanelLetsOnlyPolygonZoomAndPathToolsThrough) {
    const std::set<int> allowed = {1345, 1420, 1421, 5615, 5616, 5620, 5621, 5622};
    FrameCommandState s;
    s.anchorLinePanelVisible = true;
    for (const CommandInfo& c : commandTable())
        EXPECT_EQ(gateAllows(s, c.id), allowed.count(c.id) == 1) << c.id;
    // Both panels open: the free-transform rule still refuses the anchor-line tools.
    s.freeTransformPanelVisible = true;
    EXPECT_FALSE(gateAllows(s, 1345));
    EXPECT_FALSE(gateAllows(s, 4250));
}

TEST(CommandGate, PassingToolsBecomePressedExceptFlatten) {
    FrameCommandState s;
    EXPECT_TRUE(passGate(s, 1342));
    EXPECT_EQ(s.pressedButton, 1342);
    EXPECT_TRUE(passGate(s, 1500));  // flatten passes without pressing its button
    EXPECT_EQ(s.pressedButton, 1342);
    EXPECT_TRUE(passGate(s, 57600));  // a plain command leaves the tool buttons alone
    EXPECT_EQ(s.pressedButton, 1342);
    s.freeTransformPanelVisible = true;
    EXPECT_FALSE(passGate(s, 1347));  // refused: nothing changes
    EXPECT_EQ(s.pressedButton, 1342);
    EXPECT_TRUE(passGate(s, 4251));
    EXPECT_EQ(s.pressedButton, 4251);
    EXPECT_TRUE(passGate(s, 57665));  // closing the program is never refused
}
