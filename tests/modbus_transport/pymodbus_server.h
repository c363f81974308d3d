#pragma once

#include <cstdint>
#include <string>

#include "tests/modbus_transport/child_process.h"

// The pymodbus server of modbus_server.py, run as a child process with Debian's interpreter.
// Over TCP it serves on a listening socket that this test made on a port of the system's
// choosing and keeps while it lives: the port is known before the server starts, a restarted
// server is found at the same port, and no other program can take it in between.
class PymodbusServer {
  public:
    PymodbusServer() = default;
    ~PymodbusServer();
    PymodbusServer(const PymodbusServer&) = delete;
    PymodbusServer& operator=(const PymodbusServer&) = delete;

    // Starts the server on 127.0.0.1 and waits for it to serve; the first start makes the
    // listening socket, a later one serves on the same.
    bool StartTcp();
    // Starts it on a serial device; `framing` is "rtu" or "ascii".
    bool StartSerial(const std::string& framing, const std::string& device);
    // Ends the server; the listening socket stays (connections wait in its queue).
    void Stop();

    uint16_t Port() const { return port; }

  private:
    bool Start(const std::vector<std::string>& arguments, int keepFd);

    ChildProcess process;
    int listenFd = -1;
    uint16_t port = 0;
};
