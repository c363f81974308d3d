// The resource script that Windows builds its dialogs from and the control tables that the
// headless backend runs on must describe the same dialogs and menu.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "downloader/dialogs/dialog_tables.h"
#include "platform/ui_resource_script.h"

namespace ui = platform::ui;

namespace {

std::string ReadFile(const char* path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(VeximResourceScriptTest, ScriptAndTablesAgree) {
    const auto symbols = ui::ParseDefines(ReadFile(VEXIM_RESOURCE_HEADER));
    ASSERT_FALSE(symbols.empty());
    const ui::ResourceScript script =
        ui::ParseResourceScript(ReadFile(VEXIM_RESOURCE_SCRIPT), symbols);
    EXPECT_TRUE(script.errors.empty()) << script.errors.front();
    EXPECT_EQ(script.dialogs.size(), VeximDialogSpecs().size());
    EXPECT_EQ(script.menus.size(), VeximMenuSpecs().size());
    const auto differences =
        ui::CompareResourceTables(script, VeximDialogSpecs(), VeximMenuSpecs());
    for (const std::string& difference : differences)
        ADD_FAILURE() << difference;
}

}  // namespace
