#pragma once

#include "platform/ui.h"

// The main dialog's file commands: each asks for a file, then loads, saves or prints a profile,
// or backs the module's flash up or restores it. Cancel in the file dialog ends the command.

// Browse / Open ZKRT Object: the user-code file to download.
void ChooseObjectFile(platform::ui::Window dialog);

void LoadProfile(platform::ui::Window dialog);
void SaveProfile(platform::ui::Window dialog);
void PrintProfileCommand(platform::ui::Window dialog);

void BackupFlashCommand(platform::ui::Window dialog);
void RestoreFlashCommand(platform::ui::Window dialog);
