#pragma once

#include <string>

#include "downloader/system_profile.h"
#include "platform/ui.h"

// The main dialog's file commands: each asks for a file, then loads, saves or prints a profile,
// or backs the module's flash up or restores it. Cancel in the file dialog ends the command.

// Browse / Open ZKRT Object: the user-code file to download.
void ChooseObjectFile(platform::ui::Window dialog);

// Reads a profile file into `record`; a file that cannot be read is named in an error box that
// says why (a file of the wrong size is no profile), never passed over without a word.
bool ReadProfileOrSay(const std::string& path, SystemProfile& record);

void LoadProfile(platform::ui::Window dialog);
void SaveProfile(platform::ui::Window dialog);
void PrintProfileCommand(platform::ui::Window dialog);

void BackupFlashCommand(platform::ui::Window dialog);
// Asks for the image file, then, once the module is identified, whether to overwrite its flash
// with it, naming both; only Yes restores.
void RestoreFlashCommand(platform::ui::Window dialog);
// The open dialog of Restore Flash, offering `lastFlashFile`.
platform::ui::FileDialogOptions RestoreFlashFileOptions(const std::string& lastFlashFile);
