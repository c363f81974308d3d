#include "downloader/dialogs/main_dialog.h"

#include "downloader/connection.h"
#include "downloader/dialogs/dialog_mapping.h"
#include "downloader/dialogs/main_dialog_commands.h"
#include "downloader/dialogs/profile_commands.h"
#include "downloader/dialogs/progress_dialog.h"
#include "downloader/dialogs/vexim_resource.h"
#include "downloader/history.h"
#include "downloader/loader_ui.h"
#include "downloader/main/command_line.h"
#include "downloader/main/program_start.h"
#include "downloader/settings.h"
#include "platform/registry.h"

namespace ui = platform::ui;

SystemProfile profileRecord;

namespace {

constexpr const char* kActiveTitle = "ZKRT File Downloader - 03Dec2020";
constexpr size_t kMostComPorts = 41;
constexpr size_t kMostComNameBytes = 65;
constexpr int kDefaultBaudEntry = 13;   // 9600
constexpr int kDefaultParityEntry = 1;  // "Even"

void InitTabs(ui::Window dialog) {
    for (const char* tab : {"Modbus Serial", "Modbus TCP", "Program Info", "Module Info"}) {
        ui::AddTab(dialog, IDC_TABS, tab);
    }
}

void FillComPortList(ui::Window dialog) {
    ui::ClearItems(dialog, IDC_COM_PORT);
    size_t taken = 0;
    for (const platform::SerialPortEntry& port : platform::ListSerialPorts()) {
        if (taken++ >= kMostComPorts)
            break;
        ui::AddItem(dialog, IDC_COM_PORT, port.comName.substr(0, kMostComNameBytes) + ":");
    }
    ui::SelectItem(dialog, IDC_COM_PORT, 0);
}

void FillBaudList(ui::Window dialog) {
    for (int i = 0; i < kBaudCount; ++i) {
        ui::AddItem(dialog, IDC_BAUD, std::to_string(BaudTable[i]));
    }
    ui::SelectItem(dialog, IDC_BAUD, kDefaultBaudEntry);
}

void FillParityList(ui::Window dialog) {
    for (const char* parity : {"None", "Even", "Odd"})
        ui::AddItem(dialog, IDC_PARITY, parity);
    ui::SelectItem(dialog, IDC_PARITY, kDefaultParityEntry);
}

// The profile named on the command line. What the line itself names (a file, a channel, a port
// or address, a drop, a switch) wins over the profile: a profile kept for one module must not
// send another file into another channel. An unattended run cannot go on without the profile;
// an interactive one opens without the settings the user named, so the user is told.
bool ShowCommandLineProfile(ui::Window dialog) {
    LoadOptions& load = loadOptions;
    if (ReadProfileOrSay(load.profileName, profileRecord)) {
        const LinkSettings lineLink = linkSettings;
        const LoadOptions lineLoad = loadOptions;
        ProfileToDialog(dialog, profileRecord);
        if (const uint32_t named = CommandLineSettings(); named != 0) {
            DialogToSettings(dialog);
            CopySettings(named, lineLink, lineLoad);
            SettingsToControls(dialog);
        }
        AddProfileHistory(load.profileName);
        return true;
    }
    if (load.unattended)
        ui::EndDialog(dialog, kExitRefused);
    return false;
}

void Open(ui::Window dialog) {
    mainDialogWindow = dialog;
    ui::SetDialogIcon(dialog, IDI_VEXIM);
    ui::EnableFileAutoComplete(dialog, IDC_FILE_BOX);
    InitTabs(dialog);
    FillComPortList(dialog);
    FillBaudList(dialog);
    FillParityList(dialog);
    // The longest header the list names, "ApplicationNumber", with the list's margins needs a
    // little more than 100 pixels; together the columns leave room for the scroll bar at every
    // scale.
    ui::AddListColumn(dialog, IDC_PROGRAM_INFO_LIST, "Header", 108);
    ui::AddListColumn(dialog, IDC_PROGRAM_INFO_LIST, "Information", 178);
    RestoreFiles(dialog);
    if (!loadOptions.profileName.empty()) {
        if (!ShowCommandLineProfile(dialog) && loadOptions.unattended)
            return;
    } else {
        SettingsToControls(dialog);
    }
    ui::ShowItem(dialog, IDC_APPLICATION_1, true);
    ui::ShowItem(dialog, IDC_APPLICATION_2, true);
    if (loadOptions.unattended)
        StartDownload(dialog);
    ui::AppendSystemMenuItem(dialog, IDM_SYSTEM_ABOUT, "About");
}

void ShowTitle(ui::Window dialog, bool active) {
    if (active) {
        ui::SetTitle(dialog, kActiveTitle);
        return;
    }
    std::string file = ui::GetItemText(dialog, IDC_FILE_BOX);
    if (file.size() > 255)
        file.resize(255);
    const size_t separator = file.find_last_of("\\:");
    const bool useWhole = separator == std::string::npos || separator == 0;
    const std::string name = useWhole ? file : file.substr(separator + 1);
    // No file named: the title is the program's alone, not a dash before it.
    ui::SetTitle(dialog, name.empty() ? std::string(kActiveTitle) : name + " - " + kActiveTitle);
}

void ChangeTab(ui::Window dialog) {
    const int tab = ui::SelectedTab(dialog, IDC_TABS);
    if (tab == kSerialTab || tab == kTcpTab)
        linkSettings.connectMode = tab;
    ShowTabControls(dialog, tab);
    if (tab == kProgramInfoTab) {
        const std::string file = ui::GetItemText(dialog, IDC_FILE_BOX);
        loadOptions.fileName = file;
        ShowProgramInfo(dialog, file);
    }
}

bool OnUserMessage(ui::Window dialog, const ui::Message& message) {
    auto* record = reinterpret_cast<SystemProfile*>(message.lParam);
    if (message.message == UM_ADD_HISTORY) {
        AddCurrentDownloadToHistory(dialog);
    } else if (message.message == UM_PORT_REMOVED) {
        // The box has told the user the program will exit; a job that was running failed.
        ui::EndDialog(dialog, loadOptions.unattended ? kExitDownloadFailed : kExitDownloaded);
    } else if (message.message == UM_PROFILE_TO_DIALOG && record != nullptr) {
        ProfileToDialog(dialog, *record);
    } else if (message.message == UM_DIALOG_TO_PROFILE && record != nullptr) {
        DialogToProfile(dialog, *record);
    } else if (message.message == UM_DIALOG_TO_SETTINGS) {
        DialogToSettings(dialog);
    } else {
        return false;
    }
    return true;
}

bool OnCommand(ui::Window dialog, const ui::Message& message) {
    const int id = message.id;
    if (id == IDC_FILE_BOX) {
        if (message.code == ui::kSelectionChanged) {
            SelectHistoryRecord(dialog, ui::SelectedItem(dialog, IDC_FILE_BOX));
        } else if (message.code == ui::kComboEditChanged) {
            // All of the name: cut short it could list another file and leave its digest.
            ShowProgramInfo(dialog, ui::GetItemText(dialog, IDC_FILE_BOX));
        }
        return true;
    }
    if (message.code != ui::kClicked)
        return false;
    if (id == IDC_START_DOWNLOAD) {
        StartDownload(dialog);
        return true;
    }
    return RunMenuCommand(dialog, id);
}

}  // namespace

bool MainDialogProc(ui::Window self, const ui::Message& message) {
    switch (message.kind) {
        case ui::MessageKind::Init:
            Open(self);
            return true;
        case ui::MessageKind::Activate:
            // The system still moves the focus back into the dialog when it is activated.
            ShowTitle(self, message.code != 0);
            return false;
        case ui::MessageKind::TabChanged:
            if (message.id == IDC_TABS)
                ChangeTab(self);
            return true;
        case ui::MessageKind::InitMenu:
            RefreshRecentFilesMenu(self);
            return true;
        case ui::MessageKind::User:
            return OnUserMessage(self, message);
        case ui::MessageKind::SystemCommand:
            if (message.id != IDM_SYSTEM_ABOUT)
                return false;
            return RunMenuCommand(self, IDM_ABOUT);
        case ui::MessageKind::Command:
            return OnCommand(self, message);
        default:
            return false;
    }
}

int RunMainDialog() {
    const int result = ui::RunDialog(IDD_MAIN, nullptr, MainDialogProc);
    mainDialogWindow = nullptr;
    return result;
}
