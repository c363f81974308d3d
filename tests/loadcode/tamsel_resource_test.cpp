// The resource script of Tamsel.exe and the tables the window and menu are made from must
// describe the same window; and what the program makes must be what the tables say.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "loadcode/window/tamsel_tables.h"
#include "platform/posix/ui_session.h"
#include "platform/ui_resource_script.h"
#include "tamsel_fixture.h"
#include "toolshell/tool_menus.h"

namespace loadcode::testing {
namespace {

namespace ui = platform::ui;

std::string readText(const char* path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(TamselResourceScript, ScriptAndTablesAgree) {
    const auto symbols = ui::ParseDefines(readText(TAMSEL_RESOURCE_HEADER));
    ASSERT_FALSE(symbols.empty());
    const ui::ResourceScript script =
        ui::ParseResourceScript(readText(TAMSEL_RESOURCE_SCRIPT), symbols);
    EXPECT_TRUE(script.errors.empty()) << script.errors.front();
    ASSERT_EQ(script.dialogs.size(), 1u);
    ASSERT_EQ(script.menus.size(), 1u);
    for (const std::string& difference :
         ui::CompareResourceTables(script, {tamselWindowSpec()}, {tamselMenuSpec()})) {
        ADD_FAILURE() << difference;
    }
}

class TamselMadeWindow : public TamselTest {};

// The field and its label are made from the window's table: the window tests read them in the
// transcript ("field" lines); the menu bar is held against the menu's table here.
TEST_F(TamselMadeWindow, MenuBarIsTheTable) {
    runProgram("menu 101\n");
    ASSERT_NE(toolshell::popupMenuTable[0], nullptr);
    ASSERT_NE(toolshell::popupMenuTable[2], nullptr);
    std::vector<ui::MenuEntrySpec> made;
    for (const ui::MenuObject* popup :
         {toolshell::popupMenuTable[0], toolshell::popupMenuTable[2]}) {
        made.push_back(
            {0, true, false, 0, popup == toolshell::popupMenuTable[0] ? "&File" : "&Help"});
        for (const auto& item : popup->items) {
            made.push_back({1, false, item.separator, item.command, item.text});
        }
    }
    const ui::MenuSpec table = tamselMenuSpec();
    ASSERT_EQ(made.size(), table.entries.size());
    for (std::size_t i = 0; i < made.size(); ++i) {
        EXPECT_EQ(made[i].depth, table.entries[i].depth) << i;
        EXPECT_EQ(made[i].separator, table.entries[i].separator) << i;
        EXPECT_EQ(made[i].command, table.entries[i].command) << i;
        EXPECT_EQ(made[i].text, table.entries[i].text) << i;
    }
}

}  // namespace
}  // namespace loadcode::testing
