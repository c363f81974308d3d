// Menus of the headless backend: trees of items that the script chooses from.

#include <algorithm>

#include "platform/posix/ui_session.h"
#include "platform/ui_quote.h"

namespace platform::ui {

MenuObject::Item* FindMenuItem(MenuObject* menu, int command, MenuObject** holder) {
    if (menu == nullptr) {
        return nullptr;
    }
    for (auto& item : menu->items) {
        if (item.popup != nullptr) {
            if (auto* found = FindMenuItem(item.popup, command, holder)) {
                return found;
            }
        } else if (!item.separator && item.command == command) {
            if (holder != nullptr) {
                *holder = menu;
            }
            return &item;
        }
    }
    return nullptr;
}

bool IsPlaceholder(const MenuObject::Item& item) {
    return item.popup == nullptr && !item.separator && item.text.empty();
}

bool InGrayedPopup(MenuObject* menu, int command) {
    if (menu == nullptr) {
        return false;
    }
    for (auto& item : menu->items) {
        if (item.popup != nullptr && FindMenuItem(item.popup, command) != nullptr) {
            return (item.flags & kMenuGrayed) != 0 || InGrayedPopup(item.popup, command);
        }
    }
    return false;
}

namespace {

MenuObject::Item* ItemOf(Window window, int command, MenuObject** holder = nullptr) {
    return window != nullptr ? FindMenuItem(window->menuBar, command, holder) : nullptr;
}

// The item that opens `popup`, anywhere below `menu`.
MenuObject::Item* OpenerOf(MenuObject* menu, MenuObject* popup) {
    for (auto& item : menu->items) {
        if (item.popup == popup) {
            return &item;
        }
        if (item.popup != nullptr) {
            if (auto* found = OpenerOf(item.popup, popup)) {
                return found;
            }
        }
    }
    return nullptr;
}

// As on Windows: a popup that holds placeholders and nothing else would open as an empty box,
// so its item is grayed; it opens again once it holds an item to show.
void GrayWhenEmpty(MenuObject* bar, MenuObject* popup) {
    bool placeholders = false;
    bool shown = false;
    for (const auto& item : popup->items) {
        (IsPlaceholder(item) ? placeholders : shown) = true;
    }
    MenuObject::Item* opener = placeholders ? OpenerOf(bar, popup) : nullptr;
    if (opener != nullptr) {
        opener->flags = shown ? (opener->flags & ~kMenuGrayed) : (opener->flags | kMenuGrayed);
    }
}

}  // namespace

void GrayEmptyPopups(MenuObject* bar, MenuObject* menu) {
    for (auto& item : menu->items) {
        if (item.popup != nullptr) {
            GrayEmptyPopups(bar, item.popup);
            GrayWhenEmpty(bar, item.popup);
        }
    }
}

void CheckMenuItem(Window window, int command, bool checked) {
    if (auto* item = ItemOf(window, command)) {
        item->flags = checked ? (item->flags | kMenuChecked) : (item->flags & ~kMenuChecked);
    }
}

bool IsMenuItemChecked(Window window, int command) {
    auto* item = ItemOf(window, command);
    return item != nullptr && (item->flags & kMenuChecked) != 0;
}

void InsertMenuItemBefore(Window window, int anchor, int command, std::string_view text) {
    MenuObject* holder = nullptr;
    if (ItemOf(window, anchor, &holder) == nullptr) {
        RecordError("no menu item " + std::to_string(anchor));
        return;
    }
    auto& items = holder->items;
    auto at = std::find_if(items.begin(), items.end(), [anchor](const MenuObject::Item& item) {
        return item.popup == nullptr && !item.separator && item.command == anchor;
    });
    MenuObject::Item item;
    item.command = command;
    item.text = std::string(text);
    items.insert(at, item);
    GrayWhenEmpty(window->menuBar, holder);
}

bool DeleteMenuItem(Window window, int command) {
    MenuObject* holder = nullptr;
    MenuObject::Item* item = ItemOf(window, command, &holder);
    if (item == nullptr) {
        return false;
    }
    holder->items.erase(holder->items.begin() + (item - holder->items.data()));
    GrayWhenEmpty(window->menuBar, holder);
    return true;
}

std::optional<std::string> MenuItemText(Window window, int command) {
    auto* item = ItemOf(window, command);
    return item != nullptr ? std::optional<std::string>(item->text) : std::nullopt;
}

void SetMenuItemText(Window window, int command, std::string_view text) {
    if (auto* item = ItemOf(window, command)) {
        item->text = std::string(text);
        Record("menuitem " + std::to_string(command) + " " + QuoteText(item->text));
    }
}

void AppendSystemMenuItem(Window window, int command, std::string_view text) {
    if (window == nullptr) {
        return;
    }
    if (window->systemMenu == nullptr) {
        window->systemMenu = NewMenu();
    }
    MenuObject::Item item;
    item.command = command;
    item.text = std::string(text);
    window->systemMenu->items.push_back(item);
}

Menu CreateMenuBar() {
    return NewMenu();
}
Menu CreatePopupMenu() {
    return NewMenu();
}

void InsertPopupMenu(Menu bar, int position, Menu popup, std::string_view caption, unsigned flags) {
    if (bar == nullptr) {
        return;
    }
    MenuObject::Item item;
    item.text = std::string(caption);
    item.flags = flags;
    item.popup = popup;
    // Past the end, or a negative position, appends, as the system does.
    const size_t at = position < 0 ? bar->items.size()
                                   : std::min(bar->items.size(), static_cast<size_t>(position));
    bar->items.insert(bar->items.begin() + static_cast<std::ptrdiff_t>(at), item);
}

void AppendMenuItem(Menu popup, int command, std::string_view caption, unsigned flags) {
    if (popup == nullptr) {
        return;
    }
    MenuObject::Item item;
    item.command = command;
    item.text = std::string(caption);
    item.flags = flags;
    popup->items.push_back(item);
}

void AppendMenuSeparator(Menu popup) {
    if (popup != nullptr) {
        MenuObject::Item item;
        item.separator = true;
        popup->items.push_back(item);
    }
}

void SetMenu(Window window, Menu bar) {
    if (window != nullptr) {
        window->menuBar = bar;
    }
}

}  // namespace platform::ui
