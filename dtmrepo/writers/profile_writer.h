#pragma once

// The ISO 15745 EtherNet/IP device profile of a description record, written flat: one element
// or text element per line, no indentation (the layout pass indents it).

#include <string>
#include <string_view>
#include <vector>

#include "dtmrepo/parser/description_record.h"

namespace dtmrepo {

// The PLC vendor's namespace, which the DAV's profile schema is declared in.
inline constexpr std::string_view profileNamespace =
    "http://www.dizodozav-ovodurid.com/DDXML/ISO15745";

std::vector<std::string> flatProfileLines(const DescriptionRecord& record);

// The conditional-behaviour source that the profile names: the product identifier with its
// blanks made underscores, then ".cs".
std::string behaviourSourceName(const DescriptionRecord& record);

// The varAccessIN name that a variable's link names, as the input gave it (the methods are
// named after it); the link name itself when there is none.
std::string linkedInputName(const DescriptionRecord& record, const VariableEntry& entry);

}  // namespace dtmrepo
