#pragma once

// The download history (the last eight downloads, offered again in the file box) and the list
// of recently used profile files, both kept in the registry beside the settings.

#include <cstdint>
#include <string>

#include "downloader/system_profile.h"
#include "platform/ui.h"

inline constexpr int32_t kHistorySize = 8;

// Newest first; the first `historyCount` records are valid.
extern SystemProfile downloadHistory[kHistorySize];
extern int32_t historyCount;
// Newest first; an empty name is a free slot and ends the list.
extern std::string profileHistory[kHistorySize];

// Reads both histories and lists the download history's file names in the file box of
// `mainDialog` (none: only read). Whether the key opened goes to the debugger output.
void RestoreFiles(platform::ui::Window mainDialog);

// Writes "FileCount", "ProfileHistory" and "History".
void SaveHistory();

// Puts `record` (the dialog's values after a successful download) at the top of the download
// history: an entry for the same file (letter case ignored) moves up, else the oldest of a full
// history falls off. Then saves the histories. False, with nothing changed, when the record
// cannot be stored (a name too long for its field).
bool AddDownloadHistory(const SystemProfile& record);

// Lists the download history's file names in the file box.
void ListHistoryFiles(platform::ui::Window mainDialog);

// Records a profile file name at the top of the profile history unless it is already listed
// (letter case counts). Reaches the registry with the next SaveHistory.
void AddProfileHistory(const std::string& name);
