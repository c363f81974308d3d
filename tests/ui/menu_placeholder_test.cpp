// Placeholders of a menu table, the anchors before which vexim lists its recent files: never
// shown, so no one chooses one, and a popup that holds nothing else is grayed rather than open
// as an empty box. The Windows side is checked under wine (tests/wine/menus).

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/posix/ui_session.h"
#include "platform/ui.h"
#include "platform/ui_headless.h"
#include "tests/ui/ui_fixture.h"

namespace {

namespace ui = platform::ui;
using ui::MessageKind;
using ui_fixture::kAnchorCommand;
using ui_fixture::kMainDialog;

constexpr int kRecentFile = 20000;

// The state of the item that opens the Recent Files popup.
bool RecentFilesGrayed(ui::Window dialog) {
    for (const auto& top : dialog->menuBar->items) {
        for (const auto& item :
             top.popup != nullptr ? top.popup->items : std::vector<ui::MenuObject::Item>{}) {
            if (item.text == "Recent &Files") {
                return (item.flags & ui::kMenuGrayed) != 0;
            }
        }
    }
    ADD_FAILURE() << "no Recent Files popup";
    return false;
}

TEST(UiMenuPlaceholder, AnEmptyRecentFilesPopupIsGrayedUntilItListsAFile) {
    ui_fixture::RegisterAll();
    ui::headless::StartSession("");
    std::vector<bool> grayed;
    ui::RunDialog(kMainDialog, nullptr, [&grayed](ui::Window self, const ui::Message& m) {
        if (m.kind == MessageKind::Init) {
            grayed.push_back(RecentFilesGrayed(self));
            ui::InsertMenuItemBefore(self, kAnchorCommand, kRecentFile, "C:\\temp\\big.vxo");
            grayed.push_back(RecentFilesGrayed(self));
            ui::DeleteMenuItem(self, kRecentFile);
            grayed.push_back(RecentFilesGrayed(self));
            ui::EndDialog(self, 0);
        }
        return true;
    });
    EXPECT_EQ(grayed, (std::vector<bool>{true, false, true}));
}

TEST(UiMenuPlaceholder, APlaceholderCannotBeChosenAndTheItemsBeforeItCan) {
    ui_fixture::RegisterAll();
    ui::headless::StartSession("menu " + std::to_string(kAnchorCommand) + "\nmenu " +
                               std::to_string(kRecentFile) + "\n");
    std::vector<int> commands;
    ui::RunDialog(kMainDialog, nullptr, [&commands](ui::Window self, const ui::Message& m) {
        if (m.kind == MessageKind::Init) {
            ui::InsertMenuItemBefore(self, kAnchorCommand, kRecentFile, "C:\\temp\\big.vxo");
        } else if (m.kind == MessageKind::Command) {
            commands.push_back(m.id);
            ui::EndDialog(self, 0);
        }
        return true;
    });
    EXPECT_EQ(commands, std::vector<int>{kRecentFile});
    const auto lines = ui_fixture::Lines(ui::headless::Transcript());
    EXPECT_NE(
        std::find(lines.begin(), lines.end(),
                  "error \"script line 1: no menu item " + std::to_string(kAnchorCommand) + "\""),
        lines.end());
}

}  // namespace
