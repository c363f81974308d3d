#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// A helper program run by a test: its standard output is read line by line, and it is
// always ended (SIGTERM, then SIGKILL) so no test leaves a process behind.
class ChildProcess {
  public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // `keepFd`, when not -1, is a descriptor of this process that the program inherits.
    bool Start(const std::vector<std::string>& argv, int keepFd = -1);
    // True when the program printed `line` on a line of its own within `timeoutMs`.
    bool WaitForLine(const std::string& line, int timeoutMs);
    void Stop();
    bool Running() const { return pid > 0; }

  private:
    pid_t pid = -1;
    int outputFd = -1;
    std::string pending;
};
