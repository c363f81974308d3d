#pragma once

// Trace texts meant for a developer watching the program under a debugger, never for the user:
// the debugger's output window on Windows; elsewhere the file named by $CALVENTO_DEBUG_OUTPUT
// (appended to), and nothing when that is not set.

namespace platform {

// Sends the text as it is; the caller ends it with "\n" where a line is meant.
void DebugOutput(const char* text);

}  // namespace platform
