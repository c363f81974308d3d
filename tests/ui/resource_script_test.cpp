#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/ui_resource_script.h"
#include "tests/ui/ui_fixture.h"

namespace {

namespace ui = platform::ui;
using ui::ControlKind;
using ui_fixture::Dialogs;
using ui_fixture::Menus;
using ui_fixture::ResourceScriptText;

TEST(UiResourceScript, TheFixtureScriptAndTablesAreInStep) {
    const ui::ResourceScript script = ui::ParseResourceScript(ResourceScriptText());
    EXPECT_TRUE(script.errors.empty()) << script.errors[0];
    ASSERT_EQ(script.dialogs.size(), 2u);
    ASSERT_EQ(script.menus.size(), 1u);
    EXPECT_EQ(ui::CompareResourceTables(script, Dialogs(), Menus()), std::vector<std::string>{});
}

TEST(UiResourceScript, ReadsIdsKindsAndTexts) {
    const ui::ResourceScript script = ui::ParseResourceScript(ResourceScriptText());
    ASSERT_EQ(script.dialogs.size(), 2u);
    const ui::DialogSpec& job = script.dialogs[0];
    EXPECT_EQ(job.id, 104);  // from the #define
    EXPECT_EQ(job.title, "Job");
    EXPECT_EQ(job.menuId, 0);
    ASSERT_EQ(job.controls.size(), 5u);
    EXPECT_EQ(job.controls[1].id, 1032);
    EXPECT_EQ(job.controls[2].kind, ControlKind::Progress);
    EXPECT_EQ(job.controls[3].id, ui::kIdCancel);
    EXPECT_EQ(job.controls[4].id, ui::kIdOk);
    const ui::DialogSpec& main = script.dialogs[1];
    EXPECT_EQ(main.title, "Main \"quoted\"");
    EXPECT_EQ(main.menuId, 112);
    std::vector<ControlKind> kinds;
    for (const auto& c : main.controls) {
        kinds.push_back(c.kind);
    }
    EXPECT_EQ(kinds,
              (std::vector<ControlKind>{
                  ControlKind::Static, ControlKind::Combo, ControlKind::Tab, ControlKind::Check,
                  ControlKind::Radio, ControlKind::Radio, ControlKind::Edit, ControlKind::Button,
                  ControlKind::ListView, ControlKind::IpAddress, ControlKind::Button}));
    EXPECT_EQ(main.controls[0].id, ui::kIdStatic);
    EXPECT_EQ(main.controls[0].text, "Load File");
}

TEST(UiResourceScript, ReadsControlKindsFromStylesAndClasses) {
    const std::string rc = R"(1 DIALOG 0, 0, 10, 10
BEGIN
    COMBOBOX 10, 1, 1, 1, 1, CBS_DROPDOWNLIST | WS_VSCROLL
    CONTROL "", 11, "ComboBox", CBS_DROPDOWNLIST, 1, 1, 1, 1
    CONTROL "", 12, "ComboBox", CBS_DROPDOWN, 1, 1, 1, 1
    CONTROL "g", 13, "Button", BS_GROUPBOX, 1, 1, 1, 1
    CONTROL "p", 14, "Button", BS_PUSHBUTTON | WS_TABSTOP, 1, 1, 1, 1
    CONTROL "", 15, WC_TREEVIEW, TVS_HASLINES, 1, 1, 1, 1
    CONTROL "", 16, "Static", SS_ICON, 1, 1, 1, 1
    LISTBOX 17, 1, 1, 1, 1
    CONTROL "c", 18, "Button", BS_AUTOCHECKBOX, 1, 1, 1, 1, WS_EX_STATICEDGE
    GROUPBOX "Command Line Syntax", -1, 1, 1, 1, 1
    CONTROL "", 19, "Foo", 0, 1, 1, 1, 1
    SCROLLBAR 20, 1, 1, 1, 1
END
)";
    const ui::ResourceScript script = ui::ParseResourceScript(rc);
    ASSERT_EQ(script.dialogs.size(), 1u);
    std::vector<ControlKind> kinds;
    for (const auto& c : script.dialogs[0].controls) {
        kinds.push_back(c.kind);
    }
    EXPECT_EQ(kinds,
              (std::vector<ControlKind>{
                  ControlKind::ComboList, ControlKind::ComboList, ControlKind::Combo,
                  ControlKind::Group, ControlKind::Button, ControlKind::TreeView, ControlKind::Icon,
                  ControlKind::ListBox, ControlKind::Check, ControlKind::Group}));
    EXPECT_EQ(script.errors, (std::vector<std::string>{"dialog 1, CONTROL: unknown class Foo",
                                                       "dialog 1, SCROLLBAR: unknown control "
                                                       "statement"}));
}

