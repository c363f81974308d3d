#include "downloader/dialogs/profile_commands.h"

#include <fstream>

#include "downloader/connection.h"
#include "downloader/default_extension.h"
#include "downloader/dialogs/dialog_mapping.h"
#include "downloader/dialogs/flash_dialog.h"
#include "downloader/dialogs/main_dialog.h"
#include "downloader/dialogs/profile_printing.h"
#include "downloader/dialogs/vexim_resource.h"
#include "downloader/flash_image.h"
#include "downloader/history.h"
#include "downloader/module_services.h"
#include "downloader/settings.h"

namespace ui = platform::ui;

namespace {

constexpr size_t kFileDialogLength = 255;

ui::FileDialogOptions DialogOptions(std::vector<ui::FileFilter> filters, const char* title,
                                    const std::string& buffer, bool mustExist) {
    ui::FileDialogOptions options;
    options.filters = std::move(filters);
    options.title = title;
    options.initialPath = buffer;
    options.mustExist = mustExist;
    options.maxLength = kFileDialogLength;
    return options;
}

std::vector<ui::FileFilter> ProfileFilter() {
    return {{"VEXIM System Profile (*.vxf)", "*.vxf"}, {"All Files (*.*)", "*.*"}};
}

std::vector<ui::FileFilter> FlashFilter() {
    return {{"Binary Dump (*.bin)", "*.bin"}, {"All Files (*.*)", "*.*"}};
}

// Asks for a profile file to read; on OK it becomes `profileName` and is shown in the dialog.
bool OpenProfile(ui::Window dialog, const char* title) {
    LoadOptions& load = loadOptions;
    const auto chosen =
        ui::OpenFileDialog(dialog, DialogOptions(ProfileFilter(), title, load.profileName, true));
    if (!chosen)
        return false;
    load.profileName = *chosen;
    if (!ReadProfileOrSay(load.profileName, profileRecord))
        return false;
    ProfileToDialog(dialog, profileRecord);
    return true;
}

// The module as the link reaches it: "127.0.0.1:502 drop 1" or "COM1: drop 255".
std::string LinkText() {
    const LinkSettings& link = linkSettings;
    if (link.connectMode == kConnectTcp) {
        return link.host + ":" + std::to_string(link.tcpPort) + " drop " +
               std::to_string(link.drop);
    }
    return link.portName + " drop " + std::to_string(link.drop);
}

void StopMessage(ui::Window owner, const std::string& text) {
    ui::ShowMessageBox(owner, text, "Restore flash", ui::Buttons::Ok, ui::Icon::Stop);
}

// A restore overwrites both flash files of the module: the user confirms it, seeing the file
// and the module it goes to, which is identified first. No, the default, leaves the module as
// it is.
bool ConfirmFlashRestore(ui::Window dialog, const std::string& path) {
    switch (ConnectModule()) {
        case ModuleJob::kNotOpened:
            return false;  // the opener has said why
        case ModuleJob::kFailed:
            StopMessage(dialog, "Failed to contact the module at " + LinkText());
            return false;
        case ModuleJob::kNotKrt:
            StopMessage(dialog, "The module " + moduleName + " at " + LinkText() +
                                    " is not a KRT module: its flash is not restored.");
            return false;
        case ModuleJob::kDone:
            break;
    }
    const std::string question = "Restore the flash of module " + moduleName + " at " + LinkText() +
                                 " from\n" + path +
                                 "?\nWhat the module's flash holds now is overwritten.";
    return ui::ShowMessageBox(dialog, question, "Restore flash", ui::Buttons::YesNo,
                              ui::Icon::Warning) == ui::Answer::Yes;
}

}  // namespace

bool ReadProfileOrSay(const std::string& path, SystemProfile& record) {
    std::string whyNot;
    if (ReadProfileFile(path, record, &whyNot))
        return true;
    ErrorBox("Can't read profile %s\n%s", path.c_str(), whyNot.c_str());
    return false;
}

