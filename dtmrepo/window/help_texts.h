#pragma once

// The texts of the Help menu.

#include <string>
#include <string_view>

namespace dtmrepo {

std::string aboutText(std::string_view revisionDate);
std::string instructionsText();
// A sample description file: the grammar in use, for the user to copy.
std::string exampleText();

}  // namespace dtmrepo
