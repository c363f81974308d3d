#include "toolshell/tool_window.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/posix/ui_session.h"
#include "platform/ui_headless.h"
#include "toolshell/open_file_dialog.h"
#include "toolshell/report_edit.h"
#include "toolshell/tool_menus.h"

namespace {

namespace fs = std::filesystem;
namespace ui = platform::ui;

constexpr int kOpen = 100, kExit = 101, kNo = 102, kYes = 103, kAbout = 105;
constexpr int kQuitCode = 7;

// A tool program in miniature: the menu and report window built on creation, the report window
// kept fitted on resize, File/Open asking for a file, File/Exit closing the window.
struct MiniTool {
    ui::Window window = nullptr;
    std::vector<std::string> chosen;

    void buildMenu(ui::Window self) {
        ui::Menu bar = ui::CreateMenuBar();
        toolshell::addPopupMenu(bar, 0, "&File");
        toolshell::addMenuItem(0, kOpen, "&Open .ZEF...");
        toolshell::addMenuSeparator(0);
        toolshell::addMenuItem(0, kExit, "&Exit");
        toolshell::addPopupMenu(bar, 1, "&Options");
        toolshell::addMenuItem(1, kNo, "X &Ignore Strings (NO)");
        toolshell::addMenuItem(1, kYes, "&Ignore Strings (YES)");
        toolshell::addPopupMenu(bar, 2, "&Help");
        toolshell::addMenuItem(2, kAbout, "&About");
        ui::SetMenu(self, bar);
    }

    bool handle(ui::Window self, const ui::Message& message) {
        switch (message.kind) {
            case ui::MessageKind::Init:
                window = self;
                buildMenu(self);
                toolshell::createReportEdit(self);
                return true;
            case ui::MessageKind::Size:
                toolshell::fitReportEdit(message.width, message.height);
                return true;
            case ui::MessageKind::Command:
                if (message.id == kOpen) {
                    chosen.push_back(toolshell::openFileDialog(
                        self, {{"ZEF Files, (*.ZEF)", "*.ZEF"}, {"All Files, (*.*)", "*.*"}},
                        "TV&Q Fennick Utility"));
                } else if (message.id == kExit) {
                    ui::DestroyWindow(self);
                }
                return true;
            case ui::MessageKind::Destroy:
                ui::PostQuit(kQuitCode);
                return true;
            default:
                return false;
        }
    }

    int run(const std::string& script) {
        ui::headless::StartSession(script);
        toolshell::ToolWindowSpec spec;
        spec.programName = "Fennick";
        spec.revisionDate = "07SEP2021";
        spec.procedure = [this](ui::Window self, const ui::Message& message) {
            return handle(self, message);
        };
        return toolshell::toolWinMain(spec);
    }
};

class ToolWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        toolshell::popupMenuTable.fill(nullptr);
        toolshell::reportEdit = nullptr;
        startDir_ = fs::current_path();
    }
    void TearDown() override { fs::current_path(startDir_); }

    fs::path startDir_;
};

TEST_F(ToolWindow, TitleNamesProgramAndRevision) {
    EXPECT_EQ(toolshell::toolWindowTitle("Fennick", "07SEP2021"), "Fennick Rev. 07SEP2021");
    MiniTool tool;
    EXPECT_EQ(tool.run("menu 101\n"), kQuitCode);
    EXPECT_NE(ui::headless::Transcript().find("open window \"Fennick Rev. 07SEP2021\""),
              std::string::npos)
        << ui::headless::Transcript();
}

TEST_F(ToolWindow, PopupsSitAtTheirPositionsWithTheirItems) {
    MiniTool tool;
    tool.run("menu 101\n");
    ASSERT_NE(tool.window, nullptr);
    const ui::MenuObject* bar = tool.window->menuBar;
    ASSERT_NE(bar, nullptr);
    const char* captions[] = {"&File", "&Options", "&Help"};
    ASSERT_EQ(bar->items.size(), 3u);
    for (std::size_t position = 0; position < 3; ++position) {
        SCOPED_TRACE(position);
        EXPECT_EQ(bar->items[position].text, captions[position]);
        EXPECT_EQ(bar->items[position].popup, toolshell::popupMenuTable[position]);
    }
    for (std::size_t slot = 3; slot < toolshell::popupMenuTable.size(); ++slot) {
        EXPECT_EQ(toolshell::popupMenuTable[slot], nullptr);
    }
    const auto& file = toolshell::popupMenuTable[0]->items;
    ASSERT_EQ(file.size(), 3u);
    EXPECT_EQ(file[0].command, kOpen);
    EXPECT_EQ(file[0].text, "&Open .ZEF...");
    EXPECT_TRUE(file[1].separator);
    EXPECT_EQ(file[2].command, kExit);
    const auto& options = toolshell::popupMenuTable[1]->items;
    ASSERT_EQ(options.size(), 2u);
    EXPECT_EQ(options[0].command, kNo);
    EXPECT_EQ(options[1].text, "&Ignore Strings (YES)");
    EXPECT_EQ(ui::MenuItemText(tool.window, kAbout).value_or(""), "&About");
}

