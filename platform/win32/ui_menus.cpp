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

namespace {

// A placeholder taken out of its menu: the place where the program's items go, moved as items
// come and go before it. Placeholders of one menu are kept in the menu's order, so that two at
// the same place keep theirs.
struct Placeholder {
    HMENU bar;    // the menu bar it belongs to; forgotten with it
    HMENU popup;  // the menu that held it
    int command;
    int position;
};

std::vector<Placeholder>& Placeholders() {
    static std::vector<Placeholder> placeholders;
    return placeholders;
}

Placeholder* FindPlaceholder(HMENU bar, int command) {
    for (Placeholder& placeholder : Placeholders()) {
        if (placeholder.bar == bar && placeholder.command == command) {
            return &placeholder;
        }
    }
    return nullptr;
}

bool HoldsPlaceholders(HMENU popup) {
    for (const Placeholder& placeholder : Placeholders()) {
        if (placeholder.popup == popup) {
            return true;
        }
    }
    return false;
}

// Items come or go at `index` of `popup`: the placeholders behind it move with them. One that
// stood at that very place stands before the item that was there, so it stays.
void MovePlaceholders(HMENU popup, int index, int by) {
    for (Placeholder& placeholder : Placeholders()) {
        if (placeholder.popup == popup && placeholder.position > index) {
            placeholder.position += by;
        }
    }
}

// The menu and place of the item with `command` (not a popup) anywhere below `menu`.
bool FindItem(HMENU menu, int command, HMENU& holder, int& index) {
    const int count = menu != nullptr ? ::GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        if (HMENU popup = ::GetSubMenu(menu, i)) {
            if (FindItem(popup, command, holder, index)) {
                return true;
            }
        } else if (::GetMenuItemID(menu, i) == static_cast<UINT>(command)) {
            holder = menu;
            index = i;
            return true;
        }
    }
    return false;
}

// The menu and place of the item that opens `popup`.
bool FindPopupItem(HMENU menu, HMENU popup, HMENU& holder, int& index) {
    const int count = menu != nullptr ? ::GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        HMENU sub = ::GetSubMenu(menu, i);
        if (sub == popup) {
            holder = menu;
            index = i;
            return true;
        }
        if (sub != nullptr && FindPopupItem(sub, popup, holder, index)) {
            return true;
        }
    }
    return false;
}

// A popup left with nothing to show would open as an empty box: its item is grayed instead.
void GrayWhenEmpty(HMENU bar, HMENU popup) {
    HMENU holder = nullptr;
    int index = 0;
    if (FindPopupItem(bar, popup, holder, index)) {
        ::EnableMenuItem(holder, static_cast<UINT>(index),
                         MF_BYPOSITION | (::GetMenuItemCount(popup) == 0 ? MF_GRAYED : MF_ENABLED));
    }
}

void TakeOutPlaceholders(HMENU bar, HMENU menu) {
    for (int i = 0; i < ::GetMenuItemCount(menu);) {
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU | MIIM_ID;
        if (!::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item)) {
            ++i;
            continue;
        }
        // The system loads an item of a resource with no text as a separator, which keeps its
        // command; a separator of the resource has none.
        const bool separator = (item.fType & MFT_SEPARATOR) != 0;
        if (item.hSubMenu != nullptr) {
            TakeOutPlaceholders(bar, item.hSubMenu);
        } else if ((item.fType & (MFT_BITMAP | MFT_OWNERDRAW)) == 0 &&
                   (separator ? item.wID != 0 : item.cch == 0)) {
            ::DeleteMenu(menu, static_cast<UINT>(i), MF_BYPOSITION);
            Placeholders().push_back({bar, menu, static_cast<int>(item.wID), i});
            continue;
        }
        ++i;
    }
    if (HoldsPlaceholders(menu)) {
        GrayWhenEmpty(bar, menu);
    }
}

}  // namespace

void HidePlaceholderItems(HMENU menu) {
    if (menu != nullptr) {
        TakeOutPlaceholders(menu, menu);
    }
}

void ForgetPlaceholders(HMENU bar) {
    auto& placeholders = Placeholders();
    for (auto it = placeholders.begin(); it != placeholders.end();) {
        it = it->bar == bar ? placeholders.erase(it) : it + 1;
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
    HMENU bar = BarOf(window);
    const std::string caption(text);
    if (win32::Placeholder* placeholder = win32::FindPlaceholder(bar, anchor)) {
        HMENU popup = placeholder->popup;
        const int position = placeholder->position;
        ::InsertMenuA(popup, static_cast<UINT>(position), MF_BYPOSITION | MF_STRING,
                      static_cast<UINT_PTR>(command), caption.c_str());
        // The placeholder and those after it in its menu now stand one place further on.
        bool moved = false;
        for (win32::Placeholder& other : win32::Placeholders()) {
            moved = moved || &other == placeholder;
            if (moved && other.popup == popup) {
                ++other.position;
            }
        }
        win32::GrayWhenEmpty(bar, popup);
        return;
    }
    HMENU holder = nullptr;
    int index = 0;
    if (!win32::FindItem(bar, anchor, holder, index)) {
        return;
    }
    ::InsertMenuA(holder, static_cast<UINT>(index), MF_BYPOSITION | MF_STRING,
                  static_cast<UINT_PTR>(command), caption.c_str());
    win32::MovePlaceholders(holder, index, 1);
}

bool DeleteMenuItem(Window window, int command) {
    HMENU bar = BarOf(window);
    auto& placeholders = win32::Placeholders();
    for (auto it = placeholders.begin(); it != placeholders.end(); ++it) {
        if (it->bar == bar && it->command == command) {
            placeholders.erase(it);
            return true;
        }
    }
    HMENU holder = nullptr;
    int index = 0;
    if (!win32::FindItem(bar, command, holder, index) ||
        !::DeleteMenu(holder, static_cast<UINT>(index), MF_BYPOSITION)) {
        return false;
    }
    win32::MovePlaceholders(holder, index, -1);
    if (win32::HoldsPlaceholders(holder)) {
        win32::GrayWhenEmpty(bar, holder);
    }
    return true;
}

std::optional<std::string> MenuItemText(Window window, int command) {
    HMENU bar = BarOf(window);
    if (win32::FindPlaceholder(bar, command) != nullptr) {
        return std::string();
    }
    if (!HasCommand(bar, command)) {
        return std::nullopt;
    }
    const int length = ::GetMenuStringA(bar, static_cast<UINT>(command), nullptr, 0, MF_BYCOMMAND);
    std::vector<char> text(static_cast<size_t>(length) + 1);
    ::GetMenuStringA(bar, static_cast<UINT>(command), text.data(), length + 1, MF_BYCOMMAND);
    return std::string(text.data());
}

void SetMenuItemText(Window window, int command, std::string_view text) {
    HMENU bar = BarOf(window);
    if (!HasCommand(bar, command)) {
        return;
    }
    const std::string caption(text);
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    item.dwTypeData = const_cast<char*>(caption.c_str());
    ::SetMenuItemInfoA(bar, static_cast<UINT>(command), FALSE, &item);
    ::DrawMenuBar(ToHwnd(window));
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
