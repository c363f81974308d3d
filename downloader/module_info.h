#pragma once

#include <string>

// The Module Info tab's five values.
struct ModuleInfo {
    std::string firmware;
    std::string applicationSpace1;
    std::string applicationSpace2;
    std::string serialNumber;
    std::string digest;  // "Matched!" when the module holds the file last listed
};

// The Module Info query: opens a connection by the Link settings, reads the module's name, the
// names in its two application spaces, its serial number and the digest stored behind the
// program in channel 1, and closes the connection. Each read that fails shows its own
// "Read Timeout" text. False when the connection could not be opened (the opener has said so);
// the values are then untouched.
bool QueryModuleInfo(ModuleInfo& info);
