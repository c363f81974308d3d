#pragma once

// One conversion pass: one archive in, "<stem>_IBY.zef" out. The passes over the project file
// run in this order:
//   1. module search   which TSXIBY100 modules the configuration holds, and in the same read
//      the census     the communication calls per section and DFB, and the derived types
//   2. conversion loop the rewritten project file, with the module's service file decoded
// then the rewritten file replaces unitpro.xef in the archive and the intermediate files go
// into "<root>_IBY_IntermediateFiles" beside it.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "extractor/conversion_options.h"
#include "extractor/project/conversion_failure.h"
#include "extractor/project/project_paths.h"

namespace extractor {

struct PassOutcome {
    std::optional<ConversionFailure> failure;
    bool furtherModule = false;         // the project holds another module for a second pass
    std::string createdArchive;         // "<stem>_IBY.zef" as a text
    std::filesystem::path resultsFile;  // where the results file was put
    std::string resultsFileText;
    // What the user must look at in the new project, for the final box: each a text of its
    // own (references to the module left in the project, generated names the project defines).
    std::vector<std::string> notices;
};

PassOutcome convertArchive(const ProjectPaths& paths, const ConversionOptions& options,
                           std::string& reportText);

// The suffixes of the files that end in the intermediate folder, in the order they are moved
// there; the module's service file under its own name follows them.
inline constexpr const char* intermediateSuffixes[] = {
    "_Results.txt",      ".svc",       "_parse.txt",  "_OUTvars.txt",
    "_OUTvars_Sort.txt", "_map.xsy",   "_INvars.txt", "_INvars_Sort.txt",
    "_init.xst",         "_excel.csv", "_config.xsy",
};

}  // namespace extractor
