#pragma once

// convertProject: the whole conversion of one Premium project archive into a new archive
// whose name ends in "_IBY.zef", with a second pass over that archive when the project holds a
// further TSXIBY100 module. Every failure is shown in a message box; the report text gets the
// conversion's progress and the results files.

#include <string>

#include "extractor/conversion_options.h"

namespace extractor {

// True when every pass succeeded and the new archive is in place.
bool convertProject(const ConversionOptions& options, std::string& reportText);

}  // namespace extractor
