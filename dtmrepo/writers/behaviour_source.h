#pragma once

// The conditional-behaviour source: one C# method per varAccessIN variable. The value "0" of
// the input makes the outputs linked to it read-only, "1" makes them writable; the DTM calls
// the method the profile names.

#include <optional>
#include <string>
#include <vector>

#include "dtmrepo/parser/description_record.h"

namespace dtmrepo {

// The source's lines, or none when the description links no variables.
std::vector<std::string> behaviourSourceLines(const DescriptionRecord& record);

// The C# class name made from the source's file name: letters, digits and underscores.
std::string behaviourClassName(const std::string& sourceName);

// The report message (after "ERROR - ") when the names the source needs are no C# identifiers (they
// become method and parameter names), or nothing when they all are.
std::optional<std::string> checkBehaviourNames(const DescriptionRecord& record);

}  // namespace dtmrepo
