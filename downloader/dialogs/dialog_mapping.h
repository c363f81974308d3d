#pragma once

// Moving values between the main dialog's controls, the Link settings and Load options, and
// system profile records.

#include <string>

#include "downloader/system_profile.h"
#include "platform/ui.h"

// The tabs of the main dialog.
inline constexpr int kSerialTab = 0;
inline constexpr int kTcpTab = 1;
inline constexpr int kProgramInfoTab = 2;
inline constexpr int kModuleInfoTab = 3;

// Shows the controls of one tab and hides the others'.
void ShowTabControls(platform::ui::Window dialog, int tab);

// The Program Info list for a user-code file.
void ShowProgramInfo(platform::ui::Window dialog, const std::string& fileName);

// The Link settings and Load options into the controls. A port that the COM list does not hold
// (named on the command line) is added to it, so that it is still the port when the controls
// are read back.
void SettingsToControls(platform::ui::Window dialog);

// The controls into the Link settings and Load options. A list with no selection leaves its
// setting as it was; with neither Application button checked the channel stays (F1, F2).
void DialogToSettings(platform::ui::Window dialog);

// After DialogToSettings, for a command that is about to talk to the module: false, with the
// refusal shown, when the drop field does not hold a unit number (0 to 255) and nothing else.
// Sent as the unit byte, 256 would become 0, the broadcast that every module obeys, and so would
// an empty field or "l" read as a number.
bool DropInRange(platform::ui::Window dialog);

void DialogToProfile(platform::ui::Window dialog, SystemProfile& record);
// A record into the controls and settings. Its time-out, retries, drop and channel are brought
// into range: the record may come from another program's file. A time-out the program could have
// set itself (3000 ms from -T30) is kept.
void ProfileToDialog(platform::ui::Window dialog, const SystemProfile& record);
