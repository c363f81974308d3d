#pragma once

// Fennick's program-wide values: set to their start values by the main routine, refreshed from
// the settings before every window message, read by the conversion.

#include <string>

#include "svc/svc_structured_text.h"

namespace fennick {

struct FennickValues {
    std::string programName = "Fennick";
    std::string revisionDate = "07SEP2021";
    int debugLevel = 4;        // the Debug setting; 1: trace lines on the console
    std::string ignore = "0";  // the Ignore setting: "1" leaves addresses in strings alone
    std::string clevPath;      // the ClevPath setting: the folder of powershellver.txt
    // The stored texts of Debug and Ignore; empty until first read, so that a first start
    // writes their defaults.
    std::string debugText;
    std::string ignoreText;
    std::string powerShellVer0;
    std::string powerShellVer1;
    int dpWordCount = 242;
    svc::SvcPcpMarkText pcpMarkText{"", "PCP"};
    int displayCode = 0;  // which text the report window shows
    std::string fileName;
    std::string reportText;
};

inline constexpr const char* fennickSettingsProgram = "FENNICK";
inline constexpr const char* defaultClevPath = "c:\\Calvento\\PMEDWL\\";

}  // namespace fennick
