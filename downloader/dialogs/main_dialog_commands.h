#pragma once

#include "platform/ui.h"

// The main dialog's commands, each run on the GUI thread inside the command that starts it.

// Start Download: gathers the controls, finds the file (".vxo" added when needed), saves the
// settings and runs the progress dialog. In an unattended run the main dialog then ends with
// the run's exit code.
void StartDownload(platform::ui::Window dialog);

// Records the download that just succeeded at the top of the download history.
void AddCurrentDownloadToHistory(platform::ui::Window dialog);

// Menu and button commands other than Start Download; false for a command it does not know.
bool RunMenuCommand(platform::ui::Window dialog, int command);

// Puts the download history's files and the recent profiles into the Recent Files menu.
void RefreshRecentFilesMenu(platform::ui::Window dialog);

// A history record chosen in the file box (or from the Recent Files menu).
void SelectHistoryRecord(platform::ui::Window dialog, int index);

// The Module Info query into the Module Info tab.
void QueryModule(platform::ui::Window dialog);
