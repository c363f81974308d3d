#pragma once

// Tamsel's program-wide values: set at start-up, its settings re-read on every window message,
// and the DTM name kept in step with the window's DTM-name field.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/ui.h"

namespace loadcode {

inline constexpr std::string_view tamselProgramName = "Tamsel";
inline constexpr std::string_view tamselRevisionDate = "04JUN2020";
inline constexpr std::string_view tamselSettingsName = "TAMSEL";  // under "SOFTWARE\Calvento R&D\"

inline constexpr std::string_view defaultClevPath = "c:\\Calvento\\PMEDWL\\";
inline constexpr std::string_view defaultDebug = "4";
inline constexpr std::string_view defaultDtmName = "PMEDWL";

// What the settings' variables hold at most (the DTM name also as read from its field).
inline constexpr std::size_t clevPathMaxChars = 1024;
inline constexpr std::size_t debugMaxChars = 9;
inline constexpr std::size_t dtmNameMaxChars = 99;

struct TamselProgram {
    std::string programName{tamselProgramName};
    std::string revisionDate{tamselRevisionDate};
    int debugLevel = 4;  // read from the Debug setting; nothing in the program depends on it
    std::string clevPath;
    std::string debugText;
    std::string dtmName;
    // The Module_ID comment's mark by a device's PCP flag.
    std::array<std::string, 2> pcpTags{"", "PCP"};
    platform::ui::Window dtmNameField = nullptr;
};

// Reads ClevPath, Debug and DTMname, in this order; an empty value takes its default, which is
// written back. A DTM name that is the field's placeholder text is never taken.
void refreshTamselSettings(TamselProgram& program);

// Stores a DTM name the user has set in the field.
void storeDtmName(const std::string& dtmName);

// The Debug text's leading number, rounded (a half to the even neighbour); 0 when it has none.
int debugLevelOf(std::string_view text);

}  // namespace loadcode
