#pragma once

// Tamsel's About and Instructions boxes.

#include <string>

#include "loadcode/window/tamsel_program.h"

namespace loadcode {

std::string tamselAboutText(const TamselProgram& program);
std::string tamselInstructionsText();

void showTamselAbout(const TamselProgram& program);
void showTamselInstructions(const TamselProgram& program);

}  // namespace loadcode
