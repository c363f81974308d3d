#pragma once

// The program's command line as one text, the way a Windows program receives it: everything
// after the program's own name, with the user's quotes and backslashes as typed, so each program
// splits it by its own grammar.

#include <string>

namespace platform {

// Windows: the process's raw command line (GetCommandLine) without the program name and the
// blanks after it; argc and argv are not used. Elsewhere: the arguments joined by one blank,
// each argument that is empty or holds a blank or another control character (bytes 1 to 32)
// put between double quotes.
std::string ProgramArguments(int argc, char** argv);

// The program-name rule of the Windows runtime: a name that starts with a double quote runs to
// the next double quote, any other to the first blank or tab; the blanks and tabs after it are
// skipped too. Shared by the Windows backend and its tests.
std::string StripProgramName(const std::string& commandLine);

}  // namespace platform
