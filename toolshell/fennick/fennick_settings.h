#pragma once

// The settings Fennick re-reads before every window message (key
// "SOFTWARE\Calvento R&D\FENNICK"), and the check that Windows PowerShell 5.1 is there when
// PowerShell does the archive work.

#include <array>
#include <string>
#include <string_view>

#include "platform/ui.h"
#include "toolshell/fennick/fennick_values.h"

namespace fennick {

std::string fennickSettingsKey();

// ClevPath, Debug and Ignore, each with its default written back when empty, then the two
// PowerShell version values (left as they were when missing).
void readFennickSettings(FennickValues& values);

// A setting's text as a number, rounded to an integer ("4" gives 4, "1.5" gives 2); text that
// is no number gives 0.
int settingNumber(std::string_view text);

// The version file of the probe: every line holding "." is scanned; "." moves to the next of
// eleven counters and a digit extends the current one, everything else (blanks, the zero bytes
// of a UTF-16 file, letters) is skipped.
using VersionCounters = std::array<long, 11>;
void scanVersionLine(std::string_view line, VersionCounters& counters);

// 5.1 or later.
bool powerShellVersionPasses(int major, int minor);

// The probe's command line: PowerShell writes its version into `versionFile`.
std::string powerShellProbeCommand(const std::string& versionFile);

// The box shown when the probe's answer cannot be read; `answered` false when PowerShell could
// not be started or ended in an error.
std::string powerShellProbeFailure(const std::string& versionFile, int errorNumber, bool answered);

// Runs the probe and reads its answer into the two version texts; false (after the box) when
// there is no answer to read. The answer of an earlier probe is removed first.
bool probePowerShell(FennickValues& values, platform::ui::Window owner);

// Steps before a message when PowerShell does the archive work: probe the version when it is
// not known, then check it. False when the program must end (the box was shown and the quit
// requested). Does nothing where PowerShell is not used.
bool checkPowerShell(FennickValues& values, platform::ui::Window owner);

}  // namespace fennick