TEST_F(ToolWindow, PopupOutsideTheTableIsRefused) {
    ui::headless::StartSession("");
    ui::Menu bar = ui::CreateMenuBar();
    EXPECT_EQ(toolshell::addPopupMenu(bar, 11, "&Eleven"), nullptr);
    EXPECT_EQ(toolshell::addPopupMenu(bar, -1, "&Negative"), nullptr);
    EXPECT_TRUE(bar->items.empty());
    // Items for a position without a popup go nowhere, and nothing breaks.
    toolshell::addMenuItem(4, 1, "lost");
    toolshell::addMenuSeparator(12);
    ASSERT_NE(toolshell::addPopupMenu(bar, 10, "&Last"), nullptr);
    toolshell::addMenuItem(10, 42, "&Item");
    EXPECT_EQ(toolshell::popupMenuTable[10]->items.size(), 1u);
}

TEST_F(ToolWindow, ReportWindowFollowsTheClientArea) {
    MiniTool tool;
    tool.run("size 300 200\nmenu 101\n");
    ASSERT_NE(toolshell::reportEdit, nullptr);
    const ui::Rect rect = toolshell::reportEdit->rect;
    EXPECT_EQ(rect.left, 2);
    EXPECT_EQ(rect.top, 2);
    EXPECT_EQ(rect.right, 300);
    EXPECT_EQ(rect.bottom, 200);
    EXPECT_EQ(toolshell::reportEdit->kind, ui::ControlKind::Edit);
    EXPECT_EQ(toolshell::reportEdit->parent, tool.window);
}

TEST_F(ToolWindow, ReportPlaceLeavesAMarginOnTwoSidesOnly) {
    struct Row {
        ui::Rect client;
        toolshell::ChildPlace expected;
    };
    for (const Row& row :
         {Row{{0, 0, 640, 480}, {2, 2, 638, 478}}, Row{{0, 0, 2, 2}, {2, 2, 0, 0}}}) {
        const toolshell::ChildPlace got = toolshell::reportEditPlace(row.client);
        EXPECT_EQ(got.x, row.expected.x);
        EXPECT_EQ(got.y, row.expected.y);
        EXPECT_EQ(got.width, row.expected.width);
        EXPECT_EQ(got.height, row.expected.height);
    }
}

TEST_F(ToolWindow, OpenDialogAnsweredCancelledAndRefused) {
    const fs::path folder =
        fs::temp_directory_path() / ("toolshell-open-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const fs::path project = folder / "PLANT.ZEF";
    std::ofstream(project) << "x";
    // An existing file whose path has no room in the dialog's 260 characters.
    const fs::path deepFolder = folder / std::string(150, 'd');
    fs::create_directories(deepFolder);
    const fs::path longPath = deepFolder / (std::string(120, 'p') + ".ZEF");
    std::ofstream(longPath) << "x";

    MiniTool tool;
    const std::string script = "menu 100\nfile \"" + project.string() +
                               "\"\nmenu 100\nfile cancel\nmenu 100\nfile \"" + longPath.string() +
                               "\"\nmenu 100\nfile \"" + (folder / "MISSING.ZEF").string() +
                               "\"\nmenu 101\n";
    EXPECT_EQ(tool.run(script), kQuitCode);
    ASSERT_EQ(tool.chosen.size(), 4u);
    EXPECT_EQ(tool.chosen[0], project.string());
    EXPECT_EQ(tool.chosen[1], "");
    EXPECT_EQ(tool.chosen[2], "");
    EXPECT_EQ(tool.chosen[3], "");
    // The conversions work in the chosen file's folder.
    EXPECT_EQ(fs::current_path(), fs::canonical(folder));
    EXPECT_NE(ui::headless::Transcript().find("file \"TV&Q Fennick Utility\" -> cancel"),
              std::string::npos);
    fs::current_path(startDir_);
    fs::remove_all(folder);
}

// The Windows dialog hides the read-only box (nothing is opened for writing) and changes to
// the chosen file's folder.
TEST_F(ToolWindow, OpenDialogFlagsAreExplorerFileAndPathMustExist) {
    const ui::FileDialogOptions options =
        toolshell::toolOpenFileDialogOptions({{"SVC Files, (*.SVC)", "*.SVC"}}, "Tamsel");
    EXPECT_EQ(ui::FileDialogFlags(options, false), 0x81804u);
    EXPECT_TRUE(options.initialFolder.empty());
}

TEST_F(ToolWindow, ClassThatCannotBeRegisteredEndsAtOnce) {
    ui::headless::StartSession("");
    toolshell::ToolWindowSpec spec;  // no class name: the system refuses it
    spec.procedure = [](ui::Window, const ui::Message&) { return false; };
    EXPECT_EQ(toolshell::toolWinMain(spec), 0);
    EXPECT_EQ(ui::headless::Transcript().find("open window"), std::string::npos);
}

TEST_F(ToolWindow, FixedPlaceAndSizeAreKept) {
    ui::headless::StartSession("");
    ui::Window created = nullptr;
    toolshell::ToolWindowSpec spec;
    spec.programName = "Tamsel";
    spec.revisionDate = "01JAN2021";
    spec.x = 100;
    spec.y = 100;
    spec.width = 400;
    spec.height = 200;
    spec.procedure = [&created](ui::Window self, const ui::Message& message) {
        if (message.kind == ui::MessageKind::Init) {
            created = self;
            ui::PostQuit(0);
        }
        return true;
    };
    EXPECT_EQ(toolshell::toolWinMain(spec), 0);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(ui::GetClientRect(created).Width(), 400);
    EXPECT_EQ(ui::GetClientRect(created).Height(), 200);
}

}  // namespace
