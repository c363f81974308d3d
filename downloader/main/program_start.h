#pragma once

#include <string>

// vexim's start and end. `commandLine` is the argument text without the program's name.
// Returns the exit code:
//   0   an unattended download succeeded
//   1   the command line was refused or only asked for help, or start-up failed
//   2   an unattended download failed or was cancelled
//   16  the user closed the main dialog
//   -1  the main dialog could not be created
namespace vexim {
int WinMain(std::string commandLine);
}

// Exit codes that callers and scripts tell apart.
inline constexpr int kExitDownloaded = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitDownloadFailed = 2;
inline constexpr int kExitUserClosed = 16;
