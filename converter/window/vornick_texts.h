#pragma once

// The texts Vornick's window shows: the introduction in the report window, and the About and
// Instructions boxes.

#include <string>
#include <string_view>

namespace vornick {

inline constexpr std::string_view programName = "TVQ Vornick Tool";
inline constexpr std::string_view revisionDate = "19MAR2020";

std::string introText();
std::string aboutText();
std::string aboutCaption();
std::string instructionsText();
std::string instructionsCaption();

}  // namespace vornick
