// Holds resource-script dialogs and menus against the control tables, in words a test can
// print.

#include <algorithm>

#include "platform/ui_quote.h"
#include "platform/ui_resource_script.h"

namespace platform::ui {

const char* ControlKindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Static:
            return "static";
        case ControlKind::Group:
            return "group";
        case ControlKind::Button:
            return "button";
        case ControlKind::Check:
            return "check";
        case ControlKind::Radio:
            return "radio";
        case ControlKind::Edit:
            return "edit";
        case ControlKind::Combo:
            return "combo";
        case ControlKind::ComboList:
            return "combo-list";
        case ControlKind::ListBox:
            return "list-box";
        case ControlKind::ListView:
            return "list-view";
        case ControlKind::Tab:
            return "tab";
        case ControlKind::Progress:
            return "progress";
        case ControlKind::IpAddress:
            return "ip-address";
        case ControlKind::TreeView:
            return "tree-view";
        case ControlKind::Icon:
            return "icon";
    }
    return "?";
}

namespace {

std::string Describe(const ControlSpec& c) {
    return std::to_string(c.id) + " " + ControlKindName(c.kind) + " " + QuoteText(c.text);
}

std::string Describe(const MenuEntrySpec& e) {
    if (e.separator) {
        return "separator at depth " + std::to_string(e.depth);
    }
    return std::string(e.popup ? "popup " : "item " + std::to_string(e.command) + " ") +
           QuoteText(e.text) + " at depth " + std::to_string(e.depth);
}

template <typename Spec>
const Spec* FindById(const std::vector<Spec>& specs, int id) {
    auto it = std::find_if(specs.begin(), specs.end(), [id](const Spec& s) { return s.id == id; });
    return it == specs.end() ? nullptr : &*it;
}

void CompareDialog(const DialogSpec& rc, const DialogSpec& table, std::vector<std::string>& out) {
    const std::string where = "dialog " + std::to_string(rc.id) + ": ";
    if (rc.title != table.title) {
        out.push_back(where + "title " + QuoteText(rc.title) + " in the script, " +
                      QuoteText(table.title) + " in the table");
    }
    if (rc.menuId != table.menuId) {
        out.push_back(where + "menu " + std::to_string(rc.menuId) + " in the script, " +
                      std::to_string(table.menuId) + " in the table");
    }
    const size_t n = std::max(rc.controls.size(), table.controls.size());
    for (size_t i = 0; i < n; ++i) {
        const std::string s = i < rc.controls.size() ? Describe(rc.controls[i]) : "nothing";
        const std::string t = i < table.controls.size() ? Describe(table.controls[i]) : "nothing";
        if (s != t) {
            out.push_back(where + "control " + std::to_string(i + 1) + " is " + s +
                          " in the script, " + t + " in the table");
        }
    }
}

void CompareMenu(const MenuSpec& rc, const MenuSpec& table, std::vector<std::string>& out) {
    const size_t n = std::max(rc.entries.size(), table.entries.size());
    for (size_t i = 0; i < n; ++i) {
        const std::string s = i < rc.entries.size() ? Describe(rc.entries[i]) : "nothing";
        const std::string t = i < table.entries.size() ? Describe(table.entries[i]) : "nothing";
        if (s != t) {
            out.push_back("menu " + std::to_string(rc.id) + ": entry " + std::to_string(i + 1) +
                          " is " + s + " in the script, " + t + " in the table");
        }
    }
}
}  // namespace

std::vector<std::string> CompareResourceTables(const ResourceScript& script,
                                               const std::vector<DialogSpec>& dialogs,
                                               const std::vector<MenuSpec>& menus) {
    std::vector<std::string> out;
    for (const auto& rc : script.dialogs) {
        if (const DialogSpec* table = FindById(dialogs, rc.id)) {
            CompareDialog(rc, *table, out);
        } else {
            out.push_back("dialog " + std::to_string(rc.id) + " has no table");
        }
    }
    for (const auto& table : dialogs) {
        if (FindById(script.dialogs, table.id) == nullptr) {
            out.push_back("dialog " + std::to_string(table.id) + " is not in the script");
        }
    }
    for (const auto& rc : script.menus) {
        if (const MenuSpec* table = FindById(menus, rc.id)) {
            CompareMenu(rc, *table, out);
        } else {
            out.push_back("menu " + std::to_string(rc.id) + " has no table");
        }
    }
    for (const auto& table : menus) {
        if (FindById(script.menus, table.id) == nullptr) {
            out.push_back("menu " + std::to_string(table.id) + " is not in the script");
        }
    }
    return out;
}
}  // namespace platform::ui
