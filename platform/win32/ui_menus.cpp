// Menus: the menu bar of a dialog or window, found by command, and menus built by position.

#include <vector>

#include "platform/win32/ui_win32.h"

namespace platform::ui {

using win32::FromHmenu;
using win32::ToHmenu;
using win32::ToHwnd;

namespace {

HMENU BarOf(Window window) {
    return ::GetMenu(ToHwnd(window));
}

bool HasCommand(HMENU menu, int command) {
    return menu != nullptr &&
           ::GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND) != 0xFFFFFFFFu;
}

}  // namespace

namespace win32 {

void HidePlaceholderItems(HMENU menu) {
    const int count = menu != nullptr ? ::GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        if (!::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item)) {
            continue;
        }
        if (item.hSubMenu != nullptr) {
            HidePlaceholderItems(item.hSubMenu);
        } else if ((item.fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW)) == 0 &&
                   item.cch == 0) {
            MENUITEMINFOA separator{};
            separator.cbSize = sizeof separator;
            separator.fMask = MIIM_FTYPE;
            separator.fType = MFT_SEPARATOR;
            ::SetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &separator);
        }
    }
}

}  // namespace win32

void CheckMenuItem(Window window, int command, bool checked) {
    ::CheckMenuItem(BarOf(window), static_cast<UINT>(command),
                    MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool IsMenuItemChecked(Window window, int command) {
    HMENU bar = BarOf(window);
    return HasCommand(bar, command) &&
           (::GetMenuState(bar, static_cast<UINT>(command), MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void InsertMenuItemBefore(Window window, int anchor, int command, std::string_view text) {
    ::InsertMenuA(BarOf(window), static_cast<UINT>(anchor), MF_BYCOMMAND | MF_STRING,
                  static_cast<UINT_PTR>(command), std::string(text).c_str());
}

bool DeleteMenuItem(Window window, int command) {
    return ::DeleteMenu(BarOf(window), static_cast<UINT>(command), MF_BYCOMMAND) != 0;
}

std::optional<std::string> MenuItemText(Window window, int command) {
    HMENU bar = BarOf(window);
    if (!HasCommand(bar, command)) {
        return std::nullopt;
    }
    const int length = ::GetMenuStringA(bar, static_cast<UINT>(command), nullptr, 0, MF_BYCOMMAND);
    std::vector<char> text(static_cast<size_t>(length) + 1);
    ::GetMenuStringA(bar, static_cast<UINT>(command), text.data(), length + 1, MF_BYCOMMAND);
    return std::string(text.data());
}

void AppendSystemMenuItem(Window window, int command, std::string_view text) {
    ::AppendMenuA(::GetSystemMenu(ToHwnd(window), FALSE), MF_STRING, static_cast<UINT_PTR>(command),
                  std::string(text).c_str());
}

Menu CreateMenuBar() {
    return FromHmenu(::CreateMenu());
}
Menu CreatePopupMenu() {
    return FromHmenu(::CreatePopupMenu());
}

void InsertPopupMenu(Menu bar, int position, Menu popup, std::string_view caption, unsigned flags) {
    ::InsertMenuA(ToHmenu(bar), static_cast<UINT>(position),
                  flags | MF_POPUP | MF_BYPOSITION | MF_STRING,
                  reinterpret_cast<UINT_PTR>(ToHmenu(popup)), std::string(caption).c_str());
}

void AppendMenuItem(Menu popup, int command, std::string_view caption, unsigned flags) {
    ::AppendMenuA(ToHmenu(popup), flags | MF_STRING, static_cast<UINT_PTR>(command),
                  std::string(caption).c_str());
}

void AppendMenuSeparator(Menu popup) {
    ::AppendMenuA(ToHmenu(popup), MF_SEPARATOR, 0, nullptr);
}

void SetMenu(Window window, Menu bar) {
    ::SetMenu(ToHwnd(window), ToHmenu(bar));
    ::DrawMenuBar(ToHwnd(window));
}

}  // namespace platform::ui
