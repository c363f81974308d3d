#pragma once

// krtsim's event loops: Modbus/TCP on a listening socket, RTU or ASCII on a pseudo-terminal.
// Each prints its ready line once it can take requests, then serves until SIGTERM or
// SIGINT; SIGUSR1 asks for a state dump without stopping.

#include <functional>

#include "module_config.h"
#include "slave_session.h"

namespace krtsim {

// Routes SIGTERM, SIGINT and SIGUSR1 into a pipe that the loops poll; returns its read end.
int installSignalPipe();

struct ServerHooks {
    int signalFd = -1;
    std::function<void()> dump;  // on SIGUSR1
};

// Both return the process exit code: 0 after a stop signal, 1 when the link cannot be set up.
int serveTcp(const RunConfig& config, SlaveSession& session, const ServerHooks& hooks);
int servePty(const RunConfig& config, SlaveSession& session, const ServerHooks& hooks);

}  // namespace krtsim
