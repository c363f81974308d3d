#pragma once

// The DTM-name field and its label. The field shows the DTM name; what the user types there
// becomes the DTM name at the next repaint. An emptied field shows a prompt asking for a name
// as its cue banner, never as its text, and the prompt is never taken for a name.

#include <optional>
#include <string>
#include <string_view>

#include "loadcode/window/tamsel_program.h"

namespace loadcode {

inline constexpr std::string_view dtmNamePlaceholder = "Enter DTM Name...";

// Makes the field (kept in program.dtmNameField) and its label "DTM Name:" in `window`.
void createDtmNameField(TamselProgram& program, platform::ui::Window window);

// On each repaint: the field's text (at most 99 characters) becomes the DTM name and is stored;
// an empty field, or one that holds the prompt, changes nothing.
void synchroniseDtmName(TamselProgram& program);

// The field's text as the DTM name it gives, at most 99 characters.
std::string dtmNameInField(const TamselProgram& program);

// Why `dtmName` cannot name the load file's PLC names, as the user is told; nothing when it can.
std::optional<std::string> dtmNameRefusal(std::string_view dtmName);

}  // namespace loadcode
