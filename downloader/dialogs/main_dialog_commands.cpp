#include "downloader/dialogs/main_dialog_commands.h"

#include <fstream>

#include "downloader/channel_control.h"
#include "downloader/connection.h"
#include "downloader/dialogs/comm_config_dialog.h"
#include "downloader/dialogs/dialog_mapping.h"
#include "downloader/dialogs/flash_dialog.h"
#include "downloader/dialogs/main_dialog.h"
#include "downloader/dialogs/number_dialog.h"
#include "downloader/dialogs/ok_dialog.h"
#include "downloader/dialogs/profile_commands.h"
#include "downloader/dialogs/progress_dialog.h"
#include "downloader/dialogs/vexim_resource.h"
#include "downloader/history.h"
#include "downloader/main/command_line.h"
#include "downloader/main/program_start.h"
#include "downloader/module_info.h"
#include "downloader/settings.h"

namespace ui = platform::ui;

namespace {

constexpr int32_t kShortestMenuTimeoutMs = 2000;
constexpr const char* kHelpFile = "vexim.chm";
constexpr int kMostRecentProfiles = 8;

bool CanRead(const std::string& path) {
    return std::ifstream(path, std::ios::binary).good();
}

void EndUnattended(ui::Window dialog, int code) {
    if (loadOptions.unattended)
        ui::EndDialog(dialog, code);
}

// The option that a menu item turns on and off, or null.
int32_t* ToggledOption(int command) {
    LoadOptions& load = loadOptions;
    switch (command) {
        case IDM_AUTO_START:
            return &load.autoStart;
        case IDM_ERASE_FLASH:
            return &load.eraseFlash;
        case IDM_LOAD_FILE:
            return &load.loadProgram;
        case IDM_IGNORE_WARNINGS:
            return &load.ignoreWarnings;
        case IDM_IGNORE_HALT:
            return &load.ignoreHaltStatus;
        case IDM_FORCE_WRITE:
            return &load.forceFlash;
        default:
            return nullptr;
    }
}

bool ToggleCommand(ui::Window dialog, int command) {
    int32_t* option = ToggledOption(command);
    if (option == nullptr)
        return false;
    *option = *option == 0 ? 1 : 0;
    ui::CheckMenuItem(dialog, command, *option > 0);
    return true;
}

bool NumberCommand(ui::Window dialog, int command) {
    LinkSettings& link = linkSettings;
    LoadOptions& load = loadOptions;
    switch (command) {
        case IDM_TIMEOUT: {
            const int32_t value = AskNumber(dialog, "Timeout Period length", link.timeoutMs);
            link.timeoutMs = value < kShortestMenuTimeoutMs ? kShortestMenuTimeoutMs
                             : value > kLongestTimeoutMs    ? kLongestTimeoutMs
                                                            : value;
            SaveSettings();
            return true;
        }
        case IDM_RETRIES:
            link.retries = AskNumber(dialog, "Maximum number of retries", link.retries);
            SaveSettings();
            return true;
        // A number beyond the register ranges would wrap at 16 bits and name another register.
        case IDM_STATUS_REGISTER:
            load.statusRegister =
                static_cast<uint16_t>(AskNumber(dialog, "Status Register", load.statusRegister,
                                                {kHighestStatusRegister, kStatusRegisterRefusal}));
            return true;
        case IDM_RUN_REGISTER:
            load.runRegister =
                static_cast<uint16_t>(AskNumber(dialog, "Run Pointer Register", load.runRegister,
                                                {kHighestRunRegister, kRunRegisterRefusal}));
            return true;
        default:
            return false;
    }
}

// The help file beside the program; the user is told when it cannot be opened.
void ShowHelpFile() {
    const std::string path = ui::HelpFilePath(kHelpFile);
    if (!ui::ShowHelp(path))
        ErrorBox("Can't open help file %s", path.c_str());
}

void ShowRecentProfile(ui::Window dialog, int index) {
    if (index < 0 || index >= kHistorySize || profileHistory[index].empty())
        return;
    if (ReadProfileOrSay(profileHistory[index], profileRecord)) {
        ProfileToDialog(dialog, profileRecord);
    }
}

}  // namespace

void StartDownload(ui::Window dialog) {
    LoadOptions& load = loadOptions;
    DialogToSettings(dialog);
    if (load.fileName.empty()) {
        // Nobody would answer an unattended run that has nothing to do.
        if (load.unattended) {
            ErrorBox("No file to download");
            ui::EndDialog(dialog, kExitRefused);
        }
        return;
    }
    if (load.fileName.size() > kMaxFileName || !CanRead(load.fileName)) {
        const std::string given = load.fileName;
        if (load.fileName.size() <= kMaxFileName)
            load.fileName += ".vxo";
        if (load.fileName.size() > kMaxFileName || !CanRead(load.fileName)) {
            // Both names tried, so that a name already ending in ".vxo" is recognised.
            const std::string text =
                given == load.fileName ? given : given + "\nnor " + load.fileName;
            ui::ShowMessageBox(mainDialogWindow, text, "Can't open file", ui::Buttons::Ok,
                               ui::Icon::Stop);
            EndUnattended(dialog, kExitDownloadFailed);
            return;
        }
    }
    if (!DropInRange(dialog)) {
        EndUnattended(dialog, kExitDownloadFailed);
        return;
    }
    // An unattended run keeps the settings of interactive use but for what its line set.
    SaveSettings(load.unattended ? CommandLineSettings() : kAllStoredSettings);
    ConnectionClosed = false;
    DownloadCancelled = false;
    const bool downloaded = RunDownloadDialog(dialog);
    EndUnattended(dialog, downloaded ? kExitDownloaded : kExitDownloadFailed);
}

