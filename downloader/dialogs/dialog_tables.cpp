#include "downloader/dialogs/dialog_tables.h"

#include "downloader/dialogs/vexim_resource.h"

namespace ui = platform::ui;
using ui::ControlKind;
using ui::kIdCancel;
using ui::kIdOk;
using ui::kIdStatic;

namespace {

ui::DialogSpec MainDialog() {
    return {IDD_MAIN,
            "ZKRT File Download",
            IDM_MAIN,
            {
                {kIdStatic, ControlKind::Static, "Load File"},
                {IDC_FILE_BOX, ControlKind::Combo, ""},
                {IDC_BROWSE, ControlKind::Button, "Browse..."},
                {IDC_TABS, ControlKind::Tab, ""},
                {IDC_COM_PORT, ControlKind::ComboList, ""},
                {IDC_BAUD_LABEL, ControlKind::Static, "Baud"},
                {IDC_BAUD, ControlKind::ComboList, ""},
                {IDC_PARITY_LABEL, ControlKind::Static, "Parity"},
                {IDC_PARITY, ControlKind::ComboList, ""},
                {IDC_SEVEN_BITS, ControlKind::Radio, "7 Bits"},
                {IDC_EIGHT_BITS, ControlKind::Radio, "8 Bits"},
                {IDC_ASCII, ControlKind::Check, "ASCII"},
                {IDC_HOST_LABEL, ControlKind::Static, "IP Address"},
                {IDC_HOST, ControlKind::Edit, ""},
                {IDC_TCP_PORT_LABEL, ControlKind::Static, "TCP Port"},
                {IDC_TCP_PORT, ControlKind::Edit, ""},
                {IDC_DROP_LABEL, ControlKind::Static, "Modbus Drop"},
                {IDC_DROP, ControlKind::Edit, ""},
                {IDC_APPLICATION_1, ControlKind::Radio, "Application 1"},
                {IDC_APPLICATION_2, ControlKind::Radio, "Application 2"},
                {IDC_SET_DEFAULTS, ControlKind::Button, "Set Defaults"},
                {IDC_QUERY, ControlKind::Button, "Query"},
                {IDC_START_DOWNLOAD, ControlKind::Button, "Start Download"},
                {kIdCancel, ControlKind::Button, "Cancel"},
                {IDC_PROGRAM_INFO_LIST, ControlKind::ListView, ""},
                {IDC_MODULE_FIRMWARE_LABEL, ControlKind::Static, "Module Firmware:"},
                {IDC_APPLICATION_SPACE_1_LABEL, ControlKind::Static, "Application Space 1:"},
                {IDC_APPLICATION_SPACE_2_LABEL, ControlKind::Static, "Application Space 2:"},
                {IDC_SERIAL_NUMBER_LABEL, ControlKind::Static, "Serial Number:"},
                {IDC_MODULE_MD5_LABEL, ControlKind::Static, "MD5:"},
                {IDC_MODULE_FIRMWARE, ControlKind::Static, "---"},
                {IDC_APPLICATION_SPACE_1, ControlKind::Static, "---"},
                {IDC_APPLICATION_SPACE_2, ControlKind::Static, "---"},
                {IDC_SERIAL_NUMBER, ControlKind::Static, "---"},
                {IDC_MODULE_MD5, ControlKind::Static, "---"},
            }};
}

ui::DialogSpec ProgressDialog() {
    return {IDD_PROGRESS,
            "ZKRT Download",
            0,
            {
                {IDC_DOWNLOAD_TEXT, ControlKind::Static, ""},
                {IDC_STATUS_LINE, ControlKind::Static, ""},
                {IDC_PROGRESS_BAR, ControlKind::Progress, ""},
                {kIdCancel, ControlKind::Button, "Cancel"},
                {kIdOk, ControlKind::Button, "OK"},
            }};
}

// Every switch of the command line, one line each in letter order, with what it does.
ui::DialogSpec UsageDialog() {
    return {
        IDD_USAGE,
        "VEXIM Help",
        0,
        {
            {kIdStatic, ControlKind::Group, "Command Line Syntax"},
            {kIdStatic, ControlKind::Static,
             "VEXIM <channel> <file>[.VXL] <port> [<drop>] switches"},
            {kIdStatic, ControlKind::Static,
             "or VEXIM <channel> <file>[.VXL] n.n.n.n[:port] [<drop>] switches"},
            {kIdStatic, ControlKind::Static,
             "n.n.n.n is an IP address, and <port> is a PC COM port name (i.e. COM1:)"},
            {kIdStatic, ControlKind::Static,
             "<channel> is 1, 2, F1 or F2; COM12:19200,E,8,1 gives a port its mode"},
            {kIdStatic, ControlKind::Group, "Command Line Switches"},
            {kIdStatic, ControlKind::Static, "-A        Auto Start the program after loading"},
            {kIdStatic, ControlKind::Static, "-B        Use Modbus ASCII (default is RTU)"},
            {kIdStatic, ControlKind::Static,
             "-C<count> Retries: give up after <count> failed requests"},
            {kIdStatic, ControlKind::Static, "-E        Erase flash only, no download"},
            {kIdStatic, ControlKind::Static,
             "-F<file>  Open the dialog on <file> with the saved settings"},
            {kIdStatic, ControlKind::Static, "-M<baud>,[E|O|N],[7|8],1   Set COM port mode"},
            {kIdStatic, ControlKind::Static, "-N        Don't erase flash before loading."},
            {kIdStatic, ControlKind::Static,
             "-O        Load a file without user-code header as raw code"},
            {kIdStatic, ControlKind::Static,
             "-P<file>  Take what the line does not name from profile <file>"},
            {kIdStatic, ControlKind::Static, "-R<reg>   Use output register reg for run control."},
            {kIdStatic, ControlKind::Static, "-S<reg>   Move status registers to reg and reg+1"},
            {kIdStatic, ControlKind::Static,
             "-T<n>     Time-out of <n> tenths of a second (at least 500 ms)"},
            {kIdStatic, ControlKind::Static,
             "-U<file>  Download with the settings of profile <file> alone"},
            {kIdStatic, ControlKind::Static,
             "-W        Write to flash even when the file asks not to"},
            {kIdStatic, ControlKind::Static, "-? or -H  Display this help message."},
            {kIdStatic, ControlKind::Static, "Specify no switches or parameters for GUI operation"},
            {kIdOk, ControlKind::Button, "OK"},
        }};
}

ui::DialogSpec AboutDialog() {
    return {IDD_ABOUT,
            "About VEXIM",
            0,
            {
                {kIdStatic, ControlKind::Static, "VEXIM File Download Tool"},
                {kIdStatic, ControlKind::Static, "Version"},
                {IDC_BUILD_DATE, ControlKind::Static, "03Dec2020"},
                {kIdOk, ControlKind::Button, "OK"},
            }};
}

ui::DialogSpec NumberDialog() {
    return {IDD_NUMBER,
            "Configuration",
            0,
            {
                {IDC_NUMBER_PROMPT, ControlKind::Static, ""},
                {IDC_NUMBER_EDIT, ControlKind::Edit, ""},
                {kIdOk, ControlKind::Button, "OK"},
                {kIdCancel, ControlKind::Button, "Cancel"},
            }};
}

ui::DialogSpec CommConfigDialog() {
    return {IDD_COMM_CONFIG,
            "Configure Communications",
            0,
            {
                {kIdStatic, ControlKind::Static, "Port 1"},
                {IDC_CFG_BAUD_1, ControlKind::ComboList, ""},
                {IDC_CFG_PARITY_1, ControlKind::ComboList, ""},
                {kIdStatic, ControlKind::Static, "Drop"},
                {IDC_CFG_DROP_1, ControlKind::Edit, ""},
                {kIdStatic, ControlKind::Static, "Port 2"},
                {IDC_CFG_BAUD_2, ControlKind::ComboList, ""},
                {IDC_CFG_PARITY_2, ControlKind::ComboList, ""},
                {kIdStatic, ControlKind::Static, "Drop"},
                {IDC_CFG_DROP_2, ControlKind::Edit, ""},
                {kIdStatic, ControlKind::Static, "Ethernet IP"},
                {IDC_CFG_IP, ControlKind::IpAddress, ""},
                {kIdStatic, ControlKind::Static, "Subnet"},
                {IDC_CFG_SUBNET, ControlKind::IpAddress, ""},
                {kIdStatic, ControlKind::Static, "Gateway"},
                {IDC_CFG_GATEWAY, ControlKind::IpAddress, ""},
                {kIdStatic, ControlKind::Static, "Port"},
                {IDC_CFG_TCP_PORT, ControlKind::Edit, ""},
                {kIdStatic, ControlKind::Static, "Drop"},
                {IDC_CFG_ETHERNET_DROP, ControlKind::Edit, ""},
                {IDC_CFG_QUERY, ControlKind::Button, "Query"},
                {IDC_CFG_WRITE, ControlKind::Button, "Write"},
                {IDC_CFG_DEFAULTS, ControlKind::Button, "Defaults"},
                {kIdOk, ControlKind::Button, "OK"},
            }};
}

ui::DialogSpec FlashDialog() {
    return {IDD_FLASH,
            "Flash",
            0,
            {
                {kIdStatic, ControlKind::Static, "Please wait while accessing flash"},
            }};
}

ui::MenuEntrySpec Popup(const char* text) {
    return {0, true, false, 0, text};
}
ui::MenuEntrySpec SubPopup(const char* text) {
    return {1, true, false, 0, text};
}
ui::MenuEntrySpec Item(int command, const char* text, int depth = 1) {
    return {depth, false, false, command, text};
}
ui::MenuEntrySpec Separator() {
    return {1, false, true, 0, ""};
}

ui::MenuSpec MainMenu() {
    return {IDM_MAIN,
            {
                Popup("&File"),
                Item(IDM_OPEN_OBJECT, "&Open ZKRT Object"),
                Separator(),
                Item(IDM_BACKUP_FLASH, "&Backup Flash"),
                Item(IDM_RESTORE_FLASH, "&Restore Flash"),
                Separator(),
                Item(IDM_LOAD_PROFILE, "&Load Profile"),
                Item(IDM_SAVE_PROFILE, "&Save Profile"),
                Item(IDM_PRINT_PROFILE, "&Print Profile"),
                Separator(),
                SubPopup("Recent &Files"),
                Item(IDM_RECENT_FILES_ANCHOR, "", 2),
                Item(IDM_RECENT_PROFILES_ANCHOR, "", 2),
                Item(IDM_EXIT, "&Exit"),
                Popup("&Advanced"),
                Item(IDM_STATUS_REGISTER, "&Status Register"),
                Item(IDM_RUN_REGISTER, "&Run Pointer Register"),
                Separator(),
                Item(IDM_AUTO_START, "&Auto Start"),
                Item(IDM_ERASE_FLASH, "Erase &Flash"),
                Item(IDM_LOAD_FILE, "&Load File"),
                Item(IDM_IGNORE_HALT, "Ignore Application &Halt Status"),
                Item(IDM_FORCE_WRITE, "Force &Write to Flash"),
                Separator(),
                Item(IDM_TIMEOUT, "&Timeout"),
                Item(IDM_RETRIES, "R&etries"),
                Item(IDM_IGNORE_WARNINGS, "&Ignore Warnings"),
                Popup("&Configure"),
                Item(IDM_PORT_SETTINGS, "&Port Settings"),
                Popup("&Help"),
                Item(IDM_USING_VEXIM, "&Using Vexim"),
                Separator(),
                Item(IDM_ABOUT, "&About Vexim"),
            }};
}

}  // namespace

std::vector<ui::DialogSpec> VeximDialogSpecs() {
    return {MainDialog(),   ProgressDialog(),   UsageDialog(), AboutDialog(),
            NumberDialog(), CommConfigDialog(), FlashDialog()};
}

std::vector<ui::MenuSpec> VeximMenuSpecs() {
    return {MainMenu()};
}

void RegisterVeximResources() {
    for (const auto& dialog : VeximDialogSpecs())
        ui::RegisterDialog(dialog);
    for (const auto& menu : VeximMenuSpecs())
        ui::RegisterMenu(menu);
}
