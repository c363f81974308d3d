#pragma once

#include "downloader/system_profile.h"
#include "platform/ui.h"

// The main dialog's private messages besides UM_ADD_HISTORY (sent by the loaders).
inline constexpr unsigned UM_PROFILE_TO_DIALOG = platform::ui::kUserMessage + 101;
inline constexpr unsigned UM_DIALOG_TO_PROFILE = platform::ui::kUserMessage + 102;
inline constexpr unsigned UM_DIALOG_TO_SETTINGS = platform::ui::kUserMessage + 103;

// Recent-file menu commands: download history record i, profile history name i.
inline constexpr int kRecentFileCommand = 20000;
inline constexpr int kRecentProfileCommand = 20100;
inline constexpr int kRecentCommandSpan = 100;

// The record the profile commands load, save and print.
extern SystemProfile profileRecord;

// Runs the main dialog until it ends and returns its result, the program's exit code.
int RunMainDialog();

bool MainDialogProc(platform::ui::Window self, const platform::ui::Message& message);