void AddCurrentDownloadToHistory(ui::Window dialog) {
    ui::ClearItems(dialog, IDC_FILE_BOX);
    ui::SetItemText(dialog, IDC_FILE_BOX, loadOptions.fileName);
    SystemProfile record;
    DialogToProfile(dialog, record);
    AddDownloadHistory(record);
    ShowProgramInfo(dialog, loadOptions.fileName);
    ListHistoryFiles(dialog);
    ui::SetItemText(dialog, IDC_FILE_BOX, loadOptions.fileName);
    SaveHistory();
}

void SelectHistoryRecord(ui::Window dialog, int index) {
    // The list can hold entries the history no longer has; such an index names no record.
    if (index < 0 || index >= historyCount || index >= kHistorySize)
        return;
    ProfileToDialog(dialog, downloadHistory[index]);
}

void RefreshRecentFilesMenu(ui::Window dialog) {
    const int files = ui::ItemCount(dialog, IDC_FILE_BOX);
    for (int i = 0; i < files && i < kRecentCommandSpan; ++i) {
        ui::DeleteMenuItem(dialog, kRecentFileCommand + i);
        ui::InsertMenuItemBefore(dialog, IDM_RECENT_FILES_ANCHOR, kRecentFileCommand + i,
                                 ui::ItemText(dialog, IDC_FILE_BOX, i));
    }
    for (int i = 0; i < kMostRecentProfiles && !profileHistory[i].empty(); ++i) {
        ui::DeleteMenuItem(dialog, kRecentProfileCommand + i);
        ui::InsertMenuItemBefore(dialog, IDM_RECENT_PROFILES_ANCHOR, kRecentProfileCommand + i,
                                 profileHistory[i]);
    }
}

void QueryModule(ui::Window dialog) {
    if (CurrentConnection != nullptr)
        CloseConnection();
    DialogToSettings(dialog);
    if (!DropInRange(dialog))
        return;
    ModuleInfo info;
    if (!QueryModuleInfo(info))
        return;
    ui::SetItemText(dialog, IDC_MODULE_FIRMWARE, info.firmware);
    ui::SetItemText(dialog, IDC_APPLICATION_SPACE_1, info.applicationSpace1);
    ui::SetItemText(dialog, IDC_APPLICATION_SPACE_2, info.applicationSpace2);
    ui::SetItemText(dialog, IDC_SERIAL_NUMBER, info.serialNumber);
    ui::SetItemText(dialog, IDC_MODULE_MD5, info.digest);
    ui::SelectTab(dialog, IDC_TABS, kModuleInfoTab);
    ShowTabControls(dialog, kModuleInfoTab);
}

bool RunMenuCommand(ui::Window dialog, int command) {
    if (command >= kRecentFileCommand && command < kRecentFileCommand + kRecentCommandSpan) {
        const int index = command - kRecentFileCommand;
        if (index < ui::ItemCount(dialog, IDC_FILE_BOX)) {
            ui::SelectItem(dialog, IDC_FILE_BOX, index);
            SelectHistoryRecord(dialog, index);
        }
        return true;
    }
    if (command >= kRecentProfileCommand && command < kRecentProfileCommand + kRecentCommandSpan) {
        ShowRecentProfile(dialog, command - kRecentProfileCommand);
        return true;
    }
    if (ToggleCommand(dialog, command) || NumberCommand(dialog, command))
        return true;
    switch (command) {
        case IDM_ABOUT:
            ui::RunDialog(IDD_ABOUT, dialog, OkDialogProc);
            return true;
        case IDM_USING_VEXIM:
            ShowHelpFile();
            return true;
        case IDM_EXIT:
        case ui::kIdCancel:
            ui::EndDialog(dialog, kExitUserClosed);
            return true;
        case IDM_OPEN_OBJECT:
        case IDC_BROWSE:
            ChooseObjectFile(dialog);
            return true;
        case IDM_LOAD_PROFILE:
            LoadProfile(dialog);
            return true;
        case IDM_SAVE_PROFILE:
            SaveProfile(dialog);
            return true;
        case IDM_PRINT_PROFILE:
            PrintProfileCommand(dialog);
            return true;
        case IDM_PORT_SETTINGS:
            DialogToSettings(dialog);
            if (DropInRange(dialog))
                RunCommConfigDialog(dialog);
            return true;
        case IDM_BACKUP_FLASH:
            BackupFlashCommand(dialog);
            return true;
        case IDM_RESTORE_FLASH:
            RestoreFlashCommand(dialog);
            return true;
        case IDC_APPLICATION_1:
            loadOptions.statusRegister = 1;
            return true;
        case IDC_APPLICATION_2:
            loadOptions.statusRegister = 3;
            return true;
        case IDC_SET_DEFAULTS:
            LoadDefaultSettings(dialog);
            SettingsToControls(dialog);
            // The default address is empty, and so is what is saved: the field must not go on
            // showing the old host.
            ui::SetItemText(dialog, IDC_HOST, linkSettings.host);
            SaveSettings();
            return true;
        case IDC_QUERY:
            QueryModule(dialog);
            return true;
        default:
            return false;
    }
}