// Every way the tables can drift from the script is reported.
TEST(UiResourceScript, ReportsEveryDifference) {
    using Mutation = std::function<void(std::vector<ui::DialogSpec>&, std::vector<ui::MenuSpec>&)>;
    struct Case {
        const char* what;
        Mutation mutate;
        std::string difference;
    };
    const Case cases[] = {
        {"id", [](auto& d, auto&) { d[0].controls[1].id = 1034; },
         "dialog 104: control 2 is 1032 static \"\" in the script, 1034 static \"\" in the table"},
        {"kind", [](auto& d, auto&) { d[1].controls[3].kind = ControlKind::Radio; },
         "dialog 102: control 4 is 1015 check \"ASCII\" in the script, 1015 radio \"ASCII\" in "
         "the table"},
        {"text", [](auto& d, auto&) { d[1].controls[7].text = "Start"; },
         "dialog 102: control 8 is 1053 button \"Start Download\" in the script, 1053 button "
         "\"Start\" in the table"},
        {"missing control", [](auto& d, auto&) { d[0].controls.pop_back(); },
         "dialog 104: control 5 is 1 button \"OK\" in the script, nothing in the table"},
        {"title", [](auto& d, auto&) { d[0].title = "Jobs"; },
         "dialog 104: title \"Job\" in the script, \"Jobs\" in the table"},
        {"menu id", [](auto& d, auto&) { d[1].menuId = 113; },
         "dialog 102: menu 112 in the script, 113 in the table"},
        {"extra dialog",
         [](auto& d, auto&) {
             d.push_back({105, "VEXIM Help", 0, {}});
         },
         "dialog 105 is not in the script"},
        {"dialog without table", [](auto& d, auto&) { d.erase(d.begin()); },
         "dialog 104 has no table"},
        {"menu command", [](auto&, auto& m) { m[0].entries[1].command = 40016; },
         "menu 112: entry 2 is item 40015 \"&Open ZKRT Object\" at depth 1 in the script, item "
         "40016 \"&Open ZKRT Object\" at depth 1 in the table"},
        {"menu depth", [](auto&, auto& m) { m[0].entries[5].depth = 2; },
         "menu 112: entry 6 is item 40005 \"&Exit\" at depth 1 in the script, item 40005 "
         "\"&Exit\" at depth 2 in the table"},
        {"separator", [](auto&, auto& m) { m[0].entries[2].separator = false; },
         "menu 112: entry 3 is separator at depth 1 in the script, item 0 \"\" at depth 1 in the "
         "table"},
        {"menu without table", [](auto&, auto& m) { m.clear(); }, "menu 112 has no table"},
    };
    const ui::ResourceScript script = ui::ParseResourceScript(ResourceScriptText());
    for (const auto& c : cases) {
        auto dialogs = Dialogs();
        auto menus = Menus();
        c.mutate(dialogs, menus);
        EXPECT_EQ(ui::CompareResourceTables(script, dialogs, menus),
                  std::vector<std::string>{c.difference})
            << c.what;
    }
}

TEST(UiResourceScript, TakesSymbolsFromAResourceHeader) {
    const auto defines = ui::ParseDefines(
        "#define IDD_MAIN 102\n  # define IDC_FILE 0x3EC\n"
        "#define NAME \"x\"\n#include <windows.h>\n");
    EXPECT_EQ(defines, (std::map<std::string, int>{{"IDC_FILE", 1004}, {"IDD_MAIN", 102}}));
    const ui::ResourceScript script = ui::ParseResourceScript(
        "IDD_MAIN DIALOG 0, 0, 1, 1\nBEGIN\n EDITTEXT IDC_FILE, 1, 1, 1, 1\n"
        " LTEXT \"x\", IDC_NONE, 1, 1, 1, 1\nEND\n",
        defines);
    ASSERT_EQ(script.dialogs.size(), 1u);
    EXPECT_EQ(script.dialogs[0].id, 102);
    EXPECT_EQ(script.dialogs[0].controls[0].id, 1004);
    EXPECT_EQ(script.errors, std::vector<std::string>{"dialog 102, LTEXT: unknown id IDC_NONE"});
}

// The fixture is a real resource script: the Windows build's compiler takes it.
TEST(UiResourceScript, TheFixtureCompilesWithTheResourceCompiler) {
    if (std::string(UI_WINDRES).empty())
        GTEST_SKIP() << "i686-w64-mingw32-windres was not found when the build was configured";
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("ui_rc_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "fixture.rc") << ResourceScriptText();
    std::ofstream(dir / "fixture.ico", std::ios::binary)
        << std::string("\0\0\1\0\0\0", 6);  // an icon directory with no images
    const std::string command = std::string("cd '") + dir.string() + "' && " + UI_WINDRES +
                                " -i fixture.rc -o fixture.o 2>windres.log";
    const int status = std::system(command.c_str());
    std::ifstream log(dir / "windres.log");
    std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_EQ(status, 0) << text;
    fs::remove_all(dir);
}

}  // namespace
