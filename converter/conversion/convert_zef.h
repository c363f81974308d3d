#pragma once

// Vornick's conversion of an M580 project archive for the PMEDWL module: unpack it, check the
// modules against their DTM entries (first pass), match the DTM device variables (second pass),
// rewrite the IBY_ code into IBS_ code (third pass), and pack "<name>_IBS.zef" beside it.

#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/ui.h"

namespace vornick {

// The window a conversion runs for.
struct ConversionWindow {
    platform::ui::Window owner = nullptr;  // owns every box, so a box stays above it
    // Puts the report text on the screen; called before each box, since the program quits
    // after the last one.
    std::function<void()> showReport;
};

// Runs the whole job on the archive `zefPath` (the open-file dialog's text). `reportText` is
// cleared and then tells the job's steps; trace lines go to `console`; failures and the
// success are shown in message boxes. True when "<name>_IBS.zef" was put in place.
bool convertZefToIbs(std::string_view zefPath, std::string& reportText, std::ostream& console,
                     const ConversionWindow& window = {});

}  // namespace vornick
