#include <gtest/gtest.h>

#include "platform/ui.h"
#include "platform/ui_headless.h"
#include "tests/ui/ui_fixture.h"

namespace {

namespace ui = platform::ui;
using ui::Message;
using ui::MessageKind;
using ui_fixture::Lines;

constexpr int kOpen = 100;
constexpr int kExit = 101;
constexpr int kAbout = 105;

// A tool window as the tool programs build it: menu bar by position on creation, a report
// edit over the client area that follows resizes, the quit request on destroy.
struct Tool {
    ui::Window report = nullptr;
    std::vector<ui::Rect> reportRects;
    std::vector<std::string> chosen;
    int paints = 0;

    ui::Procedure Procedure() {
        return [this](ui::Window self, const Message& m) {
            switch (m.kind) {
                case MessageKind::Init: {
                    ui::Menu bar = ui::CreateMenuBar();
                    ui::Menu file = ui::CreatePopupMenu();
                    ui::Menu help = ui::CreatePopupMenu();
                    ui::InsertPopupMenu(bar, 0, file, "&File");
                    ui::AppendMenuItem(file, kOpen, "&Open .SVC...");
                    ui::AppendMenuSeparator(file);
                    ui::AppendMenuItem(file, kExit, "&Exit");
                    // Inserted at position 2 of a bar with one popup: it lands second.
                    ui::InsertPopupMenu(bar, 2, help, "&Help");
                    ui::AppendMenuItem(help, kAbout, "&About", ui::kMenuGrayed);
                    ui::SetMenu(self, bar);
                    const ui::Rect client = ui::GetClientRect(self);
                    report = ui::CreateChild(
                        self, {ui::ControlKind::Edit, 0, "", client.left + 2, 2, client.right - 2,
                               client.bottom - 2,
                               ui::kChildClientEdge | ui::kChildVScroll | ui::kChildHScroll |
                                   ui::kChildReadOnly | ui::kChildMultiLine});
                    return true;
                }
                case MessageKind::Size: {
                    if (report != nullptr) {
                        ui::MoveWindow(report, 2, 2, m.width - 2, m.height - 2);
                        reportRects.push_back(ui::GetClientRect(report));
                    }
                    return true;
                }
                case MessageKind::Paint:
                    ++paints;
                    ui::SetText(report, "painted " + std::to_string(paints));
                    ui::Invalidate(self);  // swallowed: the paint in progress covers it
                    return true;
                case MessageKind::Command:
                    if (m.id == kOpen) {
                        ui::FileDialogOptions options;
                        options.title = "Tamsel";
                        options.filters = {{"SVC Files, (*.SVC)", "*.SVC"}};
                        chosen.push_back(ui::OpenFileDialog(self, options).value_or("(none)"));
                    } else if (m.id == kExit) {
                        ui::PostClose(self);
                    }
                    return true;
                case MessageKind::Destroy:
                    ui::PostQuit(7);
                    return true;
                default:
                    return false;
            }
        };
    }
};

ui::Window StartTool(Tool& tool, const std::string& script) {
    ui::headless::StartSession(script);
    EXPECT_TRUE(ui::RegisterWindowClass("Tamsel", tool.Procedure()));
    return ui::CreateMainWindow({"Tamsel", "Tamsel Rev. 04JUN2020", 100, 100, 400, 200});
}

TEST(UiToolWindow, MenusBuiltByPositionAndCommandsByScript) {
    Tool tool;
    ui::Window window = StartTool(tool, "menu 100\nfile cancel\nmenu 105\nmenu 101\n");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(ui::RunMessageLoop(), 7);
    EXPECT_EQ(tool.chosen, std::vector<std::string>{"(none)"});
    EXPECT_EQ(Lines(ui::headless::Transcript()),
              (std::vector<std::string>{"open window \"Tamsel Rev. 04JUN2020\"",
                                        "report \"painted 1\"", "file \"Tamsel\" -> cancel",
                                        "error \"script line 3: menu item 105 is grayed\"",
                                        "end window"}));
}

TEST(UiToolWindow, TheMenuBarKeepsInsertionByPosition) {
    Tool tool;
    ui::Window window = StartTool(tool, "");
    EXPECT_EQ(ui::MenuItemText(window, kAbout), "&About");
    ui::CheckMenuItem(window, kOpen, true);
    EXPECT_TRUE(ui::IsMenuItemChecked(window, kOpen));
    EXPECT_FALSE(ui::IsMenuItemChecked(window, kExit));
    // Position 5 of a two-popup bar appends; position 0 goes first.
    ui::Menu bar = ui::CreateMenuBar();
    ui::Menu a = ui::CreatePopupMenu(), b = ui::CreatePopupMenu(), c = ui::CreatePopupMenu();
    ui::AppendMenuItem(a, 1, "a");
    ui::AppendMenuItem(b, 2, "b");
    ui::AppendMenuItem(c, 3, "c");
    ui::InsertPopupMenu(bar, 0, a, "A");
    ui::InsertPopupMenu(bar, 5, b, "B");
    ui::InsertPopupMenu(bar, 0, c, "C");
    ui::SetMenu(window, bar);
    EXPECT_TRUE(ui::DeleteMenuItem(window, 3));
    EXPECT_FALSE(ui::DeleteMenuItem(window, 3));
    EXPECT_EQ(ui::MenuItemText(window, kAbout), std::nullopt);
    EXPECT_EQ(ui::MenuItemText(window, 2), "b");
}

TEST(UiToolWindow, ResizeMovesTheReportAndTitleIsRecorded) {
    Tool tool;
    ui::Window window = StartTool(tool, "size 801 400\nclose\n");
    ui::SetText(window, "Tamsel Rev. 04JUN2020 - busy");
    EXPECT_EQ(ui::RunMessageLoop(), 7);
    ASSERT_EQ(tool.reportRects.size(), 2u);
    // First client size from the creation, then the script's; the report keeps its margin of
    // two pixels on the left and top only.
    EXPECT_EQ(tool.reportRects[0].Width(), 400 - 2);
    EXPECT_EQ(tool.reportRects[1].Width(), 801 - 2);
    EXPECT_EQ(tool.reportRects[1].Height(), 400 - 2);
    EXPECT_EQ(tool.paints, 2);  // after creation and after the resize
    EXPECT_EQ(ui::GetText(tool.report), "painted 2");
    EXPECT_EQ(Lines(ui::headless::Transcript()),
              (std::vector<std::string>{
                  "open window \"Tamsel Rev. 04JUN2020\"", "title \"Tamsel Rev. 04JUN2020 - busy\"",
                  "report \"painted 1\"", "report \"painted 2\"", "end window"}));
}

TEST(UiToolWindow, ScriptRunningOutClosesTheWindow) {
    Tool tool;
    StartTool(tool, "");
    EXPECT_EQ(ui::RunMessageLoop(), 7);
    EXPECT_EQ(Lines(ui::headless::Transcript()).back(), "end window");
}

TEST(UiToolWindow, AWindowThatIgnoresItsCloseBoxIsEndedByForce) {
    ui::headless::StartSession("");
    ASSERT_TRUE(ui::RegisterWindowClass(
        "Stubborn", [](ui::Window, const Message& m) { return m.kind == MessageKind::Close; }));
    ui::CreateMainWindow({"Stubborn", "Stubborn"});
    EXPECT_EQ(ui::RunMessageLoop(), 0);
    EXPECT_EQ(Lines(ui::headless::Transcript()).back(), "end window forced");
}

TEST(UiToolWindow, AnUnregisteredClassMakesNoWindow) {
    ui::headless::StartSession("");
    EXPECT_EQ(ui::CreateMainWindow({"Nobody", "x"}), nullptr);
    EXPECT_FALSE(ui::RegisterWindowClass(ui::kDialogClass, {}));
}

// A program on the system dialog class has no procedure: its loop looks at every message,
// the children's keys and clicks included, and the close box arrives as Command(2).
TEST(UiToolWindow, TheLoopObserverSeesChildInputOnTheDialogClass) {
    ui::headless::StartSession("key 11 9\nclick 11\nkey 12 13\nclose\n");
    ui::Window main =
        ui::CreateMainWindow({ui::kDialogClass, "Halbrick  Rev 03MAY2022", 100, 100, 700, 600});
    ASSERT_NE(main, nullptr);
    ui::Window address = ui::CreateChild(
        main, {ui::ControlKind::Edit, 11, "192.168.10.1", 20, 50, 200, 20, ui::kChildBorder});
    ui::Window query =
        ui::CreateChild(main, {ui::ControlKind::Button, 12, "Query FDR Server", 20, 10, 200, 30});
    std::vector<std::string> seen;
    const int code = ui::RunMessageLoop([&](ui::Window, const Message& m) {
        if (m.kind == MessageKind::Char) {
            seen.push_back((m.window == address ? "address key " : "query key ") +
                           std::to_string(m.code));
        } else if (m.kind == MessageKind::MouseDown || m.kind == MessageKind::MouseUp) {
            seen.push_back(std::string(m.window == address ? "address " : "other ") +
                           (m.kind == MessageKind::MouseDown ? "down" : "up"));
        } else if (m.kind == MessageKind::Command && m.id == ui::kIdCancel) {
            seen.push_back("cancel");
            ui::PostQuit(0);
        }
        return false;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"address key 9", "address down", "address up",
                                              "query key 13", "cancel"}));
    EXPECT_EQ(ui::GetText(query), "Query FDR Server");
    EXPECT_EQ(ui::ItemWindow(main, 11), address);
}

}  // namespace

