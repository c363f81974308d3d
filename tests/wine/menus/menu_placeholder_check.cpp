// The Windows menus of the UI layer under wine: an empty item of a menu resource, the anchor
// before which a program lists its recent files, is never a blank row the user could choose, and
// the program still finds it to insert and delete items before it.

#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/ui.h"
#include "platform/win32/ui_win32.h"

namespace {

namespace ui = platform::ui;

constexpr int kDialog = 100, kFilesAnchor = 201, kProfilesAnchor = 202, kExit = 203;
constexpr int kRecentFile = 300;

int failures = 0;

void Expect(bool condition, const std::string& what) {
    std::printf("%s %s\n", condition ? "ok  " : "FAIL", what.c_str());
    failures += condition ? 0 : 1;
}

UINT ItemType(HMENU bar, int command) {
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE;
    return ::GetMenuItemInfoA(bar, static_cast<UINT>(command), FALSE, &item) ? item.fType
                                                                             : 0xFFFFFFFFu;
}

void CheckMenu(ui::Window dialog) {
    HMENU bar = ::GetMenu(ui::win32::ToHwnd(dialog));
    for (int anchor : {kFilesAnchor, kProfilesAnchor})
        Expect(ItemType(bar, anchor) == MFT_SEPARATOR,
               "placeholder " + std::to_string(anchor) + " is a separator");
    Expect(ItemType(bar, kExit) == MFT_STRING, "an item with a text stays an item");
    ui::InsertMenuItemBefore(dialog, kFilesAnchor, kRecentFile, "C:\\temp\\big.vxo");
    Expect(ui::MenuItemText(dialog, kRecentFile) == std::optional<std::string>("C:\\temp\\big.vxo"),
           "an item inserted before the placeholder is there with its text");
    HMENU file = ::GetSubMenu(bar, 0);
    HMENU recent = file != nullptr ? ::GetSubMenu(file, 0) : nullptr;
    Expect(recent != nullptr && ::GetMenuItemID(recent, 0) == kRecentFile &&
               ::GetMenuItemID(recent, 1) == kFilesAnchor,
           "it stands before the placeholder");
    Expect(ui::DeleteMenuItem(dialog, kRecentFile) && !ui::MenuItemText(dialog, kRecentFile),
           "it can be deleted again");
    Expect(ui::MenuItemText(dialog, kFilesAnchor) == std::optional<std::string>(""),
           "the placeholder is still found by its command");
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
