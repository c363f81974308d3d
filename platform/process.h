#pragma once

// Running another program and waiting for it to end.

#include <string>

namespace platform {

struct CommandOutcome {
    bool started = false;   // false: the program could not be started at all
    unsigned exitCode = 0;  // its exit code when it was started
};

// Runs `commandLine` (UTF-8) as it stands, without a command interpreter in between and with
// no console window showing, and waits for it to end.
// Headless backend: nothing is run; the transcript records `run "<commandLine>"` and the
// outcome is "not started".
CommandOutcome RunCommand(const std::string& commandLine);

}  // namespace platform
