#pragma once

// Values in the XML files Brondel writes and reads: "&", "<", ">" and the double quote stand
// as entity references, so a parser reads back exactly the value that went in.

#include <string>
#include <string_view>

namespace dtmrepo {

std::string xmlEscaped(std::string_view text);

// The entity references of xmlEscaped (and "&apos;") read back.
std::string xmlUnescaped(std::string_view text);

}  // namespace dtmrepo
