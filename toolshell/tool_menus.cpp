#include "toolshell/tool_menus.h"

namespace toolshell {

namespace ui = platform::ui;

std::array<ui::Menu, popupMenuSlots> popupMenuTable{};

namespace {

ui::Menu popupAt(int position) {
    if (position < 0 || position >= popupMenuSlots) {
        return nullptr;
    }
    return popupMenuTable[static_cast<std::size_t>(position)];
}

}  // namespace

ui::Menu addPopupMenu(ui::Menu bar, int position, std::string_view caption, unsigned flags) {
    if (position < 0 || position >= popupMenuSlots) {
        return nullptr;
    }
    ui::Menu popup = ui::CreatePopupMenu();
    popupMenuTable[static_cast<std::size_t>(position)] = popup;
    ui::InsertPopupMenu(bar, position, popup, caption, flags);
    return popup;
}

void addMenuItem(int position, int command, std::string_view caption, unsigned flags) {
    if (ui::Menu popup = popupAt(position)) {
        ui::AppendMenuItem(popup, command, caption, flags);
    }
}

void addMenuSeparator(int position) {
    if (ui::Menu popup = popupAt(position)) {
        ui::AppendMenuSeparator(popup);
    }
}

void buildToolMenuBar(ui::Window window, const ui::MenuSpec& menu) {
    ui::Menu bar = ui::CreateMenuBar();
    int position = -1;
    for (const ui::MenuEntrySpec& entry : menu.entries) {
        if (entry.popup) {
            addPopupMenu(bar, ++position, entry.text);
        } else if (entry.separator) {
            addMenuSeparator(position);
        } else {
            addMenuItem(position, entry.command, entry.text);
        }
    }
    ui::SetMenu(window, bar);
}

}  // namespace toolshell
