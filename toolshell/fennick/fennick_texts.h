#pragma once

// The texts of Fennick's report window and boxes.

#include <string>
#include <string_view>

#include "toolshell/fennick/fennick_values.h"

namespace fennick {

// The introduction shown at start; it ends with the line naming what does the archive work
// (PowerShell and its version on Windows, the archive library elsewhere).
std::string introductionText(const FennickValues& values);
std::string instructionsText();
std::string aboutText(const FennickValues& values);

// What the report window shows for `displayCode`.
std::string reportTextFor(const FennickValues& values);

}  // namespace fennick