namespace {

// A tree view child, chosen from by the script, read back on a menu command.
TEST(UiToolWindow, TreeItemsAreChosenByTheScript) {
    constexpr int kTree = 20;
    constexpr int kRemove = 102;
    std::vector<std::string> removed;
    ui::headless::StartSession("select 20 2\nmenu 102\nselect 20 7\nclose\n");
    ASSERT_TRUE(ui::RegisterWindowClass("Trees", [&removed](ui::Window self, const Message& m) {
        if (m.kind == MessageKind::Init) {
            ui::Menu bar = ui::CreateMenuBar();
            ui::Menu file = ui::CreatePopupMenu();
            ui::InsertPopupMenu(bar, 0, file, "&File");
            ui::AppendMenuItem(file, kRemove, "&Remove from Repository");
            ui::SetMenu(self, bar);
            ui::CreateChild(self, {ui::ControlKind::TreeView, kTree, "", 2, 2, 300, 400});
            ui::TreeItem profile = ui::AddTreeItem(self, kTree, nullptr, "PMEKRT0302");
            ui::AddTreeItem(self, kTree, profile, "Version 1.2");
            ui::AddTreeItem(self, kTree, profile, "Assembly 100");
        } else if (m.kind == MessageKind::Command && m.id == kRemove) {
            ui::TreeItem chosen = ui::SelectedTreeItem(self, kTree);
            removed.push_back(ui::TreeItemText(self, kTree, chosen));
        } else if (m.kind == MessageKind::Destroy) {
            ui::PostQuit(0);
        }
        return m.kind != MessageKind::Close;
    }));
    ui::CreateMainWindow({"Trees", "TVQ PTK DTM Tool Rev. x"});
    EXPECT_EQ(ui::RunMessageLoop(), 0);
    EXPECT_EQ(removed, std::vector<std::string>{"Assembly 100"});
    EXPECT_EQ(Lines(ui::headless::Transcript()),
              (std::vector<std::string>{
                  "open window \"TVQ PTK DTM Tool Rev. x\"", "tree 20 0 \"PMEKRT0302\"",
                  "tree 20 1 under 0 \"Version 1.2\"", "tree 20 2 under 0 \"Assembly 100\"",
                  "error \"script line 3: no tree item 7\"", "end window"}));
}

// Deleting an item takes the items below it and the selection among them; the numbers of the
// items that stay, and of those added later, do not move.
TEST(UiToolWindow, DeletedTreeItemsGoWithTheirChildren) {
    constexpr int kTree = 20;
    constexpr int kRemove = 102, kShow = 103;
    std::vector<std::string> chosen;
    ui::TreeItem first = nullptr;
    ui::headless::StartSession(
        "select 20 1\nmenu 102\nselect 20 2\nselect 20 4\nmenu 103\nclose\n");
    ASSERT_TRUE(
        ui::RegisterWindowClass("Trees2", [&chosen, &first](ui::Window self, const Message& m) {
            if (m.kind == MessageKind::Init) {
                ui::Menu bar = ui::CreateMenuBar();
                ui::Menu file = ui::CreatePopupMenu();
                ui::InsertPopupMenu(bar, 0, file, "&File");
                ui::AppendMenuItem(file, kRemove, "&Remove");
                ui::AppendMenuItem(file, kShow, "&Show");
                ui::SetMenu(self, bar);
                ui::CreateChild(self, {ui::ControlKind::TreeView, kTree, "", 2, 2, 300, 400});
                first = ui::AddTreeItem(self, kTree, nullptr, "A");
                ui::AddTreeItem(self, kTree, ui::AddTreeItem(self, kTree, first, "A1"), "A1a");
                ui::AddTreeItem(self, kTree, nullptr, "B");
            } else if (m.kind == MessageKind::Command && m.id == kRemove) {
                // The selection (A1) is below the deleted item.
                ui::DeleteTreeItem(self, kTree, first);
                chosen.push_back(ui::SelectedTreeItem(self, kTree) == nullptr ? "none" : "some");
                ui::AddTreeItem(self, kTree, nullptr, "C");
            } else if (m.kind == MessageKind::Command && m.id == kShow) {
                chosen.push_back(ui::TreeItemText(self, kTree, ui::SelectedTreeItem(self, kTree)));
            } else if (m.kind == MessageKind::Destroy) {
                ui::PostQuit(0);
            }
            return m.kind != MessageKind::Close;
        }));
    ui::CreateMainWindow({"Trees2", "Trees"});
    EXPECT_EQ(ui::RunMessageLoop(), 0);
    EXPECT_EQ(chosen, (std::vector<std::string>{"none", "C"}));
    EXPECT_EQ(Lines(ui::headless::Transcript()),
              (std::vector<std::string>{"open window \"Trees\"", "tree 20 0 \"A\"",
                                        "tree 20 1 under 0 \"A1\"", "tree 20 2 under 1 \"A1a\"",
                                        "tree 20 3 \"B\"", "tree 20 delete 0", "tree 20 4 \"C\"",
                                        "error \"script line 3: no tree item 2\"", "end window"}));
}

}  // namespace