void ChooseObjectFile(ui::Window dialog) {
    LoadOptions& load = loadOptions;
    if (!load.fileName.empty() && !std::ifstream(load.fileName, std::ios::binary).good()) {
        load.fileName.clear();
    }
    const auto chosen = ui::OpenFileDialog(
        dialog, DialogOptions({{"KRT Object", "*.vxo;*.vxl"}, {"All Files", "*.*"}},
                              "File to Transfer to ZKRT", load.fileName, true));
    if (chosen) {
        load.fileName = *chosen;
        ui::SetItemText(dialog, IDC_FILE_BOX, load.fileName);
    }
    ShowProgramInfo(dialog, load.fileName);
}

void LoadProfile(ui::Window dialog) {
    if (OpenProfile(dialog, "Load system profile"))
        AddProfileHistory(loadOptions.profileName);
}

void SaveProfile(ui::Window dialog) {
    LoadOptions& load = loadOptions;
    const auto chosen = ui::SaveFileDialog(
        dialog, DialogOptions(ProfileFilter(), "Save system profile as", load.profileName, false));
    if (!chosen)
        return;
    load.profileName = WithDefaultExtension(*chosen, ".vxf");
    // The record's fields are fixed; a name cut to fit would load back as another file or host.
    const std::string file = ui::GetItemText(dialog, IDC_FILE_BOX);
    const std::string host = ui::GetItemText(dialog, IDC_HOST);
    if (file.size() > kMaxFileName || host.size() > kMaxHost) {
        ErrorBox("Parameter too long: %s", (file.size() > kMaxFileName ? file : host).c_str());
        return;
    }
    DialogToProfile(dialog, profileRecord);
    if (!WriteProfileFile(load.profileName, profileRecord)) {
        ErrorBox("Can't save profile %s", load.profileName.c_str());
        return;
    }
    AddProfileHistory(load.profileName);
}

void PrintProfileCommand(ui::Window dialog) {
    DialogToSettings(dialog);
    if (!OpenProfile(dialog, "Print system profile"))
        return;
    // The module is asked through the profile's whole link, as the dialog now shows it, never
    // through its connection mode with the host, port or drop shown before.
    DialogToSettings(dialog);
    if (DropInRange(dialog))
        PrintProfile(dialog, profileRecord);
}

void BackupFlashCommand(ui::Window dialog) {
    LoadOptions& load = loadOptions;
    DialogToSettings(dialog);
    if (!DropInRange(dialog))
        return;
    const auto chosen = ui::SaveFileDialog(
        dialog, DialogOptions(FlashFilter(), "Backup flash to...", load.lastFlashFile, false));
    if (!chosen)
        return;
    load.lastFlashFile = *chosen;
    RunFlashDialog(dialog, IDM_BACKUP_FLASH);
}

ui::FileDialogOptions RestoreFlashFileOptions(const std::string& lastFlashFile) {
    // Nothing is written to the image file: the read-only box would offer a choice that means
    // nothing.
    return DialogOptions(FlashFilter(), "Restore flash from...", lastFlashFile, true);
}

void RestoreFlashCommand(ui::Window dialog) {
    LoadOptions& load = loadOptions;
    DialogToSettings(dialog);
    if (!DropInRange(dialog))
        return;
    const auto chosen = ui::OpenFileDialog(dialog, RestoreFlashFileOptions(load.lastFlashFile));
    if (!chosen)
        return;
    load.lastFlashFile = *chosen;
    // An image the restore would refuse is refused by it, before anything is asked.
    FlashImage image{};
    if (ReadFlashImage(load.lastFlashFile, image) == FlashImageResult::kOk &&
        !ConfirmFlashRestore(dialog, load.lastFlashFile)) {
        return;
    }
    RunFlashDialog(dialog, IDM_RESTORE_FLASH);
}
