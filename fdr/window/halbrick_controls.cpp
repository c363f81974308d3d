#include "fdr/window/halbrick_controls.h"

#include "fdr/window/halbrick_resource.h"
#include "fdr/window/halbrick_state.h"

namespace fdr {

namespace ui = platform::ui;
using ui::ControlKind;

const std::vector<ui::ChildSpec>& halbrickChildren() {
    // The buttons and the address field say what they do and where the query goes; the
    // headless transcript records them (the report field has its own report lines).
    constexpr unsigned shown = ui::kChildTranscribed;
    static const std::vector<ui::ChildSpec> children = {
        {ControlKind::Button, IDC_QUERY, "Query FDR Server", 20, 10, 200, 30, shown},
        {ControlKind::Edit, IDC_ADDRESS, "192.168.10.1", 20, 50, 200, 20, ui::kChildBorder | shown},
        {ControlKind::Button, IDC_PRESET_USB, "USB", 240, 48, 50, 26, shown},
        {ControlKind::Button, IDC_PRESET_192, "192.168.10.1", 300, 48, 100, 26, shown},
        {ControlKind::Button, IDC_PRESET_172, "172.168.12.1", 410, 48, 100, 26, shown},
        {ControlKind::Button, IDC_DETAIL, "Some Detail", 450, 10, 200, 26, shown},
        // Read-only: the user selects and copies lines; what a query found is not for editing.
        {ControlKind::Edit, IDC_REPORT, "Not Queried.", 20, 90, 200, 100,
         ui::kChildBorder | ui::kChildVScroll | ui::kChildHScroll | ui::kChildMultiLine |
             ui::kChildAutoScroll | ui::kChildReadOnly},
        {ControlKind::Progress, IDC_PROGRESS, "", 240, 20, 200, 10},
    };
    return children;
}

const ui::MenuSpec& halbrickMenu() {
    static const ui::MenuSpec menu = {IDM_HALBRICK,
                                      {
                                          {0, true, false, 0, "&File"},
                                          {1, false, false, IDM_EXIT, "E&xit"},
                                          {0, true, false, 0, "&Help"},
                                          {1, false, false, IDM_ABOUT, "&About"},
                                      }};
    return menu;
}

ui::DialogSpec halbrickControlTable() {
    ui::DialogSpec table;
    table.id = IDD_HALBRICK;
    table.title = halbrickTitle();
    table.menuId = IDM_HALBRICK;
    for (const ui::ChildSpec& child : halbrickChildren())
        table.controls.push_back({child.id, child.kind, child.text});
    return table;
}

void attachHalbrickMenu(ui::Window window) {
    ui::Menu bar = ui::CreateMenuBar();
    ui::Menu popup = nullptr;
    int position = 0;
    for (const ui::MenuEntrySpec& entry : halbrickMenu().entries) {
        if (entry.popup) {
            popup = ui::CreatePopupMenu();
            ui::InsertPopupMenu(bar, position++, popup, entry.text);
        } else if (popup != nullptr) {
            ui::AppendMenuItem(popup, entry.command, entry.text);
        }
    }
    ui::SetMenu(window, bar);
}

}  // namespace fdr
