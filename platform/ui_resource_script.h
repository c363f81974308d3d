#pragma once

// Reads the dialogs and menus of a resource script (.rc), so that a test can hold them against
// the control tables that the headless backend runs on: same dialogs, same controls in the same
// order with the same ids, kinds and texts, same menus.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui.h"

namespace platform::ui {

struct ResourceScript {
    std::vector<DialogSpec> dialogs;
    std::vector<MenuSpec> menus;
    std::vector<std::string> errors;  // statements that could not be read
};

// Understands DIALOG/DIALOGEX (CAPTION, MENU, the control statements and CONTROL with the
// common control classes) and MENU/MENUEX with POPUP, MENUITEM and MENUITEM SEPARATOR; other
// resources are skipped. Symbols come from `#define NAME number` lines in the text and from
// `symbols` (a resource header's defines); IDOK, IDCANCEL and IDC_STATIC are known.
ResourceScript ParseResourceScript(std::string_view text,
                                   const std::map<std::string, int>& symbols = {});

// Reads `#define NAME number` lines (a resource header).
std::map<std::string, int> ParseDefines(std::string_view text);

// Every difference between the script and the tables, in words; empty when they agree.
std::vector<std::string> CompareResourceTables(const ResourceScript& script,
                                               const std::vector<DialogSpec>& dialogs,
                                               const std::vector<MenuSpec>& menus);

const char* ControlKindName(ControlKind kind);

}  // namespace platform::ui
