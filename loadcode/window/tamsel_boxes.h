#pragma once

// Tamsel's About and Instructions boxes.

#include <string>

#include "loadcode/window/tamsel_program.h"

namespace loadcode {

std::string tamselAboutText(const TamselProgram& program);
std::string tamselInstructionsText();

// Owned by the main window, which takes no input while they are up; information icon.
void showTamselAbout(const TamselProgram& program, platform::ui::Window owner);
void showTamselInstructions(const TamselProgram& program, platform::ui::Window owner);

}  // namespace loadcode
