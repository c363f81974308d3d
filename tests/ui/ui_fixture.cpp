#include "tests/ui/ui_fixture.h"

namespace ui_fixture {

using platform::ui::ControlKind;
using platform::ui::DialogSpec;
using platform::ui::MenuEntrySpec;
using platform::ui::MenuSpec;

std::vector<DialogSpec> Dialogs() {
    DialogSpec job{kJobDialog, "Job", 0, {}};
    job.controls = {
        {1033, ControlKind::Static, ""},
        {kStatusLine, ControlKind::Static, ""},
        {kProgressBar, ControlKind::Progress, ""},
        {platform::ui::kIdCancel, ControlKind::Button, "Cancel"},
        {platform::ui::kIdOk, ControlKind::Button, "OK"},
    };
    DialogSpec main{kMainDialog, "Main \"quoted\"", kMainMenu, {}};
    main.controls = {
        {platform::ui::kIdStatic, ControlKind::Static, "Load File"},
        {kFileBox, ControlKind::Combo, ""},
        {kTabs, ControlKind::Tab, ""},
        {kAscii, ControlKind::Check, "ASCII"},
        {kBits7, ControlKind::Radio, "7 Bits"},
        {kBits8, ControlKind::Radio, "8 Bits"},
        {kHost, ControlKind::Edit, ""},
        {kStart, ControlKind::Button, "Start Download"},
        {kInfoList, ControlKind::ListView, ""},
        {kAddress, ControlKind::IpAddress, ""},
        {platform::ui::kIdCancel, ControlKind::Button, "Cancel"},
    };
    return {job, main};
}

std::vector<MenuSpec> Menus() {
    MenuSpec menu{kMainMenu, {}};
    menu.entries = {
        MenuEntrySpec{0, true, false, 0, "&File"},
        MenuEntrySpec{1, false, false, kOpenCommand, "&Open ZKRT Object"},
        MenuEntrySpec{1, false, true, 0, ""},
        MenuEntrySpec{1, true, false, 0, "Recent &Files"},
        MenuEntrySpec{2, false, false, kAnchorCommand, ""},
        MenuEntrySpec{1, false, false, kExitCommand, "&Exit"},
        MenuEntrySpec{0, true, false, 0, "&Advanced"},
        MenuEntrySpec{1, false, false, kAutoStartCommand, "&Auto Start"},
    };
    return {menu};
}

void RegisterAll() {
    for (const auto& dialog : Dialogs()) {
        platform::ui::RegisterDialog(dialog);
    }
    for (const auto& menu : Menus()) {
        platform::ui::RegisterMenu(menu);
    }
}

std::string ResourceScriptText() {
    return R"rc(// Test dialogs
#include <windows.h>
#include <commctrl.h>
#define IDD_JOB 104
#define IDC_STATUS 1032
#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif

LANGUAGE 9, 1
106 ICON "fixture.ico"

IDD_JOB DIALOGEX 100, 100, 252, 90
STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "Job"
FONT 8, "MS Sans Serif"
BEGIN
    CTEXT           "", 1033, 7, 7, 238, 18
    CTEXT           "", IDC_STATUS, 7, 30, 238, 8
    CONTROL         "", 1031, "msctls_progress32", WS_BORDER, 7, 42, 238, 12
    PUSHBUTTON      "Cancel", IDCANCEL, 101, 64, 50, 14
    DEFPUSHBUTTON   "OK", IDOK, 101, 64, 50, 14, NOT WS_VISIBLE
END

102 DIALOGEX 200, 100, 227, 158
STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "Main ""quoted"""
MENU 112
FONT 8, "MS Sans Serif", 0, 0, 0x1
BEGIN
    LTEXT           "Load File", IDC_STATIC, 7, 7, 40, 8
    COMBOBOX        1004, 7, 17, 160, 100, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP
    CONTROL         "", 1012, "SysTabControl32", 0x0, 7, 35, 213, 100
    CONTROL         "ASCII", 1015, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, 20, 60, 40, 10
    CONTROL         "7 Bits", 1030, "Button", BS_AUTORADIOBUTTON | WS_GROUP, 20, 75, 40, 10
    AUTORADIOBUTTON "8 Bits", 1031, 70, 75, 40, 10
    EDITTEXT        1018, 20, 90, 100, 12, ES_AUTOHSCROLL
    PUSHBUTTON      "Start Download", 1053, 150, 120, 60, 14
    CONTROL         "", 1009, "SysListView32", LVS_REPORT | WS_BORDER, 7, 50, 213, 80
    CONTROL         "", 1054, "SysIPAddress32", WS_TABSTOP, 20, 105, 100, 12
    PUSHBUTTON      "Cancel", IDCANCEL, 170, 140, 50, 14
END

112 MENU
BEGIN
    POPUP "&File"
    BEGIN
        MENUITEM "&Open ZKRT Object", 40015
        MENUITEM SEPARATOR
        POPUP "Recent &Files"
        BEGIN
            MENUITEM "", 40016
        END
        MENUITEM "&Exit", 40005
    END
    POPUP "&Advanced"
    BEGIN
        MENUITEM "&Auto Start", 40010
    END
END
)rc";
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

}  // namespace ui_fixture
