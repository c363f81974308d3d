#pragma once

// One conversion of a service file: the listing "_parse.txt" and the load file "_LOAD.xst"
// beside it, the summary rows on the console, and a box that tells the user how it ended.

#include <array>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace loadcode {

// The outputs are named by the service file's path without its extension, so that
// "plant.SVC" gives "plant_parse.txt" and "plant_LOAD.xst" in the same folder.
std::filesystem::path tamselRootPath(const std::filesystem::path& svcPath);

struct TamselConversionResult {
    bool finished = false;  // both files complete and in place
    std::vector<std::string> warnings;
};

// Decodes `svcPath` with the DTM name (which must make PLC names) and shows the outcome: an
// error box with the file's site number ("(1)" the service file, "(2)" the listing, "(15)" the
// load file), or "Finished" naming the load file and the warnings after it ("Finished -
// incomplete", the warnings first, when the PLC arrays cannot take the whole bus). Both
// outputs are written under temporary names and moved into place only when both are complete,
// so a failed run leaves an earlier run's files as they were. The listing's copy and the
// summary rows go to `console`. The boxes are owned by `owner` (the main window; null in a run
// without one): errors with the stop icon, "Finished" with the information icon.
TamselConversionResult tamselConvertSvcFile(platform::ui::Window owner,
                                            const std::filesystem::path& svcPath,
                                            const std::string& dtmName,
                                            const std::array<std::string, 2>& pcpTags,
                                            std::ostream& console);

}  // namespace loadcode
