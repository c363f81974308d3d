#pragma once

// What the third pass, the IBY-to-IBS rewrite, carries from line to line.

#include <string>
#include <utility>
#include <vector>

#include "converter/conversion/defined_names.h"
#include "converter/conversion/inventory.h"
#include "converter/conversion/line_grams.h"
#include "converter/conversion/replace_counted.h"

namespace vornick {

// Lines the rewrite leaves out of the project.
enum class Skip {
    None,                // write the line
    ThisLine,            // drop this one line
    ThroughDdtEnd,       // drop lines up to and including the next "</DDTSource>" line
    ThroughVariableEnd,  // drop lines up to and including the next "</variables>" line
};

struct RenamePair {
    RenamePair(std::string searchText, std::string replacementText,
               KeyMatch keyMatching = KeyMatch::Anywhere)
        : search(std::move(searchText)),
          replacement(std::move(replacementText)),
          matching(keyMatching),
          grams(gramKeyOf(search)) {}

    std::string search;
    std::string replacement;
    KeyMatch matching;
    GramKey grams;  // of `search`, to pass over lines that cannot hold it
};

struct RewriteState {
    int replacementCount = 0;
    // The name of each module's T_IBY_DIO variable in the data block, once it has been met.
    ModuleTable<std::string> ibyDioVarName = notYetSetTable();
    Skip skipState = Skip::None;
    int lineNumber = 0;     // lines rewritten so far
    int overgrownLine = 0;  // the first line the renames would have let grow too long
    bool inDataBlock = false;
    // The source (block or type) being read, and those whose device parameter took the first
    // DTM's device type, as the project names them before the renames.
    std::string currentSource;
    std::vector<std::string> deviceTypedSources;
    // The names the kept lines define, for those the renames made a second time.
    DefinedNames definedNames;
    // The IBY_ to IBS_ renames in their order; made again whenever a device variable's name
    // is learnt, since two of them rename those variables.
    std::vector<RenamePair> ibyToIbsRenames;
};

}  // namespace vornick
