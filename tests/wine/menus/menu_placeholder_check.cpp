// The Windows menus of the UI layer under wine: an empty item of a menu resource, the anchor
// before which a program lists its recent files, is never shown (neither a blank row the user
// could choose nor a separator row), the program still finds it to insert and delete items
// before it, and a popup with nothing to show is grayed rather than open as an empty box.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "platform/win32/ui_win32.h"

namespace {

namespace ui = platform::ui;

constexpr int kDialog = 100, kFilesAnchor = 201, kProfilesAnchor = 202, kExit = 203;
constexpr int kRecentFile = 300, kRecentProfile = 400, kOtherItem = 500;

int failures = 0;

void Expect(bool condition, const std::string& what) {
    std::printf("%s %s\n", condition ? "ok  " : "FAIL", what.c_str());
    failures += condition ? 0 : 1;
}

// The commands of the rows `menu` shows: a separator as 0, a popup as 0xFFFFFFFF.
std::vector<UINT> Rows(HMENU menu) {
    std::vector<UINT> rows;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i)
        rows.push_back(::GetMenuItemID(menu, i));
    return rows;
}

std::string Shown(const std::vector<UINT>& rows) {
    std::string text;
    for (UINT row : rows) {
        if (!text.empty())
            text += ' ';
        text += std::to_string(static_cast<int>(row));
    }
    return "[" + text + "]";
}

void ExpectRows(HMENU menu, const std::vector<UINT>& expected, const std::string& what) {
    const std::vector<UINT> rows = Rows(menu);
    Expect(rows == expected, what + ": rows " + Shown(rows) + ", expected " + Shown(expected));
}

bool RecentFilesGrayed(HMENU file) {
    return (::GetMenuState(file, 0, MF_BYPOSITION) & MF_GRAYED) != 0;
}

void CheckMenu(ui::Window dialog) {
    HMENU bar = ::GetMenu(ui::win32::ToHwnd(dialog));
    HMENU file = ::GetSubMenu(bar, 0);
    HMENU recent = file != nullptr ? ::GetSubMenu(file, 0) : nullptr;
    if (recent == nullptr) {
        Expect(false, "the menu has its Recent Files popup");
        return;
    }
    ExpectRows(recent, {}, "the placeholders show no row");
    Expect(RecentFilesGrayed(file), "Recent Files with nothing to list is grayed");
    Expect(ui::MenuItemText(dialog, kFilesAnchor) == std::optional<std::string>(""),
           "the placeholder is still found by its command");

    ui::InsertMenuItemBefore(dialog, kFilesAnchor, kRecentFile, "C:\\temp\\big.vxo");
    ui::InsertMenuItemBefore(dialog, kProfilesAnchor, kRecentProfile, "C:\\temp\\plant.vxf");
    ui::InsertMenuItemBefore(dialog, kFilesAnchor, kRecentFile + 1, "C:\\temp\\small.vxo");
    ExpectRows(recent, {kRecentFile, kRecentFile + 1, kRecentProfile},
               "files stand before the profiles, each before its placeholder");
    Expect(!RecentFilesGrayed(file), "Recent Files with something to list opens");
    Expect(ui::MenuItemText(dialog, kRecentFile) == std::optional<std::string>("C:\\temp\\big.vxo"),
           "an item inserted before a placeholder is there with its text");

    Expect(ui::DeleteMenuItem(dialog, kRecentFile) && !ui::MenuItemText(dialog, kRecentFile),
           "it can be deleted again");
    ui::InsertMenuItemBefore(dialog, kFilesAnchor, kRecentFile + 2, "C:\\temp\\third.vxo");
    ExpectRows(recent, {kRecentFile + 1, kRecentFile + 2, kRecentProfile},
               "the places follow a deletion");
    ui::InsertMenuItemBefore(dialog, kExit, kOtherItem, "&Other");
    ExpectRows(file, {0xFFFFFFFFu, kOtherItem, kExit}, "an item goes before an item too");
    ui::InsertMenuItemBefore(dialog, kProfilesAnchor, kRecentProfile + 1, "C:\\temp\\b.vxf");
    ExpectRows(recent, {kRecentFile + 1, kRecentFile + 2, kRecentProfile, kRecentProfile + 1},
               "the placeholders keep their places beside another menu's change");

    for (int command : {kRecentFile + 1, kRecentFile + 2, kRecentProfile, kRecentProfile + 1})
        ui::DeleteMenuItem(dialog, command);
    ExpectRows(recent, {}, "all deleted");
    Expect(RecentFilesGrayed(file), "Recent Files with nothing left is grayed again");
}

}  // namespace

int main() {
    ui::InitCommonControlClasses();
    const int result = ui::RunDialog(kDialog, nullptr, [](ui::Window self, const ui::Message& m) {
        if (m.kind == ui::MessageKind::Init) {
            CheckMenu(self);
            ui::EndDialog(self, 0);
        }
        return true;
    });
    Expect(result == 0, "the dialog ran");
    return failures == 0 ? 0 : 1;
}
